// Laying tiles from the keyboard ends in the same state, and the same play on
// the wire, as dragging them; and the board takes only the keys it is given.
#include "BoardPlaces.h"
#include "ClientFixture.h"
#include "Drops.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

using Drop = QPair<int, QPoint>; // rack slot, cell

// A logged-on window with a rack, the user to play.
struct Table {
    ClientFixture client;
    WordmootForm* form = nullptr;

    bool open(const QList<QByteArray>& board = {}, const QByteArray& rack = "ACTEQ_S") {
        if (!client.start(QStringLiteral("alice")))
            return false;
        form = client.form.get();
        client.reply(board + QList<QByteArray>{"2013 " + rack, "1020 Your turn"});
        client.server.clearReceived();
        return QTest::qWaitForWindowActive(form);
    }
    QWidget* board() const { return form->findChild<QWidget*>(QStringLiteral("boardcursor")); }
    QLineEdit* input() const { return form->findChild<QLineEdit*>(QStringLiteral("ircinputbox")); }
    // Keys in a script: arrows, ⌫ Backspace, ⌦ Delete, ⎋ Escape, ↵ Enter,
    // ⇧ Shift held with the next key; any other character is typed as it is.
    void type(const QString& script) {
        static const QHash<QChar, Qt::Key> named = {
            {u'←', Qt::Key_Left},   {u'→', Qt::Key_Right},     {u'↑', Qt::Key_Up},
            {u'↓', Qt::Key_Down},   {u'⌫', Qt::Key_Backspace}, {u'⌦', Qt::Key_Delete},
            {u'⎋', Qt::Key_Escape}, {u'↵', Qt::Key_Return}};
        Qt::KeyboardModifiers held;
        for (QChar key : script) {
            QWidget* focused = QApplication::focusWidget();
            if (key == u'⇧') {
                held = Qt::ShiftModifier;
                continue;
            }
            if (named.contains(key))
                QTest::keyClick(focused, named[key], held);
            else // the key code of a Latin-1 letter is its capital
                QTest::sendKeyEvent(QTest::Click, focused, Qt::Key(key.toUpper().unicode()),
                                    QString(key), held);
            held = {};
        }
    }
    QByteArray submitted() {
        form->findChild<QPushButton*>(QStringLiteral("cmdsubmitplay"))->click();
        return QTest::qWaitFor([&] { return client.server.received().endsWith("\r\n"); }, 2000)
                   ? client.server.received()
                   : QByteArray();
    }
    // Where each rack tile lies and whether it is in the play.
    QStringList rack() const {
        QStringList tiles;
        for (int slot = 0; slot < kRackSlots; ++slot) {
            const TileLabel* tile = form->tiles().tile(slot);
            const Placement& laid = form->state().placement[slot];
            tiles << QStringLiteral("%1@%2,%3 %4 %5,%6,%7")
                         .arg(tile->text())
                         .arg(tile->x())
                         .arg(tile->y())
                         .arg(tile->isVisible())
                         .arg(laid.letter)
                         .arg(laid.letter.isEmpty() ? -1 : laid.column)
                         .arg(laid.letter.isEmpty() ? -1 : laid.row);
        }
        return tiles;
    }
    // "slot:letter" for each tile laid, in slot order.
    QString laid() const {
        QStringList tiles;
        for (int slot = 0; slot < kRackSlots; ++slot)
            if (const QString& letter = form->state().placement[slot].letter; !letter.isEmpty())
                tiles << QStringLiteral("%1:%2").arg(slot).arg(letter);
        return tiles.join(u' ');
    }
};

const QList<QByteArray> kCatOnRow7 = {"2012 7 ......CAT......"};

} // namespace

class KeyboardPlayTest : public QObject {
    Q_OBJECT
private slots:
    // As tiles are laid, a server that keeps the game panel is asked what
    // they would make, once for each change; one that sends no panel lines
    // (a server of the first protocol) is never asked.
    void laidTilesAreShownTheirWorth() {
        for (const bool panelServer : {true, false}) {
            Table table;
            QVERIFY(table.open());
            if (panelServer)
                QVERIFY(table.client.reply({"2028 BAG 86"}));
            table.client.server.clearReceived();
            QTest::keyClick(table.form, Qt::Key_F2);
            table.type(QStringLiteral("ca⌫"));
            QVERIFY(table.client.settle());
            const QByteArray asked = panelServer ? QByteArray("PREVIEW 7,7,C \r\n"
                                                              "PREVIEW 8,7,A 7,7,C \r\n"
                                                              "PREVIEW 7,7,C \r\n")
                                                 : QByteArray();
            QCOMPARE(table.client.server.received(), asked);
        }
    }

    void init() { ClientFixture::clearSettings(); }

