// Reading a game record back and weighing its moves: a record with every
// kind of move, a whole game of robots read back board for board and weighed
// to its end, the faults of files that are not records, and the program's
// one-line failure.
#include "tools/analysis/Report.h"

#include "shared/rules/Game.h"
#include "shared/rules/GameRecord.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::analysis;

namespace {

const WordList& smallList() {
    static const WordList words(std::vector<std::string>{
        "at", "ta", "as", "is", "it", "ti", "cat", "cats", "act", "tax", "taxi", "zag", "tie", "ties",
        "eat", "tea", "sea", "set", "xi", "za", "qi", "ax", "ex"});
    return words;
}

const WordList& gameList() {
    static const WordList words = WordList::load(defaultWordList().path).value_or(WordList());
    return words;
}

// Every kind of move: plays, an exchange, a pass, a play taken back, the end.
constexpr const char* kEveryKind = "#character-encoding UTF-8\n"
                                   "#player1 Ann Ann\n"
                                   "#player2 Bob Bob\n"
                                   ">Ann: CATSIEO 8G CAT +10 10\n"
                                   ">Bob: XIZAEQU -QU +0 0\n"
                                   ">Ann: SIEOTAE - +0 10\n"
                                   ">Bob: XIZAEGH 9G ZAG +20 20\n"
                                   ">Bob: XIZAEGH -- -20 0\n"
                                   ">Ann: SIEOTAE I8 .IE +3 13\n"
                                   ">Bob: XIZ?EGH 8G ...aX +9 9\n"
                                   ">Ann: SOTAEAR (SOTAEAR) -8 5\n"
                                   ">Bob: (SOTAEAR) +8 17\n";

bool isLegal(const robot::Brain& brain, const ReadMove& m, const robot::Move& move) {
    switch (move.kind) {
    case robot::Move::Kind::Play: {
        const auto plays = brain.generator().allPlays(m.before, m.rack);
        return std::find(plays.begin(), plays.end(), ScoredPlay{move.play, move.score}) !=
               plays.end();
    }
    case robot::Move::Kind::Exchange:
        return !move.tiles.empty() && rackHolds(m.rack, move.tiles);
    case robot::Move::Kind::Pass:
        break;
    }
    return true;
}

} // namespace

class AnalyseTest : public QObject {
    Q_OBJECT
private slots:
    // A turn lost for challenging a valid play is noted in the record, read
    // back as what it is, and neither weighed nor counted as a miss.
    void aLostTurnIsNobodysChoice() {
        const std::vector<RecordedMove> moves = {
            {0, "CATSIEO", "8G CAT", 10, 10, {}, "CAT"},
            {1, "XIZAEQU", "-", 0, 0, std::string(kLostTurnNote), {}},
            {0, "SIEOTAE", "I8 .IE", 3, 13, {}, "PIE"}};
        const std::string written = gcgText({"Ann", "Bob"}, moves);
        QVERIFY(written.find("\n#note lost turn") != std::string::npos);
        const RecordReading reading = readRecord(written);
        QVERIFY2(reading.record, reading.fault.why.c_str());
        QCOMPARE(int(reading.record->moves[1].kind), int(ReadMove::Kind::LostTurn));
        const robot::Brain brain(smallList(), robot::LeaveTable::builtIn());
        AnalysisFault fault;
        const std::optional<Analysis> analysis = analyse(brain, *reading.record, 30, fault);
        QVERIFY(analysis);
        QCOMPARE(analysis->moves.size(), std::size_t(2));
        const std::string text = report(*reading.record, *analysis);
        QVERIFY(text.find("   2  Bob          XIZAEQU  (turn lost: challenged a valid play)\n") !=
                std::string::npos);
        QVERIFY(text.find("Bob: 0.0 points of value lost over 0 moves\n") != std::string::npos);
        QVERIFY(text.find("Final score: Ann 13, Bob 0; Ann won by 13\n") != std::string::npos);
        QVERIFY(text.find("move  player       rack     played") != std::string::npos);
    }

