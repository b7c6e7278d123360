#include "server/EventLog.h"

#include <QDateTime>

#include <algorithm>

#include <cstdio>

namespace wordmoot::server {

QByteArray field(QByteArrayView key, QByteArrayView value) {
    const bool plain = !value.isEmpty() && std::none_of(value.begin(), value.end(), [](char c) {
        return c == ' ' || c == '"' || c == '=' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
    });
    QByteArray text = key.toByteArray() + '=';
    if (plain)
        return text + value.toByteArray();
    text += '"';
    for (const char c : value) {
        if (c == '"' || c == '\\')
            text += '\\';
        text += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return text + '"';
}

QByteArray field(QByteArrayView key, qint64 value) {
    return key.toByteArray() + '=' + QByteArray::number(value);
}

void logLine(const QByteArray& fields) {
    const QByteArray line =
        "wordmoot-server: " +
        field("time", QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toUtf8()) + ' ' +
        fields + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
}

} // namespace wordmoot::server
