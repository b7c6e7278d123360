// Accounts, ratings, history and halls as users meet them: a wrong password,
// a name taken while its owner is away, too many tries, a restart with
// everything still there, and two halls sharing one store.
#include "PostgresCluster.h"
#include "ServerFixture.h"

#include "server/rating/Glicko2.h"
#include "shared/rules/RecordReader.h"
#include "server/Accounts.h"
#include "server/Standings.h"

#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>

#include <cmath>

using namespace wordmoot;
using wordmoot::server::ServerOptions;
using wordmoot::server::Standings;

namespace {

ServerOptions storedIn(const QString& store, const QString& hall = "main") {
    ServerOptions options;
    options.store = store;
    options.hall = hall;
    options.identifySeconds = 1;
    return options;
}

// Passwords are hashed only when the cores have nothing else to do: on a
// machine busy with other tests, an answer may take a while.
struct AccountsFixture : ServerFixture {
    explicit AccountsFixture(ServerOptions options)
        : ServerFixture(std::move(options)) {
        waitMs = 120000;
    }
};

// A user that has taken the name, registered it and is identified.
std::unique_ptr<ScriptedUser> registered(ServerFixture& fixture, const QByteArray& name,
                                         const QByteArray& password) {
    auto user = fixture.logOn(name);
    user->send("REGISTER " + password);
    user->expect("2014 " + name + " is registered to you");
    return user;
}

// The user's answer to RATING, once every store job asked before it is done.
QByteArray ratingOf(ScriptedUser& user, const QByteArray& name) {
    user.send("RATING " + name);
    return user.expect("2014 " + name);
}

QByteArray ratingLine(const QByteArray& name, const rating::Rating& r, int games) {
    return "2014 " + name + ": rating " + QByteArray::number(std::lround(r.rating)) +
           ", deviation " + QByteArray::number(std::lround(r.deviation)) + ", " +
           QByteArray::number(games) + (games == 1 ? " rated game" : " rated games");
}

} // namespace

class AccountsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir_.isValid()); }
    void cleanupTestCase() { cluster_.reset(); }

    // What is refused, and why, before anything is hashed.
    void refusals_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("short password") << QByteArray("ann") << QByteArray("REGISTER seven77")
                                        << QByteArray("2014 A password is one word of 8 bytes");
        QTest::newRow("two words") << QByteArray("ann") << QByteArray("REGISTER long enough")
                                   << QByteArray("2014 A password is one word");
        QTest::newRow("a guest's name") << QByteArray("Guest12") << QByteArray("REGISTER password1")
                                        << QByteArray("2014 Guest12 cannot be registered");
        QTest::newRow("the client's default") << QByteArray("Guest") << QByteArray("REGISTER password1")
                                              << QByteArray("2014 Guest cannot be registered");
        QTest::newRow("identify, not registered")
            << QByteArray("ann") << QByteArray("IDENTIFY password1")
            << QByteArray("2014 ann is not registered: REGISTER");
        QTest::newRow("password unproved") << QByteArray("ann") << QByteArray("PASSWORD aaaaaaaa bbbbbbbb")
                                           << QByteArray("2014 IDENTIFY first");
        QTest::newRow("drop unproved") << QByteArray("ann") << QByteArray("DROP aaaaaaaa")
                                       << QByteArray("2014 IDENTIFY first");
    }
    void refusals() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        AccountsFixture fixture(storedIn("none"));
        auto user = fixture.logOn(name);
        user->send(command);
        QCOMPARE(user->expect("2014 ").left(reply.size()), reply);
    }

    // The owner is away; someone takes the name, cannot prove it, and is
    // renamed; the owner comes back and proves it.
    void aNameTakenWhileItsOwnerIsAway() {
        AccountsFixture fixture(storedIn("none"));
        registered(fixture, "ann", "correct-horse")->vanish();
        auto squatter = fixture.logOn("ANN");
        QCOMPARE(squatter->expect("2014 ANN is registered"),
                 QByteArray("2014 ANN is registered: IDENTIFY with its password within 1 "
                            "seconds, or you will be renamed"));
        squatter->send("IDENTIFY battery-staple");
        QCOMPARE(squatter->expect("2014 Wrong"), QByteArray("2014 Wrong password for ANN"));
        squatter->expect("2014 ANN was not proved in time");
        QVERIFY(squatter->expect("2019 ANN Guest").startsWith("2019 ANN Guest"));
        auto owner = fixture.logOn("ann");
        owner->expect("2014 ann is registered");
        owner->send("IDENTIFY correct-horse");
        owner->expect("2014 You are identified as ann");
        QCOMPARE(ratingOf(*owner, "ann"), QByteArray("2014 ann has no rating yet"));
        QVERIFY(!owner->pending().join().contains("2019")); // proved in time: not renamed
    }

    // A registered player's seat, kept through a drop, goes back to whoever
    // proves the name, from anywhere, and only then: watching till then.
    // The operator, identified, is told the server's health.
    // The time to prove a name runs out while the password is still being
    // checked, on a host too busy to check it at once: the user is told, and
    // the check's end decides.
    void aProofUnderWayOutlastsTheDeadline() {
        AccountsFixture fixture(storedIn("none"));
        registered(fixture, "ann", "correct-horse")->vanish();
        auto ann = fixture.logOn("ann");
        ann->expect("2014 ann is registered: IDENTIFY");
        QThreadPool& hashers = fixture.lobby->accounts().hashers();
        const auto held = std::make_shared<QSemaphore>();
        for (int i = 0; i < hashers.maxThreadCount(); ++i)
            hashers.start([held] { held->acquire(); });
        const auto letGo = qScopeGuard([&] { held->release(hashers.maxThreadCount()); });
        ann->send("IDENTIFY correct-horse");
        QCOMPARE(ann->expect("2014 Your password"),
                 QByteArray("2014 Your password for ann is still being checked: the name stays "
                            "yours until the check ends"));
        held->release(hashers.maxThreadCount());
        QCOMPARE(ann->expect("2014 You are"), QByteArray("2014 You are identified as ann"));
        QVERIFY(!ann->lines.join('\n').contains("not proved in time"));
    }

    void aProvedNameTakesItsSeatBack() {
        ServerOptions options = storedIn("none");
        options.identifySeconds = 60;
        options.operatorName = "ann";
        AccountsFixture fixture(options);
        auto ann = registered(fixture, "ann", "correct-horse");
        auto bob = fixture.logOn("bob");
        fixture.startTwoPlayerGame(*ann, *bob);
        onTurn(*ann, *bob);
        const QByteArray annRack = lastLine(*ann, "2013 ");
        ann->vanish();
        bob->expect("2014 ann lost the connection");
        auto back = fixture.arrive();
        setAddress(*back, "10.9.9.9"); // somewhere else
        back->expect("1000 2 ");
        back->send("NAME ann");
        back->expect("2014 ann is registered");
        back->send("JOIN 1");
        back->expect("2020"); // watching: not proved yet
        back->expect("2002 ");
        QVERIFY(!back->pending().join().contains("2021"));
        back->send("IDENTIFY correct-horse");
        back->expect("2014 You are identified as ann");
        back->expect("2021");
        back->expect("2002 ");
        QCOMPARE(back->expect("2013 "), annRack);
        back->send("STATS");
        QVERIFY(back->expect("2014 Stats: ").startsWith("2014 Stats: up "));
        QCOMPARE(back->expect("2014 Stats: "), QByteArray("2014 Stats: 2 connections, 2 with a name"));
        QVERIFY(back->expect("2014 Stats: ").contains("1 room, 1 game in play"));
        bob->send("STATS");
        bob->expect("2014 STATS is for the server's operator");
    }

    // Five wrong passwords a minute, per name and per address; the next is
    // not even tried.
    void wrongPasswordsAreHeldBack_data() {
        QTest::addColumn<bool>("sameName");
        QTest::newRow("one name, many addresses") << true;
        QTest::newRow("one address, many names") << false;
    }
    void wrongPasswordsAreHeldBack() {
        QFETCH(bool, sameName);
        AccountsFixture fixture(storedIn("none"));
        for (const QByteArray name : {"ann", "bob", "cy", "di", "ed", "flo"})
            registered(fixture, name, "right-password")->vanish();
        const QByteArrayList names = {"ann", "bob", "cy", "di", "ed", "flo"};
        for (int i = 0; i < 6; ++i) {
            const QByteArray name = sameName ? names[0] : names[i];
            auto user = fixture.logOn(name);
            setAddress(*user, sameName ? "10.0.0." + QByteArray::number(i) : "10.0.0.9");
            user->expect("2014 " + name + " is registered:");
            user->send("IDENTIFY wrong-password");
            const QByteArray answer = user->expect("2014 ");
            QVERIFY2(answer.startsWith(i < 5 ? "2014 Wrong password" : "2014 Too many"), answer);
        }
        // A right password is held back too while the name is held back.
        auto owner = fixture.logOn(sameName ? "ann" : "flo");
        setAddress(*owner, "10.0.0.9");
        owner->send("IDENTIFY right-password");
        QVERIFY(owner->expect("2014 Too many").startsWith("2014 Too many"));
    }

    // A flood of passwords asks the store a few times and hashes one at a
    // time: the rest is told to wait, and nothing piles up.
    void aFloodOfPasswordsWaits() {
        AccountsFixture fixture(storedIn("none"));
        registered(fixture, "ann", "right-password")->vanish();
        auto user = fixture.logOn("ann");
        user->expect("2014 ann is registered:");
        for (int i = 0; i < 20; ++i)
            user->send("IDENTIFY wrong-password");
        user->expect("2014 Wrong password for ann");
        ratingOf(*user, "ann"); // every store answer is in
        const QByteArray all = user->lines.join('\n');
        QCOMPARE(all.count("Too fast: wait"), 20 - server::Lobby::kMostStoreAsks);
        QCOMPARE(all.count("being checked"), server::Lobby::kMostStoreAsks - 1);
        QCOMPARE(all.count("Wrong password"), 1);
    }

    void passwordChangedThenAccountDropped() {
        AccountsFixture fixture(storedIn("none"));
        auto ann = registered(fixture, "ann", "first-password");
        ann->send("PASSWORD wrong-password second-password");
        ann->expect("2014 Wrong password for ann");
        ann->send("PASSWORD first-password second-password");
        ann->expect("2014 Your password is changed");
        ann->vanish();
        ann = fixture.logOn("ann");
        ann->send("IDENTIFY first-password");
        ann->expect("2014 Wrong password for ann");
        ann->send("IDENTIFY second-password");
        ann->expect("2014 You are identified as ann");
        ann->send("DROP second-password");
        ann->expect("2014 ann is no longer registered");
        ann->vanish();
        auto again = fixture.logOn("ann");
        ratingOf(*again, "ann");
        QVERIFY(!again->pending().join().contains("registered"));
        QVERIFY(!again->lines.join().contains("is registered"));
    }

    // The store outlives the server: accounts, ratings, games and their
    // records are there after a restart. A player who leaves loses, rated.
    void aRestartKeepsEverything() {
        const QString store = dir_.filePath("restart.sqlite");
        {
            AccountsFixture fixture(storedIn(store));
            auto ann = registered(fixture, "ann", "ann-password");
            auto bob = registered(fixture, "bob", "bob-password");
            fixture.startTwoPlayerGame(*ann, *bob);
            bob->send("QUIT");
            ann->expect("2017 ann");
            const rating::Game beatBob{rating::Rating{}, 1.0};
            QCOMPARE(ann->expect("2014 Rated: "),
                     "2014 Rated: " + ratingLine("ann", rating::rated({}, {&beatBob, 1}), 1).mid(5) +
                         " (was 1500)");
            ann->expect("2014 This game is kept as game 1");
        }
        AccountsFixture fixture(storedIn(store));
        auto ann = fixture.logOn("ann");
        ann->expect("2014 ann is registered");
        ann->send("IDENTIFY ann-password");
        ann->expect("2014 You are identified as ann");
        const rating::Game lostToAnn{rating::Rating{}, 0.0};
        QCOMPARE(ratingOf(*ann, "bob"), ratingLine("bob", rating::rated({}, {&lostToAnn, 1}), 1));
        ann->send("HISTORY");
        ann->expect("2014 The last games of ann");
        QVERIFY(ann->expect("2014 Game 1, ").endsWith(" UTC: ann 0, bob 0: ann won"));
        // The record's lines, as the notices bring them, read back as a record.
        ann->send("RECORD 1");
        ann->expect("2014 The record of game 1:");
        const qsizetype first = ann->taken;
        ann->expect("2014 The end of the record of game 1");
        QByteArray record;
        for (qsizetype i = first; i < ann->taken - 1; ++i)
            record += ann->lines[i].mid(5) + '\n';
        QVERIFY2(record.contains("\n#player1 ann ann\n#player2 bob bob\n"), record.constData());
        const RecordReading read = readRecord(record.toStdString());
        QVERIFY2(read.record, read.fault.why.c_str());
        ann->send("TOP");
        ann->expect("2014 The best rated players:");
        QVERIFY(ann->expect("2014 1. ").startsWith("2014 1. ann: rating "));
        QVERIFY(ann->expect("2014 2. ").startsWith("2014 2. bob: rating "));
    }

    // Pairwise with three or more, a robot at its level's fixed rating, and
    // the unproved not rated and not rated against.
    void aGameIsRatedPairwise() {
        AccountsFixture fixture(storedIn("none"));
        auto ann = registered(fixture, "ann", "ann-password");
        auto bob = registered(fixture, "bob", "bob-password");
        fixture.lobby->standings().gameFinished(
            {{"ann", 300, true, false, dynamic_cast<server::User&>(*ann).serial, true,
              std::nullopt},
             {"bob", 250, false, false, dynamic_cast<server::User&>(*bob).serial, true,
              std::nullopt},
             {"Robot", 280, false, false, 0, false, robot::Level::Champion},
             {"cy", 400, false, false, 0, false, std::nullopt},
             {"di", 500, false, true, 0, true, std::nullopt}}, // left with the most points
            "ann won", "#player1 ann ann\n", {"main", 1});
        const rating::Rating robot = Standings::robotRating(robot::Level::Champion);
        const rating::Game annGames[] = {{{}, 1.0}, {robot, 1.0}, {{}, 1.0}};
        const rating::Game bobGames[] = {{{}, 0.0}, {robot, 0.0}, {{}, 1.0}};
        const rating::Game diGames[] = {{{}, 0.0}, {{}, 0.0}, {robot, 0.0}};
        ann->expect("2014 Rated: ");
        QCOMPARE(ann->expect("2014 Rated against"),
                 QByteArray("2014 Rated against Robot counts as a fixed 2000 (champion)"));
        QCOMPARE(ratingOf(*ann, "ann"), ratingLine("ann", rating::rated({}, annGames), 1));
        QCOMPARE(ratingOf(*ann, "bob"), ratingLine("bob", rating::rated({}, bobGames), 1));
        QCOMPARE(ratingOf(*ann, "di"), ratingLine("di", rating::rated({}, diGames), 1));
        QCOMPARE(ratingOf(*ann, "cy"), QByteArray("2014 cy has no rating yet"));
    }

    // Two halls on one store share the accounts; a name proved in one is
    // refused in the other while it is there.
    void twoHallsShareAccounts_data() {
        QTest::addColumn<QString>("backend");
        QTest::newRow("sqlite") << "sqlite";
        QTest::newRow("postgresql") << "postgresql";
    }
    void twoHallsShareAccounts() {
        QFETCH(QString, backend);
        QString store = dir_.filePath("halls.sqlite");
        if (backend == "postgresql") {
            if (!cluster_)
                cluster_ = std::make_unique<PostgresCluster>();
            if (!cluster_->failure().isEmpty())
                QSKIP(qPrintable("PostgreSQL did not start: " + cluster_->failure()));
            store = cluster_->newDatabase();
        }
        AccountsFixture east(storedIn(store, "east"));
        AccountsFixture west(storedIn(store, "west"));
        auto ann = registered(east, "ann", "ann-password");
        auto there = west.logOn("ann");
        QCOMPARE(there->expect("2014 ann is in"), QByteArray("2014 ann is in hall east now"));
        QVERIFY(there->expect("2019 ann Guest").startsWith("2019 ann Guest"));
        there->send("HALLS");
        QCOMPARE(there->expect("2014 2 halls"), QByteArray("2014 2 halls are open:"));
        QVERIFY(there->expect("2014 east at").startsWith("2014 east at "));
        QVERIFY(there->expect("2014 west (here)").startsWith("2014 west (here) at "));
        ann->vanish();
        auto eastUser = east.logOn("bob");
        ratingOf(*eastUser, "bob"); // east's store has let ann go by now
        there->send("NAME ann");
        there->expect("2014 ann is registered");
        there->send("IDENTIFY ann-password");
        there->expect("2014 You are identified as ann");
    }

    // With the database gone, the server says so, rather than take a
    // registered name for one nobody registered.
    // A name that looks like a registered one is refused, before a restart
    // and after it, until the account is dropped; the registered name in
    // another case is that name, to be proved.
    void aNameLikeARegisteredOne() {
        const QString store = dir_.filePath("looks.sqlite");
        const QByteArray refused = "5011 lan looks too like Ian, a registered name";
        {
            AccountsFixture fixture(storedIn(store));
            registered(fixture, "Ian", "ian-password")->send("QUIT");
            auto lan = fixture.arrive();
            lan->send("NAME lan");
            QCOMPARE(lan->expect("5011"), refused);
        }
        AccountsFixture fixture(storedIn(store));
        auto lan = fixture.arrive();
        lan->send("NAME lan");
        QCOMPARE(lan->expect("5011"), refused);
        auto ian = fixture.logOn("ian");
        ian->expect("2014 ian is registered");
        ian->send("IDENTIFY ian-password");
        ian->expect("2014 You are identified as ian");
        ian->send("DROP ian-password");
        ian->expect("2014 ian is no longer registered");
        lan->send("NAME lan");
        lan->expect("2014 lan has arrived");
    }

    void aStoreThatIsGoneIsSaidToBe() {
        auto cluster = std::make_unique<PostgresCluster>();
        if (!cluster->failure().isEmpty())
            QSKIP(qPrintable("PostgreSQL did not start: " + cluster->failure()));
        AccountsFixture fixture(storedIn(cluster->newDatabase()));
        registered(fixture, "ann", "ann-password")->vanish();
        cluster.reset(); // PostgreSQL stops at once
        auto user = fixture.logOn("ann");
        QCOMPARE(user->expect("2014 The accounts"),
                 QByteArray("2014 The accounts cannot be reached now: whether ann is registered "
                            "is not known"));
        user->send("IDENTIFY ann-password");
        QCOMPARE(user->expect("2014 "),
                 QByteArray("2014 The accounts cannot be reached now: try again later"));
        user->send("NAME bob");
        user->expect("2014 The accounts");
        user->send("REGISTER bob-password");
        QCOMPARE(user->expect("2014 "),
                 QByteArray("2014 The accounts cannot be reached now: try again later"));
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<PostgresCluster> cluster_;
};

QTEST_GUILESS_MAIN(AccountsTest)
#include "tst_accounts.moc"
