#include "chat/InputLine.h"

#include "protocol/Commands.h"
#include "protocol/Words.h"

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
bool carriesPassword(QStringView command) {
    const QStringView word = command.left(command.indexOf(u' '));
    for (const char* secret : {"identify", "register", "password", "drop"})
        if (word.compare(QLatin1String(secret), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The command word as typed, and each argument as asterisks.
QString masked(const QString& command) {
    const QStringList words = command.split(u' ');
    QString shown = words.front();
    for (qsizetype i = 1; i < words.size(); ++i)
        shown += words[i].isEmpty() ? QStringLiteral(" ") : QStringLiteral(" ********");
    return shown;
}

Outgoing raw(QStringView first, const QString& rest) {
    const QString typed = first.mid(1).toString(); // "\identify" names the command
    const QString command = carriesPassword(typed) ? typed + u' ' + rest : rest;
    if (carriesPassword(command))
        return Outgoing{command, QLatin1Char('!') + masked(command), {}, true};
    return Outgoing{rest, QLatin1Char('!') + rest, {}};
}

} // namespace

std::optional<Outgoing> commandFor(const QString& line) {
    const Words words = splitFirstWord(line);
    if (!words.hadBlank) {
        if (line.isEmpty())
            return std::nullopt;
        return Outgoing{command::say(line), {}, {}};
    }
    if (words.rest.isEmpty())
        return std::nullopt; // a bare ":me " waits to be finished
    const QString rest = words.rest.toString();
    switch (words.first.isEmpty() ? u'\0' : words.first[0].unicode()) {
    case u'\\':
        return raw(words.first, rest);
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

bool keptInHistory(const QString& line) {
    const auto outgoing = commandFor(line);
    return !outgoing || !outgoing->secret;
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
