#include "server/Lobby.h"

#include "server/accounts/Names.h"
#include "shared/protocol/Commands.h"
#include "shared/protocol/Replies.h"
#include "shared/protocol/ReplyCode.h"
#include "shared/protocol/WireLine.h"
#include "server/Accounts.h"
#include "server/EventLog.h"
#include "server/Halls.h"
#include "server/RobotSeat.h"
#include "server/Room.h"
#include "server/User.h"
#include "server/Standings.h"
#include "server/WordCheck.h"

#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>


namespace wordmoot::server {

namespace {
// What the robots know when the server judges no words.
const WordList& noWords() {
    static const WordList none;
    return none;
}
} // namespace

Lobby::Lobby(ServerOptions options, std::optional<WordList> words, robot::LeaveTable leaves,
             std::unique_ptr<store::StoreThread> store, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , words_(std::move(words))
    , brain_(words_ ? *words_ : noWords(), std::move(leaves))
    , store_(std::move(store))
    , thinkPool_(std::make_unique<robot::ThinkPool>(brain_)) {
    upSince_.start();
    journal_ = std::make_unique<Journal>(*store_);
    connect(journal_.get(), &Journal::kept, this, [this](quint64 kept) {
        for (const auto& [number, room] : rooms_)
            room->journalKept(kept);
    });
    connect(journal_.get(), &Journal::stalled, this, [this](const QString& why) {
        for (const auto& [number, room] : rooms_)
            room->storeStalled(why);
    });
    connect(journal_.get(), &Journal::resumed, this, [this] {
        for (const auto& [number, room] : rooms_)
            room->storeResumed();
    });
    halls_ = std::make_unique<Halls>(*this);
    accounts_ = std::make_unique<Accounts>(*this);
    standings_ = std::make_unique<Standings>(*this);
    addCommands();
}

void Lobby::addCommands() {
    using From = CommandRegistry::From;
    commands_.add<Lobby>(*this, {
        {"NAME", From::Anyone, "", &Lobby::name},
        {"VERSION", From::Anyone, "", &Lobby::version},
        {"QUIT", From::Anyone, "", &Lobby::quit},
        {"GLIST", From::Named, "", &Lobby::gameList},
        {"GINFO", From::Named, "", &Lobby::gameInfo},
        {"NEWGAME", From::Named, "", &Lobby::newGame},
        {"JOIN", From::Named, "", &Lobby::join},
        {"LEAVE", From::Named, "", &Lobby::leave},
        {"SAY", From::Named, "SAY", &Lobby::say},
        {"TELL", From::Named, "TELL", &Lobby::tell},
        {"EMOTE", From::Named, "EMOTE", &Lobby::emote},
        {"WHO", From::Named, "who", &Lobby::who},
        {"BEEP", From::Named, "beep NAME", &Lobby::beep},
        {"CHECK", From::Named, "check WORD", &Lobby::check},
        {"STATS", From::Named, "", &Lobby::stats},
    });
    accounts_->addCommands(commands_);
    standings_->addCommands(commands_);
    halls_->addCommands(commands_);
    Room::addCommands(commands_);
}

Lobby::~Lobby() {
    thinkPool_.reset(); // a think answers at once, to nobody
    journal_->close();
    halls_->close(); // before the store's last jobs run
}

std::unique_ptr<Lobby> Lobby::open(const ServerOptions& options, QString& error) {
    std::optional<WordList> words;
    if (!options.words.isEmpty()) {
        words = WordList::load(options.words);
        if (!words || words->isEmpty()) {
            error = "cannot read a word from " + options.words;
            return nullptr;
        }
    }
    std::optional<robot::LeaveTable> leaves = options.leaves.isEmpty()
                                                  ? std::optional(robot::LeaveTable::builtIn())
                                                  : robot::LeaveTable::load(options.leaves);
    if (!leaves) {
        error = "cannot read the leave table " + options.leaves;
        return nullptr;
    }
    QString why;
    auto store = store::StoreThread::open(options.store, why);
    if (!store) {
        // Named without a password, should the address hold one.
        const QUrl address(options.store);
        error = "cannot open the store " +
                (address.password().isEmpty() ? options.store
                                              : address.toDisplayString(QUrl::RemovePassword)) +
                ": " + why;
        return nullptr;
    }
    // One hall, one server: two would journal the same games.
    const QByteArray hall = options.hall.toUtf8();
    if (const QString held = store->wait<QString>([hall](store::Store& s) { return s.holdHall(hall); });
        !held.isEmpty()) {
        error = "the hall " + options.hall + " is in use: " + held +
                ". Start this server with --hall NAME, a hall of its own";
        return nullptr;
    }
    auto lobby = std::make_unique<Lobby>(options, std::move(words), std::move(*leaves),
                                         std::move(store));
    lobby->restoreGames();
    return lobby;
}

// Before the server serves anyone, so the store is waited for here.
void Lobby::restoreGames() {
    QElapsedTimer took;
    took.start();
    const QByteArray hall = options_.hall.toUtf8();
    const auto games = store_->wait<std::vector<store::LiveGame>>(
        [hall](store::Store& store) { return store.liveGames(hall); });
    int restored = 0;
    for (const store::LiveGame& game : games) {
        if (game.number < 1 || game.number > options_.maxGames || rooms_.count(game.number))
            continue;
        // What follows a gap cannot be applied: it goes, so that the game
        // journals on from the last line it took.
        if (game.skipsTo >= 0) {
            const store::LiveKey key{hall, game.number};
            const int from = int(game.lines.size());
            const bool cut = store_->wait<bool>([key, from](store::Store& s) { return s.cutLive(key, from); });
            logLine(field("event", "journal-gap") + ' ' + field("hall", hall) + ' ' +
                    field("game", game.number) + ' ' + field("kept-to", from) + ' ' +
                    field("skips-to", game.skipsTo) +
                    (cut ? " what follows the gap is dropped" : " what follows cannot be dropped"));
        }
        auto room = std::make_unique<Room>(*this, game.number);
        if (room->restore(game.lines))
            rooms_[game.number] = std::move(room), ++restored;
    }
    if (!games.empty())
        std::fprintf(stderr, "wordmoot-server: restored %d of %d games in play in %lld ms\n",
                     restored, int(games.size()), took.elapsed());
}

void Lobby::admit(User& user) {
    users_.push_back(&user);
    user.serial = ++serials_;
    bySerial_.insert(user.serial, &user);
    user.send(ReplyCode::Greeting, reply::greeting("Welcome to Wordmoot. Take a name with NAME."));
    // However slowly its lines come, a connection takes a name in time or goes.
    QTimer::singleShot(options_.nameSeconds * 1000, this, [this, serial = user.serial] {
        User* still = bySerial(serial);
        if (!still || !still->name.isEmpty() || still->isClosing())
            return;
        still->send(ReplyCode::Notice, "No name taken in time: goodbye");
        still->close();
    });
}

double Lobby::price(const User& u, QByteArrayView line) const {
    static const QByteArrayList kHeardByMany = {"SAY", "EMOTE", "TELL", "BEEP", "WHO", "GLIST"};
    const QByteArray word = command::split(line.toByteArray()).word;
    if (kHeardByMany.contains(word))
        return 2;
    if (u.room && commands_.isGameCommand(word) && u.room->isOnTurn(u))
        return 0;
    return 1;
}

void Lobby::remove(User& user) {
    if (user.room)
        user.room->leave(user, true);
    else if (!user.name.isEmpty())
        sendTo(nullptr, ReplyCode::Notice, user.name + " has gone");
    accounts_->gone(user);
    std::erase(users_, &user);
    bySerial_.remove(user.serial);
    if (users_.empty())
        emit deserted();
}

void Lobby::receive(User& user, const QByteArray& line) {
    countLine();
    const command::Line command = command::split(line);
    if (!command.word.isEmpty()) // an empty line asks nothing
        commands_.dispatch(user, command.word, command.argument);
}

std::vector<User*> Lobby::in(const Room* room) const {
    std::vector<User*> found;
    for (User* user : users_)
        if (user->room == room && !user->name.isEmpty() && !user->isClosing())
            found.push_back(user);
    return found;
}

void Lobby::sendTo(const Room* room, ReplyCode code, QByteArrayView text) {
    for (User* user : in(room))
        user->send(code, text);
}

User* Lobby::named(QByteArrayView name) const {
    const QByteArray wanted = accounts::folded(name);
    for (User* user : users_)
        if (!user->name.isEmpty() && accounts::folded(user->name) == wanted && !user->isClosing())
            return user;
    return nullptr;
}

void Lobby::roomEmptied(Room* room) {
    // The room may still be on the call stack: let it go from the event loop.
    const int number = room->number();
    QMetaObject::invokeMethod(
        this,
        [this, number] {
            auto at = rooms_.find(number);
            if (at != rooms_.end() && at->second->isEmpty())
                rooms_.erase(at);
        },
        Qt::QueuedConnection);
}

void Lobby::name(User& u, const QByteArray& arg) {
    const QByteArray wanted = arg.trimmed();
    if (!accounts::isLegalName(wanted))
        return u.send(ReplyCode::NameIllegal,
                      "Names are 1 to 20 characters, no blanks, control bytes or invisible ones");
    if (User* other = named(wanted); other && other != &u)
        return u.send(ReplyCode::NameInUse, wanted + " is in use");
    if (accounts::isRobotName(wanted))
        return u.send(ReplyCode::NameInUse, wanted + " is kept for the computer players");
    if (const User* other = lookingLike(wanted, u))
        return u.send(ReplyCode::NameInUse, wanted + " looks too like " + other->name + ", in use");
    if (const auto registered = accounts_->registeredLike(wanted))
        return u.send(ReplyCode::NameInUse,
                      wanted + " looks too like " + *registered + ", a registered name");
    if (const QByteArray why = seatHolds(u, wanted); !why.isEmpty())
        return u.send(ReplyCode::NameInUse, why);
    if (!mayAsk(u)) // a name is looked up in the accounts
        return;
    if (!u.name.isEmpty())
        return rename(u, wanted);
    u.name = wanted;
    sendTo(u.room, ReplyCode::Notice, wanted + " has arrived");
    if (std::exchange(u.listWanted, false))
        gameList(u, {});
    accounts_->named(u, {});
}

const User* Lobby::lookingLike(const QByteArray& name, const User& u) const {
    const QString look = accounts::lookOf(name);
    const auto like = std::find_if(users_.begin(), users_.end(), [&](const User* other) {
        return other != &u && !other->name.isEmpty() && !other->isClosing() &&
               other->look() == look;
    });
    return like == users_.end() ? nullptr : *like;
}

QByteArray Lobby::seatHolds(const User& u, const QByteArray& name) const {
    if (u.room && u.room->hasSeatNamed(name, u))
        return name + " has a seat in this game";
    for (const auto& [number, room] : rooms_)
        if (!room->mayTakeName(u, name))
            return name + " is in use: its seat in game " + QByteArray::number(number) +
                   " waits for its player";
    return {};
}

bool Lobby::mayAsk(User& u) {
    if (u.storeAsks < kMostStoreAsks)
        return true;
    u.send(ReplyCode::Notice, "Too fast: wait for the answers to what you asked");
    return false;
}

void Lobby::rename(User& u, const QByteArray& wanted) {
    const QByteArray old = std::exchange(u.name, wanted);
    sendTo(u.room, ReplyCode::NicknameChanged, reply::nicknameChanged(old, wanted));
    if (u.room)
        u.room->renamed(u);
    accounts_->named(u, old);
}

void Lobby::version(User& u, const QByteArray&) {
    if (!options_.clientVersion.isEmpty())
        u.send(ReplyCode::NewestClient, reply::newestClient(options_.clientVersion.toUtf8()));
}

void Lobby::gameList(User& u, const QByteArray&) {
    std::vector<int> numbers;
    for (const auto& [number, room] : rooms_)
        numbers.push_back(number);
    u.send(ReplyCode::GameNumbers, reply::gameNumbers(numbers));
}

void Lobby::gameInfo(User& u, const QByteArray& arg) {
    const auto number = command::parseGameNumber(arg);
    const auto at = number ? rooms_.find(*number) : rooms_.end();
    if (at == rooms_.end())
        return u.send(ReplyCode::Notice, "No game " + arg.trimmed().left(20));
    u.send(ReplyCode::GameDescription, reply::gameDescription(at->second->info()));
}

void Lobby::newGame(User& u, const QByteArray&) {
    if (u.room)
        return u.send(ReplyCode::Notice, "You are in game " + QByteArray::number(u.room->number()) +
                                             ": LEAVE it first");
    // One address holds one game that has not been played: numbers are few.
    const bool oneAnAddress = options_.perAddress > 0 && !u.address.isEmpty();
    for (const auto& [number, room] : rooms_)
        if (oneAnAddress && room->madeFrom() == u.address)
            return u.send(ReplyCode::NewGameRefused,
                          "Game " + QByteArray::number(number) +
                              ", made from your address, has not been played yet: JOIN it");
    for (int number = 1; number <= options_.maxGames; ++number) {
        if (rooms_.count(number))
            continue;
        rooms_[number] = std::make_unique<Room>(*this, number);
        rooms_[number]->madeBy(u);
        // Where no robot is seated by itself, its maker may ask for one: a
        // client that reads this asks whom the user wants to play.
        if (options_.robots == 0) {
            std::vector<QByteArray> levels;
            for (const robot::Level level : {robot::Level::Casual, robot::Level::Greedy,
                                             robot::Level::Strong, robot::Level::Champion})
                levels.push_back(robot::levelName(level));
            u.send(ReplyCode::RobotsOffered, reply::robotsOffered(levels));
        }
        return join(u, QByteArray::number(number));
    }
    u.send(ReplyCode::NewGameRefused, "No game number is free");
}

void Lobby::join(User& u, const QByteArray& arg) {
    const auto number = command::parseGameNumber(arg);
    const auto at = number ? rooms_.find(*number) : rooms_.end();
    if (at == rooms_.end())
        return u.send(ReplyCode::Notice, "No game " + arg.trimmed().left(20) + " to join");
    if (u.room)
        return u.send(ReplyCode::Notice, "You are in game " + QByteArray::number(u.room->number()) +
                                             ": LEAVE it first");
    sendTo(nullptr, ReplyCode::Notice, u.name + " goes to game " + QByteArray::number(*number));
    at->second->join(u);
}

void Lobby::leave(User& u, const QByteArray&) {
    if (!u.room)
        return u.send(ReplyCode::Notice, "You are in the lobby, not in a game");
    backToLobby(u);
}

void Lobby::backToLobby(User& u) {
    u.room->leave(u, false);
    sendTo(nullptr, ReplyCode::Notice, u.name + " is back in the lobby");
}

void Lobby::quit(User& u, const QByteArray&) {
    u.send(ReplyCode::Notice, "Goodbye");
    u.quitting = true;
    u.close();
}

void Lobby::say(User& u, const QByteArray& arg) {
    sendTo(u.room, ReplyCode::SaidToAll, reply::chat(u.name, withoutControls(arg)));
}

void Lobby::tell(User& u, const QByteArray& arg) {
    const command::Tell tell = command::parseTell(arg);
    User* to = named(tell.to);
    if (!to)
        return u.send(ReplyCode::Notice, "Nobody is called " + tell.to.left(20));
    to->send(ReplyCode::ToldToUser, reply::chat(u.name, withoutControls(tell.text)));
}

void Lobby::emote(User& u, const QByteArray& arg) {
    sendTo(u.room, ReplyCode::Emote, reply::chat(u.name, withoutControls(arg)));
}

void Lobby::who(User& u, const QByteArray&) {
    const auto count =
        std::count_if(users_.begin(), users_.end(), [](User* x) { return !x->name.isEmpty(); });
    u.send(ReplyCode::Notice, QByteArray::number(qint64(count)) + " users on the server:");
    for (User* other : users_) {
        if (other->name.isEmpty())
            continue;
        u.send(ReplyCode::Notice,
               other->name + (other->room ? " in game " + QByteArray::number(other->room->number())
                                          : QByteArray(" in the lobby")));
    }
}

// Words looked up in the list, a notice each (the first few of a long line):
// anyone may, but a player whose game is in play, who would be peeking.
void Lobby::check(User& u, const QByteArray& arg) {
    constexpr int kMostWords = 10;
    const QByteArrayList words = command::parseCheck(arg);
    if (words.isEmpty())
        return u.send(ReplyCode::Notice, "check WORD says whether the word is valid");
    if (!words_)
        return u.send(ReplyCode::Notice, "This server has no word list");
    if (u.room && u.room->isPlaying(u))
        return u.send(ReplyCode::Notice, "No word checks during your game");
    for (const QByteArray& word : words.mid(0, kMostWords))
        u.send(ReplyCode::Notice, checkNotice(*words_, word));
}

void Lobby::beep(User& u, const QByteArray& arg) {
    User* to = named(arg.trimmed());
    if (!to)
        return u.send(ReplyCode::Notice, "Nobody is called " + arg.trimmed().left(20));
    to->send(ReplyCode::Beep, u.name);
    u.send(ReplyCode::Notice, "You beep " + to->name);
}

} // namespace wordmoot::server
