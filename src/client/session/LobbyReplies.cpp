// The replies about logging on, the lobby and chat.
#include "BuildConfig.h"
#include "shared/protocol/Commands.h"
#include "shared/protocol/NumericText.h"
#include "shared/protocol/Replies.h"
#include "client/session/ReplyHandlers.h"

#include <QStringBuilder>

namespace wordmoot {

namespace {
const QString kClientVersion = QStringLiteral(WORDMOOT_VERSION);
// A game list is followed for this many games at most; the server numbers
// its games with single digits.
constexpr int kMaxGamesAsked = GameList::kMaxGames;

// "<bob> hello" for a line said to all, ">bob< hello" for one told: the
// sender between two marks, then the text, made in one piece as chat lines
// come by the thousand.
QString chatLine(QChar open, QStringView sender, QChar close, QStringView text) {
    QString line;
    line.reserve(sender.size() + text.size() + 3);
    line.append(open).append(sender).append(close).append(u' ').append(text);
    return line;
}
} // namespace

void ReplyHandlers::greeting(QStringView argument) {
    const reply::Greeting greeting = reply::parseGreeting(argument);
    client_.view.addmsg(QStringLiteral("*** ") + greeting.text.toString());
    if (greeting.version != reply::kProtocolVersion)
        client_.dialogs.message(QStringLiteral("Server reports a different protocol version.  "
                                               "This may cause errors."),
                                kAppTitle, Dialogs::Icon::Warning);
}

// An announcement without a version says nothing.
void ReplyHandlers::newestClient(QStringView argument) {
    const auto announcement = reply::parseNewestClient(argument);
    if (!announcement)
        return;
    const QString version = announcement->toString();
    const double announced = numericValue(version);
    const QString known =
        client_.settings.text(setting::kClient, setting::kAvailableVersion, kClientVersion);
    if (announced <= numericValue(kClientVersion) || numericValue(known) >= announced)
        return;
    client_.settings.setText(setting::kClient, setting::kAvailableVersion, numberText(announced));
    client_.dialogs.message(QStringLiteral("A new version (v") + version +
                                QStringLiteral(") of this client is available.\n"
                                               "You can download it from " WORDMOOT_DOWNLOAD_URL),
                            kAppTitle, Dialogs::Icon::Information);
}

void ReplyHandlers::gameNumbers(QStringView argument) {
    if (client_.state.ingame)
        return;
    // The requests go out before the list is reset; the descriptions come
    // back later and land behind the first entry.
    for (const QStringView game : reply::parseGameNumbers(argument, kMaxGamesAsked))
        client_.server.send(command::gameInfo(game.toString()));
    games_.reset();
    client_.view.showGameSelection();
}

void ReplyHandlers::gameDescription(QStringView argument) {
    games_.addGame(argument.toString());
}

void ReplyHandlers::saidToAll(QStringView argument) {
    const Words words = splitFirstWord(argument);
    client_.view.addmsg(chatLine(u'<', words.first, u'>', words.rest));
}

void ReplyHandlers::toldToUser(QStringView argument) {
    const Words words = splitFirstWord(argument);
    client_.view.addmsg(chatLine(u'>', words.first, u'<', words.rest));
}

void ReplyHandlers::notice(QStringView argument) {
    client_.view.addmsg(QStringLiteral("*** ") % argument);
}

void ReplyHandlers::emote(QStringView argument) {
    client_.view.addmsg(QStringLiteral("* ") % argument);
}

void ReplyHandlers::beep(QStringView) {
    client_.dialogs.message(QStringLiteral("*** BEEP ***"), kAppTitle, Dialogs::Icon::Warning);
}

void ReplyHandlers::nameIllegal(QStringView) {
    askForAnotherName(QStringLiteral("' is illegal."));
}

void ReplyHandlers::nameInUse(QStringView) {
    askForAnotherName(QStringLiteral("' is already in use."));
}

// The refused name is replaced by whatever the user answers, even nothing;
// the caption and the stored name wait until the server reports a change.
void ReplyHandlers::askForAnotherName(const QString& problem) {
    const QString prompt = QStringLiteral("The name '") + client_.state.nickname + problem +
                           QStringLiteral("\nPlease choose another name.");
    client_.state.nickname = client_.dialogs.input(prompt, kAppTitle, QString());
    client_.server.send(command::name(client_.state.nickname));
}

// Kept for the 1180 that follows: the game was made by this user.
void ReplyHandlers::robotsOffered(QStringView argument) {
    constexpr int kMostLevels = 8;
    client_.state.robotLevels.clear();
    client_.state.panelServer = true;
    for (const QStringView level : reply::parseRobotsOffered(argument, kMostLevels))
        client_.state.robotLevels.append(level.toString());
}

void ReplyHandlers::newGameRefused(QStringView) {
    client_.dialogs.message(QStringLiteral("Can not create new game"), kAppTitle,
                            Dialogs::Icon::Information);
    client_.server.send(command::gameList());
}

} // namespace wordmoot
