#include "connection/Settings.h"

namespace wordmoot {

Settings::Settings()
    : store_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TavikWordmoot")) {}

QString Settings::text(const QString& section, const QString& key, const QString& fallback) const {
    store_.sync(); // another client of the same user may have written since
    return store_.value(section + QLatin1Char('/') + key, fallback).toString();
}

void Settings::setText(const QString& section, const QString& key, const QString& value) {
    store_.setValue(section + QLatin1Char('/') + key, value);
    store_.sync();
}

} // namespace wordmoot
