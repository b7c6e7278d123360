// The main window as it opens: its controls, where they sit, how they look,
// the focus order, the default button, and the message log.
#include "ClientFixture.h"
#include "shared/protocol/ShownText.h"

#include "client/app/MessageLog.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QWindow>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

template <typename Control = QWidget> Control* control(const QWidget& form, const QString& name) {
    return form.findChild<Control*>(name);
}

const QStringList kFocusOrder = {QStringLiteral("ircinputbox"), QStringLiteral("cmdsubmitplay"),
                                 QStringLiteral("listscores"),  QStringLiteral("cmdsortrack"),
                                 QStringLiteral("cmdsend"),     QStringLiteral("cmdleavegame"),
                                 QStringLiteral("cmdforfeit"),  QStringLiteral("txtexchange"),
                                 QStringLiteral("cmdexchange"), QStringLiteral("cmdwithdraw"),
                                 QStringLiteral("cmdquit"),     QStringLiteral("irchistorybox")};

// The named controls in the order the focus chain visits them, starting at
// the first one.
QStringList focusChainOrder(QWidget* first) {
    QStringList order;
    QWidget* widget = first;
    do {
        if (kFocusOrder.contains(widget->objectName()) && (widget->focusPolicy() & Qt::TabFocus))
            order.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget && widget != first);
    return order;
}

