// The client as the menu starts it, with nobody listening on this machine:
// it starts the server built beside it, logs on, and the user plays the
// robot, whose game's record lands in the user's data folder; a second
// client finds that server and starts nothing, and the two play each other.
// When the server cannot come up, the usual error box says why and the
// client ends.
#include "ClientFixture.h"
#include "LiveServer.h"

#include "client/connection/LocalServer.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <utility>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

constexpr int kStartMs = 15000; // the server's own wait and then some

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

std::unique_ptr<LiveClient> openLocal(const QString& name, quint16 port,
                                      const QStringList& programs) {
    return LiveClient::open(
        name, name + QStringLiteral("@127.0.0.1:") + QString::number(port),
        [&](WordmootForm& form) { form.connection().startLocalServerWhenRefused(programs); });
}

qint64 startedBy(const LiveClient& client) {
    const LocalServer* local = client.form->connection().localServer();
    return local ? local->processId() : 0;
}

} // namespace

class LocalServerTest : public QObject {
    Q_OBJECT
    QTemporaryDir temp_;
    qint64 started_ = 0; // the server a test caused to start, stopped after it

private slots:
    void initTestCase() {
        QVERIFY(temp_.isValid());
        // The server's log goes to the temporary folder: this one; and so
        // does its store, or the games it keeps in play would pile up from
        // one run to the next.
        qputenv("TMPDIR", QFile::encodeName(temp_.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(temp_.path()));
    }

    void init() { ClientFixture::clearSettings(); }

    void cleanup() {
        const qint64 started = std::exchange(started_, 0);
        if (LocalServer::isRunning(started)) {
            QCOMPARE(::kill(pid_t(started), SIGTERM), 0);
            QTRY_VERIFY_WITH_TIMEOUT(!LocalServer::isRunning(started), 10000);
        }
    }

    void onlyThisMachineIsLocal_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("listen");
        QTest::newRow("localhost") << "localhost"
                                   << "127.0.0.1";
        QTest::newRow("localhost in capitals") << "LocalHost"
                                               << "127.0.0.1";
        QTest::newRow("IPv4 loopback") << "127.0.0.1"
                                       << "127.0.0.1";
        QTest::newRow("IPv6 loopback") << "::1"
                                       << "::1";
        QTest::newRow("other loopback address") << "127.0.0.2" << QString();
        QTest::newRow("another machine") << "games.example.org" << QString();
    }
    void onlyThisMachineIsLocal() {
        QFETCH(QString, host);
        QFETCH(QString, listen);
        QCOMPARE(LocalServer::listenAddressFor(host).value_or(QString()), listen);
    }

    void startsTheServerAndPlaysTheRobot() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        const quint16 port = freePort();
        auto someone =
            openLocal(QStringLiteral("someone"), port, LocalServer::programsBesideClient());
        QTRY_VERIFY_WITH_TIMEOUT(startedBy(*someone) > 0, kStartMs);
        started_ = startedBy(*someone);
        QTRY_VERIFY_WITH_TIMEOUT(!someone->gameEntries().isEmpty(), kStartMs);
        QCOMPARE(someone->dialogs.shown.size(), 1); // the start-up box alone

        const QString log = someone->form->connection().localServer()->logPath();
        QCOMPARE(QFileInfo(log).absolutePath(), QFileInfo(temp_.path()).absoluteFilePath());
        QVERIFY(log.endsWith(QStringLiteral("-%1.log").arg(port)));

        // A game made and Yes: whom to play, and Enter plays the computer.
        someone->dialogs.askAnswers = {true};
        QVERIFY(someone->chooseGame(QStringLiteral("0: ")));
        const qsizetype turn = someone->waitForLine(QStringLiteral("2002 "));
        QVERIFY(turn >= 0);
        QVERIFY2(someone->received[turn].contains(
                     QRegularExpression(QStringLiteral("^2002 (someone|Robot) to play$"))),
                 qPrintable(someone->received[turn]));
        QTRY_VERIFY(!someone->scoreEntries().filter(QRegularExpression("^Robot ")).isEmpty());
        QCOMPARE(someone->dialogs.texts().mid(1),
                 (QStringList{QStringLiteral("Do you want to be a player in this game?"),
                              QStringLiteral("Whom do you want to play?")}));

