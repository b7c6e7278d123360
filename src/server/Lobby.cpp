#include "server/Lobby.h"

#include "protocol/ReplyCode.h"
#include "server/Client.h"
#include "server/RobotSeat.h"
#include "server/Room.h"
#include "server/WireText.h"
#include "server/WordCheck.h"

#include <algorithm>

namespace wordmoot::server {

namespace {
QByteArray folded(QByteArrayView name) {
    return name.toByteArray().toLower();
}
} // namespace

bool isLegalName(QByteArrayView name) {
    if (name.isEmpty() || name.size() > 20)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte > 0x20 && byte < 0x7f) || byte >= 0xa0;
    });
}

const Lobby::Command Lobby::kCommands[] = {
    {"NAME", &Lobby::name, false},     {"VERSION", &Lobby::version, false},
    {"QUIT", &Lobby::quit, false},     {"GLIST", &Lobby::gameList, true},
    {"GINFO", &Lobby::gameInfo, true}, {"NEWGAME", &Lobby::newGame, true},
    {"JOIN", &Lobby::join, true},      {"LEAVE", &Lobby::leave, true},
    {"SAY", &Lobby::say, true},        {"TELL", &Lobby::tell, true},
    {"EMOTE", &Lobby::emote, true},    {"WHO", &Lobby::who, true},
    {"BEEP", &Lobby::beep, true},      {"CHECK", &Lobby::check, true},
};

namespace {
// What the robots know when the server judges no words.
const WordList& noWords() {
    static const WordList none;
    return none;
}
} // namespace

