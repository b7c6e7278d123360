// Choosing a game in the game selection window, against a scripted server.
#include "ClientFixture.h"

#include "client/app/GameSelectForm.h"

#include <QListView>
#include <QScrollBar>
#include <QPushButton>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

enum class Gesture { OkButton, DoubleClick };
Q_DECLARE_METATYPE(Gesture)

namespace {

GameSelectForm* selection(const ClientFixture& client) {
    return client.form->gameSelectForm();
}

QListView* gamelist(const ClientFixture& client) {
    return selection(client)->findChild<QListView*>(QStringLiteral("gamelist"));
}

QPushButton* okButton(const ClientFixture& client) {
    return selection(client)->findChild<QPushButton*>(QStringLiteral("OKButton"));
}

QStringList entries(const ClientFixture& client) {
    QStringList result;
    const QAbstractItemModel* model = gamelist(client)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        result.append(model->index(row, 0).data().toString());
    return result;
}

// Logs on, receives a game list with these descriptions and forgets what
// was sent so far.
bool openGameList(ClientFixture& client, const QList<QByteArray>& descriptions) {
    if (!client.start("alice"))
        return false;
    QByteArray numbers = "1160 ";
    for (const QByteArray& description : descriptions)
        numbers += description.left(1) + ' ';
    client.server.sendLines({numbers});
    if (!client.server.waitForLines(3 + static_cast<int>(descriptions.size())))
        return false;
    QList<QByteArray> replies;
    for (const QByteArray& description : descriptions)
        replies.append("1170 " + description);
    client.reply(replies);
    client.server.clearReceived();
    return selection(client) && selection(client)->isVisible();
}

void choose(ClientFixture& client, int row, Gesture gesture) {
    QListView* list = gamelist(client);
    const QModelIndex index = list->model()->index(row, 0);
    if (gesture == Gesture::OkButton) {
        list->setCurrentIndex(index);
        QTest::mouseClick(okButton(client), Qt::LeftButton);
    } else {
        // A double click is a click followed by the second press, as the
        // platform delivers it.
        const QPoint centre = list->visualRect(index).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }
    client.settle();
}

} // namespace

class GameSelectTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void gameListAsksForEachGameAndOpensTheSelection() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.reply({"1160 1 2 "});
        QVERIFY(client.server.waitForLines(5));
        QVERIFY(client.settle());
        QCOMPARE(client.sentAfterLogon(), (QList<QByteArray>{"GINFO 1", "GINFO 2"}));
        QVERIFY(selection(client));
        QVERIFY(selection(client)->isVisible());
        QVERIFY(selection(client)->isEnabled());
        QVERIFY(!client.form->isEnabled());
        QCOMPARE(entries(client), QStringList{QStringLiteral("0: Create New Game ...")});
    }

    void gameDescriptionsAddEntriesInArrivalOrder() {
        ClientFixture client;
        QVERIFY(openGameList(client, {"2 FORM 2 0", "4 PLAY 3 1"}));
        QCOMPARE(entries(client),
                 (QStringList{QStringLiteral("0: Create New Game ..."),
                              QStringLiteral("2: game 2 - forming - 2 players, 0 observers"),
                              QStringLiteral("4: game 4 - in play - 3 players, 1 observers")}));
    }

    void choiceSendsItsCommandsAndHandsBackTheMainWindow_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("watching");

        const struct {
            const char* name;
            int row;
            QByteArray sent;
            bool watching;
        } choices[] = {
            {"new game", 0, "NEWGAME\r\n", false},
            {"forming game 3", 1, "JOIN  3\r\n", false},
            {"game 4 in play", 2, "JOIN  4\r\nREFRESH\r\n", true},
            // Its game over, game 5 forms its next: joined with the player question.
            {"finished game 5", 3, "JOIN  5\r\n", false},
        };
        for (const auto& choice : choices) {
            QTest::addRow("%s by OK", choice.name)
                << choice.row << Gesture::OkButton << choice.sent << choice.watching;
            QTest::addRow("%s by double click", choice.name)
                << choice.row << Gesture::DoubleClick << choice.sent << choice.watching;
        }
    }
    void choiceSendsItsCommandsAndHandsBackTheMainWindow() {
        QFETCH(int, row);
        QFETCH(Gesture, gesture);
        QFETCH(QByteArray, sent);
        QFETCH(bool, watching);
        ClientFixture client;
        QVERIFY(openGameList(client, {"3 FORM 1 0", "4 PLAY 2 1", "5 OVER 0 1"}));

        choose(client, row, gesture);
        // A second small line may wait for the first one's acknowledgement.
        QVERIFY(QTest::qWaitFor([&] { return client.server.received().size() >= sent.size(); }));
        QVERIFY(client.settle());

        QCOMPARE(client.server.received(), sent);
        QVERIFY(!selection(client)->isVisible());
        QVERIFY(!selection(client)->isEnabled());
        QVERIFY(client.form->isEnabled());
        QCOMPARE(client.form->state().started, watching);
        QCOMPARE(client.form->state().observer, watching);
    }

    void okWithNothingSelectedDoesNothing() {
        ClientFixture client;
        QVERIFY(openGameList(client, {"3 FORM 1 0"}));
        QTest::mouseClick(okButton(client), Qt::LeftButton);
        QVERIFY(client.settle());
        QCOMPARE(client.server.received(), QByteArray());
        QVERIFY(selection(client)->isVisible());
        QVERIFY(!client.form->isEnabled());
    }

    void enterInTheListDoesNotChoose() {
        ClientFixture client;
        QVERIFY(openGameList(client, {"3 FORM 1 0"}));
        gamelist(client)->setCurrentIndex(gamelist(client)->model()->index(1, 0));
        QTest::keyClick(gamelist(client), Qt::Key_Return);
        QVERIFY(client.settle());
        QCOMPARE(client.server.received(), QByteArray());
        QVERIFY(selection(client)->isVisible());
    }

    void enterOnTheFocusedOkButtonChooses() {
        ClientFixture client;
        QVERIFY(openGameList(client, {"3 FORM 1 0"}));
        gamelist(client)->setCurrentIndex(gamelist(client)->model()->index(1, 0));
        okButton(client)->setFocus();
        QTest::keyClick(okButton(client), Qt::Key_Return);
        QVERIFY(client.server.waitForLines(1));
        QCOMPARE(client.server.lines(), QList<QByteArray>{"JOIN  3"});
    }

    void closingTheSelectionReenablesMainWindowAndSendsNothing_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close box") << false;
        QTest::newRow("escape key") << true;
    }
    void closingTheSelectionReenablesMainWindowAndSendsNothing() {
        QFETCH(bool, escape);
        ClientFixture client;
        QVERIFY(openGameList(client, {"3 FORM 1 0"}));
        if (escape)
            QTest::keyClick(selection(client), Qt::Key_Escape);
        else
            selection(client)->close();
        QVERIFY(client.settle());
        QCOMPARE(client.server.received(), QByteArray());
        QVERIFY(client.form->isEnabled());
        QVERIFY(!selection(client)->isVisible());
        QCOMPARE(client.ended->count(), 0);

        // The next list starts afresh.
        client.reply({"1160 5 ", "1170 5 FORM 1 1"});
        QVERIFY(selection(client)->isVisible());
        QCOMPARE(entries(client),
                 (QStringList{QStringLiteral("0: Create New Game ..."),
                              QStringLiteral("5: game 5 - forming - 1 players, 1 observers")}));
    }

    void nextGameListReopensTheWindowAfterAChoice() {
        ClientFixture client;
        QVERIFY(openGameList(client, {"3 FORM 1 0"}));
        choose(client, 1, Gesture::OkButton);
        QVERIFY(!selection(client)->isVisible());

        client.reply({"1160 2 ", "1170 2 FORM 2 0"});
        QVERIFY(selection(client)->isVisible());
        QVERIFY(selection(client)->isEnabled());
        QVERIFY(!client.form->isEnabled());
        QCOMPARE(entries(client),
                 (QStringList{QStringLiteral("0: Create New Game ..."),
                              QStringLiteral("2: game 2 - forming - 2 players, 0 observers")}));
        QVERIFY(gamelist(client)->selectionModel()->selectedIndexes().isEmpty());
    }

    // The keyboard goes back to the input line whichever way the window goes
    // away, and is on OK whenever the window opens.
    void keyboardReturnsToTheInputLineAndReopensOnOk_data() {
        QTest::addColumn<bool>("choose");
        QTest::newRow("after a choice") << true;
        QTest::newRow("after the close box") << false;
    }
    void keyboardReturnsToTheInputLineAndReopensOnOk() {
        QFETCH(bool, choose);
        ClientFixture client;
        QVERIFY(openGameList(client, {"3 FORM 1 0"}));
        QCOMPARE(selection(client)->focusWidget(), okButton(client));
        if (choose)
            ::choose(client, 1, Gesture::DoubleClick);
        else
            selection(client)->close();
        QWidget* input = client.form->findChild<QWidget*>(QStringLiteral("ircinputbox"));
        QTRY_COMPARE(client.form->focusWidget(), input);

        // The user moves about the list; the next opening is on OK again.
        gamelist(client)->setFocus();
        client.reply({"1160 2 ", "1170 2 FORM 2 0"});
        QTRY_COMPARE(selection(client)->focusWidget(), okButton(client));
    }

    // An entry wider than the list is shown whole and can be scrolled to,
    // not cut short with "...".
    void wideEntriesScrollInsteadOfBeingCut() {
        ClientFixture client;
        QVERIFY(openGameList(client, {"3 FORM 1 0", "4 PLAY 4 9999999999999999999999"}));
        QListView* list = gamelist(client);
        QCOMPARE(list->textElideMode(), Qt::ElideNone);
        QTRY_VERIFY(list->horizontalScrollBar()->maximum() > 0);
    }

    void gameListWhileInAGameChangesNothing() {
        ClientFixture client;
        QVERIFY(openGameList(client, {}));
        choose(client, 0, Gesture::OkButton);
        client.dialogs.askAnswers = {true};
        client.reply({"1180 "});
        QCOMPARE(client.server.lines(), (QList<QByteArray>{"NEWGAME", "READY"}));
        client.server.clearReceived();

        client.reply({"1160 1 2 "});
        QCOMPARE(client.server.received(), QByteArray());
        QVERIFY(!selection(client)->isVisible());
        QVERIFY(client.form->isEnabled());
    }

    void selectionWindowHasItsDesignedLayout() {
        ClientFixture client;
        QVERIFY(openGameList(client, {}));
        GameSelectForm* window = selection(client);
        QCOMPARE(window->windowTitle(), QStringLiteral("Select A Game"));
        QCOMPARE(window->size(), QSize(272, 151));
        QCOMPARE(window->minimumSize(), QSize(272, 151));
        QCOMPARE(window->maximumSize(), QSize(272, 151));
        QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(window->windowType() == Qt::Dialog || window->windowType() == Qt::Tool);

        QCOMPARE(gamelist(client)->geometry(), QRect(8, 8, 257, 95));
        QCOMPARE(gamelist(client)->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(gamelist(client)->toolTip(), QString());

        QPushButton* ok = okButton(client);
        QCOMPARE(ok->geometry(), QRect(184, 112, 81, 33));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->toolTip(), QString());
        QCOMPARE(window->focusWidget(), ok);

        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->windowIcon().pixmap(32, 32).toImage(),
                 client.form->windowIcon().pixmap(32, 32).toImage());
    }
};

QTEST_MAIN(GameSelectTest)
#include "tst_gameselect.moc"
