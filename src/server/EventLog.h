#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace wordmoot::server {

// Each change of a game is one line on standard error of key=value fields,
// as log tools read them: "wordmoot-server: time=2026-12-08T13:00:00.123Z
// event=play hall=main game=3 seat=1 player=ann ...". A value with a blank,
// a quote or an equals sign is quoted, its quotes and backslashes escaped.
QByteArray field(QByteArrayView key, QByteArrayView value);
QByteArray field(QByteArrayView key, qint64 value);
// Writes the line: the time first, then the fields.
void logLine(const QByteArray& fields);

} // namespace wordmoot::server
