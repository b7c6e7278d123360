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

namespace {

// A whole-number option: where it goes, what it may be, and how many of the
// field's units one of the option's is (--form-minutes fills seconds). Its
// default is the field's own in ServerOptions, written there once.
struct Whole {
    const char* name;
    const char* valueName;
    const char* help;
    int ServerOptions::*field;
    int low, high;
    int scale = 1;
    const char* zero = nullptr; // what 0 means, for the help
};

constexpr Whole kWholes[] = {
    {"vote-seconds", "N", "How long a vote lasts", &ServerOptions::voteSeconds, 1, 3600},
    {"max-games", "N", "Games at once, 1 to 9", &ServerOptions::maxGames, 1, 9},
    {"robots", "N", "Robots seated in every new game, up to 3", &ServerOptions::robots, 0, 3},
    {"robot-delay-ms", "MS", "How long a robot waits before it acts",
     &ServerOptions::robotDelayMs, 0, 60000},
    {"robot-think-ms", "MS", "The most a champion robot thinks over a move",
     &ServerOptions::robotThinkMs, 1, 600000},
    {"idle-exit", "SECONDS", "Ends the server once it has had no client for this long",
     &ServerOptions::idleExitSeconds, 0, 86400, 1, "never"},
    {"identify-seconds", "N", "How long a registered name may be used unproved",
     &ServerOptions::identifySeconds, 1, 3600},
    {"seat-grace-seconds", "N", "How long the seat of a player whose connection drops waits for them",
     &ServerOptions::seatGraceSeconds, 0, 86400, 1, "not at all"},
    {"turn-seconds", "N", "Each turn's time; at its end the turn passes", &ServerOptions::turnSeconds,
     0, 86400, 1, "no clock"},
    {"game-minutes", "M",
     "Each player's time for the whole game; past it, 10 points lost a minute begun",
     &ServerOptions::gameMinutes, 0, 1440, 1, "none"},
    {"flood-lines", "N", "Lines a client may send at once before it is held back",
     &ServerOptions::floodLines, 1, 1000},
    {"flood-rate", "N", "Lines a client may send a second after those", &ServerOptions::floodRate, 0,
     100000, 1, "no limit"},
    {"per-address", "N", "Connections from one address at once", &ServerOptions::perAddress, 0,
     100000, 1, "no limit"},
    {"name-seconds", "N", "How long a connection may stay without taking a name",
     &ServerOptions::nameSeconds, 1, 3600},
    {"form-minutes", "M", "How long a game not in play stays open with nobody ready",
     &ServerOptions::formSeconds, 0, 1440, 60, "always"},
};

QString defaultText(const Whole& w) {
    return QString::number(ServerOptions{}.*w.field / w.scale);
}

// "How long a vote lasts (30).", "... (0: never).", "... (120; 0: not at all)."
QCommandLineOption optionOf(const Whole& w) {
    const QString value = defaultText(w);
    QString help = QString(w.help) + " (" + value;
    if (w.zero)
        help += (value == "0" ? ": " : "; 0: ") + QString(w.zero);
    return {w.name, help + ").", w.valueName, value};
}

// "(127.0.0.1)": a text option's default, for the help.
QString shown(const QString& value) {
    return " (" + value + ").";
}

} // namespace

OptionsParsed parseOptions(const QStringList& arguments) {
    const ServerOptions defaults;
    QCommandLineParser parser;
    parser.setApplicationDescription("The Wordmoot game server.");
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption showVersion({"v", "version"}, "Shows the version.");
    const QString listenDefault = defaults.listen.toString();
    const QCommandLineOption listen("listen", "Address to listen on" + shown(listenDefault),
                                    "ADDR", listenDefault);
    const QCommandLineOption port("port", "Port to listen on" + shown(QString::number(defaults.port)),
                                  "N", QString::number(defaults.port));
    const QCommandLineOption words(
        "words", "Word list, one word a line (the game's own, share/wordmoot/words.txt).", "FILE");
    const QCommandLineOption judge("judge",
                                   "How plays are judged: challenge, list, vote, mixed or none "
                                   "(challenge with a word list, none without).",
                                   "HOW");
    const QCommandLineOption check(
        "check", "Says of each WORD whether it is valid under the word list, and ends.");
    const QCommandLineOption seed("seed", "Seed for the bag: the same seed, the same draws.", "N");
    const QCommandLineOption clientVersion("client-version", "Newest client version to announce.",
                                           "TEXT");
    const QString levelDefault = robot::levelName(defaults.robotLevel);
    const QCommandLineOption level("robot-level",
                                   "casual, greedy, strong or champion" + shown(levelDefault),
                                   "LEVEL", levelDefault);
    const QCommandLineOption leaves("leaves", "Leave table for strong robots (the built-in one).",
                                    "FILE");
    const QCommandLineOption records("records", "Folder to save finished games in as .gcg.", "DIR");
    const QCommandLineOption store(
        "store",
        "Where accounts, ratings and games are kept: a SQLite FILE, "
        "postgresql://USER@HOST:PORT/DB (the password in PGPASSWORD or PGPASSFILE), or none "
        "to keep them in memory (" + defaultStore() + ").",
        "WHERE");
    const QCommandLineOption hall("hall",
                                  "This server's name among those sharing a store" +
                                      shown(defaults.hall),
                                  "NAME", defaults.hall);
    const QCommandLineOption hallAddress(
        "hall-address", "Where players reach this server, as other halls list it (HOST:PORT).",
        "ADDR");
    const QCommandLineOption operatorName(
        "operator", "The registered name that may ask for STATS, once identified.", "NAME");
    parser.addOptions({help, showVersion, listen, port, words, judge, seed, clientVersion, records,
                       level, leaves, store, hall, hallAddress, operatorName, check});
    for (const Whole& whole : kWholes)
        parser.addOption(optionOf(whole));
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
    const auto portNumber = number(parser.value(port), 0, 65535);
    if (!portNumber)
        return failure("--port: a number from 0 to 65535");
    o.port = quint16(*portNumber);
    for (const Whole& whole : kWholes) {
        const auto value = number(parser.value(whole.name), whole.low, whole.high);
        if (!value)
            return failure(
                QString("--%1: a number from %2 to %3").arg(whole.name).arg(whole.low).arg(whole.high));
        o.*whole.field = *value * whole.scale;
    }
    const auto robotLevel = robot::parseLevel(parser.value(level).toStdString());
    if (!robotLevel)
        return failure("--robot-level: one of casual, greedy, strong, champion");
    if (o.turnSeconds > 0 && o.gameMinutes > 0)
        return failure("--turn-seconds and --game-minutes: one clock or the other, not both");
    const QByteArray hallName = parser.value(hall).toUtf8();
    if (hallName.isEmpty() || hallName.size() > 40 || hallName.contains(' '))
        return failure("--hall: 1 to 40 characters, no blanks");
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
