// The chat input line against a scripted server: prefix characters typed into
// an empty line, and the exact command each finished line puts on the wire.
#include "ClientFixture.h"
#include "StoredSettings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

using Lines = QList<QByteArray>;

// A logged-on window with its input line and Send button at hand. What the
// client sent while logging on is forgotten, so the wire starts empty.
struct ChatClient {
    ClientFixture client;
    QLineEdit* input = nullptr;
    QPushButton* send = nullptr;

    bool start() {
        if (!client.start(QStringLiteral("alice")))
            return false;
        input = client.form->findChild<QLineEdit*>(QStringLiteral("ircinputbox"));
        send = client.form->findChild<QPushButton*>(QStringLiteral("cmdsend"));
        client.server.clearReceived();
        return input && send;
    }

    void clickSend() { QTest::mouseClick(send, Qt::LeftButton); }

    // Everything the client sent up to now, as raw bytes. A said marker line
    // is sent last and waited for: the connection keeps order, so once it
    // has arrived nothing sent before it is still on its way.
    QByteArray wireUpToNow() {
        input->setText(QStringLiteral("zzmarker"));
        clickSend();
        const QByteArray marker("SAY zzmarker\r\n");
        if (!QTest::qWaitFor([this, &marker] { return client.server.received().endsWith(marker); },
                             5000))
            return QByteArray("(the marker line never arrived)");
        QByteArray bytes = client.server.received();
        bytes.chop(marker.size());
        return bytes;
    }
};

QByteArray wireOf(const Lines& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// The log after one more line, as addmsg writes it.
QString logWith(const QString& before, const QString& echo) {
    if (echo.isEmpty())
        return before;
    return before.isEmpty() ? echo : before + QStringLiteral("\r\n") + echo;
}

} // namespace

class ChatInputTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void typedPrefixExpandsIntoCommandWord_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("colon is an emote") << ":"
                                           << ":me ";
        QTest::newRow("greater-than is a tell") << ">"
                                                << ">tell ";
        QTest::newRow("exclamation mark is a tell") << "!"
                                                    << ">tell ";
        QTest::newRow("full stop is a tell") << "."
                                             << ">tell ";
        QTest::newRow("backslash is raw") << "\\"
                                          << "\\raw ";
        QTest::newRow("slash is say") << "/"
                                      << "/say ";
        QTest::newRow("less-than is a nickname") << "<"
                                                 << "<nickname ";
        QTest::newRow("comma is a nickname") << ","
                                             << "<nickname ";
        QTest::newRow("letter stays") << "a"
                                      << "a";
        QTest::newRow("blank stays") << " "
                                     << " ";
        QTest::newRow("question mark stays") << "?"
                                             << "?";
        QTest::newRow("at sign stays") << "@"
                                       << "@";
        QTest::newRow("typing goes on after the expansion") << ":waves"
                                                            << ":me waves";
        QTest::newRow("tell typed through") << ">bob hi"
                                            << ">tell bob hi";
        QTest::newRow("second prefix is plain text") << "::"
                                                     << ":me :";
        QTest::newRow("prefix after a letter is plain text") << "a:"
                                                             << "a:";
    }
    void typedPrefixExpandsIntoCommandWord() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        ChatClient chat;
        QVERIFY(chat.start());
        QTest::keyClicks(chat.input, typed);
        QCOMPARE(chat.input->text(), expected);
        QCOMPARE(chat.input->cursorPosition(), expected.size());
    }

    // From ":me " back to ":" the line was longer a moment ago, so the colon
    // is what the user left, not a prefix to expand.
    void deletingBackToOneCharacterDoesNotExpandAgain() {
        ChatClient chat;
        QVERIFY(chat.start());
        QTest::keyClicks(chat.input, QStringLiteral(":"));
        QCOMPARE(chat.input->text(), QStringLiteral(":me "));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(chat.input, Qt::Key_Backspace);
        QCOMPARE(chat.input->text(), QStringLiteral(":"));

        chat.input->setText(QStringLiteral(">m"));
        QTest::keyClick(chat.input, Qt::Key_Backspace);
        QCOMPARE(chat.input->text(), QStringLiteral(">"));
    }

    void emptiedLineExpandsTheNextPrefix() {
        ChatClient chat;
        QVERIFY(chat.start());
        QTest::keyClicks(chat.input, QStringLiteral("ab"));
        QTest::keyClick(chat.input, Qt::Key_Backspace);
        QTest::keyClick(chat.input, Qt::Key_Backspace);
        QTest::keyClicks(chat.input, QStringLiteral(":"));
        QCOMPARE(chat.input->text(), QStringLiteral(":me "));

        // Sending clears the line; the cleared line counts as empty.
        QTest::keyClicks(chat.input, QStringLiteral("waves"));
        chat.clickSend();
        QCOMPARE(chat.input->text(), QString());
        QTest::keyClicks(chat.input, QStringLiteral("/"));
        QCOMPARE(chat.input->text(), QStringLiteral("/say "));
    }

    void pastedLineIsNotExpandedAndStillEmotes_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("set as text") << "setText";
        QTest::newRow("inserted") << "insert";
        QTest::newRow("pasted from the clipboard") << "paste";
    }
    void pastedLineIsNotExpandedAndStillEmotes() {
        QFETCH(QString, how);
        ChatClient chat;
        QVERIFY(chat.start());
        const QString line = QStringLiteral(":me waves");
        if (how == QLatin1String("setText")) {
            chat.input->setText(line);
        } else if (how == QLatin1String("insert")) {
            chat.input->insert(line);
        } else {
            QGuiApplication::clipboard()->setText(line);
            if (QGuiApplication::clipboard()->text() != line)
                QSKIP("this platform has no clipboard");
            QTest::keyClick(chat.input, Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(chat.input->text(), line);
        const QString logBefore = chat.client.log();
        chat.clickSend();
        QCOMPARE(chat.input->text(), QString());
        QCOMPARE(chat.wireUpToNow(), QByteArray("EMOTE waves\r\n"));
        QCOMPARE(chat.client.log(), logBefore);
    }

    void finishedLineSendsExactCommandAndEcho_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<Lines>("sent");
        QTest::addColumn<QString>("echo");  // empty: nothing is added to the log
        QTest::addColumn<QString>("stays"); // the input line after sending
        const QString none;

        QTest::newRow("emote") << ":me waves" << Lines{"EMOTE waves"} << none << none;
        QTest::newRow("emote from a bare colon")
            << ": waves" << Lines{"EMOTE waves"} << none << none;
        QTest::newRow("say two words") << "hello world" << Lines{"SAY hello world"} << none << none;
        QTest::newRow("say one word") << "hello" << Lines{"SAY hello"} << none << none;
        QTest::newRow("slash says only the rest")
            << "/anything hello" << Lines{"SAY hello"} << none << none;
        QTest::newRow("slash say") << "/say hi all" << Lines{"SAY hi all"} << none << none;
        QTest::newRow("raw command") << "\\raw who" << Lines{"who"} << "!who" << none;
        QTest::newRow("raw command with argument")
            << "\\raw beep bob" << Lines{"beep bob"} << "!beep bob" << none;
        QTest::newRow("identify is masked")
            << "\\raw identify s3cret99" << Lines{"identify s3cret99"} << "!identify ********" << none;
        QTest::newRow("both passwords masked") << "\\raw PASSWORD old12345 new12345"
                                               << Lines{"PASSWORD old12345 new12345"}
                                               << "!PASSWORD ******** ********" << none;
        QTest::newRow("register typed as one word")
            << "\\register hunter22" << Lines{"register hunter22"} << "!register ********" << none;
        QTest::newRow("drop typed as one word")
            << "\\Drop hunter22" << Lines{"Drop hunter22"} << "!Drop ********" << none;
        QTest::newRow("register, raw typed twice")
            << "\\raw raw REGISTER hunter22" << Lines{"REGISTER hunter22"}
            << "!REGISTER ********" << none;
        QTest::newRow("identify after blanks")
            << "\\raw  identify   hunter22" << Lines{"identify   hunter22"}
            << "!identify   ********" << none;
        QTest::newRow("a word pasted after the backslash") << "\\start" << Lines{"start"}
                                                          << "!start" << none;
        QTest::newRow("a command pasted after the backslash")
            << "\\robot champion" << Lines{"robot champion"} << "!robot champion" << none;
        QTest::newRow("raw typed twice is dropped") << "\\raw RAW who" << Lines{"who"} << "!who"
                                                    << none;
        QTest::newRow("raw typed twice and nothing else waits")
            << "\\raw raw " << Lines{} << none << "\\raw raw ";
        QTest::newRow("another word is not masked")
            << "\\raw dropped it" << Lines{"dropped it"} << "!dropped it" << none;
        QTest::newRow("tell") << ">tell bob hi there" << Lines{"TELL bob hi there"}
                              << "-> *bob* hi there" << none;
        QTest::newRow("tell from an exclamation mark")
            << "!t bob hi" << Lines{"TELL bob hi"} << "-> *bob* hi" << none;
        QTest::newRow("tell from a full stop")
            << ".t bob hi" << Lines{"TELL bob hi"} << "-> *bob* hi" << none;
        QTest::newRow("tell with one trailing blank")
            << ">tell bob " << Lines{"TELL bob "} << "-> *bob* " << none;
        QTest::newRow("tell keeps a double blank in the message")
            << ">tell bob  hi" << Lines{"TELL bob  hi"} << "-> *bob*  hi" << none;
        QTest::newRow("nickname") << "<nickname Mr Smith" << Lines{"NAME Mr Smith"} << none << none;
        QTest::newRow("nickname from a comma") << ",n bob" << Lines{"NAME bob"} << none << none;
        QTest::newRow("prefix inside a word is plain text")
            << "a:b c" << Lines{"SAY a:b c"} << none << none;
        QTest::newRow("leading blank is said whole")
            << " leading blank" << Lines{"SAY  leading blank"} << none << none;
        QTest::newRow("three blanks are said whole") << "   " << Lines{"SAY    "} << none << none;

        QTest::newRow("empty line") << "" << Lines{} << none << none;
        QTest::newRow("bare emote waits") << ":me " << Lines{} << none << ":me ";
        QTest::newRow("bare tell waits") << ">tell " << Lines{} << none << ">tell ";
        QTest::newRow("tell without message waits")
            << ">tell bob" << Lines{} << none << ">tell bob";
        QTest::newRow("word and one blank waits") << "hello " << Lines{} << none << "hello ";
        QTest::newRow("one blank waits") << " " << Lines{} << none << " ";
    }
    void finishedLineSendsExactCommandAndEcho() {
        QFETCH(QString, line);
        QFETCH(Lines, sent);
        QFETCH(QString, echo);
        QFETCH(QString, stays);
        ChatClient chat;
        QVERIFY(chat.start());
        chat.input->setText(line);
        const QString logBefore = chat.client.log();
        chat.clickSend();
        QCOMPARE(chat.input->text(), stays);
        QCOMPARE(chat.client.log(), logWith(logBefore, echo));
        QCOMPARE(chat.wireUpToNow(), wireOf(sent));
    }

    // However a password command is typed, the password shows nowhere: the
    // line shows dots while it carries one, the log masks it, Up does not
    // bring it back, and the caption never holds it.
    void passwordShowsNowhere_data() {
        QTest::addColumn<QString>("line");
        for (const char* line :
             {"\\raw register hunter22", "\\REGISTER hunter22", "\\identify hunter22",
              "\\raw raw identify hunter22", "\\raw IdEnTiFy  hunter22", "\\raw  drop hunter22",
              "\\raw password hunter22 hunter33", "\\Password hunter22 hunter33"})
            QTest::newRow(line) << QString::fromLatin1(line);
    }
    void passwordShowsNowhere() {
        QFETCH(QString, line);
        ChatClient chat;
        QVERIFY(chat.start());
        chat.input->setText(QStringLiteral("hello there"));
        chat.clickSend();
        chat.input->setText(line);
        QCOMPARE(chat.input->echoMode(), QLineEdit::Password);
        chat.clickSend();
        QCOMPARE(chat.input->text(), QString());
        QCOMPARE(chat.input->echoMode(), QLineEdit::Normal);
        QTest::keyClick(chat.input, Qt::Key_Up);
        QCOMPARE(chat.input->text(), QStringLiteral("hello there"));
        QVERIFY(chat.wireUpToNow().contains("hunter22"));
        QVERIFY(!chat.client.log().contains(QStringLiteral("hunter")));
        QVERIFY(!chat.client.form->windowTitle().contains(QStringLiteral("hunter")));
    }

    // A line that carries a password is not kept for Up to bring back, and
    // the password shows nowhere in the log.
    void passwordsAreNotRecalled() {
        ChatClient chat;
        QVERIFY(chat.start());
        for (const char* line : {"\\raw identify pw1234567", "hello there", "\\register pw7654321"}) {
            chat.input->setText(QString::fromLatin1(line));
            chat.clickSend();
        }
        QTest::keyClick(chat.input, Qt::Key_Up);
        QCOMPARE(chat.input->text(), QString("hello there"));
        QTest::keyClick(chat.input, Qt::Key_Up);
        QCOMPARE(chat.input->text(), QString("hello there"));
        QVERIFY(!chat.client.log().contains("pw1234567"));
        QVERIFY(!chat.client.log().contains("pw7654321"));
    }

    void nicknameCommandTakesTheNameAtOnce_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("nickname");
        QTest::newRow("name with a blank") << "<nickname Mr Smith"
                                           << "Mr Smith";
        QTest::newRow("comma") << ",nick bob"
                               << "bob";
    }
    void nicknameCommandTakesTheNameAtOnce() {
        QFETCH(QString, line);
        QFETCH(QString, nickname);
        ChatClient chat;
        QVERIFY(chat.start());
        chat.input->setText(line);
        chat.clickSend();
        // Before the server has said anything about it.
        QCOMPARE(chat.client.form->state().nickname, nickname);
        QCOMPARE(chat.client.form->windowTitle(), QStringLiteral("Wordmoot - ") + nickname);
        QCOMPARE(storedSetting(QStringLiteral("Server/Username")), nickname);
        QCOMPARE(chat.wireUpToNow(), QByteArray("NAME ") + nickname.toLatin1() + "\r\n");
    }

    void enterKeyInTheInputLineSends_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("return") << Qt::Key_Return;
        QTest::newRow("keypad enter") << Qt::Key_Enter;
    }
    void enterKeyInTheInputLineSends() {
        QFETCH(Qt::Key, key);
        ChatClient chat;
        QVERIFY(chat.start());
        QTest::keyClicks(chat.input, QStringLiteral("hello world"));
        QTest::keyClick(chat.input, key);
        QCOMPARE(chat.input->text(), QString());
        QCOMPARE(chat.wireUpToNow(), QByteArray("SAY hello world\r\n"));
    }

    void enterKeyOnAnUnfinishedLineKeepsIt() {
        ChatClient chat;
        QVERIFY(chat.start());
        QTest::keyClicks(chat.input, QStringLiteral(">bob"));
        QTest::keyClick(chat.input, Qt::Key_Return);
        QCOMPARE(chat.input->text(), QStringLiteral(">tell bob"));
        QCOMPARE(chat.wireUpToNow(), QByteArray());
    }

    void veryLongLineIsSentWholeOnOneLine() {
        ChatClient chat;
        QVERIFY(chat.start());
        QString line(50000, QLatin1Char('x'));
        line[25000] = QLatin1Char(' ');
        chat.input->setText(line);
        QCOMPARE(chat.input->text().size(), 50000);
        chat.clickSend();
        const QByteArray wire = chat.wireUpToNow();
        QCOMPARE(wire.count('\n'), 1);
        QCOMPARE(wire.size(), 4 + 50000 + 2);
        QCOMPARE(wire, "SAY " + line.toLatin1() + "\r\n");
    }

    void characterWithoutLatin1ByteIsSentAsOneQuestionMark_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("e acute is its Latin-1 byte")
            << QStringLiteral("h\u00e9llo") << QByteArray("SAY h\xe9llo\r\n");
        QTest::newRow("y diaeresis is byte 255")
            << QStringLiteral("\u00ff") << QByteArray("SAY \xff\r\n");
        QTest::newRow("two kanji") << QStringLiteral("\u65e5\u672c") << QByteArray("SAY ??\r\n");
        QTest::newRow("emoji is one character")
            << QString::fromUtf8("\xf0\x9f\x98\x80") << QByteArray("SAY ?\r\n");
        QTest::newRow("emoji between letters")
            << QString::fromUtf8("a\xf0\x9f\x98\x80z") << QByteArray("SAY a?z\r\n");
        QTest::newRow("tell to a kanji name")
            << QStringLiteral(">tell \u65e5 hi") << QByteArray("TELL ? hi\r\n");
    }
    void characterWithoutLatin1ByteIsSentAsOneQuestionMark() {
        QFETCH(QString, line);
        QFETCH(QByteArray, sent);
        ChatClient chat;
        QVERIFY(chat.start());
        chat.input->setText(line);
        chat.clickSend();
        QCOMPARE(chat.input->text(), QString());
        QCOMPARE(chat.wireUpToNow(), sent);
    }

    // Whatever the line edit lets through, a line break in the input line must
    // not end the command early and start a second one of the user's making.
    void lineBreakInTheInputLineCannotSplitTheCommand_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("line feed") << "a\nQUIT" << QByteArray("SAY a QUIT\r\n");
        QTest::newRow("carriage return") << "a\rQUIT" << QByteArray("SAY a QUIT\r\n");
        QTest::newRow("CR LF") << "a\r\nQUIT" << QByteArray("SAY a  QUIT\r\n");
        QTest::newRow("inside a tell")
            << ">tell bob hi\nQUIT" << QByteArray("TELL bob hi QUIT\r\n");
        QTest::newRow("inside a raw command") << "\\raw who\r\nQUIT" << QByteArray("who  QUIT\r\n");
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b")
                             << QByteArray("SAY a b\r\n");
    }
    void lineBreakInTheInputLineCannotSplitTheCommand() {
        QFETCH(QString, line);
        QFETCH(QByteArray, sent);
        ChatClient chat;
        QVERIFY(chat.start());
        chat.input->setText(line);
        if (chat.input->text() != line)
            QSKIP("the line edit does not keep this character");
        chat.clickSend();
        QCOMPARE(chat.wireUpToNow(), sent);
    }
};

QTEST_MAIN(ChatInputTest)
#include "tst_chatinput.moc"
