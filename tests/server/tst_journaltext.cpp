#include "server/JournalText.h"

#include <QTest>

using namespace wordmoot;
using namespace wordmoot::server;

// The journal's text: what a server writes, a later server must read back
// the same, and a damaged journal must not be taken for a good one.
class JournalTextTest : public QObject {
    Q_OBJECT
private slots:
    void headReadsBackWhatWasWritten() {
        const journal::SeatText ann{"ann", journal::kPerson, "127.0.0.1", true};
        const journal::SeatText robot{"Robot", "champion", "", false};
        const std::vector<QByteArray> lines{journal::beginLine(18446744073709551615ULL, Judging::Challenge),
                                            journal::seatLine(0, ann), journal::seatLine(1, robot),
                                            "play 0 8,8,C 9,8,A"};
        QCOMPARE(lines[2], QByteArray("seat 1 Robot champion - 0"));
        const auto head = journal::readHead(lines, 4);
        QVERIFY(head);
        QCOMPARE(head->seed, 18446744073709551615ULL);
        QCOMPARE(head->judging, Judging::Challenge);
        QCOMPARE(head->body, std::size_t(3));
        QCOMPARE(head->seats[0].address, QByteArray("127.0.0.1"));
        QVERIFY(head->seats[0].identified);
        QCOMPARE(head->seats[1].kind, QByteArray("champion"));
        QCOMPARE(head->seats[1].address, QByteArray());
    }

    void damagedHeadsAreRefused_data() {
        QTest::addColumn<QByteArrayList>("lines");
        const QByteArray ann = "seat 0 ann person - 0", bob = "seat 1 bob person - 0";
        QTest::newRow("empty") << QByteArrayList{};
        QTest::newRow("no seed") << QByteArrayList{"begin x challenge", ann, bob};
        QTest::newRow("unknown judging") << QByteArrayList{"begin 1 dice", ann, bob};
        QTest::newRow("one seat") << QByteArrayList{"begin 1 challenge", ann};
        QTest::newRow("seats out of order") << QByteArrayList{"begin 1 challenge", bob, ann};
        QTest::newRow("short seat") << QByteArrayList{"begin 1 challenge", ann, "seat 1 bob"};
        QTest::newRow("five seats") << QByteArrayList{
            "begin 1 challenge", ann, bob, "seat 2 c person - 0", "seat 3 d person - 0",
            "seat 4 e person - 0"};
    }
    void damagedHeadsAreRefused() {
        QFETCH(QByteArrayList, lines);
        QVERIFY(!journal::readHead({lines.begin(), lines.end()}, 4));
    }

    void bodyLinesAreTold_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("kind");
        using Kind = journal::Line::Kind;
        QTest::newRow("seat") << journal::seatLine(1, {"cy", "person", "::1", false}) << int(Kind::Seat);
        QTest::newRow("clock") << journal::clockLine(0, 61500, 2) << int(Kind::Clock);
        QTest::newRow("pass") << QByteArray("pass 1") << int(Kind::Input);
        QTest::newRow("seat past the game") << QByteArray("seat 2 cy person - 0") << int(Kind::Broken);
        QTest::newRow("clock of no seat") << QByteArray("clock -1 0 0") << int(Kind::Broken);
        QTest::newRow("short clock") << QByteArray("clock 0 5") << int(Kind::NoInput);
        QTest::newRow("nonsense") << QByteArray("tea 0") << int(Kind::NoInput);
    }
    void bodyLinesAreTold() {
        QFETCH(QByteArray, line);
        QFETCH(int, kind);
        const journal::Line read = journal::readLine(line, 2);
        QCOMPARE(int(read.kind), kind);
        if (read.kind == journal::Line::Kind::Clock) {
            QCOMPARE(read.usedMs, 61500);
            QCOMPARE(read.timeouts, 2);
        }
        if (read.kind == journal::Line::Kind::Seat)
            QCOMPARE(read.who.address, QByteArray("::1"));
    }
};

QTEST_GUILESS_MAIN(JournalTextTest)
#include "tst_journaltext.moc"