Lobby::Lobby(ServerOptions options, std::optional<WordList> words, robot::LeaveTable leaves,
             QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , words_(std::move(words))
    , brain_(words_ ? *words_ : noWords(), std::move(leaves)) {}

Lobby::~Lobby() = default;

void Lobby::admit(Client* client) {
    clients_.push_back(client);
    connect(client, &Client::lineReceived, this, &Lobby::handle);
    connect(client, &Client::gone, this, &Lobby::remove);
    client->send(ReplyCode::Greeting, "2 Welcome to Wordmoot. Take a name with NAME.");
}

void Lobby::remove(Client* client) {
    if (client->room)
        client->room->leave(*client, true);
    else if (!client->name.isEmpty())
        sendTo(nullptr, ReplyCode::Notice, client->name + " has gone");
    std::erase(clients_, client);
    client->deleteLater();
    if (clients_.empty())
        emit deserted();
}

void Lobby::handle(Client* client, const QByteArray& line) {
    const qsizetype blank = line.indexOf(' ');
    const QByteArray word = line.left(blank < 0 ? line.size() : blank).toUpper();
    const QByteArray arg = blank < 0 ? QByteArray() : line.mid(blank + 1);
    if (word.isEmpty())
        return; // an empty line asks nothing
    for (const Command& command : kCommands) {
        if (word != command.word)
            continue;
        if (command.needsName && client->name.isEmpty()) {
            if (word == "GLIST")
                client->listWanted = true;
            return client->send(ReplyCode::Notice, "Take a name first: NAME yourname");
        }
        return (this->*command.handler)(*client, arg);
    }
    if (client->name.isEmpty())
        return client->send(ReplyCode::Notice, "Take a name first: NAME yourname");
    if (client->room && client->room->command(*client, word, arg))
        return;
    inGame(*client, word);
}

// A game command outside a game, or a word nobody knows.
void Lobby::inGame(Client& c, const QByteArray& word) {
    if (Room::isCommand(word))
        return c.send(ReplyCode::Notice, word + " works only in a game: JOIN one first");
    c.send(ReplyCode::Notice, "Unknown command " + word.left(40) +
                                  ": try SAY, TELL, EMOTE, who, beep NAME, check WORD, refresh, "
                                  "approve, challenge, unseen, start");
}

std::vector<Client*> Lobby::in(const Room* room) const {
    std::vector<Client*> found;
    for (Client* client : clients_)
        if (client->room == room && !client->name.isEmpty() && !client->isClosing())
            found.push_back(client);
    return found;
}

void Lobby::sendTo(const Room* room, ReplyCode code, QByteArrayView text) {
    for (Client* client : in(room))
        client->send(code, text);
}

Client* Lobby::named(QByteArrayView name) const {
    const QByteArray wanted = folded(name);
    for (Client* client : clients_)
        if (!client->name.isEmpty() && folded(client->name) == wanted && !client->isClosing())
            return client;
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

void Lobby::name(Client& c, const QByteArray& arg) {
    const QByteArray wanted = arg.trimmed();
    if (!isLegalName(wanted))
        return c.send(ReplyCode::NameIllegal,
                      "Names are 1 to 20 characters, no blanks or control bytes");
    if (Client* other = named(wanted); other && other != &c)
        return c.send(ReplyCode::NameInUse, wanted + " is in use");
    if (isRobotName(wanted))
        return c.send(ReplyCode::NameInUse, wanted + " is kept for the computer players");
    const QByteArray old = c.name;
    c.name = wanted;
    if (old.isEmpty()) {
        sendTo(c.room, ReplyCode::Notice, wanted + " has arrived");
        if (std::exchange(c.listWanted, false))
            gameList(c, {});
        return;
    }
    sendTo(c.room, ReplyCode::NicknameChanged, old + ' ' + wanted + " is the new name");
    if (c.room)
        c.room->renamed(c);
}

void Lobby::version(Client& c, const QByteArray&) {
    if (!options_.clientVersion.isEmpty())
        c.send(ReplyCode::NewestClient, "Newest client v" + options_.clientVersion.toUtf8());
}

void Lobby::gameList(Client& c, const QByteArray&) {
    QByteArray numbers;
    for (const auto& [number, room] : rooms_)
        numbers += QByteArray::number(number) + ' ';
    c.send(ReplyCode::GameNumbers, numbers);
}

void Lobby::gameInfo(Client& c, const QByteArray& arg) {
    const auto number = leadingInt(arg);
    const auto at = number ? rooms_.find(*number) : rooms_.end();
    if (at == rooms_.end())
        return c.send(ReplyCode::Notice, "No game " + arg.trimmed().left(20));
    c.send(ReplyCode::GameDescription, at->second->info());
}

void Lobby::newGame(Client& c, const QByteArray&) {
    if (c.room)
        return c.send(ReplyCode::Notice, "You are in game " + QByteArray::number(c.room->number()) +
                                             ": LEAVE it first");
    for (int number = 1; number <= options_.maxGames; ++number) {
        if (rooms_.count(number))
            continue;
        rooms_[number] = std::make_unique<Room>(*this, number);
        return join(c, QByteArray::number(number));
    }
    c.send(ReplyCode::NewGameRefused, "No game number is free");
}

void Lobby::join(Client& c, const QByteArray& arg) {
    const auto number = leadingInt(arg);
    const auto at = number ? rooms_.find(*number) : rooms_.end();
    if (at == rooms_.end())
        return c.send(ReplyCode::Notice, "No game " + arg.trimmed().left(20) + " to join");
    if (c.room)
        return c.send(ReplyCode::Notice, "You are in game " + QByteArray::number(c.room->number()) +
                                             ": LEAVE it first");
    sendTo(nullptr, ReplyCode::Notice, c.name + " goes to game " + QByteArray::number(*number));
    at->second->join(c);
}

void Lobby::leave(Client& c, const QByteArray&) {
    if (!c.room)
        return c.send(ReplyCode::Notice, "You are in the lobby, not in a game");
    c.room->leave(c, false);
    sendTo(nullptr, ReplyCode::Notice, c.name + " is back in the lobby");
}

void Lobby::quit(Client& c, const QByteArray&) {
    c.send(ReplyCode::Notice, "Goodbye");
    c.close();
}

void Lobby::say(Client& c, const QByteArray& arg) {
    sendTo(c.room, ReplyCode::SaidToAll, c.name + ' ' + arg);
}

void Lobby::tell(Client& c, const QByteArray& arg) {
    const qsizetype blank = arg.indexOf(' ');
    Client* to = named(arg.left(blank < 0 ? arg.size() : blank));
    if (!to)
        return c.send(ReplyCode::Notice, "Nobody is called " + arg.left(blank).left(20));
    to->send(ReplyCode::ToldToUser, c.name + ' ' + (blank < 0 ? QByteArray() : arg.mid(blank + 1)));
}

void Lobby::emote(Client& c, const QByteArray& arg) {
    sendTo(c.room, ReplyCode::Emote, c.name + ' ' + arg);
}

void Lobby::who(Client& c, const QByteArray&) {
    const auto count = std::count_if(clients_.begin(), clients_.end(),
                                     [](Client* x) { return !x->name.isEmpty(); });
    c.send(ReplyCode::Notice, QByteArray::number(qint64(count)) + " users on the server:");
    for (Client* other : clients_) {
        if (other->name.isEmpty())
            continue;
        c.send(ReplyCode::Notice,
               other->name + (other->room ? " in game " + QByteArray::number(other->room->number())
                                          : QByteArray(" in the lobby")));
    }
}

// Words looked up in the list, a notice each (the first few of a long line):
// anyone may, but a player whose game is in play, who would be peeking.
void Lobby::check(Client& c, const QByteArray& arg) {
    constexpr int kMostWords = 10;
    const QList<QByteArray> words = arg.simplified().split(' ');
    if (words.front().isEmpty())
        return c.send(ReplyCode::Notice, "check WORD says whether the word is valid");
    if (!words_)
        return c.send(ReplyCode::Notice, "This server has no word list");
    if (c.room && c.room->isPlaying(c))
        return c.send(ReplyCode::Notice, "No word checks during your game");
    for (const QByteArray& word : words.mid(0, kMostWords))
        c.send(ReplyCode::Notice, checkNotice(*words_, word));
}

void Lobby::beep(Client& c, const QByteArray& arg) {
    Client* to = named(arg.trimmed());
    if (!to)
        return c.send(ReplyCode::Notice, "Nobody is called " + arg.trimmed().left(20));
    to->send(ReplyCode::Beep, c.name);
    c.send(ReplyCode::Notice, "You beep " + to->name);
}

} // namespace wordmoot::server
