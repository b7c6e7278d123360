// Two real client windows play a short game through the real server: logon,
// a new game, joining it, one play laid by drag and drop, passes until six
// scoreless turns end the game, and game over on both.
#include "BoardPlaces.h"
#include "ClientFixture.h"
#include "Drops.h"
#include "LiveServer.h"

#include "client/app/MessageLog.h"
#include "shared/rules/Board.h"
#include "client/session/ScoreList.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

const QString kPlayerQuestion = QStringLiteral("Do you want to be a player in this game?");
const QString kWhomToPlay = QStringLiteral("Whom do you want to play?");
// The last of the answers to whom to play: after the computer's four levels.
constexpr int kAnotherPerson = 4;

int tileValue(const QString& tile) {
    return tile.isEmpty() ? 0 : letterValue(tile[0]).value_or(0);
}

int rackValue(const QStringList& rack) {
    int sum = 0;
    for (const QString& tile : rack)
        sum += tileValue(tile);
    return sum;
}

QString turnText(const LiveClient& client) {
    return client.form->findChild<QLabel*>(QStringLiteral("lblturn"))->text();
}

// The score list's entries for alice and bob, in that order, as the server's
// scores and states make them.
QStringList entries(int aliceScore, const QString& aliceStatus, int bobScore,
                    const QString& bobStatus) {
    const auto entry = [](const char* name, int score, const QString& status) {
        return ScoreList::entryText(QString::fromLatin1(name), QStringLiteral("0"),
                                    QString::number(score), status);
    };
    return {entry("alice", aliceScore, aliceStatus), entry("bob", bobScore, bobStatus)};
}

} // namespace

class TwoClientsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ClientFixture::clearSettings();
        // The server warns when it drops a client; the client when a flow
        // goes wrong. Neither may happen here.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    }

    // bob watches alice's game, leaves, comes back to watch again, then sits
    // down by typing \ready: the server and his window agree he plays, the
    // game alice made for another person begins, and each player is put the
    // other's play.
    void aSeatTakenByTypingIsASeat() {
        server::ServerOptions options;
        options.seed = 7;
        options.judging = Judging::Vote;
        LiveServer live(options);
        QVERIFY(live.isListening());
        LiveClient* alice = live.logOn(QStringLiteral("alice"));
        QVERIFY(alice);
        alice->dialogs.askAnswers = {true};
        alice->dialogs.chooseAnswers = {kAnotherPerson};
        QVERIFY(alice->chooseGame(QStringLiteral("0: ")));
        QVERIFY(alice->waitForLine(QStringLiteral("2014 A game needs two players")) >= 0);

        LiveClient* bob = live.logOn(QStringLiteral("bob"));
        QVERIFY(bob);
        for (int visit = 0; visit < 2; ++visit) {
            bob->dialogs.askAnswers = {false};
            QVERIFY(bob->chooseGame(QStringLiteral("1: ")));
            QTRY_VERIFY(bob->form->state().observer && bob->form->state().ingame);
            if (visit == 0) {
                bob->button("cmdleavegame")->click();
                QTRY_COMPARE(bob->gameEntries().size(), 2);
            }
        }
        auto* input = bob->form->findChild<QLineEdit*>(QStringLiteral("ircinputbox"));
        QTest::keyClicks(input, QStringLiteral("\\ready"));
        bob->button("cmdsend")->click();
        QVERIFY(bob->waitForLine(QStringLiteral("1190 ")) >= 0);
        QVERIFY(alice->waitForLine(QStringLiteral("2014 The game begins")) >= 0);
        QTRY_VERIFY(alice->turnsGiven() + bob->turnsGiven() == 1);
        QVERIFY(!bob->form->state().observer);

        // Each in turn lays two tiles; the other is asked and approves.
        for (int move = 0; move < 2; ++move) {
            LiveClient* mover = alice->turnsGiven() > bob->turnsGiven() ? alice : bob;
            LiveClient* other = mover == alice ? bob : alice;
            const int asked = other->dialogs.texts().filter(QStringLiteral("Do you approve")).size();
            other->dialogs.askAnswers = {true};
            const int column = move == 0 ? 7 : 6;
            QVERIFY(dropTile(*mover->form, 0, cellCentre(column, 7 + move)).accepted);
            QVERIFY(dropTile(*mover->form, 1, cellCentre(column, 8 + move)).accepted);
            mover->button("cmdsubmitplay")->click();
            QTRY_COMPARE(other->dialogs.texts().filter(QStringLiteral("Do you approve")).size(),
                         asked + 1);
            QTRY_VERIFY(other->turnsGiven() + mover->turnsGiven() == move + 2);
        }
        QCOMPARE(bob->dialogs.texts().count(kPlayerQuestion), 2); // the two visits, no more
        QCOMPARE(alice->complaints(), QStringList());
        QCOMPARE(bob->complaints(), QStringList());
    }

    void shortGameFromLogonToGameOver() {
        server::ServerOptions options;
        options.seed = 7;
        options.judging = Judging::None;
        LiveServer live(options);
        QVERIFY(live.isListening());

        // alice logs on and makes a game; she wants to play in it.
        LiveClient* alice = live.logOn(QStringLiteral("alice"));
        QVERIFY(alice);
        QCOMPARE(alice->gameEntries(), QStringList{QStringLiteral("0: Create New Game ...")});
        alice->dialogs.askAnswers = {true};
        alice->dialogs.chooseAnswers = {kAnotherPerson}; // she made it: whom to play
        QVERIFY(alice->chooseGame(QStringLiteral("0: ")));
        QTRY_COMPARE(alice->scoreEntries(), QStringList{ScoreList::entryText(
                                                QStringLiteral("alice"), QStringLiteral("0"),
                                                QStringLiteral("0"), QStringLiteral("ready"))});
        QVERIFY(alice->form->isEnabled());

        // bob logs on, finds the forming game in his list and joins it.
        LiveClient* bob = live.logOn(QStringLiteral("bob"));
        QVERIFY(bob);
        QCOMPARE(bob->gameEntries(),
                 (QStringList{QStringLiteral("0: Create New Game ..."),
                              QStringLiteral("1: game 1 - forming - 1 players, 0 observers")}));
        bob->dialogs.askAnswers = {true};
        QVERIFY(bob->chooseGame(QStringLiteral("1: ")));

        // Both are ready: the game alice made for another person begins.
        QVERIFY(alice->waitForLine(QStringLiteral("2014 The game begins"), 0) >= 0);

        // The game begins: one of them is told it is their turn, both show
        // it, and each holds a full rack.
        QTRY_VERIFY(alice->turnsGiven() + bob->turnsGiven() == 1);
        LiveClient* mover = alice->turnsGiven() ? alice : bob;
        LiveClient* other = mover == alice ? bob : alice;
        const QString moverTurn = mover->name + QStringLiteral("'s turn");
        QTRY_COMPARE(turnText(*alice), moverTurn);
        QTRY_COMPARE(turnText(*bob), moverTurn);
        for (const LiveClient* client : {alice, bob}) {
            QCOMPARE(client->rack().filter(QRegularExpression(QStringLiteral("^.$"))).size(),
                     kRackSlots);
            QCOMPARE(rackShown(*client->form), client->rack());
            QCOMPARE(client->scoreEntries(), entries(0, {}, 0, {}));
        }

        // The mover lays the first two tiles across the centre and submits.
        const QStringList rack = mover->rack();
        QVERIFY(dropTile(*mover->form, 0, cellCentre(7, 7)).accepted);
        QVERIFY(dropTile(*mover->form, 1, cellCentre(8, 7)).accepted);
        mover->button("cmdsubmitplay")->click();

        // Both boards show the tiles; the centre doubles the word.
        const int score = 2 * (tileValue(rack[0]) + tileValue(rack[1]));
        for (const LiveClient* client : {alice, bob}) {
            QTRY_COMPARE(client->boardTile(7, 7), rack[0]);
            QCOMPARE(client->boardTile(8, 7), rack[1]);
            QCOMPARE(client->boardTile(9, 7), QString());
            QVERIFY(client->form->irchistorybox()->text().contains(
                QStringLiteral("*** %1 scores %2 for %3")
                    .arg(mover->name)
                    .arg(score)
                    .arg(rack[0] + rack[1])));
            QTRY_COMPARE(client->scoreEntries(),
                         mover == alice ? entries(score, QStringLiteral("updated"), 0, {})
                                        : entries(0, {}, score, QStringLiteral("updated")));
        }
        // The mover's rack is full again: the five kept and two drawn.
        QTRY_COMPARE(other->turnsGiven(), 1);
        QStringList kept = mover->rack();
        for (const QString& tile : rack.mid(2))
            QVERIFY2(kept.removeOne(tile), qPrintable(tile + QStringLiteral(" left the rack")));
        QCOMPARE(kept.filter(QRegularExpression(QStringLiteral("^.$"))).size(), 2);
        QCOMPARE(rackShown(*mover->form), mover->rack());
        QTRY_COMPARE(turnText(*alice), other->name + QStringLiteral("'s turn"));
        QCOMPARE(turnText(*bob), other->name + QStringLiteral("'s turn"));

        // Six scoreless turns in a row by the Pass Turn button end the game.
        LiveClient* onTurn = other;
        for (int pass = 1; pass <= 6; ++pass) {
            LiveClient* next = onTurn == alice ? bob : alice;
            const int turns = next->turnsGiven();
            onTurn->button("cmdforfeit")->click();
            if (pass < 6) {
                QTRY_COMPARE(next->turnsGiven(), turns + 1);
                QTRY_COMPARE(turnText(*onTurn), next->name + QStringLiteral("'s turn"));
            }
            onTurn = next;
        }

        // Game over reaches both, with the tiles left taken off the scores.
        const int moverFinal = score - rackValue(mover->rack());
        const int otherFinal = -rackValue(other->rack());
        const QString gameOver = moverFinal == otherFinal
                                     ? QStringLiteral("Game Over! It was a draw between ")
                                     : QStringLiteral("Game Over! %1 won!")
                                           .arg((moverFinal > otherFinal ? mover : other)->name);
        for (LiveClient* client : {alice, bob}) {
            // The box, then the player question again: No sends OBSERVER and
            // REFRESH, and 1120 brings one more REFRESH. A chat line sent
            // after them comes back once all of them are answered.
            QTRY_COMPARE(client->dialogs.shown.size(), client == alice ? 5 : 4);
            QVERIFY(client->waitForLine(QStringLiteral("1120 ")) >= 0);
            QVERIFY(client->say(QStringLiteral("good game")));
            const QString final = QStringLiteral("final");
            QCOMPARE(client->scoreEntries(), mover == alice
                                                 ? entries(moverFinal, final, otherFinal, final)
                                                 : entries(otherFinal, final, moverFinal, final));
            QVERIFY(!client->button("cmdsubmitplay")->isEnabled());
            QVERIFY(!client->button("cmdforfeit")->isEnabled());
        }

        // Each asked exactly these boxes and no more: the server, the player
        // question (and to alice, who made the game, whom to play), game
        // over, the player question again (answered No).
        for (const LiveClient* client : {alice, bob}) {
            QCOMPARE(client->dialogs.shown.first().kind, ScriptedDialogs::Kind::Input);
            QStringList boxes = client->dialogs.texts().mid(1);
            if (client == alice)
                QCOMPARE(boxes.takeAt(1), kWhomToPlay);
            QCOMPARE(boxes.size(), 3);
            QCOMPARE(boxes[0], kPlayerQuestion);
            QVERIFY2(boxes[1].startsWith(gameOver), qPrintable(boxes[1]));
            QCOMPARE(boxes[2], kPlayerQuestion);
            QVERIFY(client->dialogs.askAnswers.isEmpty());
            QCOMPARE(client->complaints(), QStringList());
        }
    }
};

QTEST_MAIN(TwoClientsTest)
#include "tst_twoclients.moc"