QString textOf(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QPushButton*>(widget))
        return button->text();
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->text();
    if (const auto* log = qobject_cast<const MessageLog*>(widget))
        return log->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    return QString();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void windowIsCreatedHiddenEnabledAndSized() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        QVERIFY(!form.isVisible());
        QVERIFY(form.isEnabled());
        QCOMPARE(form.windowTitle(), QStringLiteral("Wordmoot"));
        // The designed 568 x 519, and the game panel beside it.
        QCOMPARE(form.size(), QSize(808, 519));
        QCOMPARE(form.findChild<QWidget*>(QStringLiteral("gamepanel"))->geometry(),
                 QRect(568, 0, 240, 519));
        QVERIFY(!form.windowIcon().isNull());
        QVERIFY(form.windowIcon().availableSizes().contains(QSize(32, 32)));
    }

    // The server's table lines reach the panel, and none of them the log.
    void thePanelShowsTheTable() {
        ClientFixture client;
        QVERIFY(client.start());
        QVERIFY(client.reply({"2028 BAG 86", "2028 UNSEEN AAB_", "2028 MOVES 1",
                              "2028 MOVE 1 bob 24 24 8D VAL.T VALET", "2028 PREVIEW 12 ZA",
                              "2028 CLOCK TURN - alice 60000 bob 60000"}));
        const auto shown = [&](const char* name) {
            return client.form->findChild<QLabel*>(QLatin1String(name))->text();
        };
        QCOMPARE(shown("lblbag"), QStringLiteral("86 tiles in the bag"));
        QCOMPARE(shown("lblunseen"), QStringLiteral("A  2  B  1  ?  1"));
        QCOMPARE(shown("lblpreview"), QStringLiteral("ZA: 12"));
        QCOMPARE(shown("lblclocks"), QStringLiteral("alice 1:00\nbob 1:00"));
        const auto* moves = client.form->findChild<QListWidget*>(QStringLiteral("lstmoves"));
        QCOMPARE(moves->count(), 1);
        QCOMPARE(moves->item(0)->text(), QStringLiteral("1  bob  8D VAL.T  VALET  24  24"));
        QVERIFY(!client.log().contains(QStringLiteral("BAG")));
    }

    // Start, Hint and Seat robot send what is typed otherwise, in a game on
    // a server that takes them; with a server of the first protocol they
    // stay off.
    void thePanelsButtonsSendTheirCommands() {
        for (const bool panelServer : {true, false}) {
            ClientFixture client;
            QVERIFY(client.start());
            const auto* start = client.form->findChild<QPushButton*>(QStringLiteral("cmdstart"));
            QVERIFY(!start->isEnabled());
            QList<QByteArray> join{"1180"}; // joined, and watching: the question's No
            if (panelServer)
                join.prepend("1140 ROBOT casual greedy strong champion");
            QVERIFY(client.reply(join));
            QCOMPARE(start->isEnabled(), panelServer);
            if (!panelServer)
                continue;
            client.server.clearReceived();
            client.form->findChild<QComboBox*>(QStringLiteral("cmbrobotlevel"))->setCurrentIndex(2);
            for (const char* name : {"cmdrobot", "cmdstart", "cmdhint"})
                client.form->findChild<QPushButton*>(QLatin1String(name))->click();
            QVERIFY(client.settle());
            QCOMPARE(client.server.received(), QByteArray("ROBOT strong\r\nSTART\r\nHINT\r\n"));
            QVERIFY(client.reply({"1200"})); // left the game
            QVERIFY(!start->isEnabled());
        }
    }

    // F9 hides the panel, the window is its designed size again, and so it
    // opens next time; F9 shows it again.
    void thePanelHidesAndStaysHidden() {
        ScriptedDialogs dialogs;
        for (const QSize size : {QSize(568, 519), QSize(808, 519)}) {
            {
                WordmootForm form(dialogs);
                form.show();
                QVERIFY(QTest::qWaitForWindowActive(&form));
                QTest::keyClick(&form, Qt::Key_F9);
                QCOMPARE(form.size(), size);
            }
            WordmootForm again(dialogs);
            QCOMPARE(again.size(), size);
            QCOMPARE(again.findChild<QWidget*>(QStringLiteral("gamepanel"))->isVisibleTo(&again),
                     size.width() > 568);
        }
    }

    void controlsHaveTheirDesignedLayout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<bool>("enabled");

        // Positions are the designed twips divided by 15 and rounded.
        const auto row = [](const char* name, const char* kind, QRect geometry, const char* text,
                            const char* toolTip, bool enabled) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind)
                                << geometry << QString::fromLatin1(text)
                                << QString::fromLatin1(toolTip) << enabled;
        };
        row("irchistorybox", "QPlainTextEdit", QRect(8, 408, 553, 81), "", "", true);
        row("cmdquit", "QPushButton", QRect(488, 296, 73, 25), "&Quit", "Quit Wordmoot", true);
        row("cmdwithdraw", "QPushButton", QRect(488, 208, 73, 25), "&Withdraw",
            "Withdraw your move", false);
        row("cmdexchange", "QPushButton", QRect(488, 240, 73, 25), "&Exchange",
            "exchange some tiles", false);
        row("txtexchange", "QLineEdit", QRect(408, 240, 73, 25), "",
            "enter tiles to exchange, or drop them into the box", false);
        row("cmdforfeit", "QPushButton", QRect(408, 208, 73, 25), "Pass &Turn",
            "forfeit the current turn - use if you can't play", false);
        row("cmdleavegame", "QPushButton", QRect(408, 296, 73, 25), "&Leave", "leave the game",
            false);
        row("cmdsend", "QPushButton", QRect(518, 490, 41, 25), "&Send",
            "send a message to the server", true);
        row("cmdsortrack", "QPushButton", QRect(264, 376, 105, 25), "Sort &Rack", "", false);
        row("listscores", "QAbstractItemView", QRect(376, 56, 185, 64), "", "displays scores",
            true);
        row("cmdsubmitplay", "QPushButton", QRect(408, 160, 153, 41), "Submit &Play",
            "submit the current play to the game server", false);
        // Edges are rounded, not sizes: 7330 and 7700 twips give 489 and 513.
        row("ircinputbox", "QLineEdit", QRect(8, 489, 505, 24), "", "type a message to send", true);
        row("imgwordmoot", "QLabel", QRect(376, 8, 186, 37), "", "", true);
        row("lblturn", "QLabel", QRect(376, 128, 185, 25), "", "", true);
    }
    void controlsHaveTheirDesignedLayout() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        QFETCH(bool, enabled);
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        QWidget* widget = control(form, name);
        QVERIFY2(widget, "no control with this name");
        QVERIFY2(widget->inherits(kind.toLatin1()), widget->metaObject()->className());
        QCOMPARE(widget->parentWidget(), &form);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(textOf(widget), text);
        QCOMPARE(widget->toolTip(), toolTip);
        QCOMPARE(widget->isEnabled(), enabled);
        QVERIFY(widget->isVisibleTo(&form));
    }

    void startStateHoldsNoScoresAndReadOnlyLog() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        QCOMPARE(control<QListView>(form, "listscores")->model()->rowCount(), 0);
        auto* log = control<MessageLog>(form, "irchistorybox");
        QVERIFY(log->isReadOnly());
        QCOMPARE(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QTest::keyClicks(log, "typed");
        QCOMPARE(log->text(), QString());
    }

    void controlsKeepTheirPlacesWhenTheWindowIsResized() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        form.resize(900, 700);
        QCOMPARE(control(form, "cmdquit")->geometry(), QRect(488, 296, 73, 25));
        QCOMPARE(control(form, "irchistorybox")->geometry(), QRect(8, 408, 553, 81));
        form.resize(300, 200);
        QCOMPARE(control(form, "cmdsend")->geometry(), QRect(518, 490, 41, 25));
    }

    void focusChainFollowsTheDesignedTabOrder() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        QCOMPARE(focusChainOrder(control(form, "ircinputbox")), kFocusOrder);
    }

    void tabSkipsDisabledControlsAndTheInputLineStartsWithFocus() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QVERIFY(QTest::qWaitForWindowActive(client.form.get()));
        QCOMPARE(QApplication::focusWidget(), control(*client.form, "ircinputbox"));

        QStringList visited;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(visited, (QStringList{"listscores", "cmdsend", "cmdquit", "irchistorybox",
                                       "ircinputbox", "listscores"}));
    }

    void sendIsTheOnlyDefaultButton() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        const QList<QPushButton*> buttons = form.findChildren<QPushButton*>();
        QVERIFY(buttons.size() >= 8);
        for (QPushButton* button : buttons) {
            const bool send = button->objectName() == QLatin1String("cmdsend");
            QVERIFY2(button->isDefault() == send, qPrintable(button->objectName()));
        }
    }

    void enterOnAFocusedButtonPressesThatButton() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.reply({"1020 your turn"});
        QTest::keyClicks(control(*client.form, "ircinputbox"), "hello");
        QWidget* withdraw = control(*client.form, "cmdwithdraw");
        withdraw->setFocus();
        QTest::keyClick(withdraw, Qt::Key_Return);
        QVERIFY(client.server.waitForLines(4));
        QCOMPARE(client.sentAfterLogon(), QList<QByteArray>{"WITHDRAW"});
    }

    void enterSendsTheInputLine_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("in the input line") << QStringLiteral("ircinputbox");
        QTest::newRow("in the score list") << QStringLiteral("listscores");
    }
    void enterSendsTheInputLine() {
        QFETCH(QString, focus);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        auto* input = control<QLineEdit>(*client.form, "ircinputbox");
        QTest::keyClicks(input, "hello");
        QWidget* target = control(*client.form, focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QVERIFY(client.server.waitForLines(4));
        QCOMPARE(client.sentAfterLogon(), QList<QByteArray>{"SAY hello"});
        QCOMPARE(input->text(), QString());
    }

    void accessKeysClickTheirButtons() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QVERIFY(QTest::qWaitForWindowActive(client.form.get()));
        QTest::keyClicks(control(*client.form, "ircinputbox"), "hi");
        QTest::keyClick(client.form.get(), Qt::Key_S, Qt::AltModifier);
        QVERIFY(client.server.waitForLines(4));
        QCOMPARE(client.sentAfterLogon(), QList<QByteArray>{"SAY hi"});

        // A button pressed by its access key clicks a moment later.
        QTest::keyClick(client.form.get(), Qt::Key_Q, Qt::AltModifier); // answered No
        QVERIFY(QTest::qWaitFor([&] { return client.dialogs.shown.size() > 1; }, 1000));
        QCOMPARE(client.dialogs.shown.size(), 2);
        QCOMPARE(client.dialogs.shown.last().text,
                 QStringLiteral("Are you sure you want to quit?"));
    }

    void controlsUseTheirDesignedFonts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("weight");
        QTest::newRow("rack tile") << "lettertile(0)"
                                   << "Arial" << 12.75 << int(QFont::Bold);
        QTest::newRow("board tile") << "lettertile(231)"
                                    << "Arial" << 12.75 << int(QFont::Bold);
        QTest::newRow("rack tile value") << "lettertilescore(0)"
                                         << "Arial" << 5.25 << int(QFont::Normal);
        QTest::newRow("board tile value") << "lettertilescore(231)"
                                          << "Arial" << 5.25 << int(QFont::Normal);
        QTest::newRow("turn label") << "lblturn"
                                    << "MS Sans Serif" << 13.5 << int(QFont::Normal);
        QTest::newRow("score list") << "listscores"
                                    << "Courier New" << 9.0 << int(QFont::Normal);
    }
    void controlsUseTheirDesignedFonts() {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(int, weight);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QWidget* widget = control(*client.form, name);
        QVERIFY2(widget, "no control with this name");
        QCOMPARE(widget->font().family(), family);
        QCOMPARE(widget->font().pointSizeF(), points);
        QCOMPARE(int(widget->font().weight()), weight);
    }

    void scoreListFontIsFixedPitch() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        QVERIFY(QFontInfo(control(form, "listscores")->font()).fixedPitch());
    }

    void serverTextsInLabelsAreNeverMarkup_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("turn label") << QStringLiteral("lblturn");
        QTest::newRow("rack tile") << QStringLiteral("lettertile(0)");
        QTest::newRow("board tile") << QStringLiteral("lettertile(231)");
        QTest::newRow("tile value") << QStringLiteral("lettertilescore(7)");
    }
    void serverTextsInLabelsAreNeverMarkup() {
        QFETCH(QString, name);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        auto* label = control<QLabel>(*client.form, name);
        QVERIFY2(label, "no label with this name");
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }

    void tileLabelsStartHiddenInTheirSizes() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        for (int i = 0; i < 232; ++i) {
            auto* tile = control<QLabel>(*client.form, QStringLiteral("lettertile(%1)").arg(i));
            auto* value =
                control<QLabel>(*client.form, QStringLiteral("lettertilescore(%1)").arg(i));
            QVERIFY2(tile && value, qPrintable(QString::number(i)));
            QVERIFY(!tile->isVisible() && !value->isVisible());
            QCOMPARE(tile->size(), QSize(22, 22));
            QCOMPARE(value->size(), QSize(9, 9));
        }
        QVERIFY(!control(*client.form, "lettertile(232)"));
    }

    void logoShowsItsPictureUnscaled() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        auto* logo = control<QLabel>(form, "imgwordmoot");
        QCOMPARE(logo->pixmap().size(), QSize(186, 37));
        QCOMPARE(logo->size(), QSize(186, 37));
        QVERIFY(!logo->hasScaledContents());
    }

    void addmsgSeparatesLinesByCrLf_data() {
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("text");
        QTest::newRow("first message has no leading line end") << QStringList{"a"} << "a";
        QTest::newRow("second preceded by one CR LF") << QStringList{"a", "b"} << "a\r\nb";
        QTest::newRow("empty message ends with an empty line") << QStringList{"a", ""} << "a\r\n";
        QTest::newRow("empty line between two") << QStringList{"a", "", "b"} << "a\r\n\r\nb";
        QTest::newRow("empty first message adds nothing") << QStringList{"", "a"} << "a";
        QTest::newRow("only empty messages") << QStringList{"", ""} << "";
        QTest::newRow("message holding CR LF is several lines")
            << QStringList{"a\r\nb", "c"} << "a\r\nb\r\nc";
        QTest::newRow("blanks are kept") << QStringList{" a  ", "  "} << " a  \r\n  ";
    }
    void addmsgSeparatesLinesByCrLf() {
        QFETCH(QStringList, messages);
        QFETCH(QString, text);
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        MessageLog* log = form.irchistorybox();
        for (const QString& message : messages) {
            // Whatever the user selected, the caret ends after the last line.
            log->selectAll();
            form.addmsg(message);
            QTRY_VERIFY(!log->textCursor().hasSelection() && log->textCursor().atEnd());
        }
        QCOMPARE(log->text(), text);
    }

    // A server line may be megabytes long; laying that out would stall the
    // window, so the log and the turn label show only its beginning.
    void hugeServerTextIsShownCut() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        const QByteArray huge(1000000, 'x');
        client.reply({"2014 " + huge, "2002 " + huge + " rest"});
        const QString xs(kMaxShownLength, QLatin1Char('x'));
        QCOMPARE(client.log(),
                 (QStringLiteral("*** ") + xs).left(kMaxShownLength) + QStringLiteral("..."));
        QCOMPARE(control<QLabel>(*client.form, "lblturn")->text(), xs + QStringLiteral("..."));
    }

    void captionShowsANicknameHoldingTheModifiedMarkLiterally() {
        ClientFixture client;
        QVERIFY(client.start("a[*]b"));
        // The title the window system is given is the one the user typed.
        QCOMPARE(client.form->windowHandle()->title(), QStringLiteral("Wordmoot - a[*]b"));
    }

    // The log fills for as long as the program runs; once it holds its most
    // lines it drops the oldest, and the newest line stays in view. How the
    // cost of a line compares in an empty and a full log is bench/client's.
    void fullLogKeepsItsMostLinesAndTheNewestInView() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        MessageLog* log = client.form->irchistorybox();
        const int last = MessageLog::kMaxLines + 1000;
        for (int i = 1; i <= last; ++i)
            client.form->addmsg(QStringLiteral("<bob> line number %1 of the log").arg(i));

        QTRY_COMPARE(log->document()->lastBlock().text(),
                     QStringLiteral("<bob> line number %1 of the log").arg(last));
        QCOMPARE(log->document()->blockCount(), MessageLog::kMaxLines);
        QVERIFY(log->textCursor().atEnd());
        QTRY_COMPARE(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
