// What the server sends, however it is cut up on the wire, reaches the
// client's handling line by line, in order and exactly once.
#include "ClientFixture.h"

#include "shared/protocol/LineFramer.h"

#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

const QString kDroppedNotice =
    QStringLiteral("*** A line from the server was too long and has been dropped");

bool logShows(const ClientFixture& client, const QString& text, int timeoutMs = 5000) {
    return QTest::qWaitFor([&] { return client.log() == text; }, timeoutMs);
}

} // namespace

class ConnectionTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    // A modal box lets the event loop run; lines that arrive meanwhile must
    // neither be handled twice nor wait for yet another arrival.
    void linesArrivingWhileABoxIsOpenAreHandledOnceInOrder_data() {
        QTest::addColumn<QByteArray>("opener");
        QTest::addColumn<QByteArray>("sentWhileOpen");
        QTest::addColumn<QString>("log");
        QTest::addColumn<int>("boxes");

        QTest::newRow("beep box, lines after it in the same arrival")
            << QByteArray("2026 x\r\n2014 one\r\n") << QByteArray("2014 two\r\n2014 three\r\n")
            << QStringLiteral("*** one\r\n*** two\r\n*** three") << 1;
        QTest::newRow("beep box, another box among the later lines")
            << QByteArray("2026 x\r\n2014 one\r\n")
            << QByteArray("2014 two\r\n2026 y\r\n2014 three\r\n")
            << QStringLiteral("*** one\r\n*** two\r\n*** three") << 2;
        QTest::newRow("nickname box")
            << QByteArray("5011 \r\n") << QByteArray("2014 two\r\n2014 three\r\n")
            << QStringLiteral("*** two\r\n*** three") << 1;
        QTest::newRow("seat question, later line split while open")
            << QByteArray("2022 \r\n2014 one\r\n2014 tw") << QByteArray("o\r\n2014 three\r\n")
            << QStringLiteral("*** one\r\n*** two\r\n*** three") << 1;
    }
    void linesArrivingWhileABoxIsOpenAreHandledOnceInOrder() {
        QFETCH(QByteArray, opener);
        QFETCH(QByteArray, sentWhileOpen);
        QFETCH(QString, log);
        QFETCH(int, boxes);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        const qsizetype logonBoxes = client.dialogs.shown.size();
        bool sent = false;
        client.dialogs.whileOpen = [&] {
            if (sent)
                return;
            sent = true;
            client.server.send(sentWhileOpen);
            QTest::qWait(50); // the user reads the box; the socket keeps receiving
        };

        client.server.send(opener);
        // Nothing more arrives after this: every line must be handled by now.
        QVERIFY(client.settle());

        QCOMPARE(client.log(), log);
        QCOMPARE(client.dialogs.shown.size() - logonBoxes, boxes);
    }

    void refusedNicknameIsReplacedByTheAnswer() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QVERIFY(client.settle());
        client.server.clearReceived();
        client.dialogs.inputAnswers = {QStringLiteral("bob")};
        client.reply({"5011 "});
        QVERIFY(client.server.waitForLines(1));
        QCOMPARE(client.server.received(), QByteArray("NAME bob\r\n"));
    }

    void linesAreCutWhereverTheWireSplitsThem_data() {
        QTest::addColumn<QList<QByteArray>>("arrivals");
        QTest::addColumn<QString>("logAfterFirst");
        QTest::addColumn<QString>("log");

        QTest::newRow("two lines in one arrival")
            << QList<QByteArray>{"2014 a\r\n2014 b\r\n"} << QStringLiteral("*** a\r\n*** b")
            << QStringLiteral("*** a\r\n*** b");
        QTest::newRow("line split across two arrivals")
            << QList<QByteArray>{"2014 hel", "lo\r\n"} << QString() << QStringLiteral("*** hello");
        QTest::newRow("split between CR and LF")
            << QList<QByteArray>{"2014 x\r", "\n"} << QString() << QStringLiteral("*** x");
        QTest::newRow("split after the code")
            << QList<QByteArray>{"2014", " a\r\n2014 b"} << QString() << QStringLiteral("*** a");
        QTest::newRow("bare LF ends a line")
            << QList<QByteArray>{"2014 a\n2014 b\r\n"} << QStringLiteral("*** a\r\n*** b")
            << QStringLiteral("*** a\r\n*** b");
        QTest::newRow("NUL and Latin-1 byte")
            << QList<QByteArray>{QByteArray("2014 a\0b\xE9\r\n", 11)}
            << QStringLiteral("*** a\uFFFDb\u00E9") << QStringLiteral("*** a\uFFFDb\u00E9");
        QTest::newRow("markup stays literal")
            << QList<QByteArray>{"2014 <b>x</b> &amp;\r\n"} << QStringLiteral("*** <b>x</b> &amp;")
            << QStringLiteral("*** <b>x</b> &amp;");
    }
    void linesAreCutWhereverTheWireSplitsThem() {
        QFETCH(QList<QByteArray>, arrivals);
        QFETCH(QString, logAfterFirst);
        QFETCH(QString, log);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.server.send(arrivals.first());
        QVERIFY(client.settle());
        QCOMPARE(client.log(), logAfterFirst);
        for (const QByteArray& arrival : arrivals.mid(1)) {
            client.server.send(arrival);
            QVERIFY(client.settle());
        }
        QCOMPARE(client.log(), log);
    }

    void megabyteLineIsHandledAndTheNextLineFollows() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.server.send("2999 " + QByteArray(1024 * 1024, 'x') + "\r\n2014 after\r\n");
        QVERIFY2(logShows(client, QStringLiteral("*** after")), qPrintable(client.log().left(80)));
    }

    // An overlong line is dropped with one notice, logged where the line
    // stood, and the line after it is still handled.
    void overlongLineIsDroppedWithOneNotice_data() {
        QTest::addColumn<QList<QByteArray>>("arrivals");
        QTest::addColumn<QString>("log");

        const qsizetype cap = LineFramer::kMaxLineBytes;
        QTest::newRow("cap passed long before the line ends")
            << QList<QByteArray>{"2014 " + QByteArray(cap + 1000, 'x'),
                                 QByteArray(5000, 'y') + "\r\n2014 next\r\n"}
            << kDroppedNotice + QStringLiteral("\r\n*** next");
        QTest::newRow("cap passed by the arrival that ends the line")
            << QList<QByteArray>{"2014 " + QByteArray(cap - 100, 'x'),
                                 QByteArray(200, 'y') + "\r\n2014 next\r\n"}
            << kDroppedNotice + QStringLiteral("\r\n*** next");
        QTest::newRow("cap passed by the arrival that ends the line, nothing after")
            << QList<QByteArray>{"2014 " + QByteArray(cap - 100, 'x'),
                                 QByteArray(200, 'y') + "\r\n"}
            << kDroppedNotice;
    }
    void overlongLineIsDroppedWithOneNotice() {
        QFETCH(QList<QByteArray>, arrivals);
        QFETCH(QString, log);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        for (const QByteArray& arrival : arrivals) {
            client.server.send(arrival);
            // Let the client take in all of this arrival before the next.
            QVERIFY(client.settle());
        }
        QVERIFY2(logShows(client, log, 300), qPrintable(client.log().left(200)));

        // The connection still works afterwards.
        client.reply({"2014 later"});
        QVERIFY(logShows(client, log + QStringLiteral("\r\n*** later")));
    }
};

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
