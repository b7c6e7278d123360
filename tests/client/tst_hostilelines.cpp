// Lines a hostile server could send to freeze, bloat or redirect the client,
// each over the real socket. Every case ends with the client still answering:
// a 2004 brings its REFRESH within a second.
#include "ClientFixture.h"
#include "StoredSettings.h"
#include "client/board/Composing.h"
#include "client/board/TurnActions.h"
#include "client/connection/ServerAddress.h"
#include "shared/protocol/ShownText.h"

#include <QAbstractItemView>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

bool stillAnswers(ClientFixture& client) {
    if (!client.settle())
        return false;
    client.server.clearReceived();
    client.server.sendLines({"2004 still there?"});
    return client.server.waitForLines(1, 1000) && client.server.lines().last() == "REFRESH";
}

QStringList scoreEntries(const ClientFixture& client) {
    return client.form->replies().scores().stringList();
}

} // namespace

class HostileLinesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    // Taking words off a line one by one must not copy the rest each time.
    void longLinesAreHandledWord_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("sent");  // what the client answers
        const int size = 4 * 1024 * 1024 - 64; // just within the line cap
        QTest::newRow("game list of blanks") << "1160 " + QByteArray(size, ' ') << QByteArray();
        QTest::newRow("play of two million words")
            << "2003 bob 1 " + QByteArray("a ").repeated(size / 2) << QByteArray();
        QTest::newRow("one long word") << "2003 bob 1 " + QByteArray(size, ',') << QByteArray();
        QTest::newRow("chat line") << "2009 bob " + QByteArray(size, 'x') << QByteArray();
        QTest::newRow("board row") << "2012 7 " + QByteArray(size, 'Q') << QByteArray();
    }
    void longLinesAreHandledWord() {
        QFETCH(QByteArray, line);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.server.clearReceived();
        client.server.sendLines({line});
        QVERIFY(stillAnswers(client));
    }

    void renamesDoNotWriteTheSettingsEachTime() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.server.sendLines(QList<QByteArray>(20000, "2019 alice alice x"));
        QVERIFY(stillAnswers(client));
        QCOMPARE(storedSetting(QStringLiteral("Server/Username")), QStringLiteral("alice"));
    }

    void scoreEntriesAreCut() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QList<QByteArray> lines;
        for (char c = 'a'; c < 'a' + 10; ++c)
            lines.append("2008 " + QByteArray(1024 * 1024, c) + " 0 1 update");
        lines.append("2008 " + QByteArray(1024 * 1024, 'a') + " 0 7 update"); // the same player
        client.server.sendLines(lines);
        QVERIFY(stillAnswers(client));
        const QStringList entries = scoreEntries(client);
        QCOMPARE(entries.size(), 10);
        for (const QString& entry : entries)
            QVERIFY(entry.size() <= kMaxShownLength + 3);
    }

    // A name that would change how the next start-up answer is read, or no
    // user would type, is used now but never stored.
    void renameIsStoredOnlyWhenItReadsBackAsItself_data() {
        QTest::addColumn<QByteArray>("newName");
        QTest::addColumn<bool>("stored");
        QTest::newRow("plain") << QByteArray("alicia") << true;
        QTest::newRow("redirecting") << QByteArray("bob@203.0.113.9:6667") << false;
        QTest::newRow("control character") << QByteArray("bo\x01"
                                                         "b")
                                           << false;
        QTest::newRow("three megabytes") << QByteArray(3 * 1024 * 1024, 'n') << false;
        QTest::newRow("longest stored") << QByteArray(kMaxStoredNickname, 'n') << true;
    }
    void renameIsStoredOnlyWhenItReadsBackAsItself() {
        QFETCH(QByteArray, newName);
        QFETCH(bool, stored);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.server.sendLines({"2019 alice " + newName + " x"});
        QVERIFY(stillAnswers(client));
        const QString name = QString::fromLatin1(newName);
        QCOMPARE(client.form->state().nickname, name);
        QCOMPARE(storedSetting(QStringLiteral("Server/Username")),
                 stored ? name : QStringLiteral("alice"));
        QCOMPARE(client.form->windowTitle(),
                 QStringLiteral("Wordmoot - ") + shownText(name, kMaxShownName));
    }

    void oversizedVersionsAreNeverStoredOrAnnounced_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("four hundred digits") << QByteArray(400, '9');
        QTest::newRow("four hundred zeros") << "0." + QByteArray(400, '0') + "1";
    }
    void oversizedVersionsAreNeverStoredOrAnnounced() {
        QFETCH(QByteArray, version);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        const qsizetype boxes = client.dialogs.shown.size();
        client.server.sendLines(
            {"1980 Newest client v" + version, "1980 Newest client v" + version});
        QVERIFY(stillAnswers(client));
        QCOMPARE(client.dialogs.shown.size(), boxes);
        QCOMPARE(storedSetting(QStringLiteral("Client/AvailableVersion")),
                 QStringLiteral("<absent>"));
    }

    // One tile is one letter on the wire, whatever the server called it.
    void rackLettersGoBackOneForOne() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.server.sendLines({"2013 \xDF\xFF"
                                 "1q_"});
        QVERIFY(client.settle());
        ClientState& state = client.form->state();
        for (int slot = 0; slot < 5; ++slot)
            composing::layTile(state, slot, 5 + slot, 7);
        client.server.clearReceived();
        turn::submitPlay(client.form->session().client());
        QVERIFY(client.server.waitForLines(1));
        QCOMPARE(client.server.lines().last(),
                 QByteArray("PLAY 5,7,\xDF 6,7,\xFF 7,7,1 8,7,Q 9,7,_ "));
        QVERIFY(stillAnswers(client));
    }

    // Beyond what may wait to go out, the connection fails like any other.
    void serverThatDoesNotReadEndsTheConnection() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        client.server.stopReading();
        QByteArray gameList = "1160 ";
        for (int game = 1; game <= 100; ++game)
            gameList += QByteArray::number(game) + ' ';
        for (int round = 0; round < 200 && !client.form->hasEnded(); ++round) {
            client.server.sendLines(QList<QByteArray>(100, gameList));
            QVERIFY(client.settle());
        }
        QVERIFY(client.form->hasEnded());
        QVERIFY(client.dialogs.shown.last().text.endsWith(
            QStringLiteral("The server does not read what this client sends")));
        QVERIFY(client.form->connection().bytesReceived() > 0);
    }
};

QTEST_MAIN(HostileLinesTest)
#include "tst_hostilelines.moc"
