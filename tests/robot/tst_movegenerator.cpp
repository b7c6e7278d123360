#include "BruteForce.h"
#include "Positions.h"

#include <QTest>

#include <algorithm>
#include <random>
#include <sstream>

using namespace wordmoot;
using namespace wordmoot::testing;

namespace {

// Short words with every letter, one-letter words that must never count as
// a play's word, and seven-letter ones for the all-tiles bonus.
const char* const kSmallList =
    "A I AA AB AD AE AG AH AI AL AM AN AR AS AT AW AX AY BA BE BI BO BY DE DO ED EF EH EL EM EN "
    "ER ES EX FA GO HA HE HI HM HO ID IF IN IS IT JO KA LA LI LO MA ME MI MO MU MY NA NE NO NU "
    "OD OE OF OH OI OM ON OP OR OS OW OX OY PA PE PI QI RE SH SI SO TA TI TO UH UM UN UP US UT "
    "WE WO XI XU YA YE YO ZA ACE ACT ADS AGE AID AIR ALE ANT APE ARE ART ATE BAD BAT BED BET "
    "BID BIT BOA BOX CAB CAR CAT COT COW DOG DOT EAR EAT EEL FAX FOX GET HAT HEN HOT ICE JAB "
    "JAM JOT MAT NET NOT OAT ODE ONE ORE OWE PAT PEN PET QAT RAT RED SAT SEA SET SIT TAN TEA "
    "TEN TOE TON WAX WET ZAP ZEN ZOO CATS DOTS EATS RATE RATES STAR STARE TEAR TEARS QUIT QUIZ "
    "JINX ZETA OXEN RETAINS RETINAS STAINER";

std::vector<std::string> smallList() {
    std::istringstream in(kSmallList);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// Racks of two to six tiles, some with one or two blanks; the brute force
// takes about as long as the number of orderings of the rack.
std::string testRack(int index, std::mt19937_64& random) {
    static const int kShapes[][2] = {{5, 0}, {4, 1}, {3, 2}, {3, 0}, {3, 1}, {6, 0}};
    const auto [size, blanks] = kShapes[index % std::size(kShapes)];
    std::string rack(blanks, kUnnamedBlank);
    const std::string letters = "AAABCDEEEEFGHIIIJKLMNNOOOPQRRSSTTUVWXYZ";
    while (static_cast<int>(rack.size()) < size)
        rack += letters[random() % letters.size()];
    return rack;
}

// A board laid from lines such as "6 7 across CAT"; a lower-case letter is a
// blank standing for it.
Grid board(const QStringList& lines) {
    Grid grid;
    for (const QString& line : lines) {
        const QStringList parts = line.split(' ');
        int column = parts[0].toInt();
        int row = parts[1].toInt();
        for (QChar c : parts[3]) {
            grid.at(column, row) = Tile{static_cast<char>(c.toUpper().unicode()), c.isLower()};
            (parts[2] == "across" ? column : row) += 1;
        }
    }
    return grid;
}

} // namespace

class MoveGeneratorTest : public QObject {
    Q_OBJECT

