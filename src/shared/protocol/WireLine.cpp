#include "shared/protocol/WireLine.h"

namespace wordmoot {

namespace {
// Appends the text with its line breaks and NULs made blanks.
void appendScrubbed(QByteArray& line, QByteArrayView text) {
    const qsizetype from = line.size();
    line.append(text);
    for (qsizetype i = from; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\r' || c == '\n' || c == '\0')
            line[i] = ' ';
    }
}
} // namespace

QByteArray wireLine(QByteArrayView text) {
    QByteArray line;
    line.reserve(text.size() + 2);
    appendScrubbed(line, text);
    line += "\r\n";
    return line;
}

QByteArray withoutControls(QByteArrayView text) {
    QByteArray kept;
    kept.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && !(byte >= 0x7f && byte <= 0x9f))
            kept += c;
    }
    return kept;
}

QByteArray replyLine(ReplyCode code, QByteArrayView text) {
    QByteArray line = QByteArray::number(static_cast<int>(code));
    line.reserve(line.size() + text.size() + 3);
    line += ' ';
    appendScrubbed(line, text);
    line += "\r\n";
    return line;
}

QByteArray encodeCommandLine(const QString& command) {
    QByteArray bytes;
    bytes.reserve(command.size());
    for (qsizetype i = 0; i < command.size(); ++i) {
        const char32_t c = command[i].unicode();
        if (c < 256) {
            bytes += static_cast<char>(c);
            continue;
        }
        bytes += '?';
        if (command[i].isHighSurrogate() && i + 1 < command.size() &&
            command[i + 1].isLowSurrogate())
            ++i; // the pair is one character
    }
    return wireLine(bytes);
}

QString decodeServerLine(QByteArrayView line) {
    QString text = QString::fromLatin1(line);
    if (line.indexOf('\0') >= 0)
        text.replace(QChar(0), QChar(0xFFFD));
    return text;
}

} // namespace wordmoot
