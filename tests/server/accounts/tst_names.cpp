#include "server/accounts/Names.h"

#include <QTest>

using namespace wordmoot::accounts;

// Which names may be taken, and which could be taken for each other.
class NamesTest : public QObject {
    Q_OBJECT
private slots:
    void legal_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("legal");
        QTest::newRow("ASCII") << QByteArray("Ann_O'Neil-2") << true;
        QTest::newRow("ISO 8859-1 letters") << QByteArray("J\xF6rg\xE9") << true;
        QTest::newRow("twenty") << QByteArray(20, 'x') << true;
        QTest::newRow("twenty-one") << QByteArray(21, 'x') << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("a blank") << QByteArray("a b") << false;
        QTest::newRow("ESC") << QByteArray("a\x1b[2J") << false;
        QTest::newRow("DEL") << QByteArray("a\x7f") << false;
        QTest::newRow("C1") << QByteArray("a\x85") << false;
        QTest::newRow("no-break space") << QByteArray("ann\xA0") << false;
        QTest::newRow("soft hyphen") << QByteArray("an\xADn") << false;
        QTest::newRow("Cyrillic a in UTF-8") << QByteArray("\xD0\xB0nn") << false;
        QTest::newRow("zero-width space in UTF-8") << QByteArray("an\xE2\x80\x8Bn") << false;
        QTest::newRow("a letter before a sign") << QByteArray("\xE9\xA7") << true;
    }
    void legal() {
        QFETCH(QByteArray, name);
        QFETCH(bool, legal);
        QCOMPARE(isLegalName(name), legal);
    }

    void lookAlike_data() {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<bool>("alike");
        QTest::newRow("case") << QByteArray("ann") << QByteArray("ANN") << true;
        QTest::newRow("I for l") << QByteArray("Ian") << QByteArray("lan") << true;
        QTest::newRow("zero for O") << QByteArray("R0bot") << QByteArray("ROBOT") << true;
        QTest::newRow("rn for m") << QByteArray("sam") << QByteArray("sarn") << true;
        QTest::newRow("another name") << QByteArray("ann") << QByteArray("anne") << false;
        QTest::newRow("lower i and l") << QByteArray("ian") << QByteArray("lan") << false;
    }
    void lookAlike() {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(bool, alike);
        QCOMPARE(wordmoot::accounts::lookAlike(a, b), alike);
        QCOMPARE(wordmoot::accounts::lookAlike(b, a), alike);
    }

    void robotNames_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("robot");
        QTest::newRow("Robot") << QByteArray("Robot") << true;
        QTest::newRow("robot12") << QByteArray("robot12") << true;
        QTest::newRow("R0B0T") << QByteArray("R0B0T") << true;
        QTest::newRow("RobotI") << QByteArray("RobotI") << true;
        QTest::newRow("robotics") << QByteArray("robotics") << false;
        QTest::newRow("myrobot") << QByteArray("myrobot") << false;
    }
    void robotNames() {
        QFETCH(QByteArray, name);
        QFETCH(bool, robot);
        QCOMPARE(isRobotName(name), robot);
    }
};

QTEST_APPLESS_MAIN(NamesTest)
#include "tst_names.moc"