    const WordList words_{smallList()};
    const WordGraph graph_{words_.words()};
    const MoveGenerator generator_{graph_};

private slots:
    // Hand-counted scores, so that the generator and the brute force cannot
    // agree on a wrong rule.
    void scoresAPlayOnce_data() {
        QTest::addColumn<QStringList>("tiles");
        QTest::addColumn<QString>("rack");
        QTest::addColumn<QString>("play");
        QTest::newRow("first play doubled at the centre") << QStringList{} << "CAT"
                                                          << "(6,7)C (7,7)A (8,7)T = 10";
        QTest::newRow("blank worth nothing") << QStringList{} << "C_T"
                                             << "(6,7)C (7,7)a (8,7)T = 8";
        QTest::newRow("premium under an old tile spent") << QStringList{"6 7 across CAT"} << "S"
                                                         << "(9,7)S = 6";
        QTest::newRow("old blank worth nothing") << QStringList{"6 7 across cAT"} << "S"
                                                 << "(9,7)S = 3";
        QTest::newRow("cross word takes the letter premium") << QStringList{"7 7 across AT"} << "OX"
                                                             << "(8,8)O (9,8)X = 13";
        QTest::newRow("single tile making two words")
            << QStringList{"7 7 across AT", "6 8 across O"} << "X"
            << "(7,8)X = 18";
        QTest::newRow("all seven tiles earn 50")
            << QStringList{} << "RETAINS"
            << "(7,7)R (8,7)E (9,7)T (10,7)A (11,7)I (12,7)N (13,7)S = 66";
    }
    void scoresAPlayOnce() {
        QFETCH(QStringList, tiles);
        QFETCH(QString, rack);
        QFETCH(QString, play);
        const auto lines = described(generator_.allPlays(board(tiles), rack.toStdString()));
        QCOMPARE(std::count(lines.begin(), lines.end(), play.toStdString()), 1);
    }

    void findsNoPlay_data() {
        QTest::addColumn<QStringList>("tiles");
        QTest::addColumn<QString>("rack");
        QTest::newRow("one-letter word on an empty board") << QStringList{} << "A";
        QTest::newRow("empty rack") << QStringList{"6 7 across CAT"} << "";
        QTest::newRow("no word fits") << QStringList{"6 7 across CAT"} << "VVV";
        QTest::newRow("tiles not in the rack's alphabet") << QStringList{} << "c*t";
    }
    void findsNoPlay() {
        QFETCH(QStringList, tiles);
        QFETCH(QString, rack);
        QCOMPARE(generator_.allPlays(board(tiles), rack.toStdString()).size(), std::size_t(0));
    }

    // The game judges and scores every play the generator finds as the
    // generator does.
    void playsStandInTheGame() {
        const SelfPlay games = selfPlay(generator_, words_, 5, Pick::AtRandom, 300, 0);
        QVERIFY2(games.disagreements.empty(),
                 games.disagreements.empty() ? "" : games.disagreements.front().c_str());
    }

    // The same plays with the same scores, each once, as the brute force on
    // boards from random self-play, the empty board among them.
    void matchesTheBruteForce() {
        const BruteForce brute(words_);
        const SelfPlay games = selfPlay(generator_, words_, 7, Pick::AtRandom, 120, 0);
        const std::vector<Position>& positions = games.positions;
        std::mt19937_64 random(11);
        std::size_t plays = 0;
        std::size_t blankPlays = 0;
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const std::string rack = testRack(static_cast<int>(i), random);
            const auto found = described(generator_.allPlays(positions[i].grid, rack));
            const auto expected = described(brute.allPlays(positions[i].grid, rack));
            if (found != expected) {
                std::vector<std::string> missing, extra;
                std::set_difference(expected.begin(), expected.end(), found.begin(), found.end(),
                                    std::back_inserter(missing));
                std::set_difference(found.begin(), found.end(), expected.begin(), expected.end(),
                                    std::back_inserter(extra));
                const std::string why = "position " + std::to_string(i) + " rack " + rack +
                                        ": missing " + (missing.empty() ? "-" : missing[0]) +
                                        ", extra " + (extra.empty() ? "-" : extra[0]);
                QFAIL(why.c_str());
            }
            plays += found.size();
            blankPlays += std::count_if(found.begin(), found.end(), [](const std::string& line) {
                return std::any_of(line.begin(), line.end(), ::islower);
            });
        }
        // Not an empty agreement.
        QVERIFY2(plays > 4000, std::to_string(plays).c_str());
        QVERIFY2(blankPlays > 1000, std::to_string(blankPlays).c_str());
    }
};

QTEST_APPLESS_MAIN(MoveGeneratorTest)
#include "tst_movegenerator.moc"
