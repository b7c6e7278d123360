// The board model without a window: premium squares, letter values, where
// cells and tiles lie, and composing a play on the rack and board.
#include "client/board/BoardGeometry.h"
#include "client/board/Composing.h"

#include <QTest>

#include <map>

using namespace wordmoot;
using namespace wordmoot::board;

namespace {

QStringList rackTiles(const ClientState& state) {
    QStringList tiles;
    for (const RackSlot& slot : state.rack)
        tiles.append(slot.tile);
    return tiles;
}

QString placedFlags(const ClientState& state) {
    QString flags;
    for (const RackSlot& slot : state.rack)
        flags += slot.placed ? QLatin1Char('1') : QLatin1Char('0');
    return flags;
}

void setRack(ClientState& state, const QStringList& tiles) {
    for (int slot = 0; slot < kRackSlots; ++slot)
        state.rack[slot].tile = tiles.value(slot);
}

} // namespace

class BoardModelTest : public QObject {
    Q_OBJECT
private slots:
    // --- premium squares --------------------------------------------------

    void premiumSquaresHaveTheirCounts() {
        std::map<Premium, int> counts;
        for (int column = 0; column < kBoardCells; ++column)
            for (int row = 0; row < kBoardCells; ++row)
                ++counts[premium(column, row)];
        QCOMPARE(counts[Premium::TripleWord], 8);
        QCOMPARE(counts[Premium::DoubleWord], 17);
        QCOMPARE(counts[Premium::TripleLetter], 12);
        QCOMPARE(counts[Premium::DoubleLetter], 24);
        QCOMPARE(counts[Premium::Plain], 225 - 8 - 17 - 12 - 24);
    }

    void premiumMapIsSymmetricAboutBothDiagonals() {
        for (int column = 0; column < kBoardCells; ++column) {
            for (int row = 0; row < kBoardCells; ++row) {
                QCOMPARE(premium(column, row), premium(row, column));
                QCOMPARE(premium(column, row), premium(14 - row, 14 - column));
            }
        }
    }

