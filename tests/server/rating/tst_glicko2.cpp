// Glicko-2 against the worked example of Glickman's paper and what follows
// from the system's definition.
#include "server/rating/Glicko2.h"

#include <QTest>

#include <vector>

using namespace wordmoot::rating;

class Glicko2Test : public QObject {
    Q_OBJECT
private slots:
    void ratingAfterAPeriod_data() {
        QTest::addColumn<double>("rating");
        QTest::addColumn<double>("deviation");
        QTest::addColumn<QList<double>>("games"); // rating, deviation, score, ...
        QTest::addColumn<double>("newRating");
        QTest::addColumn<double>("newDeviation");
        QTest::addColumn<double>("newVolatility");
        // The paper's example: 1500 (200) beats 1400 (30), loses to 1550 (100)
        // and to 1700 (300).
        QTest::newRow("the paper's example")
            << 1500.0 << 200.0 << QList<double>{1400, 30, 1, 1550, 100, 0, 1700, 300, 0}
            << 1464.06 << 151.52 << 0.05999;
        // No games: the rating stays, the deviation grows by the volatility.
        QTest::newRow("a period without games")
            << 1500.0 << 200.0 << QList<double>{} << 1500.0 << 200.27 << 0.06;
        // A draw with an equal player moves nothing but the deviation.
        QTest::newRow("a draw between equals")
            << 1500.0 << 350.0 << QList<double>{1500, 350, 0.5} << 1500.0 << 290.32 << 0.06;
    }
    void ratingAfterAPeriod() {
        QFETCH(double, rating);
        QFETCH(double, deviation);
        QFETCH(QList<double>, games);
        QFETCH(double, newRating);
        QFETCH(double, newDeviation);
        QFETCH(double, newVolatility);
        std::vector<Game> played;
        for (qsizetype i = 0; i + 2 < games.size(); i += 3)
            played.push_back({{games[i], games[i + 1], 0.06}, games[i + 2]});
        const Rating after = rated({rating, deviation, 0.06}, played);
        QVERIFY2(std::abs(after.rating - newRating) < 0.01, qPrintable(QString::number(after.rating)));
        QVERIFY2(std::abs(after.deviation - newDeviation) < 0.01,
                 qPrintable(QString::number(after.deviation)));
        QVERIFY2(std::abs(after.volatility - newVolatility) < 0.00001,
                 qPrintable(QString::number(after.volatility, 'f', 6)));
    }

    // Beating a much stronger player gains more than beating a weaker one,
    // and a loss is the mirror of a win.
    void surprisesCountMore() {
        const Rating me{1500, 100, 0.06};
        const Game strong{{1800, 50, 0.06}, 1}, weak{{1200, 50, 0.06}, 1};
        const double overStrong = rated(me, std::vector{strong}).rating - 1500;
        const double overWeak = rated(me, std::vector{weak}).rating - 1500;
        QVERIFY(overStrong > overWeak && overWeak > 0);
        const Game lost{{1500, 100, 0.06}, 0}, won{{1500, 100, 0.06}, 1};
        QVERIFY(std::abs((rated(me, std::vector{lost}).rating - 1500) +
                         (rated(me, std::vector{won}).rating - 1500)) < 1e-6);
    }
};

QTEST_APPLESS_MAIN(Glicko2Test)
#include "tst_glicko2.moc"
