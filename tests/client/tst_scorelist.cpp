// The score list: how an entry is laid out in columns, and how the players,
// score and nickname replies change the list.
#include "OfflineClient.h"
#include "client/session/ScoreList.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

using Client = OfflineClient<>;

QString blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

QString storedUsername() {
    return storedSetting(QStringLiteral("Server/Username"));
}

} // namespace

class ScoreListTest : public QObject {
    Q_OBJECT
private slots:
    void init() { clearSettings(); }

    // --- entry layout -----------------------------------------------------

    void entryColumnsLineUp_data() {
        QTest::addColumn<QString>("player");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("score");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("entry");

        QTest::newRow("count 0 hidden, updated")
            << "bob"
            << "0"
            << "12"
            << "update"
            << "bob" + blanks(10) + "12" + blanks(2) + "(updated)";
        QTest::newRow("count 2 at character 11")
            << "bob"
            << "2"
            << "12"
            << ""
            << "bob" + blanks(7) + "2" + blanks(2) + "12" + blanks(2);
        QTest::newRow("two-digit count") << "bob"
                                         << "10"
                                         << "7"
                                         << ""
                                         << "bob" + blanks(7) + "10" + blanks(1) + "7" + blanks(3);
        QTest::newRow("three-digit count pushes the score")
            << "bob"
            << "100"
            << "5"
            << ""
            << "bob" + blanks(7) + "100 5" + blanks(2);
        QTest::newRow("count that is not a number hidden") << "bob"
                                                           << "x"
                                                           << "12"
                                                           << ""
                                                           << "bob" + blanks(10) + "12" + blanks(2);
        QTest::newRow("negative count hidden") << "bob"
                                               << "-1"
                                               << "12"
                                               << ""
                                               << "bob" + blanks(10) + "12" + blanks(2);
        QTest::newRow("final") << "bob"
                               << "0"
                               << "40"
                               << "final score"
                               << "bob" + blanks(10) + "40" + blanks(2) + "(final)";
        QTest::newRow("update wins over final")
            << "bob"
            << "0"
            << "40"
            << "final update"
            << "bob" + blanks(10) + "40" + blanks(2) + "(updated)";
        QTest::newRow("update found inside a word")
            << "bob"
            << "0"
            << "40"
            << "updated"
            << "bob" + blanks(10) + "40" + blanks(2) + "(updated)";
        QTest::newRow("status search is case-sensitive")
            << "bob"
            << "0"
            << "40"
            << "Update"
            << "bob" + blanks(10) + "40" + blanks(2) + "Update";
        QTest::newRow("other status appended unchanged")
            << "bob"
            << "0"
            << "40"
            << "resigned  now"
            << "bob" + blanks(10) + "40" + blanks(2) + "resigned  now";
        QTest::newRow("empty status appends nothing") << "bob"
                                                      << "0"
                                                      << "40"
                                                      << ""
                                                      << "bob" + blanks(10) + "40" + blanks(2);
        QTest::newRow("score kept as text") << "bob"
                                            << "0"
                                            << "012"
                                            << ""
                                            << "bob" + blanks(10) + "012" + blanks(1);
        QTest::newRow("nine-character name")
            << "alexandra"
            << "3"
            << "99"
            << ""
            << "alexandra" + blanks(1) + "3" + blanks(2) + "99" + blanks(2);
        QTest::newRow("long name not cut") << "maximilianus"
                                           << "3"
                                           << "140"
                                           << "update"
                                           << "maximilianus 3 140(updated)";
    }
    void entryColumnsLineUp() {
        QFETCH(QString, player);
        QFETCH(QString, count);
        QFETCH(QString, score);
        QFETCH(QString, status);
        QFETCH(QString, entry);
        QCOMPARE(ScoreList::entryText(player, count, score, status), entry);
    }

    // --- 2008: one player's score -----------------------------------------

    void scoreReplacesThePlayersEntryInPlace() {
        Client client;
        client.dispatch(QStringLiteral("2008 alice 0 10 "));
        client.dispatch(QStringLiteral("2008 bob 0 12 "));
        client.dispatch(QStringLiteral("2008 carol 0 3 "));
        client.dispatch(QStringLiteral("2008 BOB 1 20 update"));
        QCOMPARE(client.scores(), (QStringList{ScoreList::entryText(u"alice", u"0", u"10", u""),
                                               ScoreList::entryText(u"BOB", u"1", u"20", u"update"),
                                               ScoreList::entryText(u"carol", u"0", u"3", u"")}));
        QVERIFY(client.view.log.isEmpty());
    }

