#include "shared/rules/Scoring.h"

#include <QTest>

using namespace wordmoot;

Q_DECLARE_METATYPE(wordmoot::Play)
Q_DECLARE_METATYPE(wordmoot::PlacementFault)

namespace {
// "C7,7 A8,7 _9,7": letter (or _ for a blank) then column,row; a lower-case
// letter is a blank standing for it.
Play tiles(const char* text) {
    Play play;
    for (const QByteArray& entry : QByteArray(text).split(' ')) {
        const char c = entry[0];
        const QList<QByteArray> at = entry.mid(1).split(',');
        const bool blank = c == '_' || (c >= 'a' && c <= 'z');
        const char letter = c == '_' ? kUnnamedBlank : char(blank ? c - 'a' + 'A' : c);
        play.push_back(LaidTile{at[0].toInt(), at[1].toInt(), Tile{letter, blank}});
    }
    return play;
}

Grid boardWith(const char* text) {
    Grid grid;
    if (*text)
        for (const LaidTile& t : tiles(text))
            grid.at(t.column, t.row) = t.tile;
    return grid;
}

const char* const kCatOnCentre = "C6,7 A7,7 T8,7";
} // namespace

class ScoringTest : public QObject {
    Q_OBJECT
private slots:
    void placement_data() {
        QTest::addColumn<Grid>("board");
        QTest::addColumn<Play>("play");
        QTest::addColumn<PlacementFault>("fault");
        const Grid empty;
        const Grid cat = boardWith(kCatOnCentre);
        QTest::newRow("first play across the centre")
            << empty << tiles(kCatOnCentre) << PlacementFault::None;
        QTest::newRow("first play beside the centre")
            << empty << tiles("A1,1 T2,1") << PlacementFault::FirstOffCentre;
        QTest::newRow("first play of one tile")
            << empty << tiles("A7,7") << PlacementFault::FirstTooShort;
        QTest::newRow("tiles in no line")
            << empty << tiles("A7,7 T8,8") << PlacementFault::NotInLine;
        QTest::newRow("gap between tiles") << empty << tiles("A7,7 T9,7") << PlacementFault::Gap;
        QTest::newRow("gap filled by a tile there")
            << cat << tiles("S5,7 S9,7") << PlacementFault::None;
        QTest::newRow("cell already taken") << cat << tiles("S7,7") << PlacementFault::CellTaken;
        QTest::newRow("two tiles on one cell")
            << cat << tiles("A9,7 B9,7") << PlacementFault::SameCellTwice;
        QTest::newRow("off the board") << cat << tiles("A15,7") << PlacementFault::OffBoard;
        QTest::newRow("negative cell") << cat << tiles("A-1,7") << PlacementFault::OffBoard;
        QTest::newRow("not touching") << cat << tiles("A1,1 T2,1") << PlacementFault::NotTouching;
        QTest::newRow("down from a tile") << cat << tiles("O6,8 W6,9") << PlacementFault::None;
        QTest::newRow("no tiles") << cat << Play{} << PlacementFault::NoTiles;
    }
    void placement() {
        QFETCH(Grid, board);
        QFETCH(Play, play);
        QFETCH(PlacementFault, fault);
        QCOMPARE(checkPlacement(board, play), fault);
    }

    void score_data() {
        QTest::addColumn<Grid>("board");
        QTest::addColumn<Play>("play");
        QTest::addColumn<int>("score");
        const Grid empty;
        const Grid cat = boardWith(kCatOnCentre);
        QTest::newRow("double word on the centre") << empty << tiles(kCatOnCentre) << 10;
        QTest::newRow("a blank scores nothing") << empty << tiles("c6,7 A7,7 T8,7") << 4;
        QTest::newRow("unnamed blank scores nothing") << empty << tiles("_6,7 A7,7 T8,7") << 4;
        QTest::newRow("premium under an old tile counts no more") << cat << tiles("S9,7") << 6;
        QTest::newRow("main word and cross word") << cat << tiles("A5,8 T6,8") << 8;
        QTest::newRow("triple word and letter") << empty << tiles("Q0,0 I1,0") << 33;
        QTest::newRow("double word with a ten") << empty << tiles("Z1,1 A2,1") << 22;
        QTest::newRow("triple letter") << empty << tiles("X5,5 I6,5") << 25;
        QTest::newRow("all seven tiles earn 50")
            << empty << tiles("R1,7 E2,7 T3,7 A4,7 I5,7 N6,7 S7,7") << 66;
        QTest::newRow("one tile makes two words")
            << boardWith("A6,7 T7,7 O8,8") << tiles("N8,7") << 5;
    }
    void score() {
        QFETCH(Grid, board);
        QFETCH(Play, play);
        QFETCH(int, score);
        QCOMPARE(scorePlay(board, play), score);
    }

    void wordsFormedInOrder() {
        const auto words = formedWords(boardWith(kCatOnCentre), tiles("A5,8 T6,8"));
        QCOMPARE(words.size(), std::size_t(2));
        QCOMPARE(words[0].letters, std::string("AT"));
        QCOMPARE(words[1].letters, std::string("CT"));
        QVERIFY(!words[1].across);
    }

    // The words a play is named by: the main word read off the board with
    // the tiles it joins, then the cross words; blanks in lower case.
    void playWordsReadOffTheBoard_data() {
        QTest::addColumn<Grid>("board");
        QTest::addColumn<Play>("play");
        QTest::addColumn<QString>("words");
        const Grid dote = boardWith("D7,7 O8,7 T9,7 E10,7");
        QTest::newRow("an empty board: the tiles") << Grid() << tiles("C7,7 A8,7 T9,7") << "CAT";
        QTest::newRow("tiles listed out of order") << Grid() << tiles("T9,7 C7,7 A8,7") << "CAT";
        QTest::newRow("laid after a word: the whole word")
            << dote << tiles("J11,7 O12,7") << "DOTEJO";
        QTest::newRow("laid down from a word's letter")
            << dote << tiles("J10,8 O10,9") << "EJO";
        QTest::newRow("one tile lengthening a word") << boardWith("A7,7 E8,7") << tiles("W6,7")
                                                     << "WAE";
        QTest::newRow("a tile inside a word") << boardWith("A6,7 D8,7 I9,7 L10,7 E11,7")
                                              << tiles("E7,7") << "AEDILE";
        QTest::newRow("a blank in lower case")
            << boardWith("T3,7 E4,7 N5,7 D6,7 R7,7 O8,7 N9,7") << tiles("s10,7") << "TENDRONs";
        QTest::newRow("cross words after the main word")
            << boardWith("X8,7") << tiles("Q7,6 A7,7 T7,8") << "QAT, AX";
        QTest::newRow("parallel play: main word, then each cross word")
            << boardWith(kCatOnCentre) << tiles("A5,8 T6,8") << "AT, CT";
        QTest::newRow("the play already on the board")
            << boardWith("C7,7 A8,7 T9,7") << tiles("C7,7 A8,7 T9,7") << "CAT";
        QTest::newRow("not in one line: nothing") << Grid() << tiles("C7,7 A8,8") << "";
        QTest::newRow("not touching: nothing") << boardWith(kCatOnCentre) << tiles("A1,1 T2,1")
                                               << "";
        QTest::newRow("off the board: nothing") << Grid() << tiles("C7,7 A15,7") << "";
    }
    void playWordsReadOffTheBoard() {
        QFETCH(Grid, board);
        QFETCH(Play, play);
        QFETCH(QString, words);
        QCOMPARE(QString::fromStdString(playWords(board, play)), words);
    }
};

QTEST_APPLESS_MAIN(ScoringTest)
#include "tst_scoring.moc"