    void everyKindOfMove() {
        const RecordReading reading = readRecord(kEveryKind);
        QVERIFY2(reading.record, reading.fault.why.c_str());
        const ReadRecord& record = *reading.record;
        using K = ReadMove::Kind;
        const std::vector<K> kinds{K::Play, K::Exchange, K::Pass, K::TakenBack,
                                   K::Play, K::Play,     K::End,  K::End};
        QCOMPARE(record.moves.size(), kinds.size());
        for (std::size_t i = 0; i < kinds.size(); ++i)
            QCOMPARE(int(record.moves[i].kind), int(kinds[i]));
        // The play taken back left the board; the blank stands as an A.
        QVERIFY(record.moves[4].before.at(6, 8).isEmpty());
        QCOMPARE(record.moves[6].before.at(9, 7), (Tile{'A', true}));
        QCOMPARE(record.moves[1].tiles, std::string("QU"));

        const robot::Brain brain(smallList(), robot::LeaveTable::builtIn());
        AnalysisFault fault;
        const std::optional<Analysis> analysis = analyse(brain, record, 30, fault);
        QVERIFY(analysis);
        QCOMPARE(analysis->moves.size(), std::size_t(6)); // the end is not weighed
        double lost[2] = {0, 0};
        for (const MoveValue& v : analysis->moves) {
            const ReadMove& m = record.moves[v.index];
            QVERIFY2(isLegal(brain, m, v.best), v.bestNotation.c_str());
            QVERIFY(v.lost() >= 0 && v.lost() == std::max(0.0, v.bestValue - v.playedValue));
            lost[m.seat] += v.lost();
        }
        const std::string text = report(record, *analysis);
        // The score, six lines on the figures and a blank, the headings, a
        // line a move weighed, a blank, a line a player.
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 1 + 6 + 1 + 6 + 1 + 2);
        QVERIFY(text.starts_with("Final score: Ann 5, Bob 17; Bob won by 12\n"));
        QVERIFY(text.find("9G ZAG taken back") != std::string::npos);
        QVERIFY(text.find("-QU ") != std::string::npos);
        QVERIFY(text.find(QString("Ann: %1 points of value lost over 3 moves")
                              .arg(lost[0], 0, 'f', 1)
                              .toStdString()) != std::string::npos);
    }

    // A whole game of two strong robots on the game's list, written as the
    // server writes it, reads back with the board as it was before every
    // move, and is weighed to the end, the endgame included.
    void robotGameReadsBackAndIsWeighed() {
        if (gameList().isEmpty())
            QSKIP("the game's word list is not built");
        const robot::Brain brain(gameList(), robot::LeaveTable::builtIn());
        GameListener quiet;
        Game game({"Ann", "Bob"}, Judging::List, &gameList(), 11, &quiet);
        std::mt19937_64 random(11);
        game.start();
        std::vector<Grid> boards;
        while (!game.isOver()) {
            const int seat = game.turn();
            boards.push_back(game.board());
            const Grid board = game.board();
            robot::makeMove(game, seat,
                            robot::chooseMove(brain, {board, game.seats()[seat].rack, game.bagSize()},
                                              robot::Level::Strong, random));
        }
        const RecordReading reading = readRecord(gcgText(game.names(), game.record()));
        QVERIFY2(reading.record, reading.fault.why.c_str());
        std::vector<Grid> read;
        for (const ReadMove& m : reading.record->moves)
            if (m.kind != ReadMove::Kind::End)
                read.push_back(m.before);
        QVERIFY(read == boards);

        AnalysisFault fault;
        const std::optional<Analysis> analysis = analyse(brain, *reading.record, 20, fault);
        QVERIFY(analysis);
        QCOMPARE(analysis->moves.size(), boards.size());
        for (const MoveValue& v : analysis->moves)
            QVERIFY(isLegal(brain, reading.record->moves[v.index], v.best));
    }

    // Every play the generator finds, written as a record writes it, reads
    // back as the same tiles: across and down, blanks named and laid tiles.
    void notationReadsBackAsThePlay_data() {
        QTest::addColumn<QString>("rack");
        QTest::newRow("letters") << "TAXIES";
        QTest::newRow("a blank") << "TA_S";
    }
    void notationReadsBackAsThePlay() {
        QFETCH(QString, rack);
        const robot::Brain brain(smallList(), robot::LeaveTable());
        Grid grid;
        for (const auto& [column, row, letter] : {std::tuple{6, 7, 'C'}, {7, 7, 'A'}, {8, 7, 'T'},
                                                  {8, 8, 'I'}, {8, 9, 'E'}})
            grid.at(column, row) = Tile{letter, false};
        const auto plays = brain.generator().allPlays(grid, rack.toStdString());
        QVERIFY(plays.size() > 10);
        for (const ScoredPlay& p : plays) {
            const std::string notation = playNotation(grid, p.play);
            QCOMPARE(playOfNotation(grid, notation), std::optional<Play>(p.play));
        }
    }

    void notARecord_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("why");
        const QString players = "#player1 Ann Ann\n#player2 Bob Bob\n";
        QTest::newRow("empty") << "" << 0 << "no #player line";
        QTest::newRow("some other text") << "hello\n" << 1 << "starts neither";
        QTest::newRow("a stranger") << players + ">Cy: CAT - +0 0\n" << 3 << "not a #player";
        QTest::newRow("a score") << players + ">Ann: CAT 8G CAT +x 10\n" << 3 << "not a number";
        QTest::newRow("off the board") << players + ">Ann: CAT 8N CAT +5 5\n" << 3 << "does not fit";
        QTest::newRow("a dot on nothing") << players + ">Ann: CAT 8G C.T +5 5\n" << 3 << "does not fit";
        QTest::newRow("on a tile") << players + ">Ann: CAT 8G CAT +5 5\n>Bob: CAT H7 CAT +5 5\n"
                                   << 4 << "does not fit";
        QTest::newRow("not on the rack") << players + ">Ann: XYZ 8G CAT +5 5\n" << 3
                                         << "not on the rack";
        QTest::newRow("a rack in lower case") << players + ">Ann: cat 8G CAT +5 5\n" << 3
                                              << "is not tiles";
        QTest::newRow("nothing to take back") << players + ">Ann: CAT -- -5 0\n" << 3
                                              << "takes back no play";
        QTest::newRow("an exchange of others' tiles") << players + ">Ann: CAT -QQ +0 0\n" << 3
                                                      << "neither a pass nor an exchange";
        QTest::newRow("too few words") << players + ">Ann: - +0\n" << 3 << "a rack, the move";
    }
    void notARecord() {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, why);
        const RecordReading reading = readRecord(text.toStdString());
        QVERIFY(!reading.record);
        QCOMPARE(reading.fault.line, line);
        QVERIFY2(QString::fromStdString(reading.fault.why).contains(why), reading.fault.why.c_str());
    }

    // More of a tile than the game has is a fault of the analysis, with its line.
    void tilesTheGameDoesNotHave() {
        const RecordReading reading =
            readRecord("#player1 Ann Ann\n#player2 Bob Bob\n>Ann: ZZ - +0 0\n");
        QVERIFY(reading.record);
        const robot::Brain brain(smallList(), robot::LeaveTable::builtIn());
        AnalysisFault fault;
        QVERIFY(!analyse(brain, *reading.record, 10, fault));
        QCOMPARE(fault.line, 3);
    }

    // The program fails with one line naming the file, and the line where
    // there is one.
    void programFailsInOneLine_data() {
        QTest::addColumn<QString>("content"); // empty: no file at all
        QTest::addColumn<QString>("says");
        QTest::newRow("no such file") << "" << "x.gcg: ";
        QTest::newRow("not a record") << "#player1 Ann Ann\nhello\n" << "x.gcg:2: not a line";
    }
    void programFailsInOneLine() {
        QFETCH(QString, content);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString path = dir.filePath("x.gcg");
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content.toUtf8());
        }
        QProcess analyse;
        analyse.start(WORDMOOT_ANALYSE, {path, "--words", dir.filePath("none")});
        QVERIFY(analyse.waitForFinished(30'000));
        QCOMPARE(analyse.exitCode(), 1);
        const QString error = QString::fromUtf8(analyse.readAllStandardError());
        QCOMPARE(error.count('\n'), 1);
        QVERIFY2(error.contains(says), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(AnalyseTest)
#include "tst_analyse.moc"
