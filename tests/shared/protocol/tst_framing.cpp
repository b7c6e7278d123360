// Cutting the server's byte stream into lines, and turning lines into text
// and commands into bytes.
#include "shared/protocol/LineFramer.h"
#include "shared/protocol/WireLine.h"

#include <QTest>

#include <algorithm>

using namespace wordmoot;

namespace {

// Every line the framer can give right now.
QList<QByteArray> takeAll(LineFramer& framer) {
    QList<QByteArray> lines;
    while (const auto line = framer.takeLine())
        lines.append(line->toByteArray());
    return lines;
}

// Feeds the bytes in pieces of the given size, taking the lines after every
// piece as the connection does.
QList<QByteArray> feed(LineFramer& framer, const QByteArray& bytes, qsizetype piece) {
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        framer.append(bytes.mid(at, piece));
        lines += takeAll(framer);
    }
    return lines;
}

// The next line, or "<none>" when no complete line is held.
QByteArray next(LineFramer& framer) {
    const auto line = framer.takeLine();
    return line ? line->toByteArray() : QByteArray("<none>");
}

} // namespace

class FramingTest : public QObject {
    Q_OBJECT
private slots:
    // Lines as they come off the wire, in whatever pieces the socket hands
    // them over.
    void linesAreCutAtLineEnds_data() {
        QTest::addColumn<QList<QByteArray>>("arrivals");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<qsizetype>("left");

        using L = QList<QByteArray>;
        QTest::newRow("two lines in one arrival")
            << L{"2014 one\r\n2014 two\r\n"} << L{"2014 one", "2014 two"} << qsizetype(0);
        QTest::newRow("line split across arrivals")
            << L{"2014 hel", "lo\r\n"} << L{"2014 hello"} << qsizetype(0);
        QTest::newRow("split between CR and LF")
            << L{"2014 hello\r", "\n"} << L{"2014 hello"} << qsizetype(0);
        QTest::newRow("CR waiting for its LF stays pending")
            << L{"2014 hello\r"} << L{} << qsizetype(11);
        QTest::newRow("partial line after a complete one")
            << L{"2014 a\r\n2014 b"} << L{"2014 a"} << qsizetype(6);
        QTest::newRow("bare LF ends a line")
            << L{"2014 a\n2014 b\r\n"} << L{"2014 a", "2014 b"} << qsizetype(0);
        QTest::newRow("bare CR cuts off the rest of its line")
            << L{"2014 a\rjunk\r\n2014 b\r\n"} << L{"2014 a", "2014 b"} << qsizetype(0);
        QTest::newRow("empty line") << L{"\r\n2014 b\r\n"} << L{"", "2014 b"} << qsizetype(0);
        QTest::newRow("empty line of a bare LF") << L{"\n"} << L{""} << qsizetype(0);
        QTest::newRow("one byte at a time")
            << L{"2", "0", "1", "4", " ", "x", "\r", "\n"} << L{"2014 x"} << qsizetype(0);
        QTest::newRow("empty arrival") << L{"", "2014 x\r\n", ""} << L{"2014 x"} << qsizetype(0);
        QTest::newRow("NUL inside a line")
            << L{QByteArray("2014 a\0b\r\n", 10)} << L{QByteArray("2014 a\0b", 8)} << qsizetype(0);
    }
    void linesAreCutAtLineEnds() {
        QFETCH(QList<QByteArray>, arrivals);
        QFETCH(QList<QByteArray>, lines);
        QFETCH(qsizetype, left);

        LineFramer framer;
        QList<QByteArray> got;
        for (const QByteArray& bytes : arrivals) {
            framer.append(bytes);
            got += takeAll(framer);
        }
        QCOMPARE(got, lines);
        QCOMPARE(framer.pendingBytes(), left);
        QCOMPARE(framer.takeDroppedCount(), 0);
    }

    void lineSplitBetweenCrAndLfIsHandledOnce() {
        LineFramer framer;
        framer.append("2014 hello\r");
        QCOMPARE(next(framer), QByteArray("<none>"));
        QCOMPARE(next(framer), QByteArray("<none>")); // asking again must not invent a line
        framer.append("\n");
        QCOMPARE(next(framer), QByteArray("2014 hello"));
        QCOMPARE(next(framer), QByteArray("<none>"));
        framer.append("2014 next\r\n");
        QCOMPARE(takeAll(framer), QList<QByteArray>{"2014 next"});
    }

    void linesAppendedBeforeTakingComeOutInOrder() {
        // A handling may open a modal box while more data arrives.
        LineFramer framer;
        framer.append("2014 one\r\n20");
        QCOMPARE(next(framer), QByteArray("2014 one"));
        framer.append("14 two\r\n2014 three\r\n");
        QCOMPARE(takeAll(framer), (QList<QByteArray>{"2014 two", "2014 three"}));
    }

