// The game panel's state from the server's 2028 lines, without a window:
// what the panel would show, and that the lines stay out of the log.
#include "OfflineClient.h"

#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

class GameTableTest : public QObject {
    Q_OBJECT
private slots:
    void linesBecomeThePanel() {
        OfflineClient<> client;
        const GameTable& table = client.replies.table();
        for (const char* line : {"2028 BAG 86", "2028 UNSEEN AAABEE_Z_",
                                 "2028 CLOCK GAME ann ann 595000 bob -12000", "2028 MOVES 1",
                                 "2028 MOVE 1 bob 24 24 8D VAL.T VALET,AT",
                                 "2028 MOVE 2 ann 0 0 - - lost turn: challenged a valid play",
                                 "2028 MOVE 9 ann 5 5 -", // out of order: dropped
                                 "2028 PREVIEW 12 ZA", "2028 NEWS 1", "2028 BAG lots"})
            client.dispatch(QString::fromLatin1(line));
        QVERIFY(client.view.log.isEmpty()); // nothing of it in the message log
        QCOMPARE(table.bagText(), QStringLiteral("86 tiles in the bag"));
        QCOMPARE(table.unseenText(), QStringLiteral("A  3  B  1  E  2  Z  1  ?  2"));
        QCOMPARE(table.clockTexts(5000),
                 (QStringList{QStringLiteral("ann 9:50 \u25C2"), QStringLiteral("bob 0:12 over")}));
        QVERIFY(table.clockRuns());
        QCOMPARE(int(table.moves().size()), 2);
        QCOMPARE(GameTable::moveText(table.moves()[0]),
                 QStringLiteral("1  bob  8D VAL.T  VALET, AT  24  24"));
        QCOMPARE(GameTable::moveText(table.moves()[1]),
                 QStringLiteral("2  ann  -  0  0  (lost turn: challenged a valid play)"));
        QCOMPARE(table.previewText(), QStringLiteral("ZA: 12"));
        client.dispatch(QStringLiteral("2028 PREVIEW REFUSED 5032 Refused: a gap"));
        QCOMPARE(table.previewText(), QStringLiteral("Refused: a gap"));

        // Joining again, the list starts over; leaving empties the panel.
        client.dispatch(QStringLiteral("2028 MOVES 0"));
        QVERIFY(table.moves().empty());
        client.replies.leftgame();
        QVERIFY(table.bagText().isEmpty() && table.clockTexts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(GameTableTest)
#include "tst_gametable.moc"