        // Left, the game is over, and its record is in the user's data folder.
        someone->button("cmdleavegame")->click();
        const QDir records(temp_.filePath(QStringLiteral("wordmoot/games")));
        QTRY_COMPARE_WITH_TIMEOUT(records.entryList({QStringLiteral("*.gcg")}).size(), 1, 10000);
        QCOMPARE(records.absolutePath(), QDir(LocalServer::recordsFolder()).absolutePath());

        // A second client on this machine joins that server; there the two
        // play each other: one makes a game for another person, the other
        // joins it, and it begins.
        auto other = openLocal(QStringLiteral("other"), port, LocalServer::programsBesideClient());
        QTRY_VERIFY_WITH_TIMEOUT(!other->gameEntries().isEmpty(), kStartMs);
        QVERIFY(!other->form->connection().localServer()->wasStarted());
        other->dialogs.askAnswers = {true};
        other->dialogs.chooseAnswers = {4}; // another person
        QVERIFY(other->chooseGame(QStringLiteral("0: ")));
        QVERIFY(other->waitForLine(QStringLiteral("2014 A game needs two players")) >= 0);
        // The new game reaches the other's list when the server tells the
        // lobby, which a loaded machine may take a while to do.
        QTRY_VERIFY_WITH_TIMEOUT(
            someone->gameEntries().filter(QStringLiteral("forming - 1 players")).size() == 1,
            kStartMs);
        someone->dialogs.askAnswers = {true};
        QVERIFY(someone->chooseGame(someone->gameEntries().last().left(3)));
        QVERIFY(other->waitForLine(QStringLiteral("2014 The game begins")) >= 0);
        QVERIFY(other->waitForLine(QStringLiteral("2000 ")) >= 0);
        QCOMPARE(other->scoreEntries().size(), 2);
        QVERIFY(other->scoreEntries().filter(QRegularExpression("^Robot")).isEmpty());
        QCOMPARE(someone->complaints(), QStringList());
        QCOMPARE(other->complaints(), QStringList());

        // The server outlives its clients; cleanup() stops it.
        someone.reset();
        other.reset();
        QVERIFY(LocalServer::isRunning(started_));
    }

    // The port is bound but nobody listens on it: connecting is refused and
    // the server started cannot listen there either.
    void serverThatCannotComeUpIsExplained_data() {
        QTest::addColumn<bool>("programMissing");
        QTest::addColumn<QString>("reason"); // %1 the port, %2 the program
        QTest::newRow("port taken")
            << false
            << "wordmoot-server: cannot listen on 127.0.0.1:%1: "
               "The bound address is already in use\n\nWhat it printed is in ";
        QTest::newRow("program missing") << true << "wordmoot-server was not found (looked for %2)";
    }
    void serverThatCannotComeUpIsExplained() {
        QFETCH(bool, programMissing);
        QFETCH(QString, reason);
        QTcpSocket holder;
        QVERIFY(holder.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress));
        const quint16 port = holder.localPort();
        const QStringList programs = programMissing
                                         ? QStringList{temp_.filePath("missing/wordmoot-server")}
                                         : LocalServer::programsBesideClient();

        auto someone = openLocal(QStringLiteral("someone"), port, programs);
        QSignalSpy ended(someone->form.get(), &WordmootForm::programEnded);
        QVERIFY(ended.wait(kStartMs) || ended.count() > 0);
        started_ = startedBy(*someone);
        QCOMPARE(started_ > 0, !programMissing);

        QCOMPARE(someone->dialogs.shown.size(), 2);
        const ScriptedDialogs::Shown& box = someone->dialogs.shown.last();
        QCOMPARE(box.icon, Dialogs::Icon::Stop);
        const QString expected = QStringLiteral("An error has occoured connecting to 127.0.0.1.\n\n"
                                                "Could not start the local server: ") +
                                 QString(reason)
                                     .replace(QStringLiteral("%1"), QString::number(port))
                                     .replace(QStringLiteral("%2"), programs.first());
        QVERIFY2(box.text.startsWith(expected), qPrintable(box.text));
        QCOMPARE(ended.count(), 1);
    }
};

QTEST_MAIN(LocalServerTest)
#include "tst_localserver.moc"