    // The cursor starts on the centre cell and typing goes across until an
    // arrow up or down turns it.
    void keysLayWhatDragsLay_data() {
        QTest::addColumn<QList<QByteArray>>("board");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<Drop>>("drops");
        QTest::addColumn<QByteArray>("play");
        QTest::newRow("a word across") << QList<QByteArray>{} << QStringLiteral("CAT")
                                       << QList<Drop>{{1, {7, 7}}, {0, {8, 7}}, {2, {9, 7}}}
                                       << QByteArray("PLAY 8,7,A 7,7,C 9,7,T \r\n");
        QTest::newRow("lower case") << QList<QByteArray>{} << QStringLiteral("cat")
                                    << QList<Drop>{{1, {7, 7}}, {0, {8, 7}}, {2, {9, 7}}}
                                    << QByteArray("PLAY 8,7,A 7,7,C 9,7,T \r\n");
        QTest::newRow("down after an arrow")
            << QList<QByteArray>{} << QStringLiteral("↓↑TE")
            << QList<Drop>{{2, {7, 7}}, {3, {7, 8}}} << QByteArray("PLAY 7,7,T 7,8,E \r\n");
        QTest::newRow("blanks by underscore and space")
            << QList<QByteArray>{} << QStringLiteral("S_") << QList<Drop>{{6, {7, 7}}, {5, {8, 7}}}
            << QByteArray("PLAY 8,7,_ 7,7,S \r\n");
        QTest::newRow("space for a blank")
            << QList<QByteArray>{} << QStringLiteral("A ") << QList<Drop>{{0, {7, 7}}, {5, {8, 7}}}
            << QByteArray("PLAY 7,7,A 8,7,_ \r\n");
        QTest::newRow("over the tiles on the board")
            << kCatOnRow7 << QStringLiteral("←←SE") << QList<Drop>{{6, {5, 7}}, {3, {9, 7}}}
            << QByteArray("PLAY 9,7,E 5,7,S \r\n");
        QTest::newRow("backspace takes the last back")
            << QList<QByteArray>{} << QStringLiteral("CAT⌫E")
            << QList<Drop>{{1, {7, 7}}, {0, {8, 7}}, {3, {9, 7}}}
            << QByteArray("PLAY 8,7,A 7,7,C 9,7,E \r\n");
        QTest::newRow("escape takes all back")
            << QList<QByteArray>{} << QStringLiteral("QA⎋←←↓↑TE")
            << QList<Drop>{{2, {7, 7}}, {3, {7, 8}}} << QByteArray("PLAY 7,7,T 7,8,E \r\n");
        QTest::newRow("delete takes the tile under the cursor")
            << QList<QByteArray>{} << QStringLiteral("QA←⌦") << QList<Drop>{{4, {7, 7}}}
            << QByteArray("PLAY 7,7,Q \r\n");
        QTest::newRow("the board's edge stops the word")
            << QList<QByteArray>{} << QStringLiteral("→→→→→→→AC") << QList<Drop>{{0, {14, 7}}}
            << QByteArray("PLAY 14,7,A \r\n");
    }
    void keysLayWhatDragsLay() {
        QFETCH(QList<QByteArray>, board);
        QFETCH(QString, keys);
        QFETCH(QList<Drop>, drops);
        QFETCH(QByteArray, play);
        Table dragged;
        QVERIFY(dragged.open(board));
        for (const Drop& drop : drops)
            QVERIFY(
                dropTile(*dragged.form, drop.first, cellCentre(drop.second.x(), drop.second.y()))
                    .accepted);
        Table typed;
        QVERIFY(typed.open(board));
        QTest::keyClick(typed.form, Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), typed.board());
        typed.type(keys);

