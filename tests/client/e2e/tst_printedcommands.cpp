// Every input-line command the README, the guides, the manual pages and the
// help box print is typed into a real client, key by key and pasted whole,
// against the real server: each reaches the server as the command it names
// (none is answered "Unknown command"), and no password shows in the log,
// the input history or the caption.
#include "ClientFixture.h"
#include "LiveServer.h"

#include "client/app/GameSelectForm.h"
#include "client/app/MessageLog.h"
#include "client/chat/InfoTexts.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

// What a placeholder in a printed command stands for here.
QString filledIn(QString command) {
    static const QList<QPair<QString, QString>> kValues = {
        {"PASSWORD", "hunter22"}, {"OLD", "hunter22"}, {"NEW", "hunter33"},
        {"WORD", "qi"},           {"word", "qi"},      {"ID", "1"}};
    QStringList words = command.split(QLatin1Char(' '));
    for (QString& word : words)
        for (const auto& [placeholder, value] : kValues)
            if (word == placeholder)
                word = value;
    return words.join(QLatin1Char(' '));
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The commands printed for the input line: `\...` in the Markdown files,
// ".B \e..." (and the ".I" word after it) in the manual pages, and the help
// box's raw commands, typed after a backslash.
QStringList printedCommands() {
    const QDir source(QStringLiteral(WORDMOOT_SOURCE_DIR));
    QStringList found;
    QStringList markdown = {source.filePath(QStringLiteral("README.md"))};
    for (const QString& name : QDir(source.filePath(QStringLiteral("docs"))).entryList({"*.md"}))
        markdown.append(source.filePath(QStringLiteral("docs/") + name));
    static const QRegularExpression inBackticks(QStringLiteral("`(\\\\[a-zA-Z][^`]*)`"));
    for (const QString& path : markdown)
        for (const auto& match : inBackticks.globalMatch(readText(path)))
            found.append(match.captured(1));
    static const QRegularExpression inManual(
        QStringLiteral("^\\.B \\\\e([a-z]+)\\n(?:\\.I ([A-Za-z]+)\\n)?"),
        QRegularExpression::MultilineOption);
    for (const QString& name : QDir(source.filePath(QStringLiteral("data/man"))).entryList())
        for (const auto& match :
             inManual.globalMatch(readText(source.filePath(QStringLiteral("data/man/") + name))))
            found.append(QLatin1Char('\\') + match.captured(1) +
                         (match.captured(2).isEmpty() ? QString()
                                                      : QLatin1Char(' ') + match.captured(2)));
    const QString help = chat::helpText();
    const QString raw = help.section(QStringLiteral("raw commands:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    for (const QString& line : raw.split(QLatin1Char('\n')))
        found.append(QLatin1Char('\\') + line.section(QLatin1Char('\t'), 0, 0) +
                     (line.contains(QStringLiteral("specified user")) ? QStringLiteral(" alice")
                                                                      : QString()));
    found.removeDuplicates();
    found.removeAll(QStringLiteral("\\raw ")); // what the backslash becomes, no command
    return found;
}

} // namespace

class PrintedCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void everyPrintedCommandWorksAsPrinted_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("typed"); // key by key, or pasted whole
        const QStringList commands = printedCommands();
        QVERIFY(commands.size() >= 20); // the reading of the files found them
        for (const QString& command : commands) {
            QTest::addRow("typed %s", qPrintable(command)) << filledIn(command) << true;
            QTest::addRow("pasted %s", qPrintable(command)) << filledIn(command) << false;
        }
    }
    void everyPrintedCommandWorksAsPrinted() {
        QFETCH(QString, command);
        QFETCH(bool, typed);
        server::ServerOptions options;
        options.words = defaultWordList().path;
        LiveServer live(options);
        QVERIFY(live.isListening());
        LiveClient* alice = live.logOn(QStringLiteral("alice"));
        QVERIFY(alice);
        alice->form->gameSelectForm()->close(); // chat in the lobby
        QVERIFY(alice->say(QStringLiteral("before")));
        const qsizetype from = alice->received.size();

        auto* input = alice->form->findChild<QLineEdit*>(QStringLiteral("ircinputbox"));
        if (typed)
            QTest::keyClicks(input, command);
        else
            input->setText(command);
        QCOMPARE(input->echoMode(),
                 command.contains(QStringLiteral("hunter")) ? QLineEdit::Password
                                                            : QLineEdit::Normal);
        alice->button("cmdsend")->click();
        QCOMPARE(input->text(), QString());
        QVERIFY(alice->say(QStringLiteral("after"))); // every answer to it is in by then

        const QStringList answers = alice->received.mid(from);
        QVERIFY2(answers.filter(QStringLiteral("Unknown command")).isEmpty(),
                 qPrintable(answers.join(QLatin1Char('\n'))));
        const QString shown =
            alice->form->irchistorybox()->text() + alice->form->windowTitle();
        QVERIFY(!shown.contains(QStringLiteral("hunter")));
        if (!command.contains(QStringLiteral("hunter")))
            return;
        QTest::keyClick(input, Qt::Key_Up);
        QCOMPARE(input->text(), QStringLiteral("after"));
        QTest::keyClick(input, Qt::Key_Up);
        QCOMPARE(input->text(), QStringLiteral("before"));
    }
};

QTEST_MAIN(PrintedCommandsTest)
#include "tst_printedcommands.moc"
