// The replies that carry the board, the rack, the turn and the plays, handled
// without a window: what lands in the client state, what is logged, asked
// and sent back.
#include "OfflineClient.h"

#include <QTest>

#include <algorithm>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

using Board = decltype(ClientState::board);

// "1010000": which rack slots are flagged as laid on the board.
QString placedFlags(const ClientState& state) {
    QString flags;
    for (const RackSlot& slot : state.rack)
        flags += slot.placed ? QLatin1Char('1') : QLatin1Char('0');
    return flags;
}

QStringList rackTiles(const ClientState& state) {
    QStringList tiles;
    for (const RackSlot& slot : state.rack)
        tiles.append(slot.tile);
    return tiles;
}

// The cells that differ from the background, as "column,row,letter", sorted.
QStringList cellsOtherThan(const Board& board, const QString& background) {
    QStringList cells;
    for (int column = 0; column < kBoardCells; ++column)
        for (int row = 0; row < kBoardCells; ++row)
            if (board[column][row] != background)
                cells.append(
                    QStringLiteral("%1,%2,%3").arg(column).arg(row).arg(board[column][row]));
    cells.sort();
    return cells;
}

void fillBoard(ClientState& state, const QString& cell) {
    for (auto& column : state.board)
        column.fill(cell);
}

QStringList rowOf(const Board& board, int row) {
    QStringList cells;
    for (int column = 0; column < kBoardCells; ++column)
        cells.append(board[column][row]);
    return cells;
}

// One character per cell, padded with empty cells to a whole row.
QStringList rowCells(const QString& text) {
    QStringList cells;
    for (QChar c : text)
        cells.append(QString(c));
    while (cells.size() < kBoardCells)
        cells.append(QString());
    return cells;
}

// Also notes what the state held whenever the window was asked to show it,
// so a test can tell whether the state was written before the redraw.
class SnapshotView : public RecordingView {
public:
    QStringList placedAtFillRack;
    Board boardAtFillBoard;

    void fill_rack() override {
        RecordingView::fill_rack();
        placedAtFillRack.append(placedFlags(*state));
    }
    void fill_board() override {
        RecordingView::fill_board();
        boardAtFillBoard = state->board;
    }
};

using Client = OfflineClient<SnapshotView>;

} // namespace

class BoardRepliesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { clearSettings(); }

    // --- whose turn -------------------------------------------------------

    void yourTurnLogsTheNoticeAndEnablesOnlyTheTurnControls_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("logged");
        QTest::newRow("starting tile") << "1020 Q is your starting tile, you go first"
                                       << "*** You drew a 'Q' as your starting tile";
        QTest::newRow("plain notice") << "1020 It is your turn"
                                      << "*** It is your turn";
        QTest::newRow("starting tile in other case is a plain notice")
            << "1020 Q is your Starting Tile"
            << "*** Q is your Starting Tile";
        QTest::newRow("starting tile not at the start")
            << "1020 E: that was your starting tile"
            << "*** You drew a 'E' as your starting tile";
    }
    void yourTurnLogsTheNoticeAndEnablesOnlyTheTurnControls() {
        QFETCH(QString, line);
        QFETCH(QString, logged);
        Client client;
        client.dispatch(line);
        QCOMPARE(client.view.log, QStringList{logged});
        for (GameControl control : kTurnControls)
            QCOMPARE(client.view.controls.value(control, false), true);
        QVERIFY(!client.view.controls.contains(GameControl::LeaveGame));
        QCOMPARE(client.view.controls.size(), kTurnControls.size());
        QVERIFY(client.server.sent.isEmpty());
        QVERIFY(client.dialogs.shown.isEmpty());
    }

    void startingLetterNoticeTakesTheTextAfterTheFirstBlank_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("logged");
        QTest::newRow("letter and text") << "2001 K good luck"
                                         << "*** Your new starting letter is 'K' - good luck";
        QTest::newRow("no blank repeats the whole argument")
            << "2001 K"
            << "*** Your new starting letter is 'K' - K";
        QTest::newRow("empty argument") << "2001"
                                        << "*** Your new starting letter is '' - ";
    }
    void startingLetterNoticeTakesTheTextAfterTheFirstBlank() {
        QFETCH(QString, line);
        QFETCH(QString, logged);
        Client client;
        client.dispatch(line);
        QCOMPARE(client.view.log, QStringList{logged});
    }

    void whoseTurnNamesThePlayerAndLeavesTheControlsAlone_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("name and more") << "2002 bob is up now";
        QTest::newRow("name alone") << "2002 bob";
    }
    void whoseTurnNamesThePlayerAndLeavesTheControlsAlone() {
        QFETCH(QString, line);
        Client client;
        client.dispatch(line);
        QCOMPARE(client.view.turnText, QStringLiteral("bob's turn"));
        QVERIFY(client.view.controls.isEmpty());
        QVERIFY(client.view.log.isEmpty());
    }

    // --- plays ------------------------------------------------------------

    void playIsStoredLoggedAndOfferedForApproval_data() {
        QTest::addColumn<bool>("approve");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("yes approves") << true << QStringList{QStringLiteral("APPROVE")};
        QTest::newRow("no sends nothing") << false << QStringList{};
    }
    void playIsStoredLoggedAndOfferedForApproval() {
        QFETCH(bool, approve);
        QFETCH(QStringList, sent);
        Client client;
        client.dialogs.askAnswers = {approve};
        QStringList logWhenAsked;
        QStringList cellsShownWhenAsked;
        client.dialogs.whileOpen = [&] {
            logWhenAsked = client.view.log;
            cellsShownWhenAsked = cellsOtherThan(client.view.boardAtFillBoard, QString());
        };
        client.dispatch(QStringLiteral("2003 bob 10 7,7,C 8,7,A 9,7,T"));

        const QStringList cat = {QStringLiteral("7,7,C"), QStringLiteral("8,7,A"),
                                 QStringLiteral("9,7,T")};
        QCOMPARE(cellsOtherThan(client.state.board, QString()), cat);
        QCOMPARE(client.view.log, QStringList{QStringLiteral("*** bob scores 10 for CAT")});
        QCOMPARE(client.dialogs.shown.size(), 1);
        const ScriptedDialogs::Shown& box = client.dialogs.shown.first();
        QCOMPARE(box.kind, ScriptedDialogs::Kind::Ask);
        QCOMPARE(box.text, QStringLiteral("Do you approve the play of CAT? (it scores 10)"));
        QCOMPARE(box.title, QStringLiteral("Wordmoot"));
        // The board is shown and the play logged before the user is asked.
        QCOMPARE(cellsShownWhenAsked, cat);
        QCOMPARE(logWhenAsked, client.view.log);
        QCOMPARE(client.server.sent, sent);
    }

    void approvalIsAskedOnlyOfOtherPlayersWhoPlay_data() {
        QTest::addColumn<QString>("nickname");
        QTest::addColumn<bool>("observer");
        QTest::addColumn<bool>("asked");
        QTest::newRow("another player's play") << "alice" << false << true;
        QTest::newRow("own play") << "bob" << false << false;
        QTest::newRow("own name in other case is someone else") << "Bob" << false << true;
        QTest::newRow("observer") << "alice" << true << false;
        QTest::newRow("observer's own name") << "bob" << true << false;
    }
    void approvalIsAskedOnlyOfOtherPlayersWhoPlay() {
        QFETCH(QString, nickname);
        QFETCH(bool, observer);
        QFETCH(bool, asked);
        Client client(nickname);
        client.state.observer = observer;
        client.dialogs.askAnswers = {true};
        client.dispatch(QStringLiteral("2003 bob 10 7,7,C 8,7,A 9,7,T"));
        QCOMPARE(client.dialogs.shown.size(), asked ? 1 : 0);
        QCOMPARE(client.server.sent.size(), asked ? 1 : 0);
        // Whoever played, the board and the log show the play.
        QCOMPARE(client.state.board[8][7], QStringLiteral("A"));
        QCOMPARE(client.view.log, QStringList{QStringLiteral("*** bob scores 10 for CAT")});
    }

    void playTilesAreReadWordByWord_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QStringList>("cells"); // cells written, "column,row,letter"
        QTest::addColumn<QString>("logged");

        QTest::newRow("last tile followed by a blank")
            << "bob 5 7,7,Q " << QStringList{"7,7,Q"} << "*** bob scores 5 for Q";
        QTest::newRow("last tile without trailing blank")
            << "bob 5 7,7,Q" << QStringList{"7,7,Q"} << "*** bob scores 5 for Q";
        QTest::newRow("word in parentheses ends the tiles")
            << "bob 10 7,7,C 8,7,A (bingo) 9,7,T" << QStringList{"7,7,C", "8,7,A"}
            << "*** bob scores 10 for CA";
        QTest::newRow("parenthesis inside a tile word ends the tiles")
            << "bob 10 7,7,C 8,7,( 9,7,T" << QStringList{"7,7,C"} << "*** bob scores 10 for C";
        QTest::newRow("two-digit coordinates")
            << "bob 8 14,10,Z 10,14,X" << QStringList{"10,14,X", "14,10,Z"}
            << "*** bob scores 8 for ZX";
        QTest::newRow("lower case and blank tile kept as sent")
            << "bob 2 3,4,q 3,5,_" << QStringList{"3,4,q", "3,5,_"} << "*** bob scores 2 for q_";
        QTest::newRow("score is kept as text")
            << "bob 010 7,7,C" << QStringList{"7,7,C"} << "*** bob scores 010 for C";
        QTest::newRow("no tiles") << "bob 0" << QStringList{} << "*** bob scores 0 for ";
        QTest::newRow("double blank between tiles")
            << "bob 4 7,7,C  8,7,A" << QStringList{"7,7,C", "8,7,A"} << "*** bob scores 4 for CA";

        // What the server should never send: the tile is left out, the
        // rest of the line still counts.
        QTest::newRow("column off the board")
            << "bob 10 15,0,X 7,7,C" << QStringList{"7,7,C"} << "*** bob scores 10 for C";
        QTest::newRow("negative column")
            << "bob 10 -1,3,Y 7,7,C" << QStringList{"7,7,C"} << "*** bob scores 10 for C";
        QTest::newRow("row off the board")
            << "bob 10 3,15,Z 7,7,C" << QStringList{"7,7,C"} << "*** bob scores 10 for C";
        QTest::newRow("fractional coordinate")
            << "bob 10 7.5,7,Z 7,7,C" << QStringList{"7,7,C"} << "*** bob scores 10 for C";
        QTest::newRow("one comma only")
            << "bob 10 7,7C 8,7,A" << QStringList{"8,7,A"} << "*** bob scores 10 for A";
        QTest::newRow("no comma") << "bob 10 CAT 8,7,A" << QStringList{"8,7,A"}
                                  << "*** bob scores 10 for A";
        // A tile without its letter empties the cell and adds no letter.
        QTest::newRow("missing letter stores empty text")
            << "bob 10 7,7, 8,7,A" << QStringList{"7,7,", "8,7,A"} << "*** bob scores 10 for A";
        // A coordinate that is not a number reads as 0, like every number
        // the server sends.
        QTest::newRow("coordinates not numbers read as 0")
            << "bob 10 x,y,Q 8,7,A" << QStringList{"0,0,Q", "8,7,A"}
            << "*** bob scores 10 for QA";
    }
    void playTilesAreReadWordByWord() {
        QFETCH(QString, argument);
        QFETCH(QStringList, cells);
        QFETCH(QString, logged);
        Client client(QStringLiteral("bob")); // asks nothing
        fillBoard(client.state, QStringLiteral("."));
        client.dispatch(QStringLiteral("2003 ") + argument);
        cells.sort();
        QCOMPARE(cellsOtherThan(client.state.board, QStringLiteral(".")), cells);
        QCOMPARE(client.view.log, QStringList{logged});
        QCOMPARE(client.view.calls, QStringList{QStringLiteral("fill_board")});
    }

    // A second play is named by the word it makes with the first one's C.
    void eachPlayIsNamedByTheWordsItForms() {
        Client client;
        client.dispatch(QStringLiteral("2003 bob 10 7,7,C 8,7,A 9,7,T"));
        client.dispatch(QStringLiteral("2003 carol 6 7,8,O 7,9,W"));
        QCOMPARE(client.view.log, (QStringList{QStringLiteral("*** bob scores 10 for CAT"),
                                               QStringLiteral("*** carol scores 6 for COW")}));
        QCOMPARE(client.dialogs.texts(),
                 (QStringList{QStringLiteral("Do you approve the play of CAT? (it scores 10)"),
                              QStringLiteral("Do you approve the play of COW? (it scores 6)")}));
        QCOMPARE(cellsOtherThan(client.state.board, QString()).size(), 5);
    }

    // The question the vote rests on names the words on the board: the main
    // word with the tiles it joins, then the cross words.
    void playIsNamedByTheWordsOnTheBoard_data() {
        QTest::addColumn<QStringList>("rows"); // 2012 lines before the play
        QTest::addColumn<QString>("play");
        QTest::addColumn<QString>("words");
        const QStringList foxDote = {"6 .....F.........", "7 ....DOTE.......",
                                     "8 .....X........."};
        QTest::newRow("J and O down from DOTE's E") << foxDote << "7,8,J 7,9,O" << "EJO";
        QTest::newRow("a blank s after TENDRON")
            << QStringList{"7 ...TENDRON...."} << "10,7,s" << "TENDRONs";
        QTest::newRow("cross words after the main word")
            << QStringList{"7 ........X....."} << "7,6,Q 7,7,A 7,8,T" << "QAT, AX";
        // Put again to a player back in the seat, after rows that show it.
        QTest::newRow("the play on the board already")
            << QStringList{"7 ....DOTE......", "8 .......J.......", "9 .......O......."}
            << "7,8,J 7,9,O" << "EJO";
        QTest::newRow("tiles the board does not bear out: as laid")
            << QStringList{"7 .......AX....."} << "1,1,Z 2,2,Q" << "ZQ";
    }
    void playIsNamedByTheWordsOnTheBoard() {
        QFETCH(QStringList, rows);
        QFETCH(QString, play);
        QFETCH(QString, words);
        Client client;
        for (const QString& row : rows)
            client.dispatch(QStringLiteral("2012 ") + row);
        client.dispatch(QStringLiteral("2003 bob 26 ") + play);
        QCOMPARE(client.view.log, QStringList{QStringLiteral("*** bob scores 26 for ") + words});
        QCOMPARE(client.dialogs.texts(),
                 QStringList{QStringLiteral("Do you approve the play of ") + words +
                             QStringLiteral("? (it scores 26)")});
    }

    void noticeWithRefreshLogsAndAsksForTheGameAgain() {
        Client client;
        client.dispatch(QStringLiteral("2004 bob has left the game"));
        QCOMPARE(client.view.log, QStringList{QStringLiteral("*** bob has left the game")});
        QCOMPARE(client.server.sent, QStringList{QStringLiteral("REFRESH")});
    }

    // --- board rows -------------------------------------------------------

    void boardRowFillsOneRowOfCells_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("cells");
        QTest::newRow("whole row") << "7 ...CAT........." << 7 << "...CAT.........";
        QTest::newRow("short row leaves the rest empty") << "3 AB" << 3 << "AB";
        QTest::newRow("sixteenth character ignored")
            << "0 ABCDEFGHIJKLMNOP" << 0 << "ABCDEFGHIJKLMNO";
        QTest::newRow("blanks around the cells trimmed") << "5   ..Q..  " << 5 << "..Q..";
        QTest::newRow("lower case and blank tiles kept") << "14 q_." << 14 << "q_.";
        QTest::newRow("no cells empties the row") << "4" << 4 << "";
        QTest::newRow("row number with leading zero") << "07 A" << 7 << "A";
        QTest::newRow("only blanks are trimmed") << "2 \tAB\t" << 2 << "\tAB\t";
        // A row number that is not a number reads as 0.
        QTest::newRow("row number not a number") << "x ABC" << 0 << "ABC";
        QTest::newRow("empty row number") << " ABC" << 0 << "ABC";
    }
    void boardRowFillsOneRowOfCells() {
        QFETCH(QString, argument);
        QFETCH(int, row);
        QFETCH(QString, cells);
        Client client;
        fillBoard(client.state, QStringLiteral("X"));
        client.dispatch(QStringLiteral("2012 ") + argument);
        QCOMPARE(rowOf(client.state.board, row), rowCells(cells));
        // Only that row changes, and it is shown after it was stored.
        for (int other = 0; other < kBoardCells; ++other)
            if (other != row)
                QCOMPARE(rowOf(client.state.board, other),
                         QStringList(kBoardCells, QStringLiteral("X")));
        QCOMPARE(client.view.calls, QStringList{QStringLiteral("fill_board")});
        QCOMPARE(rowOf(client.view.boardAtFillBoard, row), rowCells(cells));
    }

    void boardRowWithABadRowNumberIsDropped_data() {
        QTest::addColumn<QString>("argument");
        QTest::newRow("fifteen") << "15 ABC";
        QTest::newRow("negative") << "-1 ABC";
        QTest::newRow("fractional") << "7.5 ABC";
    }
    void boardRowWithABadRowNumberIsDropped() {
        QFETCH(QString, argument);
        Client client;
        fillBoard(client.state, QStringLiteral("X"));
        client.dispatch(QStringLiteral("2012 ") + argument);
        QCOMPARE(cellsOtherThan(client.state.board, QStringLiteral("X")), QStringList{});
        QVERIFY(client.view.calls.isEmpty());
    }

    // --- rack -------------------------------------------------------------

    void newRackFillsTheSlotsAndClearsEveryPlacedFlag_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("tiles"); // one character per slot, from slot 0
        QTest::newRow("three letters empty the other slots") << "AEI"
                                                             << "AEI";
        QTest::newRow("full rack with a blank tile") << "AEIOU_S"
                                                     << "AEIOU_S";
        QTest::newRow("blanks around trimmed") << "  QU  "
                                               << "QU";
        QTest::newRow("longer than seven") << "ABCDEFGHI"
                                           << "ABCDEFG";
        QTest::newRow("only blanks are trimmed") << QString::fromLatin1(" \xa0"
                                                                        "AB")
                                                 << QString::fromLatin1("\xa0"
                                                                        "AB");
        QTest::newRow("empty rack") << ""
                                    << "";
    }
    void newRackFillsTheSlotsAndClearsEveryPlacedFlag() {
        QFETCH(QString, argument);
        QFETCH(QString, tiles);
        Client client;
        for (RackSlot& slot : client.state.rack)
            slot = {QStringLiteral("Z"), true};
        client.dispatch(QStringLiteral("2013 ") + argument);
        QStringList expected;
        for (int slot = 0; slot < kRackSlots; ++slot)
            expected.append(tiles.mid(slot, 1));
        QCOMPARE(rackTiles(client.state), expected);
        QCOMPARE(placedFlags(client.state), QStringLiteral("0000000"));
        // The flags are cleared before the rack is shown, or laid tiles
        // would stay hidden.
        QCOMPARE(client.view.placedAtFillRack, QStringList{QStringLiteral("0000000")});
    }

    void drawnTileGoesToTheFirstEmptySlot_data() {
        QTest::addColumn<QString>("before"); // one character per slot, "-" empty
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("placed"); // all slots start flagged
        QTest::newRow("first of two gaps") << "A-C-EFG"
                                           << "2016 Q"
                                           << "AQC-EFG"
                                           << "1011111";
        QTest::newRow("first character only") << "A-C-EFG"
                                              << "2016 QX"
                                              << "AQC-EFG"
                                              << "1011111";
        QTest::newRow("empty rack") << "-------"
                                    << "2016 Q"
                                    << "Q------"
                                    << "0111111";
        QTest::newRow("last slot") << "ABCDEF-"
                                   << "2016 _"
                                   << "ABCDEF_"
                                   << "1111110";
        QTest::newRow("full rack drops the letter") << "ABCDEFG"
                                                    << "2016 Q"
                                                    << "ABCDEFG"
                                                    << "1111111";
        QTest::newRow("empty argument leaves the slot empty") << "A-C-EFG"
                                                              << "2016"
                                                              << "A-C-EFG"
                                                              << "1011111";
    }
    void drawnTileGoesToTheFirstEmptySlot() {
        QFETCH(QString, before);
        QFETCH(QString, line);
        QFETCH(QString, after);
        QFETCH(QString, placed);
        Client client;
        for (int slot = 0; slot < kRackSlots; ++slot)
            client.state.rack[slot] = {before[slot] == u'-' ? QString() : before.mid(slot, 1),
                                       true};
        client.dispatch(line);
        QStringList expected;
        for (QChar c : after)
            expected.append(c == u'-' ? QString() : QString(c));
        QCOMPARE(rackTiles(client.state), expected);
        QCOMPARE(placedFlags(client.state), placed);
        // The rack is shown again even when nothing changed.
        QCOMPARE(client.view.calls, QStringList{QStringLiteral("fill_rack")});
    }

    void refusedPlayBringsTheTilesBackAndExplains_data() {
        QTest::addColumn<int>("code");
        QTest::newRow("5030") << 5030;
        QTest::newRow("5031") << 5031;
        QTest::newRow("5032") << 5032;
        QTest::newRow("5036") << 5036;
    }
    void refusedPlayBringsTheTilesBackAndExplains() {
        QFETCH(int, code);
        const QString why = QStringLiteral("CATX is not a word: try again");
        Client client;
        for (int slot = 0; slot < kRackSlots; ++slot)
            client.state.rack[slot] = {QString(QChar(u'A' + slot)), slot % 2 == 0};
        client.dispatch(QString::number(code) + QLatin1Char(' ') + why);
        QCOMPARE(placedFlags(client.state), QStringLiteral("0000000"));
        QCOMPARE(client.view.placedAtFillRack, QStringList{QStringLiteral("0000000")});
        QCOMPARE(rackTiles(client.state).join(QString()), QStringLiteral("ABCDEFG"));
        QCOMPARE(client.view.log, QStringList{QStringLiteral("*** ") + why});
        QCOMPARE(client.dialogs.shown, QList{messageBox(why, Dialogs::Icon::Information)});
        QVERIFY(client.server.sent.isEmpty());
    }
};

QTEST_GUILESS_MAIN(BoardRepliesTest)
#include "tst_boardreplies.moc"