    void everyByteDecodesToOneCharacter() {
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes += char(b);
        const QString text = decodeServerLine(bytes);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text[0], QChar(0xFFFD)); // NUL cannot be shown
        for (int b = 1; b < 256; ++b)
            QCOMPARE(text[b].unicode(), char16_t(b));
    }

    void decodingShowsNulAsReplacement_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty line") << QByteArray() << QString();
        QTest::newRow("NUL alone") << QByteArray(1, '\0') << QString(QChar(0xFFFD));
        QTest::newRow("NUL inside") << QByteArray("20\0"
                                                  "14 a\0",
                                                  8)
                                    << QStringLiteral("20\uFFFD14 a\uFFFD");
        QTest::newRow("no NUL") << QByteArray("2014 a") << QStringLiteral("2014 a");
    }
    void decodingShowsNulAsReplacement() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeServerLine(bytes), text);
    }

    void highBytesSurviveTheFramerAndDecoding() {
        LineFramer framer;
        framer.append("2009 bob caf\xe9 \xff\x80\r\n");
        const auto line = framer.takeLine();
        QVERIFY(line);
        QCOMPARE(decodeServerLine(*line),
                 QStringLiteral("2009 bob caf") + QChar(0xE9) + u' ' + QChar(0xFF) + QChar(0x80));
    }

    // A line of exactly the cap is still a line; one byte more is dropped,
    // whether it arrives at once or in the socket's read-ahead pieces.
    void linesAreDroppedOnlyPastTheCap_data() {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<qsizetype>("piece");
        QTest::addColumn<bool>("kept");
        const qsizetype cap = LineFramer::kMaxLineBytes;
        QTest::newRow("cap, at once") << cap << cap + 100 << true;
        QTest::newRow("cap, in 64 KiB pieces") << cap << qsizetype(64 * 1024) << true;
        QTest::newRow("cap + 1, at once") << cap + 1 << cap + 100 << false;
        QTest::newRow("cap + 1, in 64 KiB pieces") << cap + 1 << qsizetype(64 * 1024) << false;
    }
    void linesAreDroppedOnlyPastTheCap() {
        QFETCH(qsizetype, length);
        QFETCH(qsizetype, piece);
        QFETCH(bool, kept);

        LineFramer framer;
        const QByteArray bytes = QByteArray(length, 'a') + "\n2014 after\r\n";
        const QList<QByteArray> lines = feed(framer, bytes, piece);
        QCOMPARE(lines.size(), kept ? 2 : 1);
        if (kept)
            QCOMPARE(lines.first().size(), length);
        QCOMPARE(lines.last(), QByteArray("2014 after"));
        QCOMPARE(framer.takeDroppedCount(), kept ? 0 : 1);
        QCOMPARE(framer.pendingBytes(), 0);
    }

    void overlongLineIsDroppedAndTheNextLineStillArrives() {
        LineFramer framer;
        const qsizetype cap = LineFramer::kMaxLineBytes;
        const QByteArray piece(64 * 1024, 'x');
        qsizetype mostHeld = 0;
        int dropped = 0;
        // Twice the cap without a line end, as the socket would hand it over.
        for (qsizetype sent = 0; sent < 2 * cap; sent += piece.size()) {
            framer.append(piece);
            QCOMPARE(next(framer), QByteArray("<none>"));
            dropped += framer.takeDroppedCount();
            mostHeld = std::max(mostHeld, framer.pendingBytes());
        }
        QVERIFY2(mostHeld <= cap, qPrintable(QString::number(mostHeld)));
        QCOMPARE(dropped, 1); // reported as soon as it is known, and once

        framer.append("rest of it\r\n2014 next\r\n");
        QCOMPARE(takeAll(framer), QList<QByteArray>{"2014 next"});
        QCOMPARE(framer.takeDroppedCount(), 0);
        QCOMPARE(framer.pendingBytes(), 0);
    }

    void twoOverlongLinesAreCountedTwice() {
        LineFramer framer;
        const QByteArray piece(64 * 1024, 'x');
        const qsizetype pieces = LineFramer::kMaxLineBytes / piece.size() + 2;
        int dropped = 0;
        for (int line = 0; line < 2; ++line) {
            for (qsizetype i = 0; i < pieces; ++i) {
                framer.append(piece);
                takeAll(framer);
                dropped += framer.takeDroppedCount();
            }
            framer.append("\n");
            QCOMPARE(takeAll(framer), QList<QByteArray>{});
            dropped += framer.takeDroppedCount();
        }
        QCOMPARE(dropped, 2);
        framer.append("2014 fine\r\n");
        QCOMPARE(takeAll(framer), QList<QByteArray>{"2014 fine"});
    }

    // A complete line and the start of an overlong one can come in one piece;
    // once the complete line is out, the buffer must not keep more than the cap.
    void overlongTailBehindACompleteLineIsNotHeld() {
        LineFramer framer;
        const qsizetype cap = LineFramer::kMaxLineBytes;
        framer.append("2014 first\r\n" + QByteArray(cap + 1000, 'x'));
        QCOMPARE(takeAll(framer), QList<QByteArray>{"2014 first"});
        QVERIFY2(framer.pendingBytes() <= cap,
                 qPrintable(
                     QStringLiteral("%1 bytes held, cap %2").arg(framer.pendingBytes()).arg(cap)));
        framer.append("x\r\n2014 next\r\n");
        QCOMPARE(takeAll(framer), QList<QByteArray>{"2014 next"});
        QCOMPARE(framer.takeDroppedCount(), 1);
    }

    // A million bytes of one line, one byte per arrival, and a hundred
    // thousand short lines: each comes out whole and once. bench/client
    // prints how fast; a framer that rescanned its whole buffer on every
    // arrival would run into the test's timeout here.
    void longLineByteByByteComesOutWhole_data() {
        QTest::addColumn<bool>("takeAfterEveryByte");
        QTest::newRow("lines taken after every byte") << true;
        QTest::newRow("lines taken at the end") << false;
    }
    void longLineByteByByteComesOutWhole() {
        QFETCH(bool, takeAfterEveryByte);
        constexpr qsizetype length = 1'000'000;
        const QByteArray one("a");
        LineFramer framer;
        for (qsizetype i = 0; i < length; ++i) {
            framer.append(one);
            if (takeAfterEveryByte)
                QVERIFY(!framer.takeLine());
        }
        framer.append("\r\n");
        const auto line = framer.takeLine();
        QVERIFY(line);
        QCOMPARE(line->size(), length);
    }

    void manyShortLinesComeOutWhole_data() {
        QTest::addColumn<qsizetype>("piece");
        QTest::newRow("1 KiB pieces") << qsizetype(1024);
        QTest::newRow("one piece") << qsizetype(0);
    }
    void manyShortLinesComeOutWhole() {
        QFETCH(qsizetype, piece);
        constexpr int count = 100'000;
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "2014 hello\r\n";
        if (piece == 0)
            piece = bytes.size();

        LineFramer framer;
        int lines = 0;
        bool allSame = true;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            framer.append(bytes.mid(at, piece));
            while (const auto line = framer.takeLine()) {
                allSame = allSame && *line == "2014 hello";
                ++lines;
            }
        }
        QCOMPARE(lines, count);
        QVERIFY(allSame);
        QCOMPARE(framer.pendingBytes(), 0);
    }

    void commandsGoOutOneBytePerCharacter_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("plain") << QStringLiteral("NAME bob") << QByteArray("NAME bob\r\n");
        QTest::newRow("empty") << QString() << QByteArray("\r\n");
        QTest::newRow("trailing blank kept")
            << QStringLiteral("PLAY 7,7,A ") << QByteArray("PLAY 7,7,A \r\n");
        QTest::newRow("CR, LF and NUL become blanks")
            << (QStringLiteral("SAY a\rb\nc") + QChar(0) + QStringLiteral("d"))
            << QByteArray("SAY a b c d\r\n");
        QTest::newRow("smuggled second command")
            << QStringLiteral("SAY hi\r\nQUIT") << QByteArray("SAY hi  QUIT\r\n");
        QTest::newRow("Latin-1 letters as single bytes")
            << (QStringLiteral("SAY caf") + QChar(0xE9) + QChar(0xFF) + QChar(0x80))
            << QByteArray("SAY caf\xe9\xff\x80\r\n");
        QTest::newRow("euro sign")
            << (QStringLiteral("SAY ") + QChar(0x20AC)) << QByteArray("SAY ?\r\n");
        QTest::newRow("two CJK characters") << QString::fromUtf8("SAY \u65E5\u672C!")
                                            << QByteArray("SAY ?"
                                                          "?!\r\n");
        QTest::newRow("emoji is one character")
            << QString::fromUtf8("SAY a\U0001F600b") << QByteArray("SAY a?b\r\n");
        QTest::newRow("two emoji")
            << QString::fromUtf8("\U0001F600\U0001F601") << QByteArray("??\r\n");
        QTest::newRow("lone high surrogate")
            << (QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b")) << QByteArray("a?b\r\n");
        QTest::newRow("lone high surrogate at the end")
            << (QStringLiteral("a") + QChar(0xD83D)) << QByteArray("a?\r\n");
        QTest::newRow("lone low surrogate")
            << (QStringLiteral("a") + QChar(0xDE00) + QStringLiteral("b")) << QByteArray("a?b\r\n");
        QTest::newRow("two high surrogates")
            << (QString(QChar(0xD83D)) + QChar(0xD83D) + QChar(0xDE00)) << QByteArray("??\r\n");
    }
    void commandsGoOutOneBytePerCharacter() {
        QFETCH(QString, command);
        QFETCH(QByteArray, line);
        QCOMPARE(encodeCommandLine(command), line);
    }
};

QTEST_APPLESS_MAIN(FramingTest)
#include "tst_framing.moc"