        QCOMPARE(typed.rack(), dragged.rack());
        QCOMPARE(typed.submitted(), play);
        QCOMPARE(dragged.submitted(), play);
        QCOMPARE(typed.rack(), dragged.rack()); // both hidden until the server answers
    }

    // A letter the rack lacks, or any letter with Shift, lays a blank named
    // for it, shown in lower case with no value; "_" and the space bar, with
    // Shift or without, an unnamed one. Taken back, a blank forgets its name.
    void blanksAreNamedFromTheKeyboard_data() {
        QTest::addColumn<QByteArray>("rack");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("laid");  // slot:letter
        QTest::addColumn<QString>("shown"); // slot 5's tile and value
        QTest::addColumn<QByteArray>("play");
        const auto row = [](const char* name, const char* rack, const QString& keys,
                            const char* laid, const char* shown, const char* play) {
            QTest::newRow(name) << QByteArray(rack) << keys << QString::fromLatin1(laid)
                                << QString::fromLatin1(shown) << QByteArray(play) + "\r\n";
        };
        row("letter in the rack", "ACTEQ_S", "e", "3:E", "_0", "PLAY 7,7,E ");
        row("letter not in the rack", "ACTEQ_S", "z", "5:z", "z", "PLAY 7,7,z ");
        row("letter already laid", "ACTEQ_S", "aa", "0:A 5:a", "a", "PLAY 7,7,A 8,7,a ");
        row("either case, two blanks", "ACTEQ__", "Zx", "5:z 6:x", "z", "PLAY 7,7,z 8,7,x ");
        row("letter not in the rack, no blank", "ACTEQS", "zA", "0:A", "S 1", "PLAY 7,7,A ");
        row("accented letter names none", "ACTEQ_S", "éA", "0:A", "_0", "PLAY 7,7,A ");
        row("shift with a letter in the rack", "ACTEQ_S", "⇧e", "5:e", "e", "PLAY 7,7,e ");
        row("shift, no blank", "ACTEQS", "⇧eA", "0:A", "S 1", "PLAY 7,7,A ");
        row("underscore, with shift", "ACTEQ_S", "⇧_", "5:_", "_0", "PLAY 7,7,_ ");
        row("space, with shift", "ACTEQ_S", "⇧ ", "5:_", "_0", "PLAY 7,7,_ ");
        row("backspace forgets the name", "ACTEQ_S", "z⌫e", "3:E", "_0", "PLAY 7,7,E ");
    }
    void blanksAreNamedFromTheKeyboard() {
        QFETCH(QByteArray, rack);
        QFETCH(QString, keys);
        QFETCH(QString, laid);
        QFETCH(QString, shown);
        QFETCH(QByteArray, play);
        Table table;
        QVERIFY(table.open({}, rack));
        QTest::keyClick(table.form, Qt::Key_F2);
        table.type(keys);
        QCOMPARE(table.laid(), laid);
        QCOMPARE(table.form->tiles().tile(5)->text() + table.form->tiles().value(5)->text(), shown);
        QCOMPARE(table.submitted(), play);
    }

    // Enter on the board presses Submit Play.
    void enterOnTheBoardSubmits() {
        Table table;
        QVERIFY(table.open());
        QTest::keyClick(table.form, Qt::Key_B, Qt::ControlModifier);
        table.type(QStringLiteral("CAT↵"));
        QVERIFY(QTest::qWaitFor(
            [&] { return table.client.server.received() == "PLAY 8,7,A 7,7,C 9,7,T \r\n"; }, 2000));
    }

    // The input line keeps its keys until the board is given the keyboard.
    void inputLineKeepsItsKeys() {
        Table table;
        QVERIFY(table.open());
        QCOMPARE(QApplication::focusWidget(), table.input());
        table.type(QStringLiteral("CAT←⌫"));
        QCOMPARE(table.input()->text(), QStringLiteral("CT"));
        QVERIFY(!table.form->state().rack[0].placed);
    }

    // A click on the board takes the keyboard there; Tab, and Escape with
    // nothing laid, give it back to the input line.
    void boardTakesAndGivesBackTheKeyboard_data() {
        QTest::addColumn<QString>("leave");
        QTest::newRow("tab") << QStringLiteral("\t");
        QTest::newRow("escape") << QStringLiteral("⎋⎋");
    }
    void boardTakesAndGivesBackTheKeyboard() {
        QFETCH(QString, leave);
        Table table;
        QVERIFY(table.open());
        QTest::mouseClick(table.form, Qt::LeftButton, {}, twips::toPixels(cellCentre(3, 4)));
        QCOMPARE(QApplication::focusWidget(), table.board());
        table.type(QStringLiteral("A"));
        QCOMPARE(table.form->state().placement[0].column, 3);
        QCOMPARE(table.form->state().placement[0].row, 4);
        if (leave == QLatin1String("\t"))
            QTest::keyClick(table.board(), Qt::Key_Tab);
        else
            table.type(leave);
        QCOMPARE(QApplication::focusWidget(), table.input());
    }

    // A screen reader hears each board tile by its letter and cell; the name
    // follows the tile through every change the server sends, also back to a
    // letter the cell held before.
    void boardTilesAreNamedForTheirLetter() {
        Table table;
        QVERIFY(table.open());
        const TileLabel* tile = table.form->tiles().tile(board::cellTileIndex(7, 7));
        const QList<QPair<QByteArray, QString>> steps = {
            {"2012 7 .......Q.......", "Q on column 8, row 8"},
            {"2012 7 ...............", ". on column 8, row 8"},
            {"2012 7 .......Q.......", "Q on column 8, row 8"},
            {"2012 7 .......e.......", "blank E on column 8, row 8"},
            {"2012 7 ......._.......", "blank on column 8, row 8"},
        };
        for (const auto& [line, name] : steps) {
            table.client.reply({line});
            QCOMPARE(tile->accessibleName(), name);
        }
        QCOMPARE(tile->accessibleDescription(), QStringLiteral("worth 0, double word square"));
    }
};

QTEST_MAIN(KeyboardPlayTest)
#include "tst_keyboardplay.moc"
