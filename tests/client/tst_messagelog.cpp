// The message log: the lines added in one turn of the event loop shown
// together, every line in order, the caret and the view at the end, the
// bounds in lines and in characters, and the waiting lines shown before
// anything reads the log or a box opens.
#include "ClientFixture.h"
#include "client/app/MessageLog.h"
#include "shared/protocol/ShownText.h"

#include <QApplication>
#include <QClipboard>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

// What the document holds now, leaving the waiting lines where they are.
QString inDocument(const MessageLog& log) {
    return log.document()->toPlainText();
}

// The lines a log must hold after these messages: the newest that fit in
// both bounds, each shown as the log shows it.
QString newestThatFit(const QStringList& messages) {
    QStringList lines;
    for (const QString& message : messages)
        lines += shownText(message).replace(QLatin1String("\r\n"), QLatin1String("\n")).split('\n');
    qsizetype characters = -1; // no line break before the first line
    qsizetype first = lines.size();
    while (first > 0 && lines.size() - first < MessageLog::kMaxLines &&
           characters + lines[first - 1].size() + 1 <= MessageLog::kMaxCharacters)
        characters += lines[--first].size() + 1;
    return lines.mid(first).join(QLatin1String("\r\n"));
}

// Adds the messages a batch at a time, each batch in one turn of the event
// loop, waiting for it to be shown before the next.
bool addInBatches(MessageLog& log, const QStringList& messages, int batch) {
    for (qsizetype at = 0; at < messages.size(); at += batch) {
        const QStringList some = messages.mid(at, batch);
        for (const QString& message : some)
            log.addmsg(message);
        const QString last = shownText(some.last()).split('\n').last();
        if (!QTest::qWaitFor([&] { return log.document()->lastBlock().text() == last; }))
            return false;
    }
    return true;
}

QStringList numbered(int count, const QString& pattern) {
    QStringList messages;
    for (int i = 1; i <= count; ++i)
        messages.append(pattern.arg(i));
    return messages;
}

} // namespace

class MessageLogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void linesOfOneTurnAreShownTogetherWithTheCaretAndViewAtTheEnd() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        form.show();
        MessageLog* log = form.irchistorybox();
        QVERIFY(addInBatches(*log, numbered(50, QStringLiteral("line %1")), 50));
        log->selectAll();
        form.addmsg(QStringLiteral("a"));
        form.addmsg(QStringLiteral("b\r\nc"));
        QVERIFY(!inDocument(*log).contains(QLatin1String("line 50\na")));
        QTRY_VERIFY(inDocument(*log).endsWith(QLatin1String("line 50\na\nb\nc")));
        QVERIFY(!log->textCursor().hasSelection());
        QVERIFY(log->textCursor().atEnd());
        QTRY_COMPARE(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
        QVERIFY(log->verticalScrollBar()->maximum() > 0);
    }

    void readingTheLogShowsTheWaitingLines() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        form.addmsg(QStringLiteral("one"));
        form.addmsg(QStringLiteral("two"));
        QCOMPARE(form.irchistorybox()->text(), QStringLiteral("one\r\ntwo"));
    }

    void copyingTakesTheWaitingLines() {
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        form.show();
        MessageLog* log = form.irchistorybox();
        form.addmsg(QStringLiteral("one"));
        form.addmsg(QStringLiteral("two"));
        QTest::keyClick(log, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("one\ntwo"));
    }

    // A box stops the user until it is answered: the lines that came before
    // it are in the log by then, not after.
    void aBoxOpensAfterTheLinesBeforeItAreShown() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QString atTheBox;
        client.dialogs.whileOpen = [&] { atTheBox = inDocument(*client.form->irchistorybox()); };
        QVERIFY(client.reply({"2014 first", "2009 bob hello", "2026"}));
        QVERIFY(atTheBox.endsWith(QLatin1String("*** first\n<bob> hello")));
    }

    void boundsKeepTheNewestLinesInOrder_data() {
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("batch");
        const int past = MessageLog::kMaxLines + 2500;
        const QString longLine(5000, QLatin1Char('x'));
        QTest::newRow("batches past the line cap")
            << numbered(past, QStringLiteral("<bob> line %1")) << 997;
        QTest::newRow("one batch of more than the cap")
            << numbered(2 * MessageLog::kMaxLines + 1, QStringLiteral("%1")) << past * 2;
        QTest::newRow("messages of several lines across the cap")
            << numbered(past / 3, QStringLiteral("%1 a\r\n%1 b\r\n%1 c")) << 1000;
        QTest::newRow("empty lines past the cap")
            << numbered(past, QStringLiteral("%1"))
                   .replaceInStrings(QRegularExpression(".*0$"), QString())
            << 2999;
        QTest::newRow("long lines past the character cap")
            << numbered(900, QStringLiteral("%1 ") + longLine) << 77;
        QTest::newRow("long lines in one batch, then short ones")
            << numbered(600, QStringLiteral("%1 ") + longLine) +
                   numbered(past, QStringLiteral("<bob> line %1"))
            << 5000;
    }
    void boundsKeepTheNewestLinesInOrder() {
        QFETCH(QStringList, messages);
        QFETCH(int, batch);
        ScriptedDialogs dialogs;
        WordmootForm form(dialogs);
        MessageLog* log = form.irchistorybox();
        QVERIFY(addInBatches(*log, messages, batch));
        QVERIFY(log->document()->blockCount() <= MessageLog::kMaxLines);
        QVERIFY(log->document()->characterCount() - 1 <= MessageLog::kMaxCharacters);
        QCOMPARE(log->text(), newestThatFit(messages));
    }

    // Long notices fill the log by characters long before its lines: 5 KB
    // notices, each shown cut, keep the log's text bounded, the newest whole
    // and in order, and the client answering.
    void longNoticesKeepTheLogBoundedAndTheClientAnswering() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QList<QByteArray> notices;
        for (int i = 0; i < 1000; ++i)
            notices.append("2014 " + QByteArray::number(i) + ' ' + QByteArray(5000, 'n'));
        QVERIFY(client.reply(notices));
        MessageLog* log = client.form->irchistorybox();
        const QString text = log->text();
        QVERIFY(text.size() <= MessageLog::kMaxCharacters);
        QVERIFY(log->document()->blockCount() < 500);
        const QString cut = QString(4096 - 8, QLatin1Char('n')) + QStringLiteral("...");
        QVERIFY(
            text.endsWith(QStringLiteral("*** 998 ") + cut + QStringLiteral("\r\n*** 999 ") + cut));
        client.server.clearReceived();
        client.server.sendLines({"2004 still there?"});
        QVERIFY(client.server.waitForLines(1, 1000));
        QCOMPARE(client.server.lines().last(), QByteArray("REFRESH"));
    }
};

QTEST_MAIN(MessageLogTest)
#include "tst_messagelog.moc"
