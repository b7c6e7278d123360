// Dragging rack tiles about the main window and the turn buttons that send
// what was composed. Drops are delivered as Qt delivers them: to the widget
// under the pointer, passed up to the window.
#include "BoardPlaces.h"
#include "Boxes.h"
#include "ClientFixture.h"
#include "Drops.h"

#include "client/chat/InfoTexts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

// A point well inside a tile's upper left part, clear of its value label.
QPoint insideTile(const WordmootForm& form, const QWidget* tile) {
    return twipsCentreOf(form, tile) - QPoint(90, 90);
}

// A connected, logged-on window with the rack A C T E Q _ S and, when asked,
// the turn given to the user.
struct Table {
    ClientFixture client;
    WordmootForm* form = nullptr;
    qsizetype boxesBefore = 0;

    bool open(const QList<QByteArray>& replies = {"2013 ACTEQ_S"}) {
        if (!client.start(QStringLiteral("alice")))
            return false;
        form = client.form.get();
        client.reply(replies);
        client.server.clearReceived();
        boxesBefore = client.dialogs.shown.size();
        return true;
    }
    // The boxes shown since the table was opened (the start-up box is not).
    QList<ScriptedDialogs::Shown> boxes() const { return client.dialogs.shown.mid(boxesBefore); }
    TileLabel* tile(int index) const { return form->tiles().tile(index); }
    QLabel* value(int index) const { return form->tiles().value(index); }
    template <typename Widget> Widget* control(const char* name) const {
        return form->findChild<Widget*>(QLatin1String(name));
    }
    bool drop(int slot, QPoint twipsPosition) {
        return dropTile(*form, slot, twipsPosition).accepted;
    }
    const Placement& placement(int slot) const { return form->state().placement[slot]; }
    bool placed(int slot) const { return form->state().rack[slot].placed; }
    // Clicks a button and waits for exactly these bytes to reach the server.
    bool clickSends(const char* name, const QByteArray& bytes) {
        control<QPushButton>(name)->click();
        return QTest::qWaitFor([&] { return client.server.received().size() >= bytes.size(); },
                               2000) &&
               client.server.received() == bytes;
    }
};

} // namespace

class DragDropTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void tileDroppedOnCentreLiesOnCentreCell() {
        Table table;
        QVERIFY(table.open());
        QVERIFY(table.drop(0, {2700, 2700}));

