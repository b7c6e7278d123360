// Every structured message from the bytes on the wire to its fields and
// back, at the end that writes it and the end that reads it: no socket.
#include "shared/protocol/Commands.h"
#include "shared/protocol/LineFramer.h"
#include "shared/protocol/Replies.h"
#include "shared/protocol/WireLine.h"

#include <QTest>

using namespace wordmoot;

namespace {

// A line as the reading end gets it from the bytes the other end wrote.
template <typename Framer> QByteArray throughFramer(Framer framer, const QByteArray& bytes) {
    framer.append(bytes);
    const auto line = framer.takeLine();
    return line ? line->toByteArray() : QByteArray("<none>");
}

// The argument of a reply line as the client reads it.
QString argumentOf(const QByteArray& line) {
    const QString text = decodeServerLine(line);
    return text.mid(text.indexOf(u' ') + 1);
}

QString describe(const std::vector<reply::ShownTile>& tiles) {
    QStringList entries;
    for (const reply::ShownTile& t : tiles)
        entries << QStringLiteral("%1,%2,%3").arg(t.column).arg(t.row).arg(t.letter);
    return entries.join(u' ');
}

QString describe(const std::optional<Play>& play) {
    if (!play)
        return QStringLiteral("refused");
    QStringList entries;
    for (const LaidTile& t : *play)
        entries << QStringLiteral("%1,%2,%3%4")
                       .arg(t.column)
                       .arg(t.row)
                       .arg(QChar(t.tile.letter))
                       .arg(t.tile.blank ? "*" : "");
    return entries.join(u' ');
}

} // namespace

class WireTest : public QObject {
    Q_OBJECT
private slots:
    // A play the client lays goes to the server as PLAY, comes back to
    // every client as a 2003 with the same tiles, and on the board's rows.
    void aPlayGoesAround_data() {
        QTest::addColumn<QList<TileEntry>>("laid");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("letters") << QList<TileEntry>{{7, 7, 'C'}, {8, 7, 'A'}, {9, 7, 'T'}}
                                 << QByteArray("PLAY 7,7,C 8,7,A 9,7,T \r\n")
                                 << QByteArray("2003 ann 10 7,7,C 8,7,A 9,7,T \r\n");
        QTest::newRow("named blank, down")
            << QList<TileEntry>{{7, 7, 'a'}, {7, 8, 'T'}} << QByteArray("PLAY 7,7,a 7,8,T \r\n")
            << QByteArray("2003 ann 10 7,7,a 7,8,T \r\n");
        QTest::newRow("corner cells, two digits") << QList<TileEntry>{{14, 13, 'Q'}, {14, 14, 'I'}}
                                                  << QByteArray("PLAY 14,13,Q 14,14,I \r\n")
                                                  << QByteArray("2003 ann 10 14,13,Q 14,14,I \r\n");
    }
    void aPlayGoesAround() {
        QFETCH(QList<TileEntry>, laid);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);

        const QByteArray sent = encodeCommandLine(command::play(laid));
        QCOMPARE(sent, command);
        const command::Line line = command::split(throughFramer(CommandFramer(), sent));
        QCOMPARE(line.word, QByteArray("PLAY"));
        const std::optional<Play> play = command::parsePlay(line.argument);
        QVERIFY(play);

        const QByteArray told = replyLine(ReplyCode::PlayMade, reply::playMade("ann", 10, *play));
        QCOMPARE(told, reply);
        const QString toldText = argumentOf(throughFramer(LineFramer(), told));
        const reply::PlayMade made = reply::parsePlayMade(toldText); // views into toldText
        QCOMPARE(made.player, u"ann");
        QCOMPARE(made.score, u"10");
        QCOMPARE(made.tiles.size(), std::size_t(laid.size()));
        for (qsizetype i = 0; i < laid.size(); ++i) {
            QCOMPARE(made.tiles[i].column, laid[i].column);
            QCOMPARE(made.tiles[i].row, laid[i].row);
            QCOMPARE(made.tiles[i].letter, QString(QChar(laid[i].cell)));
        }

