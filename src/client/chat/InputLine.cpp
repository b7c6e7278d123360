#include "client/chat/InputLine.h"

#include "shared/protocol/Commands.h"
#include "shared/protocol/Words.h"

namespace wordmoot::chat {

std::optional<QString> expansion(const QString& text, int lastLength) {
    if (text.size() != 1 || lastLength > 1)
        return std::nullopt;
    switch (text[0].unicode()) {
    case u':':
        return QStringLiteral(":me ");
    case u'>':
    case u'!':
    case u'.':
        return QStringLiteral(">tell ");
    case u'\\':
        return QStringLiteral("\\raw ");
    case u'/':
        return QStringLiteral("/say ");
    case u'<':
    case u',':
        return QStringLiteral("<nickname ");
    default:
        return std::nullopt;
    }
}

namespace {

// The raw commands whose arguments are passwords.
bool isPasswordCommand(QStringView word) {
    for (const char* secret : {"identify", "register", "password", "drop"})
        if (word.compare(QLatin1String(secret), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The command word as typed, and each argument as asterisks.
QString masked(QStringView command) {
    const QList<QStringView> words = command.split(u' ');
    QString shown = words.front().toString();
    for (qsizetype i = 1; i < words.size(); ++i)
        shown += words[i].isEmpty() ? QStringLiteral(" ") : QStringLiteral(" ********");
    return shown;
}

QStringView skipBlanks(QStringView text) {
    qsizetype at = 0;
    while (at < text.size() && text[at] == u' ')
        ++at;
    return text.mid(at);
}

// The rest without "raw" typed once more after the "\raw " that the
// backslash became: "\raw raw who" sends who, as the server has no RAW.
QStringView withoutRawAgain(QStringView rest) {
    for (Words words = splitFirstWord(skipBlanks(rest));
         words.hadBlank && words.first.compare(QLatin1String("raw"), Qt::CaseInsensitive) == 0;
         words = splitFirstWord(skipBlanks(rest)))
        rest = words.rest;
    return rest;
}

// "\raw who" and "\ who" send who; "\who x" and "\who", pasted whole,
// send "who x" and "who", the word after the backslash being the command
// (else a pasted
// "\identify PASSWORD" would send the password as a command). A command
// that carries a password goes as its words alone, however it was typed
// ("\raw  register x", "\raw raw identify x"), and its echo and its
// history keep no password.
std::optional<Outgoing> raw(const Words& words) {
    const QStringView typed = words.first.mid(1);
    QString command;
    if (typed.isEmpty() || typed.compare(QLatin1String("raw"), Qt::CaseInsensitive) == 0)
        command = withoutRawAgain(words.rest).toString();
    else if (words.hadBlank)
        command = typed.toString() + u' ' + words.rest.toString();
    else
        command = typed.toString();
    if (command.isEmpty())
        return std::nullopt; // "\raw raw " waits to be finished
    const QStringView secret = skipBlanks(command);
    if (!isPasswordCommand(splitFirstWord(secret).first))
        return Outgoing{command, QLatin1Char('!') + command, {}, false};
    return Outgoing{secret.toString(), QLatin1Char('!') + masked(secret), {}, true};
}

} // namespace

std::optional<Outgoing> commandFor(const QString& line) {
    const Words words = splitFirstWord(line);
    if (!words.hadBlank) {
        if (line.isEmpty())
            return std::nullopt;
        if (line.size() > 1 && line.front() == u'\\')
            return raw(words);
        return Outgoing{command::say(line), {}, {}};
    }
    if (words.rest.isEmpty())
        return std::nullopt; // a bare ":me " waits to be finished
    const QString rest = words.rest.toString();
    switch (words.first.isEmpty() ? u'\0' : words.first[0].unicode()) {
    case u'\\':
        return raw(words);
    case u'/':
        return Outgoing{command::say(rest), {}, {}};
    case u'>':
    case u'!':
    case u'.': {
        const Words message = splitFirstWord(rest);
        if (!message.hadBlank)
            return std::nullopt; // a tell without its message waits too
        return Outgoing{command::tell(rest),
                        QStringLiteral("-> *") + message.first.toString() +
                            QStringLiteral("* ") + message.rest.toString(),
                        {}};
    }
    case u':':
        return Outgoing{command::emote(rest), {}, {}};
    case u',':
    case u'<':
        return Outgoing{command::name(rest), {}, rest};
    default:
        return Outgoing{command::say(line), {}, {}};
    }
}

bool carriesPassword(const QString& line) {
    const auto outgoing = commandFor(line);
    return outgoing && outgoing->secret;
}

bool sendLine(ClientContext& client, const QString& line) {
    const auto outgoing = commandFor(line);
    if (!outgoing)
        return false;
    if (!outgoing->echo.isEmpty())
        client.view.addmsg(outgoing->echo);
    if (outgoing->newNickname)
        adoptNickname(client, *outgoing->newNickname);
    // A typed READY asks for a seat as the player question's Yes does.
    if (splitFirstWord(outgoing->command).first.compare(command::ready(), Qt::CaseInsensitive) == 0)
        client.state.seatAsked = true;
    client.server.send(outgoing->command);
    return true;
}

} // namespace wordmoot::chat
