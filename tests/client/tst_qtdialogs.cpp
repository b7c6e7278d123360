// The real message and input boxes: server text shows as typed, never as
// markup or links, a box stays usable whatever happens to the main window
// meanwhile, and a huge text cannot stall it.
#include "client/app/QtDialogs.h"
#include "shared/protocol/ShownText.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace wordmoot;

namespace {

// Runs a check on the box once it is open; the check answers the box, and
// a check that failed half way still leaves it closed.
void whenOpen(std::function<void(QDialog*)> check) {
    QTimer::singleShot(0, [check] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(box);
        check(box);
        if (box->isVisible())
            box->reject();
    });
}

// The label that shows a box's text.
QLabel* textLabel(QDialog* box, const QString& startsWith) {
    for (QLabel* label : box->findChildren<QLabel*>())
        if (label->text().startsWith(startsWith))
            return label;
    return nullptr;
}

} // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void serverTextIsShownLiterally_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("bold") << "<b>x</b>";
        QTest::newRow("image") << "<img src=x>";
        QTest::newRow("link") << "<a href=file:///x>y</a>";
    }
    void serverTextIsShownLiterally() {
        QFETCH(QString, text);
        QtDialogs dialogs;
        bool seen = false;
        whenOpen([&](QDialog* box) {
            QLabel* label = textLabel(box, text);
            QVERIFY(label);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QVERIFY(!label->openExternalLinks());
            QVERIFY(!(label->textInteractionFlags() & Qt::LinksAccessibleByMouse));
            seen = true;
            static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        dialogs.message(text, QStringLiteral("Wordmoot"), Dialogs::Icon::Information);
        QVERIFY(seen);
    }

    // A game list that arrives while a box is open disables the main window;
    // the box must stay usable, or nobody could ever close it.
    void boxStaysUsableWhenTheMainWindowIsDisabled() {
        QWidget mainWindow;
        mainWindow.resize(300, 200);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QtDialogs dialogs;
        dialogs.setOwner(&mainWindow);
        bool enabled = false;
        whenOpen([&](QDialog* box) {
            mainWindow.setEnabled(false);
            auto* yes = static_cast<QMessageBox*>(box)->button(QMessageBox::Yes);
            enabled = box->isEnabled() && yes->isEnabled();
            yes->click();
        });
        QVERIFY(dialogs.ask(QStringLiteral("Are you sure you want to quit?"),
                            QStringLiteral("Wordmoot"), true));
        QVERIFY(enabled);
    }

    void questionDefaultsToTheButtonAsked_data() {
        QTest::addColumn<bool>("defaultNo");
        QTest::newRow("No") << true;
        QTest::newRow("Yes") << false;
    }
    void questionDefaultsToTheButtonAsked() {
        QFETCH(bool, defaultNo);
        QtDialogs dialogs;
        whenOpen([&](QDialog* box) {
            auto* messageBox = static_cast<QMessageBox*>(box);
            QCOMPARE(messageBox->defaultButton(),
                     messageBox->button(defaultNo ? QMessageBox::No : QMessageBox::Yes));
            QCOMPARE(messageBox->icon(), QMessageBox::Question);
            messageBox->defaultButton()->click();
        });
        QCOMPARE(dialogs.ask(QStringLiteral("?"), QStringLiteral("Wordmoot"), defaultNo),
                 !defaultNo);
    }

    void hugeTextIsCutBeforeItIsLaidOut() {
        QtDialogs dialogs;
        const QString huge(1000000, QLatin1Char('x'));
        qsizetype shown = 0;
        whenOpen([&](QDialog* box) {
            QLabel* label = textLabel(box, QStringLiteral("xxx"));
            QVERIFY(label);
            shown = label->text().size();
            static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        dialogs.message(huge, QStringLiteral("Wordmoot"), Dialogs::Icon::Information);
        QCOMPARE(shown, kMaxShownLength + 3);
    }

    void inputBoxShowsItsPromptLiterallyAndReturnsTheAnswer_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("answered") << true;
        QTest::newRow("cancelled") << false;
    }
    void inputBoxShowsItsPromptLiterallyAndReturnsTheAnswer() {
        QFETCH(bool, accept);
        QtDialogs dialogs;
        const QString prompt = QStringLiteral("The name '<b>x</b>' is illegal.");
        whenOpen([&](QDialog* box) {
            QLabel* label = textLabel(box, prompt);
            QVERIFY(label);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            auto* input = static_cast<QInputDialog*>(box);
            QCOMPARE(input->textValue(), QStringLiteral("proposed"));
            input->setTextValue(QStringLiteral("bob"));
            accept ? input->accept() : input->reject();
        });
        QCOMPARE(dialogs.input(prompt, QStringLiteral("Wordmoot"), QStringLiteral("proposed")),
                 accept ? QStringLiteral("bob") : QString());
    }
};

QTEST_MAIN(QtDialogsTest)
#include "tst_qtdialogs.moc"
