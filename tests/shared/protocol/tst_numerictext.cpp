// Numbers read from server texts and answers, and numbers shown to the user.
#include "shared/protocol/NumericText.h"

#include <QTest>

using namespace wordmoot;

class NumericTextTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheNumberAtTheStart_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "7096" << 7096.0;
        QTest::newRow("leading blanks") << "   12" << 12.0;
        QTest::newRow("stops at a letter") << "12abc" << 12.0;
        QTest::newRow("second colon") << "70:80" << 70.0;
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("leading zero") << "02014" << 2014.0;
        QTest::newRow("fraction") << "0.6" << 0.6;
        QTest::newRow("stored version") << " 0.6" << 0.6;
        QTest::newRow("fraction without whole part") << ".5" << 0.5;
        QTest::newRow("second full stop") << "1.5.3" << 1.5;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("plus") << "+4" << 4.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("full stop alone") << "." << 0.0;
        QTest::newRow("blank inside") << "1 2" << 1.0;
        QTest::newRow("fifteen digits") << "123456789012345" << 123456789012345.0;
        QTest::newRow("sixteen digits") << "1234567890123456" << 1234567890123456.0;
        QTest::newRow("full stop without digits after it") << "12.x" << 12.0;
        QTest::newRow("comma") << "7,8" << 7.0;
        QTest::newRow("non-ASCII digit") << QString::fromUtf8("\u0663") << 0.0;
        // Beyond what a double holds: never infinity.
        QTest::newRow("too large") << QString(400, QLatin1Char('9')) << 0.0;
        QTest::newRow("too large, negative")
            << QLatin1Char('-') + QString(400, QLatin1Char('9')) << 0.0;
        QTest::newRow("too small")
            << QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QLatin1Char('1') << 0.0;
    }
    void readsTheNumberAtTheStart() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(numericValue(text), value);
    }

    void hugeNumbersDoNotOverflowWholeNumbers() {
        const double huge = numericValue(QString(305, QLatin1Char(u'9')));
        QVERIFY(huge > 1e300);
        QVERIFY(wholeNumber(huge) > 0);
        QVERIFY(wholeNumber(-huge) < 0);
    }

    void wholeNumbersRoundHalfToEven() {
        QCOMPARE(wholeNumber(7000.5), 7000);
        QCOMPARE(wholeNumber(7001.5), 7002);
        QCOMPARE(wholeNumber(2.4), 2);
    }

    void numbersAreShownWithRoomForTheSign() {
        QCOMPARE(numberText(3), QStringLiteral(" 3"));
        QCOMPARE(numberText(10), QStringLiteral(" 10"));
        QCOMPARE(numberText(0), QStringLiteral(" 0"));
        QCOMPARE(numberText(0.6), QStringLiteral(" 0.6"));
        QCOMPARE(numberText(-2), QStringLiteral("-2"));
        QCOMPARE(numberText(-0.0), QStringLiteral(" 0"));
        QCOMPARE(numberText(999999999999999), QStringLiteral(" 999999999999999"));
        QCOMPARE(numberText(1e15), QStringLiteral(" 1e+15"));
        QCOMPARE(numberText(-1e15), QStringLiteral("-1e+15"));
        QCOMPARE(numberText(2.5), QStringLiteral(" 2.5"));
    }
};

QTEST_APPLESS_MAIN(NumericTextTest)
#include "tst_numerictext.moc"
