// A real client window plays a whole game against a robot through the real
// server, as a new user does after scripts/run.sh: a new game, Yes to the
// player question, and the robot seated by --robots 1 makes it begin. The
// user passes on every turn; the robot plays until the game is over.
#include "ClientFixture.h"
#include "LiveServer.h"

#include "client/app/MessageLog.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

class ClientVsRobotTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ClientFixture::clearSettings();
        // A robot's refused move, a dropped client or a flow gone wrong warn.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    }

    void wholeGameAgainstTheRobot() {
        server::ServerOptions options;
        options.seed = 11;
        options.judging = Judging::List;
        options.words = defaultWordList().path;
        options.robots = 1;
        options.robotDelayMs = 0;
        LiveServer live(options);
        QVERIFY(live.isListening());

        LiveClient* alice = live.logOn(QStringLiteral("alice"));
        QVERIFY(alice);
        alice->dialogs.askAnswers = {true};
        QVERIFY(alice->chooseGame(QStringLiteral("0: ")));
        QVERIFY(alice->waitForLine(QStringLiteral("2014 The game begins")) >= 0);
        QVERIFY(alice->waitForLine(QStringLiteral("2000 Robot alice")) >= 0);

        // alice passes whenever it is her turn, until the game-over box.
        const auto over = [alice] {
            return alice->dialogs.texts().filter(QStringLiteral("Game Over!")).size() == 1;
        };
        int turns = 0;
        while (!over()) {
            QTRY_VERIFY_WITH_TIMEOUT(over() || alice->turnsGiven() > turns, 10000);
            if (over())
                break;
            turns = alice->turnsGiven();
            QTRY_VERIFY(alice->button("cmdforfeit")->isEnabled());
            alice->button("cmdforfeit")->click();
        }
        QVERIFY(turns > 0);

        // The robot scored; the boxes were the player question, game over and
        // the question again (answered No); nothing was refused.
        const QString log = alice->form->irchistorybox()->text();
        QVERIFY(
            log.contains(QRegularExpression(QStringLiteral("\\*\\*\\* Robot scores \\d+ for"))));
        QVERIFY(log.contains(QStringLiteral("*** alice passes")));
        QTRY_COMPARE(alice->dialogs.texts().size(), 4);
        const QStringList boxes = alice->dialogs.texts().mid(1);
        QCOMPARE(boxes[0], QStringLiteral("Do you want to be a player in this game?"));
        QVERIFY2(boxes[1].startsWith(QStringLiteral("Game Over! ")), qPrintable(boxes[1]));
        QCOMPARE(boxes[2], QStringLiteral("Do you want to be a player in this game?"));
        QCOMPARE(alice->complaints(), QStringList());
    }
};

QTEST_MAIN(ClientVsRobotTest)
#include "tst_clientvsrobot.moc"
