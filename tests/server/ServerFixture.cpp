#include "ServerFixture.h"

#include "shared/protocol/WireLine.h"

#include <QFile>
#include <QTest>
#include <QTimer>

using namespace wordmoot;
using namespace wordmoot::server;

QByteArray ScriptedUser::expect(const QByteArray& prefix) {
    const auto find = [&] {
        for (qsizetype i = taken; i < lines.size(); ++i)
            if (lines[i].startsWith(prefix))
                return i;
        return qsizetype(-1);
    };
    if (!QTest::qWaitFor([&] { return find() >= 0; }, waitMs)) {
        qWarning() << "waited for" << prefix << "after" << pending();
        return QByteArray("(nothing)");
    }
    const qsizetype at = find();
    taken = at + 1;
    return lines[at];
}

LobbyUser::LobbyUser(Lobby& lobby)
    : lobby_(lobby) {
    lobby_.admit(*this);
}

LobbyUser::~LobbyUser() {
    vanish();
}

void LobbyUser::send(const QByteArray& line) {
    if (!closing_)
        lobby_.receive(*this, line);
}

void ScriptedUser::received(QByteArray line) {
    (line.startsWith("2028 ") ? table : lines).push_back(std::move(line));
}

void LobbyUser::vanish() {
    closing_ = true;
    if (!std::exchange(removed_, true))
        lobby_.remove(*this);
}

// Kept as the socket would carry it, without the line end.
void LobbyUser::send(ReplyCode code, QByteArrayView text) {
    if (!closing_)
        received(replyLine(code, text).chopped(2));
}

void LobbyUser::close() {
    closing_ = true;
    QTimer::singleShot(0, &context_, [this] { vanish(); });
}

SocketUser::SocketUser(quint16 port) {
    QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
        buffer += socket.readAll();
        for (qsizetype end; (end = buffer.indexOf("\r\n")) >= 0; buffer.remove(0, end + 2))
            received(buffer.left(end));
    });
    socket.connectToHost(QHostAddress::LocalHost, port);
}

ServerOptions testOptions(ServerOptions options, const QTemporaryDir& folder) {
    QFile words(folder.filePath("words"));
    if (words.open(QIODevice::WriteOnly))
        words.write("cat\ncats\nat\nta\nat's\nzoo\n");
    words.close();
    if (!options.seed)
        options.seed = 1;
    const bool judged = options.judging == Judging::List || options.judging == Judging::Mixed;
    if (judged && options.words.isEmpty())
        options.words = words.fileName();
    return options;
}

ServerFixture::ServerFixture(ServerOptions options) {
    QString error;
    lobby = Lobby::open(testOptions(std::move(options), folder), error);
    if (!lobby)
        qWarning() << "the lobby did not open:" << error;
}

ServerOptions ServerFixture::options(Judging judging) {
    ServerOptions o;
    o.judging = judging;
    return o;
}

std::unique_ptr<ScriptedUser> ServerFixture::arrive() {
    auto user = std::make_unique<LobbyUser>(*lobby);
    user->waitMs = waitMs;
    return user;
}

namespace {
template <typename User>
std::unique_ptr<User> named(std::unique_ptr<User> user, const QByteArray& name) {
    user->expect("1000 2 ");
    user->send("NAME " + name);
    user->expect("2014 " + name + " has arrived");
    return user;
}
} // namespace

std::unique_ptr<ScriptedUser> ServerFixture::logOn(const QByteArray& name) {
    return named(arrive(), name);
}

void ServerFixture::startTwoPlayerGame(ScriptedUser& a, ScriptedUser& b) {
    a.send("NEWGAME");
    a.expect("1180 ");
    a.send("READY");
    b.send("JOIN  1");
    b.expect("1180 ");
    b.send("READY");
    a.expect("2014 Everyone is ready: a");
    a.send("START");
    a.expect("2014 The game begins");
    b.expect("2014 The game begins");
}

SocketFixture::SocketFixture(ServerOptions options) {
    options = testOptions(std::move(options), folder);
    options.listen = QHostAddress::LocalHost;
    options.port = 0;
    server = std::make_unique<GameServer>(options);
    if (server->start())
        port = server->port();
    else
        qWarning() << "the server did not start:" << server->errorText();
}

std::unique_ptr<SocketUser> SocketFixture::logOn(const QByteArray& name) {
    return named(std::make_unique<SocketUser>(port), name);
}

ScriptedUser& onTurn(ScriptedUser& a, ScriptedUser& b) {
    const auto hasTurn = [](const ScriptedUser& u) {
        return !u.lines.isEmpty() && u.lines.last().startsWith("1020");
    };
    // Should neither get the turn in time, the caller's next expectation of
    // the one returned fails and says so.
    if (!QTest::qWaitFor([&] { return hasTurn(a) || hasTurn(b); }, 5000))
        qWarning("neither user was given the turn");
    return hasTurn(a) ? a : b;
}

QByteArray passToTheEnd(ScriptedUser& a, ScriptedUser& b) {
    const auto count = [](const ScriptedUser& u, const char* prefix) {
        return std::count_if(u.lines.begin(), u.lines.end(),
                             [prefix](const QByteArray& l) { return l.startsWith(prefix); });
    };
    const auto over = [&] { return count(a, "2017 ") + count(a, "2018 ") > 0; };
    for (int pass = 0; pass < wordmoot::Game::kScorelessTurnsToEnd && !over(); ++pass) {
        const auto turns = count(a, "1020") + count(b, "1020");
        onTurn(a, b).send("FORFEIT");
        (void)QTest::qWaitFor([&] { return over() || count(a, "1020") + count(b, "1020") > turns; },
                        a.waitMs);
    }
    if (!QTest::qWaitFor(over, a.waitMs)) {
        qWarning() << "no end of the game after" << a.pending();
        return "(nothing)";
    }
    return lastLine(a, count(a, "2017 ") ? "2017 " : "2018 ");
}

QByteArray lastLine(const ScriptedUser& user, const QByteArray& prefix) {
    for (auto line = user.lines.crbegin(); line != user.lines.crend(); ++line)
        if (line->startsWith(prefix))
            return *line;
    return {};
}

void setAddress(ScriptedUser& user, const QByteArray& address) {
    dynamic_cast<wordmoot::server::User&>(user).address = address;
}

QByteArray openingPlay(const ScriptedUser& user) {
    const QByteArray rack = lastLine(user, "2013 ").mid(5);
    return "PLAY 7,7," + rack.left(1) + " 8,7," + rack.mid(1, 1) + ' ';
}
