#include "client/connection/Settings.h"

namespace wordmoot {

Settings::Settings()
    : store_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TavikWordmoot")) {}

QString Settings::text(const QString& section, const QString& key, const QString& fallback) const {
    return store_.value(section + QLatin1Char('/') + key, fallback).toString();
}

// QSettings writes changes out by itself soon after, and when it is taken
// down at the end; a value written again unchanged is no change at all.
void Settings::setText(const QString& section, const QString& key, const QString& value) {
    const QString path = section + QLatin1Char('/') + key;
    if (store_.contains(path) && store_.value(path).toString() == value)
        return;
    store_.setValue(path, value);
}

} // namespace wordmoot
