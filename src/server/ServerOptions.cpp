#include "server/ServerOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace wordmoot::server {

namespace {

std::optional<int> number(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

OptionsParsed failure(const QString& text) {
    return {std::nullopt, text, true};
}
} // namespace

QString defaultStore() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/wordmoot/server.sqlite";
}

OptionsParsed parseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("The Wordmoot game server.");
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption showVersion({"v", "version"}, "Shows the version.");
    const QCommandLineOption listen("listen", "Address to listen on (127.0.0.1).", "ADDR",
                                    "127.0.0.1");
    const QCommandLineOption port("port", "Port to listen on (7096).", "N", "7096");
    const QCommandLineOption words(
        "words", "Word list, one word a line (the game's own, share/wordmoot/words.txt).", "FILE");
    const QCommandLineOption judge("judge",
                                   "How plays are judged: challenge, list, vote, mixed or none "
                                   "(challenge with a word list, none without).",
                                   "HOW");
    const QCommandLineOption check(
        "check", "Says of each WORD whether it is valid under the word list, and ends.");
    const QCommandLineOption vote("vote-seconds", "How long a vote lasts (30).", "N", "30");
    const QCommandLineOption seed("seed", "Seed for the bag: the same seed, the same draws.", "N");
    const QCommandLineOption games("max-games", "Games at once, 1 to 9 (9).", "N", "9");
    const QCommandLineOption clientVersion("client-version", "Newest client version to announce.",
                                           "TEXT");
    const QCommandLineOption robots("robots", "Robots seated in every new game, up to 3 (0).", "N",
                                    "0");
    const QCommandLineOption delay("robot-delay-ms", "How long a robot waits before it acts (800).",
                                   "MS", "800");
    const QCommandLineOption level("robot-level", "casual, greedy, strong or champion (casual).",
                                   "LEVEL", "casual");
    const QCommandLineOption think(
        "robot-think-ms", "The most a champion robot thinks over a move (2000).", "MS", "2000");
    const QCommandLineOption leaves("leaves", "Leave table for strong robots (the built-in one).",
                                    "FILE");
    const QCommandLineOption records("records", "Folder to save finished games in as .gcg.", "DIR");
    const QCommandLineOption idleExit(
        "idle-exit", "Ends the server once it has had no client for this long (0: never).",
        "SECONDS", "0");
    const QCommandLineOption store(
        "store",
        "Where accounts, ratings and games are kept: a SQLite FILE, "
        "postgresql://USER@HOST:PORT/DB (the password in PGPASSWORD or PGPASSFILE), or none "
        "to keep them in memory (" + defaultStore() + ").",
        "WHERE");
    const QCommandLineOption hall("hall", "This server's name among those sharing a store (main).",
                                  "NAME", "main");
    const QCommandLineOption hallAddress(
        "hall-address", "Where players reach this server, as other halls list it (HOST:PORT).",
        "ADDR");
    const QCommandLineOption identify(
        "identify-seconds", "How long a registered name may be used unproved (60).", "N", "60");
    const QCommandLineOption grace(
        "seat-grace-seconds",
        "How long the seat of a player whose connection drops waits for them (120; 0: not at all).",
        "N", "120");
    const QCommandLineOption turnClock(
        "turn-seconds", "Each turn's time; at its end the turn passes (0: no clock).", "N", "0");
    const QCommandLineOption gameClock(
        "game-minutes",
        "Each player's time for the whole game; past it, 10 points lost a minute begun (0: none).",
        "M", "0");
    const QCommandLineOption operatorName(
        "operator", "The registered name that may ask for STATS, once identified.", "NAME");
    const QCommandLineOption floodLines(
        "flood-lines", "Lines a client may send at once before it is held back (10).", "N", "10");
    const QCommandLineOption floodRate(
        "flood-rate", "Lines a client may send a second after those (2; 0: no limit).", "N", "2");
    const QCommandLineOption perAddress(
        "per-address", "Connections from one address at once (10; 0: no limit).", "N", "10");
    const QCommandLineOption nameSeconds(
        "name-seconds", "How long a connection may stay without taking a name (30).", "N", "30");
    const QCommandLineOption formMinutes(
        "form-minutes", "How long a game not in play stays open with nobody ready (10; 0: always).",
        "M", "10");
    parser.addOptions({help, showVersion, listen, port, words, judge, vote, seed, games,
                       clientVersion, robots, records, delay, level, think, leaves, idleExit,
                       store, hall, hallAddress, identify, grace, turnClock, gameClock,
                       operatorName, floodLines, floodRate, perAddress, nameSeconds, formMinutes,
                       check});
    parser.addPositionalArgument("WORD", "With --check: the words to judge.", "[WORD...]");
    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (parser.isSet(help))
        return {std::nullopt, parser.helpText(), false};
    if (parser.isSet(showVersion))
        return {std::nullopt,
                QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion() +
                    '\n',
                false};
    if (parser.isSet(check) && parser.positionalArguments().isEmpty())
        return failure("--check: name the words to judge");
    if (!parser.isSet(check) && !parser.positionalArguments().isEmpty())
        return failure("unexpected argument: " + parser.positionalArguments().first());

    ServerOptions o;
    if (!o.listen.setAddress(parser.value(listen)))
        return failure("--listen: not an address: " + parser.value(listen));
    // The whole-number options: where each goes and what it may be.
    struct Whole {
        const QCommandLineOption& option;
        int* value;
        int low, high;
    };
    int portNumber = 0;
    int formWait = 0;
    const Whole wholes[] = {
        {port, &portNumber, 0, 65535},
        {vote, &o.voteSeconds, 1, 3600},
        {games, &o.maxGames, 1, 9},
        {robots, &o.robots, 0, 3},
        {delay, &o.robotDelayMs, 0, 60000},
        {think, &o.robotThinkMs, 1, 600000},
        {idleExit, &o.idleExitSeconds, 0, 86400},
        {identify, &o.identifySeconds, 1, 3600},
        {grace, &o.seatGraceSeconds, 0, 86400},
        {turnClock, &o.turnSeconds, 0, 86400},
        {gameClock, &o.gameMinutes, 0, 1440},
        {floodLines, &o.floodLines, 1, 1000},
        {floodRate, &o.floodRate, 0, 100000},
        {perAddress, &o.perAddress, 0, 100000},
        {nameSeconds, &o.nameSeconds, 1, 3600},
        {formMinutes, &formWait, 0, 1440},
    };
    for (const Whole& whole : wholes) {
        const auto value = number(parser.value(whole.option), whole.low, whole.high);
        if (!value)
            return failure(QString("--%1: a number from %2 to %3")
                               .arg(whole.option.names().constFirst())
                               .arg(whole.low)
                               .arg(whole.high));
        *whole.value = *value;
    }
    const auto robotLevel = robot::parseLevel(parser.value(level).toStdString());
    if (!robotLevel)
        return failure("--robot-level: one of casual, greedy, strong, champion");
    if (o.turnSeconds > 0 && o.gameMinutes > 0)
        return failure("--turn-seconds and --game-minutes: one clock or the other, not both");
    const QByteArray hallName = parser.value(hall).toUtf8();
    if (hallName.isEmpty() || hallName.size() > 40 || hallName.contains(' '))
        return failure("--hall: 1 to 40 characters, no blanks");
    o.port = quint16(portNumber);
    o.formSeconds = formWait * 60;
    o.robotLevel = *robotLevel;
    o.operatorName = parser.value(operatorName).toUtf8();
    o.hall = parser.value(hall);
    o.hallAddress = parser.value(hallAddress);
    o.store = parser.isSet(store) ? parser.value(store) : defaultStore();
    if (o.store.isEmpty())
        return failure("--store: a file, a postgresql:// address or none");
    o.leaves = parser.value(leaves);
    if (parser.isSet(seed)) {
        bool ok = false;
        o.seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return failure("--seed: a whole number");
    }
    o.clientVersion = parser.value(clientVersion);
    o.records = parser.value(records);
    if (!o.records.isEmpty() && !QFileInfo(o.records).isDir())
        return failure("--records: not a folder: " + o.records);
    o.check = parser.positionalArguments();
    if (parser.isSet(words)) {
        o.words = parser.value(words);
    } else {
        o.wordsFound = defaultWordList();
        o.words = o.wordsFound->path;
    }
    const QString how = parser.value(judge);
    if (how.isEmpty()) {
        o.judging = o.words.isEmpty() ? Judging::None : Judging::Challenge;
    } else {
        const auto judged = parseJudging(how.toStdString());
        if (!judged)
            return failure("--judge: one of challenge, list, vote, mixed, none");
        o.judging = *judged;
    }
    const bool needsList = o.judging == Judging::List || o.judging == Judging::Mixed ||
                           o.judging == Judging::Challenge;
    if (needsList && o.words.isEmpty())
        return failure("--judge " + how + " needs a word list (--words FILE)");
    return {o, QString(), false};
}

} // namespace wordmoot::server
