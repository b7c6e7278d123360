// A short game against the scripted server, from joining to the new rack
// after an accepted play, and a whole board arriving at once.
#include "BoardPlaces.h"
#include "Boxes.h"
#include "ClientFixture.h"
#include "Drops.h"
#include "FullBoard.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

QStringList scoreEntries(WordmootForm& form) {
    auto* list = form.findChild<QAbstractItemView*>(QStringLiteral("listscores"));
    QStringList entries;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        entries.append(list->model()->index(row, 0).data().toString());
    return entries;
}

} // namespace

class GameTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void shortGameFromJoiningToTheNextRack() {
        ClientFixture client;
        QVERIFY(client.start(QStringLiteral("alice")));
        WordmootForm& form = *client.form;
        auto* submit = form.findChild<QPushButton*>(QStringLiteral("cmdsubmitplay"));
        auto* lblturn = form.findChild<QLabel*>(QStringLiteral("lblturn"));

        // Joining: the user wants to play.
        client.dialogs.askAnswers.append(true);
        client.reply({"1180 "});
        QVERIFY(client.server.waitForLines(4));
        QCOMPARE(client.sentAfterLogon(), QList<QByteArray>{"READY"});

        // The game starts: players, scores, the empty board and the rack.
        QList<QByteArray> start = {"2000 alice bob", "2008 alice 0 0 update",
                                   "2008 bob 0 0 update"};
        for (int row = 0; row < 15; ++row)
            start.append("2012 " + QByteArray::number(row) + " ...............");
        start += {"2013 CATSXYZ", "2002 alice rest"};
        client.reply(start);
        QCOMPARE(lblturn->text(), QStringLiteral("alice's turn"));
        QCOMPARE(rackShown(form), (QStringList{"C", "A", "T", "S", "X", "Y", "Z"}));
        QCOMPARE(scoreEntries(form),
                 (QStringList{"alice        0   (updated)", "bob          0   (updated)"}));
        QVERIFY(client.log().contains(QStringLiteral("*** Players in this game: alice bob")));
        QVERIFY(!submit->isEnabled());

        client.reply({"1020 It is your turn"});
        QVERIFY(submit->isEnabled());
        for (const char* name : {"cmdwithdraw", "cmdexchange", "cmdforfeit"})
            QVERIFY(form.findChild<QPushButton*>(QLatin1String(name))->isEnabled());
        QVERIFY(form.findChild<QLineEdit*>(QStringLiteral("txtexchange"))->isEnabled());
        QVERIFY(client.log().endsWith(QStringLiteral("*** It is your turn")));

        // First try: CAT across the centre.
        QVERIFY(dropTile(form, 0, cellCentre(7, 7)).accepted);
        QVERIFY(dropTile(form, 1, cellCentre(8, 7)).accepted);
        QVERIFY(dropTile(form, 2, cellCentre(9, 7)).accepted);
        submit->click();
        QVERIFY(client.server.waitForLines(5));
        QCOMPARE(client.server.lines().last(), QByteArray("PLAY 7,7,C 8,7,A 9,7,T "));
        QVERIFY(client.server.received().endsWith("PLAY 7,7,C 8,7,A 9,7,T \r\n"));
        QCOMPARE(rackShown(form), (QStringList{"", "", "", "S", "X", "Y", "Z"}));
        for (int slot = 0; slot < 3; ++slot)
            QVERIFY(!form.tiles().tile(slot)->isVisible());

        // Refused: the tiles come back and the user is told why.
        const qsizetype boxesBefore = client.dialogs.shown.size();
        client.reply({"5031 Not a word"});
        QCOMPARE(rackShown(form), (QStringList{"C", "A", "T", "S", "X", "Y", "Z"}));
        QCOMPARE(form.tiles().value(0)->pos(), twips::toPixels(QPoint(135 + 175, 5655 + 205)));
        QVERIFY(form.tiles().value(0)->isVisible());
        QVERIFY(client.log().endsWith(QStringLiteral("*** Not a word")));
        QCOMPARE(client.dialogs.shown.mid(boxesBefore),
                 QList{messageBox(QStringLiteral("Not a word"), Dialogs::Icon::Information)});

        // Second try: CAT down through the centre.
        QVERIFY(dropTile(form, 0, cellCentre(7, 6)).accepted);
        QVERIFY(dropTile(form, 1, cellCentre(7, 7)).accepted);
        QVERIFY(dropTile(form, 2, cellCentre(7, 8)).accepted);
        submit->click();
        QVERIFY(client.server.waitForLines(6));
        QCOMPARE(client.server.lines().last(), QByteArray("PLAY 7,6,C 7,7,A 7,8,T "));

        // Accepted: the board shows the play, the user is not asked to
        // approve a play of their own.
        client.reply({"2003 alice 10 7,7,C 8,7,A 9,7,T"});
        const QStringList letters = {"C", "A", "T"};
        for (int i = 0; i < 3; ++i) {
            const TileLabel* tile = form.tiles().tile(board::cellTileIndex(7 + i, 7));
            QVERIFY(tile->isVisible());
            QCOMPARE(tile->text(), letters[i]);
        }
        QVERIFY(client.log().endsWith(QStringLiteral("*** alice scores 10 for CAT")));
        QCOMPARE(client.dialogs.shown.size(), boxesBefore + 1);

        // The new rack and the new score.
        client.reply({"2013 SXYZQRE", "2008 alice 0 10 update"});
        QCOMPARE(rackShown(form), (QStringList{"S", "X", "Y", "Z", "Q", "R", "E"}));
        QCOMPARE(form.tiles().value(4)->text(), QStringLiteral(" 10"));
        QCOMPARE(scoreEntries(form),
                 (QStringList{"alice        10  (updated)", "bob          0   (updated)"}));
        QVERIFY(form.findChild<QAbstractItemView*>(QStringLiteral("listscores"))->isVisible());

        QVERIFY(client.settle());
        QCOMPARE(client.sentAfterLogon(), (QList<QByteArray>{"READY", "PLAY 7,7,C 8,7,A 9,7,T ",
                                                             "PLAY 7,6,C 7,7,A 7,8,T "}));
    }

    // A whole board and rack arriving at once: fifteen rows, each redrawing
    // the tiles, then the rack. How long that takes is bench/client's.
    void fullBoardRefreshShowsEveryTile() {
        ClientFixture client;
        QVERIFY(client.start(QStringLiteral("alice")));
        WordmootForm& form = *client.form;

        // Over the wire, in one arrival.
        QVERIFY(client.reply(fullBoard(1)));
        QCOMPARE(form.tiles().tile(board::cellTileIndex(14, 14))->text(), QStringLiteral("D"));
        QCOMPARE(rackShown(form), (QStringList{"Q", "R", "S", "T", "U", "V", "W"}));

        // Straight through the reply handling, round after round.
        constexpr int kRounds = 30;
        for (int round = 0; round < kRounds; ++round)
            for (const QByteArray& line : fullBoard(round))
                form.replies().dispatch(QString::fromLatin1(line));
        QCOMPARE(form.tiles().tile(board::cellTileIndex(0, 0))->text(),
                 QString(QChar(u'A' + (kRounds - 1) % 26)));
        QCOMPARE(rackShown(form), (QStringList{"Q", "R", "S", "T", "U", "V", "W"}));
    }
};

QTEST_MAIN(GameTest)
#include "tst_clientgame.moc"
