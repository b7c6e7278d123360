#include "protocol/Commands.h"

#include "rules/NumericText.h"

namespace wordmoot::command {

QString join(int game) {
    return QStringLiteral("JOIN ") + numberText(game);
}

} // namespace wordmoot::command

namespace wordmoot {

QByteArray encodeCommandLine(const QString& command) {
    QByteArray line;
    line.reserve(command.size() + 2);
    for (qsizetype i = 0; i < command.size(); ++i) {
        const char32_t c = command[i].unicode();
        if (c == u'\r' || c == u'\n' || c == 0) {
            line += ' ';
        } else if (c < 256) {
            line += static_cast<char>(c);
        } else {
            line += '?';
            if (command[i].isHighSurrogate() && i + 1 < command.size() &&
                command[i + 1].isLowSurrogate())
                ++i; // the pair is one character
        }
    }
    line += "\r\n";
    return line;
}

QString tileLetters(const QString& letters) {
    QString upper = letters;
    for (QChar& c : upper) {
        const QChar big = c.toUpper();
        if (big.unicode() < 256)
            c = big;
    }
    return upper;
}

QString decodeServerLine(QByteArrayView line) {
    QString text = QString::fromLatin1(line);
    if (line.indexOf('\0') >= 0)
        text.replace(QChar(0), QChar(0xFFFD));
    return text;
}

} // namespace wordmoot