    void scoreOfANewPlayerIsAppended() {
        Client client;
        client.dispatch(QStringLiteral("2008 bob 0 12 "));
        client.dispatch(QStringLiteral("2008 alice 0 10 "));
        client.dispatch(QStringLiteral("2008 aaron 2 4 final"));
        QCOMPARE(client.scores(),
                 (QStringList{ScoreList::entryText(u"bob", u"0", u"12", u""),
                              ScoreList::entryText(u"alice", u"0", u"10", u""),
                              ScoreList::entryText(u"aaron", u"2", u"4", u"final")}));
    }

    // A server naming thousands of players must not make every score line
    // slower: the list stops growing at its limit, and known players are
    // still updated.
    void listStopsGrowingAtItsLimit() {
        Client client;
        for (int i = 0; i < ScoreList::kMaxEntries + 50; ++i)
            client.dispatch(QStringLiteral("2008 p%1 0 1 ").arg(i));
        QCOMPARE(client.scores().size(), ScoreList::kMaxEntries);
        client.dispatch(QStringLiteral("2008 p0 0 99 final"));
        QCOMPARE(client.scores().first(), ScoreList::entryText(u"p0", u"0", u"99", u"final"));
    }

    // "bob" must not take over the entry of "bobby", nor the other way round.
    void scoreMatchesTheWholeNameNotAPrefix() {
        Client client;
        client.dispatch(QStringLiteral("2008 bobby 0 5 "));
        client.dispatch(QStringLiteral("2008 bob 0 7 "));
        client.dispatch(QStringLiteral("2008 bobby 0 9 "));
        QCOMPARE(client.scores(), (QStringList{ScoreList::entryText(u"bobby", u"0", u"9", u""),
                                               ScoreList::entryText(u"bob", u"0", u"7", u"")}));
    }

