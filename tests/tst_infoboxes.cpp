// The logo's two boxes: the help on a double click, the credits when a tile is
// dropped on it.
#include "ClientFixture.h"
#include "board/TileLabels.h"
#include "chat/InfoTexts.h"

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

int boxesShown(const ClientFixture& client) {
    return static_cast<int>(client.dialogs.shown.size());
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
        QVERIFY(client.start());
        client.server.clearReceived();
        auto* logo = client.form->findChild<QLabel*>(QStringLiteral("imgwordmoot"));
        QVERIFY(logo);
        const int before = boxesShown(client);

        QTest::mouseDClick(logo, Qt::LeftButton);

        QCOMPARE(boxesShown(client), before + 1);
        const ScriptedDialogs::Shown& box = client.dialogs.shown.last();
        QVERIFY(box.kind == ScriptedDialogs::Kind::Message);
        QCOMPARE(box.title, QStringLiteral("Wordmoot Help"));
        QVERIFY(box.icon == Dialogs::Icon::Information);
        QCOMPARE(box.text, kExpectedHelp);
        ClientFixture::settle();
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
        QVERIFY(client.start());
        client.server.clearReceived();
        auto* logo = client.form->findChild<QLabel*>(QStringLiteral("imgwordmoot"));
        QVERIFY(logo);
        const QPoint tileBefore = client.form->tiles().tile(0)->pos();
        const int before = boxesShown(client);

        QMimeData mime;
        mime.setData(TileLabel::kMimeType, QByteArray("0"));
        const QPointF at = logo->geometry().center();
        // A drop reaches only the widget that took the drag when it entered.
        QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(client.form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(client.form.get(), &drop);

        QCOMPARE(boxesShown(client), before + 1);
        const ScriptedDialogs::Shown& box = client.dialogs.shown.last();
        QVERIFY(box.kind == ScriptedDialogs::Kind::Message);
        QCOMPARE(box.title, QStringLiteral("Wordmoot Credits"));
        QVERIFY(box.icon == Dialogs::Icon::Information);
        QCOMPARE(box.text, chat::creditsText());
        QCOMPARE(client.form->tiles().tile(0)->pos(), tileBefore);
        ClientFixture::settle();
        QCOMPARE(client.server.received(), QByteArray());
    }
};

QTEST_MAIN(InfoBoxesTest)
#include "tst_infoboxes.moc"
