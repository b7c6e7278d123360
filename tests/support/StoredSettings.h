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

// Keeps a test program run by hand away from the user's own settings: without
// XDG_CONFIG_HOME it points the store at a folder of its own. Call it before
// the store is first opened.
inline bool keepSettingsPrivate() {
    if (!qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        return true;
    static QTemporaryDir folder; // lives as long as the program
    return folder.isValid() && qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
}

} // namespace wordmoot::test