    void premiumSquaresSitWhereTheBoardHasThem_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<Premium>("kind");
        QTest::newRow("top left corner") << 0 << 0 << Premium::TripleWord;
        QTest::newRow("top middle") << 7 << 0 << Premium::TripleWord;
        QTest::newRow("bottom right corner") << 14 << 14 << Premium::TripleWord;
        QTest::newRow("centre") << 7 << 7 << Premium::DoubleWord;
        QTest::newRow("diagonal") << 4 << 4 << Premium::DoubleWord;
        QTest::newRow("triple letter") << 5 << 1 << Premium::TripleLetter;
        QTest::newRow("triple letter inside") << 9 << 9 << Premium::TripleLetter;
        QTest::newRow("double letter on the edge") << 3 << 0 << Premium::DoubleLetter;
        QTest::newRow("double letter near the centre") << 6 << 8 << Premium::DoubleLetter;
        QTest::newRow("plain next to a corner") << 1 << 0 << Premium::Plain;
        QTest::newRow("plain next to the centre") << 7 << 6 << Premium::Plain;
    }
    void premiumSquaresSitWhereTheBoardHasThem() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(Premium, kind);
        QCOMPARE(premium(column, row), kind);
    }

    // Drawing colours every kind above 1 and leaves the rest green.
    void premiumKindsKeepTheirNumbers() {
        QCOMPARE(static_cast<int>(Premium::Plain), 0);
        QCOMPARE(static_cast<int>(Premium::DoubleLetter), 2);
        QCOMPARE(static_cast<int>(Premium::TripleLetter), 3);
        QCOMPARE(static_cast<int>(Premium::DoubleWord), 4);
        QCOMPARE(static_cast<int>(Premium::TripleWord), 5);
    }

    // --- letter values ----------------------------------------------------

    void lettersHaveTheirFaceValueInEitherCase_data() {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<int>("value");
        const int values[26] = {1, 3, 3, 2,  1, 4, 2, 4, 1, 8, 5, 1, 3,
                                1, 1, 3, 10, 1, 1, 1, 1, 4, 4, 8, 4, 10};
        for (int n = 0; n < 26; ++n) {
            const char lower = static_cast<char>('a' + n);
            QTest::newRow(QByteArray(1, lower).constData()) << QChar(u'a' + n) << values[n];
        }
    }
    void lettersHaveTheirFaceValueInEitherCase() {
        QFETCH(QChar, letter);
        QFETCH(int, value);
        QCOMPARE(letterValue(letter), std::optional<int>(value));
        QCOMPARE(letterValue(letter.toUpper()), std::optional<int>(value));
    }

    void charactersThatAreNotLettersHaveNoValue_data() {
        QTest::addColumn<QChar>("character");
        QTest::newRow("blank tile") << QChar(u'_');
        QTest::newRow("empty cell") << QChar(u'.');
        QTest::newRow("blank") << QChar(u' ');
        QTest::newRow("digit 0") << QChar(u'0');
        QTest::newRow("digit 9") << QChar(u'9');
        QTest::newRow("before a") << QChar(u'`');
        QTest::newRow("after z") << QChar(u'{');
        QTest::newRow("before A") << QChar(u'@');
        QTest::newRow("after Z") << QChar(u'[');
        QTest::newRow("e acute") << QChar(u'\u00e9');
        QTest::newRow("capital E acute") << QChar(u'\u00c9');
        QTest::newRow("y diaeresis") << QChar(u'\u00ff');
        QTest::newRow("replacement character") << QChar(u'\ufffd');
        QTest::newRow("NUL") << QChar(u'\0');
    }
    void charactersThatAreNotLettersHaveNoValue() {
        QFETCH(QChar, character);
        QCOMPARE(letterValue(character), std::nullopt);
    }

    void tileValueCaptions_data() {
        QTest::addColumn<QString>("tile");
        QTest::addColumn<QString>("caption");
        QTest::newRow("one point") << "A"
                                   << " 1";
        QTest::newRow("three points") << "B"
                                      << " 3";
        QTest::newRow("lower case, a named blank") << "b"
                                                   << "";
        QTest::newRow("ten points") << "Q"
                                    << " 10";
        QTest::newRow("ten points upper case") << "Z"
                                               << " 10";
        QTest::newRow("blank tile") << "_"
                                    << "0";
        QTest::newRow("empty slot") << ""
                                    << "0";
        QTest::newRow("empty cell") << "."
                                    << "0";
        QTest::newRow("digit") << "7"
                               << "0";
        QTest::newRow("accented letter") << QStringLiteral("\u00e9") << "0";
        QTest::newRow("replacement character") << QStringLiteral("\ufffd") << "0";
    }
    void tileValueCaptions() {
        QFETCH(QString, tile);
        QFETCH(QString, caption);
        QCOMPARE(valueText(tile), caption);
    }

    // --- where things lie -------------------------------------------------

    void cellsHaveTheirTileNumbers_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("index");
        QTest::newRow("top left") << 0 << 0 << 7;
        QTest::newRow("down one row") << 0 << 1 << 8;
        QTest::newRow("right one column") << 1 << 0 << 22;
        QTest::newRow("centre") << 7 << 7 << 119;
        QTest::newRow("top right") << 14 << 0 << 217;
        QTest::newRow("bottom left") << 0 << 14 << 21;
        QTest::newRow("bottom right") << 14 << 14 << 231;
    }
    void cellsHaveTheirTileNumbers() {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, index);
        QCOMPARE(cellTileIndex(column, row), index);
        QCOMPARE(kTileCount, 232);
    }

    void tilesSitInsideTheirCellOrSlot() {
        QCOMPARE(cellTileOrigin(7, 7), QPoint(2655, 2655));
        QCOMPARE(cellTileOrigin(0, 0), QPoint(135, 135));
        QCOMPARE(cellTileOrigin(14, 0), QPoint(5175, 135));
        QCOMPARE(slotTileOrigin(0), QPoint(135, 5655));
        QCOMPARE(slotTileOrigin(6), QPoint(2295, 5655));
        QCOMPARE(kTileSize, 330);
        QCOMPARE(cellRect(3, 4), QRect(1200, 1560, 360, 360));
        QCOMPARE(slotRect(2), QRect(840, 5640, 360, 360));
    }

    void dropPointFindsTheCellUnderIt_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<bool>("onBoard");
        QTest::addColumn<QPoint>("cell");
        QTest::newRow("centre") << 2700.0 << 2700.0 << true << QPoint(7, 7);
        QTest::newRow("left margin counts as column 0") << 100.0 << 1660.0 << true << QPoint(0, 4);
        QTest::newRow("top margin counts as row 0") << 2700.0 << 0.0 << true << QPoint(7, 0);
        QTest::newRow("last cell") << 5519.0 << 5519.0 << true << QPoint(14, 14);
        QTest::newRow("below the grid") << 2700.0 << 5520.0 << false << QPoint();
        QTest::newRow("on the rack row") << 300.0 << 5800.0 << false << QPoint();
        QTest::newRow("bottom of the rack row") << 300.0 << 6000.0 << false << QPoint();
        QTest::newRow("right of the grid") << 5520.0 << 2700.0 << false << QPoint();
        QTest::newRow("far right") << 9000.0 << 2700.0 << false << QPoint();
        QTest::newRow("a whole cell left of the grid") << -240.0 << 2700.0 << false << QPoint();
        // The point is rounded to a whole twip, ties to even, before the
        // cell is worked out.
        QTest::newRow("tie before a cell edge rounds up")
            << 479.5 << 2700.0 << true << QPoint(1, 7);
        QTest::newRow("under a half before an edge stays")
            << 479.4 << 2700.0 << true << QPoint(0, 7);
        QTest::newRow("tie before the right edge is off the board")
            << 5519.5 << 2700.0 << false << QPoint();
        QTest::newRow("tie before the bottom edge is off the board")
            << 2700.0 << 5519.5 << false << QPoint();
        QTest::newRow("under a half before the right edge")
            << 5519.4 << 2700.0 << true << QPoint(14, 7);
        QTest::newRow("tie far left rounds away from the grid")
            << -239.5 << 2700.0 << false << QPoint();
        QTest::newRow("under a half far left") << -239.4 << 2700.0 << true << QPoint(0, 7);
    }
    void dropPointFindsTheCellUnderIt() {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(bool, onBoard);
        QFETCH(QPoint, cell);
        const std::optional<QPoint> found = cellAt(x, y);
        QCOMPARE(found.has_value(), onBoard);
        if (onBoard)
            QCOMPARE(*found, cell);
    }

    // --- composing a play -------------------------------------------------

    void playLineListsTheLaidTilesInSlotOrder_data() {
        QTest::addColumn<QStringList>("laid"); // "slot:column,row,letter"
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("placed");
        QTest::newRow("three tiles across the centre")
            << QStringList{"0:8,7,A", "2:7,7,C", "5:9,7,T"} << "PLAY 8,7,A 7,7,C 9,7,T "
            << "1010010";
        QTest::newRow("blank tile in the corner") << QStringList{"3:0,14,_"} << "PLAY 0,14,_ "
                                                  << "0001000";
        QTest::newRow("lower case sent as upper case")
            << QStringList{"6:14,10,e"} << "PLAY 14,10,E "
            << "0000001";
        QTest::newRow("nothing laid") << QStringList{} << ""
                                      << "0000000";
    }
    void playLineListsTheLaidTilesInSlotOrder() {
        QFETCH(QStringList, laid);
        QFETCH(QString, line);
        QFETCH(QString, placed);
        ClientState state;
        setRack(state, {"A", "B", "C", "_", "E", "T", "e"});
        // Only the placement letters count; the flags are set by the play.
        for (const QString& tile : laid) {
            const QStringList parts = tile.split(QLatin1Char(':'));
            const QStringList where = parts[1].split(QLatin1Char(','));
            state.placement[parts[0].toInt()] = {where[0].toInt(), where[1].toInt(), where[2], false};
        }
        QCOMPARE(composing::takePlay(state), line);
        QCOMPARE(placedFlags(state), placed);
        // Until the server answers, pressing Submit again sends the same.
        QCOMPARE(composing::takePlay(state), line);
    }

    void tileTakenBackIsNotPartOfThePlay() {
        ClientState state;
        setRack(state, {"A", "B", "C"});
        composing::layTile(state, 0, 7, 7);
        composing::layTile(state, 1, 8, 7);
        composing::returnTile(state, 1);
        QCOMPARE(placedFlags(state), QStringLiteral("1000000"));
        QCOMPARE(composing::takePlay(state), QStringLiteral("PLAY 7,7,A "));
        composing::returnTile(state, 0);
        QCOMPARE(composing::takePlay(state), QString());
    }

    void tileMovedOnTheBoardIsPlayedWhereItLies() {
        ClientState state;
        setRack(state, {"A"});
        composing::layTile(state, 0, 7, 7);
        composing::layTile(state, 0, 3, 12);
        QCOMPARE(composing::takePlay(state), QStringLiteral("PLAY 3,12,A "));
    }

    // A named blank keeps its name, and its lower case, from cell to cell.
    void namedBlankMovedKeepsItsName() {
        ClientState state;
        setRack(state, {"_"});
        composing::layTile(state, 0, 7, 7, QStringLiteral("e"));
        composing::layTile(state, 0, 3, 12);
        QCOMPARE(composing::takePlay(state), QStringLiteral("PLAY 3,12,e "));
    }

    void exchangeLineIsUpperCaseAndNeverEmpty_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("line");
        QTest::newRow("lower case") << "aet"
                                    << "EXCHANGE AET";
        QTest::newRow("blank tile") << "_e"
                                    << "EXCHANGE _E";
        QTest::newRow("blanks kept as typed") << " a e"
                                              << "EXCHANGE  A E";
        QTest::newRow("empty box sends nothing") << ""
                                                 << "";
    }
    void exchangeLineIsUpperCaseAndNeverEmpty() {
        QFETCH(QString, box);
        QFETCH(QString, line);
        QCOMPARE(composing::exchangeLine(box), line);
    }

    void sortPutsEmptySlotsFirstAndBlanksAfterLetters_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("letters, blank and a gap") << QStringList{"T", "_", "A", "", "E", "S", "R"}
                                                  << QStringList{"", "A", "E", "R", "S", "T", "_"};
        QTest::newRow("lower case after the blank") << QStringList{"b", "_", "Z", "a", "", "", "A"}
                                                    << QStringList{"", "", "A", "Z", "_", "a", "b"};
        QTest::newRow("repeated letters") << QStringList{"E", "A", "E", "A", "E", "A", "E"}
                                          << QStringList{"A", "A", "A", "E", "E", "E", "E"};
        QTest::newRow("already sorted") << QStringList{"A", "B", "C", "D", "E", "F", "G"}
                                        << QStringList{"A", "B", "C", "D", "E", "F", "G"};
        QTest::newRow("reversed") << QStringList{"G", "F", "E", "D", "C", "B", "A"}
                                  << QStringList{"A", "B", "C", "D", "E", "F", "G"};
        QTest::newRow("empty rack")
            << QStringList{"", "", "", "", "", "", ""} << QStringList{"", "", "", "", "", "", ""};
    }
    void sortPutsEmptySlotsFirstAndBlanksAfterLetters() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        ClientState state;
        setRack(state, before);
        composing::sortRack(state);
        QCOMPARE(rackTiles(state), after);
        composing::sortRack(state);
        QCOMPARE(rackTiles(state), after);
        QCOMPARE(placedFlags(state), QStringLiteral("0000000"));
    }

    void sortLeavesTilesOnTheBoardInTheirSlots() {
        ClientState state;
        setRack(state, {"T", "_", "A", "", "E", "S", "R"});
        composing::layTile(state, 0, 7, 7);
        composing::layTile(state, 4, 8, 7);
        composing::sortRack(state);
        QCOMPARE(rackTiles(state), (QStringList{"T", "", "A", "R", "E", "S", "_"}));
        QCOMPARE(placedFlags(state), QStringLiteral("1000100"));
        QCOMPARE(composing::takePlay(state), QStringLiteral("PLAY 7,7,T 8,7,E "));
    }
};

QTEST_APPLESS_MAIN(BoardModelTest)
#include "tst_boardmodel.moc"
