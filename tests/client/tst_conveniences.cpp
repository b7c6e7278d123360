// The conveniences around the game: the input line's history, the last play
// marked, the call for attention on the user's turn, and what a screen reader
// is told.
#include "BoardPlaces.h"
#include "ClientFixture.h"
#include "OfflineClient.h"

#include "client/board/BoardGeometry.h"
#include "client/chat/InputHistory.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {
using Cells = QList<QPoint>;

Cells marked(const ClientState& state) {
    const auto& cells = state.lastPlay.cells();
    return Cells(cells.begin(), cells.end());
}

const QByteArray kEmptyRow = "...............";
} // namespace

class ConveniencesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    // Steps: "sent:LINE", "up:SHOWN" (the input line holds SHOWN), "down".
    // Each Up and Down gives the line shown next, "-" for none.
    void historyRecallsSentLinesAndTheDraft_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nothing sent") << QStringList{"up:draft", "down"} << QStringList{"-", "-"};
        QTest::newRow("back and forth to the draft")
            << QStringList{"sent:one", "sent:two", "up:draft", "up:two",
                           "up:one",   "down",     "down",     "down"}
            << QStringList{"two", "one", "-", "two", "draft", "-"};
        QTest::newRow("sending starts below the newest")
            << QStringList{"sent:one", "up:", "sent:two", "up:", "up:two"}
            << QStringList{"one", "two", "one"};
        QTest::newRow("a line sent twice in a row is kept once")
            << QStringList{"sent:one", "sent:one", "up:", "up:one"} << QStringList{"one", "-"};
    }
    void historyRecallsSentLinesAndTheDraft() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, shown);
        chat::InputHistory history;
        QStringList got;
        for (const QString& step : steps) {
            const QString argument = step.section(u':', 1);
            if (step.startsWith(QLatin1String("sent:")))
                history.sent(argument);
            else
                got << (step.startsWith(QLatin1String("up:")) ? history.older(argument)
                                                              : history.newer())
                           .value_or(QStringLiteral("-"));
        }
        QCOMPARE(got, shown);
    }

    void historyKeepsTheNewestLines() {
        chat::InputHistory history;
        for (int i = 0; i < chat::InputHistory::kMaxLines + 5; ++i)
            history.sent(QString::number(i));
        std::optional<QString> oldest;
        for (auto line = history.older({}); line; line = history.older({}))
            oldest = line;
        QCOMPARE(oldest, QStringLiteral("5"));
    }

    // In the window Up and Down work on the input line and send nothing.
    void inputLineRecallsWithUpAndDown() {
        ClientFixture client;
        QVERIFY(client.start());
        auto* input = client.form->findChild<QLineEdit*>(QStringLiteral("ircinputbox"));
        for (const char* line : {"hello", "again"}) {
            QTest::keyClicks(input, QLatin1String(line));
            QTest::keyClick(input, Qt::Key_Return);
        }
        QVERIFY(QTest::qWaitFor([&] { return client.server.lines().size() == 5; }, 2000));
        QTest::keyClicks(input, QStringLiteral("draft"));
        QTest::keyClick(input, Qt::Key_Up);
        QTest::keyClick(input, Qt::Key_Up);
        QCOMPARE(input->text(), QStringLiteral("hello"));
        QTest::keyClick(input, Qt::Key_Down);
        QTest::keyClick(input, Qt::Key_Down);
        QCOMPARE(input->text(), QStringLiteral("draft"));
        QVERIFY(client.settle());
        QCOMPARE(client.server.lines().size(), 5);
    }

    // Lines after a start on an empty board; the cells marked after them.
    void lastPlayIsMarkedUntilTheNext_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<Cells>("cells");
        QTest::newRow("a play that stands at once")
            << QStringList{"2012 7 .......QE......", "2014 ann scores 22 for QE",
                           "2002 bob to play", "1020 Your turn"}
            << Cells{{7, 7}, {8, 7}};
        QTest::newRow("a play down over several rows")
            << QStringList{"2012 7 .......Q.......", "2012 8 .......E......."}
            << Cells{{7, 7}, {7, 8}};
        QTest::newRow("the next play replaces it")
            << QStringList{"2012 7 .......QE......", "2002 bob to play", "2012 6 ........A......"}
            << Cells{{8, 6}};
        QTest::newRow("rows sent again change nothing")
            << QStringList{"2012 7 .......QE......", "2002 bob to play", "2012 7 .......QE......"}
            << Cells{{7, 7}, {8, 7}};
        QTest::newRow("a play put to the vote")
            << QStringList{"2003 ann 20 7,7,Z 8,7,_", "2012 7 .......Z_......", "2002 bob to play"}
            << Cells{{7, 7}, {8, 7}};
        QTest::newRow("a play not approved")
            << QStringList{"2003 ann 20 7,7,Z 8,7,_", "2012 7 " + kEmptyRow} << Cells{};
        QTest::newRow("a board sent whole is no play")
            << QStringList{"2012 6 ......A........", "2012 7 .......QE......"} << Cells{};
    }
    void lastPlayIsMarkedUntilTheNext() {
        QFETCH(QStringList, lines);
        QFETCH(Cells, cells);
        OfflineClient client(QStringLiteral("bob"));
        client.dispatch("2012 7 " + kEmptyRow);
        client.dispatch(QStringLiteral("2002 ann to play"));
        for (const QString& line : lines)
            client.dispatch(line);
        QCOMPARE(marked(client.state), cells);
    }

    // The window outlines the last play's tiles and no others.
    void windowOutlinesTheLastPlay() {
        ClientFixture client;
        QVERIFY(client.start());
        QVERIFY(
            client.reply({"2012 7 ......C........", "2002 bob to play", "2012 7 ......CAT......"}));
        const QImage shot = client.form->grab().toImage();
        const QColor outline(255, 140, 0);
        const auto edgeOf = [&](int column) {
            return shot.pixelColor(twips::toPixels(board::cellTileOrigin(column, 7)) +
                                   QPoint(board::kCellSize / 30, 1));
        };
        QCOMPARE(edgeOf(7), outline);
        QCOMPARE(edgeOf(8), outline);
        QVERIFY(edgeOf(6) != outline);
    }

    void viewIsToldItIsTheUsersTurn_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("turns");
        QTest::newRow("your turn") << QStringLiteral("1020 Your turn") << 1;
        QTest::newRow("the starting tile")
            << QStringLiteral("1020 E is your starting tile: you begin") << 1;
        QTest::newRow("another's turn") << QStringLiteral("2002 bob to play") << 0;
    }
    void viewIsToldItIsTheUsersTurn() {
        QFETCH(QString, line);
        QFETCH(int, turns);
        OfflineClient client;
        client.dispatch(line);
        QCOMPARE(client.view.yourTurns, turns);
    }

    // The window asks for attention only when it is not the active one.
    void attentionIsAskedOnlyWhileInactive_data() {
        QTest::addColumn<bool>("active");
        QTest::newRow("active") << true;
        QTest::newRow("inactive") << false;
    }
    void attentionIsAskedOnlyWhileInactive() {
        QFETCH(bool, active);
        ClientFixture client;
        QVERIFY(client.start());
        QWidget other;
        if (!active) {
            other.show();
            other.activateWindow();
        }
        QVERIFY(QTest::qWaitForWindowActive(active ? static_cast<QWidget*>(client.form.get())
                                                   : &other));
        QSignalSpy asked(client.form.get(), &WordmootForm::attentionRequested);
        QVERIFY(client.reply({"1020 Your turn"}));
        QCOMPARE(asked.size(), active ? 0 : 1);
    }

    void screenReaderHearsNamesAndDescriptions_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("a button") << "cmdsubmitplay"
                                  << "Submit Play"
                                  << "submit the tiles laid on the board as your play";
        QTest::newRow("the input line")
            << "ircinputbox"
            << "Input line"
            << "type a message to send; Up and Down recall the "
               "lines sent; F2 or Ctrl+B moves the keyboard to the board";
        QTest::newRow("the scores") << "listscores"
                                    << "Scores"
                                    << "each player's score";
        QTest::newRow("a board tile")
            << QStringLiteral("lettertile(%1)").arg(board::cellTileIndex(7, 7))
            << "Q on column 8, row 8"
            << "worth 10, double word square";
        QTest::newRow("a rack tile") << "lettertile(2)"
                                     << "T in rack slot 3"
                                     << "worth 1";
        QTest::newRow("a laid rack tile") << "lettertile(0)"
                                          << "A laid on column 1, row 1"
                                          << "worth 1, triple word square";
        QTest::newRow("the board") << "boardcursor"
                                   << "Board"
                                   << "column 8, row 8, double word square, holds Q, last play";
    }
    void screenReaderHearsNamesAndDescriptions() {
        QFETCH(QString, object);
        QFETCH(QString, name);
        QFETCH(QString, description);
        ClientFixture client;
        QVERIFY(client.start());
        QVERIFY(client.reply({"2012 7 .......Q.......", "2013 ACTEQ_S"}));
        QTest::mouseClick(client.form.get(), Qt::LeftButton, {}, twips::toPixels(cellCentre(0, 0)));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("A"));
        for (int step = 0; step < 7; ++step) // from column 2, row 1 to the centre
            QTest::keyClick(QApplication::focusWidget(), step < 6 ? Qt::Key_Right : Qt::Key_Down);
        for (int step = 0; step < 6; ++step)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        auto* widget = client.form->findChild<QWidget*>(object);
        QVERIFY(widget);
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(spoken->text(QAccessible::Name), name);
        QVERIFY2(spoken->text(QAccessible::Description).startsWith(description),
                 qPrintable(spoken->text(QAccessible::Description)));
    }
};

QTEST_MAIN(ConveniencesTest)
#include "tst_conveniences.moc"