    void scoreWithTooFewWordsIsDropped_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("no blank after the score") << "2008 bob 3 12";
        QTest::newRow("no score") << "2008 bob 3";
        QTest::newRow("name alone") << "2008 bob";
        QTest::newRow("empty argument") << "2008";
    }
    void scoreWithTooFewWordsIsDropped() {
        QFETCH(QString, line);
        Client client;
        client.dispatch(QStringLiteral("2008 bob 0 10 "));
        const QStringList before = client.scores();
        client.dispatch(line);
        QCOMPARE(client.scores(), before);
    }

    // --- 2000: the players of the game ------------------------------------

    void playersEmptyTheListAndAreLogged() {
        Client client;
        client.dispatch(QStringLiteral("2008 alice 0 10 "));
        client.dispatch(QStringLiteral("2008 bob 0 12 "));
        client.dispatch(QStringLiteral("2000 alice bob carol"));
        QCOMPARE(client.scores(), QStringList{});
        QCOMPARE(client.view.log,
                 QStringList{QStringLiteral("*** Players in this game: alice bob carol")});
        client.dispatch(QStringLiteral("2008 bob 0 12 "));
        QCOMPARE(client.scores(), QStringList{ScoreList::entryText(u"bob", u"0", u"12", u"")});
    }

    // The window's list view follows the model's signals: a turn's lines
    // keep the model consistent, and an entry that stays the same says
    // nothing, so the view does not redraw it.
    void modelSignalsFollowEveryChange() {
        Client client;
        QAbstractItemModelTester tester(&client.replies.scores(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(&client.replies.scores(), &QAbstractItemModel::dataChanged);
        for (const char* line :
             {"2000 alice bob", "2008 alice 0 10 updated", "2008 bob 0 0 ", "2008 alice 0 10 ",
              "2008 bob 0 0 ", "2019 BOB robert x", "2000 alice", "2008 alice 0 10 final"}) {
            client.dispatch(QString::fromLatin1(line));
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(changed.size(), 2); // alice's status cleared, bob renamed
        QCOMPARE(client.scores(),
                 QStringList{ScoreList::entryText(u"alice", u"0", u"10", u"final")});
    }

    // --- 2019: a nickname changed -----------------------------------------

    void ownNicknameChangeIsAdoptedEverywhere_data() {
        QTest::addColumn<QString>("oldName");
        QTest::newRow("same case") << "alice";
        QTest::newRow("other case") << "ALICE";
    }
    void ownNicknameChangeIsAdoptedEverywhere() {
        QFETCH(QString, oldName);
        Client client(QStringLiteral("alice"));
        client.dispatch(QStringLiteral("2008 alice 0 10 update"));
        client.dispatch(QStringLiteral("2008 bob 0 12 "));
        client.dispatch(QStringLiteral("2019 ") + oldName + QStringLiteral(" new "));
        QCOMPARE(client.state.nickname, QStringLiteral("new"));
        QCOMPARE(client.view.caption, QStringLiteral("Wordmoot - new"));
        QCOMPARE(storedUsername(), QStringLiteral("new"));
        QCOMPARE(client.scores(), (QStringList{ScoreList::entryText(u"new", u"0", u"10", u"update"),
                                               ScoreList::entryText(u"bob", u"0", u"12", u"")}));
        QVERIFY(client.view.log.isEmpty());
    }

    void otherPlayersNicknameChangeOnlyRenamesTheirEntry() {
        Client client(QStringLiteral("alice"));
        client.dispatch(QStringLiteral("2008 alice 0 10 "));
        client.dispatch(QStringLiteral("2008 bob 2 12 final"));
        client.dispatch(QStringLiteral("2019 Bob robert and more"));
        QCOMPARE(client.scores(),
                 (QStringList{ScoreList::entryText(u"alice", u"0", u"10", u""),
                              ScoreList::entryText(u"robert", u"2", u"12", u"final")}));
        QCOMPARE(client.state.nickname, QStringLiteral("alice"));
        QVERIFY(client.view.caption.isEmpty());
        QCOMPARE(storedUsername(), QStringLiteral("<absent>"));
        QVERIFY(client.view.log.isEmpty());
    }

    void renamedEntryKeepsItsColumns_data() {
        QTest::addColumn<QString>("oldName");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QString>("entry");
        // Up to eight characters the new entry is exactly as if the score
        // had come in under the new name.
        QTest::newRow("short to long")
            << "bob"
            << "robertus" << ScoreList::entryText(u"robertus", u"2", u"12", u"final");
        QTest::newRow("eight to one") << "bobbybob"
                                      << "x" << ScoreList::entryText(u"x", u"2", u"12", u"final");
        // Longer names give up the column alignment as the entry is cut at
        // the first blank from the ninth character on.
        QTest::newRow("nine-character old name") << "alexandra"
                                                 << "x"
                                                 << "x" + blanks(7) + " 2  12  (final)";
        QTest::newRow("new name longer than eight") << "bob"
                                                    << "maximilian"
                                                    << "maximilian" + blanks(2) + "2  12  (final)";
    }
    void renamedEntryKeepsItsColumns() {
        QFETCH(QString, oldName);
        QFETCH(QString, newName);
        QFETCH(QString, entry);
        Client client;
        client.dispatch(QStringLiteral("2008 %1 2 12 final").arg(oldName));
        client.dispatch(QStringLiteral("2019 %1 %2 ").arg(oldName, newName));
        QCOMPARE(client.scores(), QStringList{entry});
    }

    // "bob" is renamed, not the "bobby" before it.
    void renameMatchesTheWholeNameNotAPrefix() {
        Client client;
        client.dispatch(QStringLiteral("2008 bobby 0 5 "));
        client.dispatch(QStringLiteral("2008 bob 0 7 "));
        client.dispatch(QStringLiteral("2019 bob rob "));
        QCOMPARE(client.scores(), (QStringList{ScoreList::entryText(u"bobby", u"0", u"5", u""),
                                               ScoreList::entryText(u"rob", u"0", u"7", u"")}));
    }

    void renameOfAnUnknownNameChangesNothing() {
        Client client(QStringLiteral("alice"));
        client.dispatch(QStringLiteral("2008 bob 0 7 "));
        const QStringList before = client.scores();
        client.dispatch(QStringLiteral("2019 zed zedd "));
        QCOMPARE(client.scores(), before);
        QCOMPARE(client.state.nickname, QStringLiteral("alice"));
        QVERIFY(client.view.caption.isEmpty());
        QVERIFY(client.view.log.isEmpty());
    }

    // A server may end the line right after the new name.
    void renameEndingTheLineTakesTheRestAsTheNewName() {
        Client client(QStringLiteral("alice"));
        client.dispatch(QStringLiteral("2008 alice 0 10 "));
        client.dispatch(QStringLiteral("2019 alice alicia"));
        QCOMPARE(client.state.nickname, QStringLiteral("alicia"));
        QCOMPARE(client.scores().first().section(u' ', 0, 0), QStringLiteral("alicia"));
        QCOMPARE(storedUsername(), QStringLiteral("alicia"));
    }

    void renameWithoutANewNameIsDropped_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("old name alone") << "2019 bob";
        QTest::newRow("old name and a blank") << "2019 bob ";
        QTest::newRow("empty argument") << "2019";
    }
    void renameWithoutANewNameIsDropped() {
        QFETCH(QString, line);
        Client client(QStringLiteral("alice"));
        client.dispatch(QStringLiteral("2008 alice 0 10 "));
        client.dispatch(QStringLiteral("2008 bob 0 7 "));
        const QStringList before = client.scores();
        client.dispatch(line);
        QCOMPARE(client.scores(), before);
        QCOMPARE(client.state.nickname, QStringLiteral("alice"));
        QVERIFY(client.view.caption.isEmpty());
        QCOMPARE(storedUsername(), QStringLiteral("<absent>"));
    }
};

QTEST_GUILESS_MAIN(ScoreListTest)
#include "tst_scorelist.moc"