        QCOMPARE(table.tile(0)->pos(), QPoint(177, 177)); // 2655, 2655 twips
        QVERIFY(table.tile(0)->isVisible());
        QCOMPARE(table.placement(0).column, 7);
        QCOMPARE(table.placement(0).row, 7);
        QCOMPARE(table.placement(0).letter, QStringLiteral("A"));
        QVERIFY(table.placed(0));
    }

    void dropPointPicksTheCellUnderIt_data() {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("cell");
        QTest::newRow("centre") << QPoint(2700, 2700) << QPoint(7, 7);
        QTest::newRow("left margin in row 4") << QPoint(100, 1700) << QPoint(0, 4);
        QTest::newRow("top margin in column 2") << QPoint(1000, 60) << QPoint(2, 0);
        QTest::newRow("bottom right cell") << QPoint(5505, 5505) << QPoint(14, 14);
        QTest::newRow("just past a grid line") << QPoint(495, 2700) << QPoint(1, 7);
        QTest::newRow("just before a grid line") << QPoint(465, 2700) << QPoint(0, 7);
    }
    void dropPointPicksTheCellUnderIt() {
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, cell);
        Table table;
        QVERIFY(table.open());
        QVERIFY(table.drop(1, pointer));
        QCOMPARE(table.tile(1)->pos(), cellTile(cell.x(), cell.y()));
        QCOMPARE(QPoint(table.placement(1).column, table.placement(1).row), cell);
        QCOMPARE(table.placement(1).letter, QStringLiteral("C"));
        QVERIFY(table.placed(1));
    }

    // Below the grid, on the rack row or right of the board the tile goes
    // home to its own slot, whichever slot lies under the pointer.
    void dropOffTheBoardSendsTileToItsOwnSlot_data() {
        QTest::addColumn<QPoint>("pointer");
        QTest::newRow("gap between board and rack") << QPoint(1000, 5580);
        QTest::newRow("rack row over another slot left empty") << QPoint(660, 5820);
        QTest::newRow("rack row right of the slots") << QPoint(3000, 5820);
        QTest::newRow("right edge of the board") << QPoint(5520, 2700);
        QTest::newRow("empty window right of the board") << QPoint(5600, 5000);
    }
    void dropOffTheBoardSendsTileToItsOwnSlot() {
        QFETCH(QPoint, pointer);
        Table table;
        QVERIFY(table.open());
        QVERIFY(table.drop(1, cellCentre(3, 3))); // slot 1's place in the rack is now empty
        QVERIFY(table.drop(0, cellCentre(7, 7)));
        QVERIFY(table.drop(0, pointer));

        QCOMPARE(table.tile(0)->pos(), slotTile(0));
        QVERIFY(table.tile(0)->isVisible());
        QVERIFY(table.placement(0).letter.isEmpty());
        QVERIFY(!table.placed(0));
        QCOMPARE(table.tile(1)->pos(), cellTile(3, 3));
    }

    // A visible tile label takes the drop itself: the dragged tile goes home
    // and nothing swaps or covers anything.
    void dropOnAVisibleTileSendsDraggedTileHome_data() {
        QTest::addColumn<QString>("onto");
        QTest::newRow("board tile") << QStringLiteral("board");
        QTest::newRow("another rack tile") << QStringLiteral("rack");
        QTest::newRow("the dragged tile itself") << QStringLiteral("itself");
    }
    void dropOnAVisibleTileSendsDraggedTileHome() {
        QFETCH(QString, onto);
        Table table;
        QVERIFY(table.open({"2012 7 ......CAT......", "2013 ACTEQ_S"}));
        QVERIFY(table.drop(0, cellCentre(2, 2)));
        const int centre = board::cellTileIndex(7, 7);
        QVERIFY(table.tile(centre)->isVisible());

        QWidget* target = onto == QLatin1String("board")  ? table.tile(centre)
                          : onto == QLatin1String("rack") ? table.tile(3)
                                                          : table.tile(0);
        const DropOutcome outcome = dropTile(*table.form, 0, insideTile(*table.form, target));
        QCOMPARE(outcome.under.data(), target);
        QVERIFY(outcome.accepted);

        QCOMPARE(table.tile(0)->pos(), slotTile(0));
        QCOMPARE(table.tile(0)->text(), QStringLiteral("A"));
        QVERIFY(table.placement(0).letter.isEmpty());
        QVERIFY(!table.placed(0));
        QCOMPARE(table.tile(3)->pos(), slotTile(3));
        QCOMPARE(table.tile(3)->text(), QStringLiteral("E"));
        QCOMPARE(table.tile(centre)->pos(), QPoint(177, 177));
        QCOMPARE(table.tile(centre)->text(), QStringLiteral("A"));
        QCOMPARE(table.form->state().board[7][7], QStringLiteral("A"));
    }

    // The grid line and the strip of green beside a tile belong to the
    // window; a drop there must not lay a second tile on a taken cell.
    void dropBesideATileOnATakenCellSendsTileHome_data() {
        QTest::addColumn<QPoint>("cell");
        QTest::newRow("cell with a board tile") << QPoint(7, 7);
        QTest::newRow("cell with a laid rack tile") << QPoint(2, 2);
    }
    void dropBesideATileOnATakenCellSendsTileHome() {
        QFETCH(QPoint, cell);
        Table table;
        QVERIFY(table.open({"2012 7 ......CAT......", "2013 ACTEQ_S"}));
        QVERIFY(table.drop(0, cellCentre(2, 2)));
        const QPoint gridLine(120 + cell.x() * 360, cellCentre(cell.x(), cell.y()).y());
        const DropOutcome outcome = dropTile(*table.form, 3, gridLine);
        QCOMPARE(outcome.under.data(), nullptr);
        QVERIFY(outcome.accepted);

        QCOMPARE(table.tile(3)->pos(), slotTile(3));
        QVERIFY(!table.placed(3));
        QVERIFY(table.placement(3).letter.isEmpty());
        QCOMPARE(table.placement(0).column, 2); // the tile already there stays
        QVERIFY(table.placed(0));
    }

    void dragFromAnotherWindowIsRefused() {
        Table table;
        QVERIFY(table.open());
        QWidget stranger;
        QMimeData mime;
        TileLabel::carrySlot(mime, 0, &stranger);
        QDragEnterEvent enter(twips::toPixels(cellCentre(7, 7)), Qt::MoveAction, &mime,
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table.form, &enter);
        QVERIFY(!enter.isAccepted());
        QCOMPARE(table.tile(0)->pos(), slotTile(0));
    }

    // Small value labels, buttons, the chat and the other controls do not
    // take tiles: a laid tile stays on its cell and in the play.
    void dropOnOtherControlsLeavesLaidTileWhereItWas_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("own value label") << QStringLiteral("lettertilescore(0)");
        QTest::newRow("value label in the rack") << QStringLiteral("lettertilescore(3)");
        QTest::newRow("disabled button") << QStringLiteral("cmdforfeit");
        QTest::newRow("enabled button") << QStringLiteral("cmdquit");
        QTest::newRow("disabled exchange box") << QStringLiteral("txtexchange");
        QTest::newRow("score list") << QStringLiteral("listscores");
        QTest::newRow("chat log") << QStringLiteral("irchistorybox");
        QTest::newRow("input line") << QStringLiteral("ircinputbox");
        QTest::newRow("turn label") << QStringLiteral("lblturn");
    }
    void dropOnOtherControlsLeavesLaidTileWhereItWas() {
        QFETCH(QString, name);
        Table table;
        QVERIFY(table.open());
        QVERIFY(table.drop(0, {2700, 2700}));
        auto* target = table.form->findChild<QWidget*>(name);
        QVERIFY(target);
        QVERIFY(target->isVisible());

        const DropOutcome outcome = dropTile(*table.form, 0, twipsCentreOf(*table.form, target));
        QVERIFY(outcome.under);
        QVERIFY(outcome.under == target || target->isAncestorOf(outcome.under));
        QVERIFY(outcome.accepted); // the window took the drop and let it be

        QCOMPARE(table.tile(0)->pos(), QPoint(177, 177));
        QCOMPARE(table.placement(0).letter, QStringLiteral("A"));
        QCOMPARE(QPoint(table.placement(0).column, table.placement(0).row), QPoint(7, 7));
        QVERIFY(table.placed(0));
        QVERIFY(table.control<QLineEdit>("txtexchange")->text().isEmpty());
        QVERIFY(table.boxes().isEmpty());
    }

    void dropOnValueLabelLeavesRackTileInRack() {
        Table table;
        QVERIFY(table.open());
        QVERIFY(table.drop(1, twipsCentreOf(*table.form, table.value(1))));
        QCOMPARE(table.tile(1)->pos(), slotTile(1));
        QVERIFY(!table.placed(1));
    }

    void dropOnLogoShowsCreditsAndLeavesTile() {
        Table table;
        QVERIFY(table.open());
        QVERIFY(table.drop(0, {2700, 2700}));
        auto* logo = table.control<QLabel>("imgwordmoot");
        QVERIFY(table.drop(0, twipsCentreOf(*table.form, logo)));

        QCOMPARE(table.boxes(), QList{messageBox(chat::creditsText(), Dialogs::Icon::Information,
                                                 QStringLiteral("Wordmoot Credits"))});
        QCOMPARE(table.tile(0)->pos(), QPoint(177, 177));
        QCOMPARE(table.placement(0).letter, QStringLiteral("A"));
    }

    // On the enabled exchange box a tile adds its letter, upper-cased, and
    // stays where it is.
    void exchangeBoxAppendsDroppedLetters_data() {
        QTest::addColumn<QByteArray>("rack");
        QTest::addColumn<QList<int>>("dropped");
        QTest::addColumn<QString>("text");
        QTest::newRow("letter") << QByteArray("2013 ACTEQ_S") << QList<int>{3} << "E";
        QTest::newRow("blank") << QByteArray("2013 ACTEQ_S") << QList<int>{5} << "_";
        QTest::newRow("same tile twice") << QByteArray("2013 ACTEQ_S") << QList<int>{0, 0} << "AA";
        QTest::newRow("lower-case letter") << QByteArray("2013 ACTEq_S") << QList<int>{4} << "Q";
        QTest::newRow("several in drop order")
            << QByteArray("2013 ACTEQ_S") << QList<int>{6, 5, 0} << "S_A";
    }
    void exchangeBoxAppendsDroppedLetters() {
        QFETCH(QByteArray, rack);
        QFETCH(QList<int>, dropped);
        QFETCH(QString, text);
        Table table;
        QVERIFY(table.open({rack, "1020 It is your turn"}));
        auto* box = table.control<QLineEdit>("txtexchange");
        QVERIFY(box->isEnabled());

        for (int slot : dropped)
            QVERIFY(table.drop(slot, twipsCentreOf(*table.form, box)));
        QCOMPARE(box->text(), text);
        for (int slot : dropped) {
            QCOMPARE(table.tile(slot)->pos(), slotTile(slot));
            QVERIFY(table.tile(slot)->isVisible());
            QVERIFY(!table.placed(slot));
            QVERIFY(table.placement(slot).letter.isEmpty());
        }
    }

    void exchangeBoxDropKeepsLaidTileOnBoard() {
        Table table;
        QVERIFY(table.open({"2013 ACTEQ_S", "1020 It is your turn"}));
        QVERIFY(table.drop(2, {2700, 2700}));
        auto* box = table.control<QLineEdit>("txtexchange");
        QVERIFY(table.drop(2, twipsCentreOf(*table.form, box)));
        QCOMPARE(box->text(), QStringLiteral("T"));
        QCOMPARE(table.tile(2)->pos(), QPoint(177, 177));
        QCOMPARE(table.placement(2).letter, QStringLiteral("T"));
    }

    // The small value label follows its tile: a little further in after a
    // drop than when the rack is shown.
    void valueLabelFollowsItsTile() {
        Table table;
        QVERIFY(table.open());
        for (int slot = 0; slot < 7; ++slot)
            QCOMPARE(table.value(slot)->pos(),
                     twips::toPixels(QPoint(135 + 360 * slot + 175, 5655 + 205)));

        QVERIFY(table.drop(4, {2700, 2700}));
        QCOMPARE(table.value(4)->pos(), twips::toPixels(QPoint(2655 + 190, 2655 + 210)));
        QVERIFY(table.value(4)->isVisible());

        QVERIFY(table.drop(4, {5600, 5000}));
        QCOMPARE(table.value(4)->pos(), twips::toPixels(QPoint(135 + 4 * 360 + 190, 5655 + 210)));
    }

    // Submit sends the laid tiles in rack slot order, each entry followed by
    // a blank, and hides them until the server answers.
    void submitSendsLaidTilesInSlotOrderAndHidesThem() {
        Table table;
        QVERIFY(table.open({"2013 ACTEQ_S", "1020 It is your turn"}));
        QVERIFY(table.drop(5, cellCentre(0, 14)));
        QVERIFY(table.drop(2, cellCentre(9, 7)));
        QVERIFY(table.drop(1, cellCentre(7, 7)));
        QVERIFY(table.drop(0, cellCentre(8, 7)));

        QVERIFY(table.clickSends("cmdsubmitplay", "PLAY 8,7,A 7,7,C 9,7,T 0,14,_ \r\n"));
        for (int slot : {0, 1, 2, 5}) {
            QVERIFY(!table.tile(slot)->isVisible());
            QVERIFY(!table.value(slot)->isVisible());
            QVERIFY(table.placed(slot));
        }
        for (int slot : {3, 4, 6})
            QVERIFY(table.tile(slot)->isVisible());

        // Until the server answers, the play stays composed: pressing again
        // sends it again.
        table.client.server.clearReceived();
        QVERIFY(table.clickSends("cmdsubmitplay", "PLAY 8,7,A 7,7,C 9,7,T 0,14,_ \r\n"));
    }

    void submitSendsLowerCaseTileUpperCased() {
        Table table;
        QVERIFY(table.open({"2013 q", "1020 It is your turn"}));
        QVERIFY(table.drop(0, {2700, 2700}));
        QVERIFY(table.clickSends("cmdsubmitplay", "PLAY 7,7,Q \r\n"));
    }

    // Nothing laid, nothing sent: the next command is the first thing the
    // server sees.
    void submitWithNoTileLaidSendsNothing_data() {
        QTest::addColumn<bool>("layAndTakeBack");
        QTest::newRow("nothing laid") << false;
        QTest::newRow("tile laid and taken back") << true;
    }
    void submitWithNoTileLaidSendsNothing() {
        QFETCH(bool, layAndTakeBack);
        Table table;
        QVERIFY(table.open({"2013 ACTEQ_S", "1020 It is your turn"}));
        if (layAndTakeBack) {
            QVERIFY(table.drop(0, {2700, 2700}));
            QVERIFY(table.drop(0, {1000, 5580}));
        }
        table.control<QPushButton>("cmdsubmitplay")->click();
        QVERIFY(table.clickSends("cmdwithdraw", "WITHDRAW\r\n"));
        QVERIFY(table.tile(0)->isVisible());
    }

    void tileTakenBackIsLeftOutOfThePlay() {
        Table table;
        QVERIFY(table.open({"2013 ACTEQ_S", "1020 It is your turn"}));
        QVERIFY(table.drop(0, cellCentre(6, 7)));
        QVERIFY(table.drop(1, cellCentre(7, 7)));
        QVERIFY(table.drop(0, {5600, 5000}));
        QVERIFY(table.clickSends("cmdsubmitplay", "PLAY 7,7,C \r\n"));
        QVERIFY(table.tile(0)->isVisible());
        QCOMPARE(table.tile(0)->pos(), slotTile(0));
    }

    void movedTileIsSentFromItsLastCell() {
        Table table;
        QVERIFY(table.open({"2013 ACTEQ_S", "1020 It is your turn"}));
        QVERIFY(table.drop(3, cellCentre(1, 1)));
        QVERIFY(table.drop(3, cellCentre(13, 2)));
        QVERIFY(table.clickSends("cmdsubmitplay", "PLAY 13,2,E \r\n"));
    }

    void exchangeSendsBoxUpperCasedAndEmptiesIt() {
        Table table;
        QVERIFY(table.open({"2013 ACTEQ_S", "1020 It is your turn"}));
        auto* box = table.control<QLineEdit>("txtexchange");
        box->setText(QStringLiteral("aet"));
        QVERIFY(table.clickSends("cmdexchange", "EXCHANGE AET\r\n"));
        QVERIFY(box->text().isEmpty());
    }

    void exchangeWithEmptyBoxSendsNothing() {
        Table table;
        QVERIFY(table.open({"2013 ACTEQ_S", "1020 It is your turn"}));
        table.control<QPushButton>("cmdexchange")->click();
        QVERIFY(table.clickSends("cmdforfeit", "FORFEIT\r\n"));
    }

    void turnButtonsSendTheirCommands_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("withdraw") << QByteArray("cmdwithdraw") << QByteArray("WITHDRAW\r\n");
        QTest::newRow("pass turn") << QByteArray("cmdforfeit") << QByteArray("FORFEIT\r\n");
        QTest::newRow("leave") << QByteArray("cmdleavegame") << QByteArray("LEAVE\r\n");
    }
    void turnButtonsSendTheirCommands() {
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, line);
        Table table;
        QVERIFY(table.open({"1180 ", "2013 ACTEQ_S", "1020 It is your turn"}));
        auto* control = table.control<QPushButton>(button.constData());
        QVERIFY(control->isEnabled());
        auto* input = table.control<QLineEdit>("ircinputbox");
        input->setFocus();
        QTest::mouseClick(control, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return table.client.server.received() == line; }, 2000));
        QCOMPARE(table.tile(0)->pos(), slotTile(0));
        // The keyboard stays on the input line, so what the user types next
        // is a chat line and not another press of the button.
        QCOMPARE(table.form->focusWidget(), input);
    }

    // Sorting orders the tiles in the rack and shows them again; a tile laid
    // on the board keeps its slot, its cell and its part in the play.
    void sortRackKeepsLaidTileInThePlay() {
        Table table;
        QVERIFY(table.open({"2013 TS_QECA", "1020 It is your turn"}));
        auto* sort = table.control<QPushButton>("cmdsortrack");
        QVERIFY(!sort->isEnabled());
        table.client.reply({"1180 "});
        QVERIFY(sort->isEnabled());
        table.client.server.clearReceived();

        QVERIFY(table.drop(3, {2700, 2700}));
        sort->click();

        const QStringList expected = {"A", "C", "E", "Q", "S", "T", "_"};
        for (int slot = 0; slot < 7; ++slot) {
            QCOMPARE(table.tile(slot)->text(), expected[slot]);
            QVERIFY(table.tile(slot)->isVisible());
            if (slot != 3)
                QCOMPARE(table.tile(slot)->pos(), slotTile(slot));
        }
        QCOMPARE(table.value(6)->text(), QStringLiteral("0"));
        QCOMPARE(table.value(5)->text(), QStringLiteral(" 1"));
        QCOMPARE(table.tile(3)->pos(), QPoint(177, 177));
        QVERIFY(table.clickSends("cmdsubmitplay", "PLAY 7,7,Q \r\n"));
    }

    // A tile drawn while a play is being composed fills the empty slot; the
    // laid tile stays on its cell and in the play.
    void drawnTileKeepsLaidTilesInThePlay() {
        Table table;
        QVERIFY(table.open({"2013 ACTEQ_", "1020 It is your turn"}));
        QVERIFY(table.drop(0, {2700, 2700}));
        table.client.reply({"2016 S"});
        QCOMPARE(table.tile(6)->text(), QStringLiteral("S"));
        QVERIFY(table.tile(6)->isVisible());
        QCOMPARE(table.tile(0)->pos(), QPoint(177, 177));
        QVERIFY(table.tile(0)->isVisible());
        QVERIFY(table.clickSends("cmdsubmitplay", "PLAY 7,7,A \r\n"));
    }

    void sortRackPutsEmptySlotsFirstAndBlanksLast_data() {
        QTest::addColumn<QByteArray>("rack");
        QTest::addColumn<QStringList>("shown"); // empty text: slot hidden
        QTest::newRow("full rack")
            << QByteArray("2013 T_AQESR") << QStringList{"A", "E", "Q", "R", "S", "T", "_"};
        QTest::newRow("short rack")
            << QByteArray("2013 T_A") << QStringList{"", "", "", "", "A", "T", "_"};
    }
    void sortRackPutsEmptySlotsFirstAndBlanksLast() {
        QFETCH(QByteArray, rack);
        QFETCH(QStringList, shown);
        Table table;
        QVERIFY(table.open({"1180 ", rack}));
        for (int round = 0; round < 2; ++round) { // sorting again changes nothing
            table.control<QPushButton>("cmdsortrack")->click();
            for (int slot = 0; slot < 7; ++slot) {
                QCOMPARE(table.tile(slot)->isVisible(), !shown[slot].isEmpty());
                if (!shown[slot].isEmpty())
                    QCOMPARE(table.tile(slot)->text(), shown[slot]);
                QCOMPARE(table.tile(slot)->pos(), slotTile(slot));
            }
        }
    }
};

QTEST_MAIN(DragDropTest)
#include "tst_dragdrop.moc"
