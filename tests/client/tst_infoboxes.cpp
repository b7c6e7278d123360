// The logo's two boxes: the help on a double click, the credits when a tile is
// dropped on it.
#include "Boxes.h"
#include "ClientFixture.h"
#include "client/app/TileLabels.h"
#include "client/chat/InfoTexts.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

// The help as the user should see it, written out line by line: key, tab,
// description; headings alone; two empty lines between the three groups.
const QString kExpectedHelp = QStringLiteral("input keystrokes:\n"
                                             "/\t'SAY' something to everyone\n"
                                             ">\t'TELL' someone something\n"
                                             ":\t'EMOTE' something, with feeling\n"
                                             ",\tChange your nickname\n"
                                             "\\\tSend a raw command\n"
                                             "\n"
                                             "raw commands:\n"
                                             "approve\tapprove play\n"
                                             "beep\tbeep the specified user\n"
                                             "refresh\tforce board refresh\n"
                                             "who\tlist connected users\n"
                                             "\n"
                                             "bonus blocks:\n"
                                             "red\ttriple word score\n"
                                             "pink\tdouble word score\n"
                                             "blue\ttriple letter score\n"
                                             "cyan\tdouble letter score\n");

// Starts a logged-on window, forgets the logon lines, and finds the logo.
QLabel* startAndFindLogo(ClientFixture& client) {
    if (!client.start())
        return nullptr;
    client.server.clearReceived();
    return client.form->findChild<QLabel*>(QStringLiteral("imgwordmoot"));
}

} // namespace

class InfoBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void helpTextIsExactlyTheShortcutTable() {
        const QString help = chat::helpText();
        // Line by line first, so a difference names its line.
        QCOMPARE(help.split(QLatin1Char('\n')), kExpectedHelp.split(QLatin1Char('\n')));
        QCOMPARE(help, kExpectedHelp);
        QCOMPARE(help.toUtf8(), kExpectedHelp.toUtf8());
    }

    void doubleClickOnLogoShowsHelpBox() {
        ClientFixture client;
        QLabel* logo = startAndFindLogo(client);
        QVERIFY(logo);
        const qsizetype before = client.dialogs.shown.size();

        QTest::mouseDClick(logo, Qt::LeftButton);

        QCOMPARE(client.dialogs.shown.mid(before),
                 QList{messageBox(kExpectedHelp, Dialogs::Icon::Information,
                                  QStringLiteral("Wordmoot Help"))});
        QVERIFY(client.settle());
        QCOMPARE(client.server.received(), QByteArray());
    }

    void creditsTitleNamesTheClientVersion() {
        const QString firstLine = chat::creditsText().section(QLatin1Char('\n'), 0, 0);
        QVERIFY2(firstLine.contains(QLatin1String("Wordmoot")), qPrintable(firstLine));
        // "0.5" standing as a version of its own, not inside "0.55" or "10.5".
        static const QRegularExpression version(QStringLiteral("(^|[^0-9.])v?0\\.5(?![0-9.])"));
        QVERIFY2(version.match(firstLine).hasMatch(), qPrintable(firstLine));
    }

    void creditsTextHasItsPartsInOrderWithExactSeparators() {
        const QString credits = chat::creditsText();
        static const QRegularExpression parts(QRegularExpression::anchoredPattern(
            QStringLiteral("([^\n]+)\n\n([^\n]+)\n\n") +
            QRegularExpression::escape(QStringLiteral(
                "Buggered if I know who wrote the original protocol, but thanks ;-)")) +
            QStringLiteral("\n\n([^\n]+)\n") +
            QRegularExpression::escape(
                QStringLiteral("They had nothing to do with this client. :-)"))));
        const QRegularExpressionMatch match = parts.match(credits);
        QVERIFY2(match.hasMatch(), qPrintable(credits));
        const QString author = match.captured(2);
        QVERIFY2(author.contains(QRegularExpression(QStringLiteral("\\S+@\\S+"))),
                 qPrintable(author));
        QVERIFY2(author.section(QLatin1Char('@'), 0, 0).trimmed().size() > 0, qPrintable(author));
        const QString trademark = match.captured(3);
        QVERIFY2(trademark.contains(QLatin1String("Wordmoot")) &&
                     trademark.contains(QLatin1String("trademark"), Qt::CaseInsensitive),
                 qPrintable(trademark));
        QVERIFY(!credits.endsWith(QLatin1Char('\n')));
    }

    void tileDroppedOnLogoShowsCreditsBoxAndStaysPut() {
        ClientFixture client;
        QLabel* logo = startAndFindLogo(client);
        QVERIFY(logo);
        const QPoint tileBefore = client.form->tiles().tile(0)->pos();
        const qsizetype before = client.dialogs.shown.size();

        QMimeData mime;
        TileLabel::carrySlot(mime, 0, client.form.get());
        const QPointF at = logo->geometry().center();
        // A drop reaches only the widget that took the drag when it entered.
        QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(client.form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(client.form.get(), &drop);

        QCOMPARE(client.dialogs.shown.mid(before),
                 QList{messageBox(chat::creditsText(), Dialogs::Icon::Information,
                                  QStringLiteral("Wordmoot Credits"))});
        QCOMPARE(client.form->tiles().tile(0)->pos(), tileBefore);
        QVERIFY(client.settle());
        QCOMPARE(client.server.received(), QByteArray());
    }
};

QTEST_MAIN(InfoBoxesTest)
#include "tst_infoboxes.moc"