        Grid board;
        for (const LaidTile& t : *play)
            board.at(t.column, t.row) = t.tile;
        for (const TileEntry& t : laid) {
            const QByteArray rowLine =
                replyLine(ReplyCode::BoardRow, reply::boardRow(board, t.row));
            const QString rowText = argumentOf(throughFramer(LineFramer(), rowLine));
            const auto row = reply::parseBoardRow(rowText); // views into rowText
            QVERIFY(row);
            QCOMPARE(row->row, t.row);
            QCOMPARE(row->cells.size(), qsizetype(kBoardCells));
            QCOMPARE(row->cells[t.column], QChar(t.cell));
        }
    }

    // What the server makes of a PLAY's tiles: up to seven, each
    // column,row,cell; anything else refuses the whole play.
    void playCommandsAreReadStrictly_data() {
        QTest::addColumn<QByteArray>("argument");
        QTest::addColumn<QString>("tiles");
        QTest::newRow("blanks around") << QByteArray("  7,7,C   8,7,A ") << "7,7,C 8,7,A";
        QTest::newRow("named and unnamed blank") << QByteArray("7,7,q 8,7,_") << "7,7,Q* 8,7,_*";
        QTest::newRow("blank inside an entry") << QByteArray("7, 7,C") << "refused";
        QTest::newRow("off the board still read") << QByteArray("15,-1,C") << "15,-1,C";
        QTest::newRow("nothing") << QByteArray("  ") << "refused";
        QTest::newRow("digit for a letter") << QByteArray("7,7,1") << "refused";
        QTest::newRow("two letters") << QByteArray("7,7,CA") << "refused";
        QTest::newRow("missing row") << QByteArray("7,,C") << "refused";
        QTest::newRow("four fields") << QByteArray("7,7,C,D") << "refused";
        QTest::newRow("number with letters") << QByteArray("7x,7,C") << "refused";
        QTest::newRow("seven digits") << QByteArray("1000000,7,C") << "refused";
        QTest::newRow("eight tiles")
            << QByteArray("0,0,A 1,0,A 2,0,A 3,0,A 4,0,A 5,0,A 6,0,A 7,0,A") << "refused";
    }
    void playCommandsAreReadStrictly() {
        QFETCH(QByteArray, argument);
        QFETCH(QString, tiles);
        QCOMPARE(describe(command::parsePlay(argument)), tiles);
    }

    // What the client makes of a 2003 from any server: whatever it can.
    void playRepliesAreReadLeniently_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("tiles");
        QTest::newRow("note after the tiles") << "bob 9 7,7,A (bingo) 8,7,B"
                                              << "7,7,A";
        QTest::newRow("off the board left out") << "bob 9 15,7,A 7,7,B"
                                                << "7,7,B";
        QTest::newRow("fraction left out") << "bob 9 7.5,7,A 7.0,7,B"
                                           << "7,7,B";
        QTest::newRow("one comma left out") << "bob 9 7,A 8,7,B"
                                            << "8,7,B";
        QTest::newRow("no number reads as 0") << "bob 9 x,y,Z"
                                              << "0,0,Z";
        QTest::newRow("no letter") << "bob 9 7,7,"
                                   << "7,7,";
        QTest::newRow("no tiles") << "bob"
                                  << "";
    }
    void playRepliesAreReadLeniently() {
        QFETCH(QString, argument);
        QFETCH(QString, tiles);
        QCOMPARE(describe(reply::parsePlayMade(argument).tiles), tiles);
    }

    // The replies the server builds from the game, byte for byte.
    void repliesAreWritten_data() {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("line");
        Grid board;
        board.at(0, 7) = {'C', false};
        board.at(1, 7) = {'A', true};
        board.at(2, 7) = {kUnnamedBlank, true};
        QTest::newRow("row") << replyLine(ReplyCode::BoardRow, reply::boardRow(board, 7))
                             << QByteArray("2012 7 Ca_............\r\n");
        QTest::newRow("rack") << replyLine(ReplyCode::Rack, reply::rack("AB_"))
                              << QByteArray("2013 AB_\r\n");
        QTest::newRow("score, no status")
            << replyLine(ReplyCode::Score, reply::score({"bob", 0, 12, ""}))
            << QByteArray("2008 bob 0 12 \r\n");
        QTest::newRow("players") << replyLine(ReplyCode::Players, reply::players({"ann", "bob"}))
                                 << QByteArray("2000 ann bob\r\n");
        QTest::newRow("no players")
            << replyLine(ReplyCode::Players, reply::players({})) << QByteArray("2000 \r\n");
        QTest::newRow("game, observers capped")
            << replyLine(ReplyCode::GameDescription,
                         reply::gameDescription({3, reply::GameState::Playing, 2, 12}))
            << QByteArray("1170 3 PLAY 2 9\r\n");
        QTest::newRow("game numbers")
            << replyLine(ReplyCode::GameNumbers, reply::gameNumbers({1, 4}))
            << QByteArray("1160 1 4 \r\n");
        QTest::newRow("greeting") << replyLine(ReplyCode::Greeting, reply::greeting("Hello"))
                                  << QByteArray("1000 2 Hello\r\n");
        QTest::newRow("starting tile") << replyLine(ReplyCode::YourTurn, reply::yourTurn('Q'))
                                       << QByteArray("1020 Q is your starting tile: you begin\r\n");
        QTest::newRow("chat scrubbed")
            << replyLine(ReplyCode::SaidToAll, reply::chat("bob", QByteArray("a\rb\nc\0d", 7)))
            << QByteArray("2009 bob a b c d\r\n");
        QTest::newRow("chat relayed without controls")
            << replyLine(ReplyCode::SaidToAll,
                         reply::chat("bob", withoutControls("\x1b[2J\x07hi\tthere\x7f\x9b\x85" "caf\xe9")))
            << QByteArray("2009 bob [2Jhitherecaf\xe9\r\n");
    }
    void repliesAreWritten() {
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, line);
        QCOMPARE(written, line);
    }

    // The client's reading of the same replies, from what a server may send.
    void repliesAreRead_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("fields");
        QTest::newRow("row") << QByteArray("2012 7 Ca_............") << "7|Ca_............";
        QTest::newRow("row off the board") << QByteArray("2012 15 ...") << "none";
        QTest::newRow("rack with blanks") << QByteArray("2013  AB ") << "AB";
        QTest::newRow("score") << QByteArray("2008 bob 0 12 updated") << "bob|0|12|updated";
        QTest::newRow("score without status") << QByteArray("2008 bob 0 12") << "none";
        QTest::newRow("game") << QByteArray("1170 3 FORM 2 1") << "3|forming|2|1";
        QTest::newRow("short game") << QByteArray("1170 3 PLAY") << "3|in play||";
        QTest::newRow("greeting") << QByteArray("1000 2 Hello there") << "2|Hello there";
        QTest::newRow("newest client") << QByteArray("1980 Newest client v0.6") << "0.6";
        QTest::newRow("newest client, no version") << QByteArray("1980 Newest") << "none";
        QTest::newRow("nickname") << QByteArray("2019 ann alicia is the new name") << "ann|alicia";
        QTest::newRow("nickname alone") << QByteArray("2019 ann") << "none";
        QTest::newRow("starting tile") << QByteArray("1020 Q is your starting tile") << "Q";
        QTest::newRow("plain turn") << QByteArray("1020 Your turn") << "none";
        QTest::newRow("game numbers") << QByteArray("1160  1  4 7 ") << "1|4";
    }
    void repliesAreRead() {
        QFETCH(QByteArray, line);
        QFETCH(QString, fields);
        const QString argument = argumentOf(line);
        const QString none = QStringLiteral("none");
        const auto join = [](std::initializer_list<QStringView> parts) {
            QStringList texts;
            for (QStringView part : parts)
                texts << part.toString();
            return texts.join(u'|');
        };
        QString read;
        switch (line.left(4).toInt()) {
        case 2012: {
            const auto row = reply::parseBoardRow(argument);
            read = row ? QString::number(row->row) + u'|' + row->cells.toString() : none;
            break;
        }
        case 2013:
            read = reply::parseRack(argument).toString();
            break;
        case 2008: {
            const auto s = reply::parseScore(argument);
            read = s ? join({s->player, s->count, s->score, s->status}) : none;
            break;
        }
        case 1170: {
            const reply::GameColumns g = reply::parseGameDescription(argument);
            read = join({g.game, g.forming ? u"forming" : u"in play", g.players, g.observers});
            break;
        }
        case 1000: {
            const reply::Greeting g = reply::parseGreeting(argument);
            read = QString::number(g.version) + u'|' + g.text.toString();
            break;
        }
        case 1980:
            read = reply::parseNewestClient(argument).value_or(none).toString();
            break;
        case 2019: {
            const auto change = reply::parseNicknameChanged(argument);
            read = change ? join({change->oldName, change->newName}) : none;
            break;
        }
        case 1020:
            read = reply::parseStartingTile(argument).value_or(none).toString();
            break;
        case 1160: {
            QStringList games;
            for (QStringView game : reply::parseGameNumbers(argument, 2))
                games << game.toString();
            read = games.join(u'|');
            break;
        }
        }
        QCOMPARE(read, fields);
    }

    // The server's reading of a command line.
    void commandsAreRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QByteArray>("argument");
        QTest::newRow("word upper-cased")
            << QByteArray("join  3\r\n") << QByteArray("JOIN") << QByteArray(" 3");
        QTest::newRow("bare LF") << QByteArray("say hi\n") << QByteArray("SAY") << QByteArray("hi");
        QTest::newRow("CR inside kept")
            << QByteArray("SAY a\rb\r\n") << QByteArray("SAY") << QByteArray("a\rb");
        QTest::newRow("no argument")
            << QByteArray("READY\r\n") << QByteArray("READY") << QByteArray();
        QTest::newRow("longest line") << QByteArray(1023, 'x') + '\n'
                                      << QByteArray(1023, 'X') << QByteArray();
        QTest::newRow("one byte more dropped") << QByteArray(1024, 'x') + "\nQUIT\n"
                                               << QByteArray("QUIT") << QByteArray();
    }
    void commandsAreRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, word);
        QFETCH(QByteArray, argument);
        CommandFramer framer;
        framer.append(bytes);
        const auto line = framer.takeLine();
        QVERIFY(line);
        const command::Line read = command::split(line->toByteArray());
        QCOMPARE(read.word, word);
        QCOMPARE(read.argument, argument);
    }

    void commandArgumentsAreRead() {
        QCOMPARE(command::parseGameNumber(" 3 "), std::optional<int>(3));
        QCOMPARE(command::parseGameNumber("x"), std::nullopt);
        QCOMPARE(command::parseExchange("A _ Z"), std::optional<std::string>("A_Z"));
        QCOMPARE(command::parseExchange("a"), std::nullopt);
        QCOMPARE(command::parseTell("bob hi there").to, QByteArray("bob"));
        QCOMPARE(command::parseTell("bob hi there").text, QByteArray("hi there"));
        QCOMPARE(command::parseTell("bob").to, QByteArray("bob"));
        QCOMPARE(command::parseCheck("  qi   za "), (QByteArrayList{"qi", "za"}));
        QCOMPARE(command::parseCheck("  "), QByteArrayList());
        using command::RobotAsk;
        QCOMPARE(command::parseRobot(" OFF"), (RobotAsk{false, {}}));
        QCOMPARE(command::parseRobot(""), (RobotAsk{true, {}}));
        QCOMPARE(command::parseRobot("Champion "), (RobotAsk{true, "champion"}));
        QCOMPARE(command::parseRobot("two words"), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(WireTest)
#include "tst_wire.moc"
