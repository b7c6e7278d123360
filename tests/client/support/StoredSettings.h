#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

namespace wordmoot::test {

// The store the client keeps its settings in, opened the way the client opens it.
class SettingsStore : public QSettings {
public:
    SettingsStore()
        : QSettings(QSettings::NativeFormat, QSettings::UserScope,
                    QStringLiteral("TavikWordmoot")) {}
};

// What the store holds under "Section/Key", as written by any part of the program.
inline QString storedSetting(const QString& key,
                             const QString& fallback = QStringLiteral("<absent>")) {
    SettingsStore store;
    store.sync();
    return store.value(key, fallback).toString();
}

inline void storeSetting(const QString& key, const QString& value) {
    SettingsStore().setValue(key, value);
}

// Removes what the earlier tests of this program stored.
inline void clearSettings() {
    SettingsStore().clear();
}

// Keeps every test program away from the user's own settings, also when it is
// run by hand: before main, the store is pointed at a folder of the program's
// own that is removed when it ends.
inline bool keepSettingsPrivate() {
    static QTemporaryDir folder;
    return folder.isValid() && qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
}
inline const bool kSettingsKeptPrivate = keepSettingsPrivate();

} // namespace wordmoot::test
