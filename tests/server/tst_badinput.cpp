#include "ServerFixture.h"

#include <QTest>

// Whatever one client sends, the server keeps serving the others, and the
// sender gets a notice rather than a disconnect where it still listens.
class BadInputTest : public QObject {
    Q_OBJECT
private slots:
    void othersKeepPlaying_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("reply"); // what the sender gets; empty for nothing to check
        QTest::addColumn<bool>("reads");       // whether the sender reads what it is sent
        const QByteArray many = QByteArray("BOGUS\r\n").repeated(100000);
        QTest::newRow("bare LF") << QByteArray("SAY lf only\n") << QByteArray("2009 eve lf only")
                                 << true;
        QTest::newRow("line that never ends")
            << QByteArray(300000, 'A') << QByteArray("2014 Line too long") << true;
        QTest::newRow("overlong line, then a good one")
            << QByteArray(5000, 'B') + "\r\nSAY after\r\n"
            << QByteArray("2009 eve after") << true;
        QTest::newRow("binary bytes")
            << QByteArray("\x00\xff\x01\x7f\r\n", 6) << QByteArray("2014 Unknown command") << true;
        QTest::newRow("NUL inside a chat line")
            << QByteArray("SAY a\0b\r\n", 9) << QByteArray("2009 eve ab") << true;
        QTest::newRow("100,000 commands in one write")
            << many << QByteArray("2014 Unknown command") << true;
        QTest::newRow("100,000 commands, nothing read") << many << QByteArray() << false;
        QTest::newRow("game command in the lobby")
            << QByteArray("PLAY 7,7,A \r\n") << QByteArray("2014 PLAY works only in a game")
            << true;
        QTest::newRow("malformed join")
            << QByteArray("JOIN x\r\n") << QByteArray("2014 No game x") << true;
        QTest::newRow("vanishes mid-line") << QByteArray("SAY half a li") << QByteArray() << true;
    }
    void othersKeepPlaying() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, reply);
        QFETCH(bool, reads);
        SocketFixture fixture;
        auto bob = fixture.logOn("bob");
        auto eve = fixture.logOn("eve");
        if (!reads)
            eve->socket.setReadBufferSize(16);
        eve->socket.write(bytes);
        bob->send("SAY still here");
        QCOMPARE(bob->expect("2009 bob"), QByteArray("2009 bob still here"));
        if (!reply.isEmpty())
            QVERIFY(eve->expect(reply).startsWith(reply));
        if (QTest::currentDataTag() == QByteArray("vanishes mid-line"))
            eve->socket.abort();
        bob->send("SAY and again");
        QCOMPARE(bob->expect("2009 bob"), QByteArray("2009 bob and again"));
    }

    // With no grace for a dropped seat: the mover's play goes with the seat.
    void playerVanishesMidVote() {
        auto options = ServerFixture::options(wordmoot::Judging::Vote);
        options.seatGraceSeconds = 0;
        ServerFixture fixture(options);
        auto a = fixture.logOn("alice");
        auto b = fixture.logOn("bob");
        auto c = fixture.logOn("carol");
        a->send("NEWGAME");
        a->expect("1180 ");
        for (auto* user : {b.get(), c.get()}) {
            user->send("JOIN  1");
            user->expect("1180 ");
        }
        for (auto* user : {a.get(), b.get(), c.get()})
            user->send("READY");
        a->expect("2014 carol is ready to play (3 of 3 ready)");
        a->send("START");
        a->expect("2014 The game begins");
        QVERIFY(QTest::qWaitFor([&] {
            return a->lines.last().startsWith("1020") || b->lines.last().startsWith("1020") ||
                   c->lines.last().startsWith("1020");
        }));
        ScriptedUser* mover = a->lines.last().startsWith("1020")   ? a.get()
                              : b->lines.last().startsWith("1020") ? b.get()
                                                                   : c.get();
        mover->send(openingPlay(*mover));
        for (auto* user : {a.get(), b.get(), c.get()})
            user->expect("2003 ");
        mover->vanish();
        // The others see the play taken back and go on.
        ScriptedUser* other = mover == a.get() ? b.get() : a.get();
        QTRY_VERIFY(other->lines.join('\n').contains("withdraws the play"));
        other->expect("2002 ");
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_badinput.moc"
