// The window against the scripted server where a game must read true: a play
// named by the words on the board, a seat the server gives however it was
// asked for, a game that has ended, whom to play in a game just made.
#include "ClientFixture.h"
#include "Drops.h"

#include "client/app/GameSelectForm.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

const QString kPlayerQuestion = QStringLiteral("Do you want to be a player in this game?");

QPushButton* button(WordmootForm& form, const char* name) {
    return form.findChild<QPushButton*>(QLatin1String(name));
}

QString turnLabel(WordmootForm& form) {
    return form.findChild<QLabel*>(QStringLiteral("lblturn"))->text();
}

QStringList gameEntries(WordmootForm& form) {
    QStringList entries;
    const QAbstractItemModel* model = form.gameSelectForm()->gamelist()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        entries.append(model->index(row, 0).data().toString());
    return entries;
}

} // namespace

class TrustedTableTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    // J and O laid down from DOTE's E make EJO: the vote is put on that word,
    // then on each cross word, and the log says the same.
    void aPlayIsPutToTheVoteByItsWords() {
        ClientFixture client;
        QVERIFY(client.start(QStringLiteral("alice")));
        client.dialogs.askAnswers = {false};
        QVERIFY(client.reply({"2012 6 .....F.........", "2012 7 ....DOTE.......",
                              "2012 8 .....X.........", "2003 bob 26 7,8,J 7,9,O",
                              "2003 bob 40 8,9,X 8,10,I"}));
        QCOMPARE(client.dialogs.texts().mid(1),
                 (QStringList{QStringLiteral("Do you approve the play of EJO? (it scores 26)"),
                              QStringLiteral("Do you approve the play of XI, OX? (it scores 40)")}));
        QVERIFY(client.log().endsWith(QStringLiteral("*** bob scores 26 for EJO\r\n"
                                                     "*** bob scores 40 for XI, OX")));
    }

    // A watcher who types \ready is told by the server it plays (1190): the
    // window draws the rack again, asks nothing more, and puts the next play
    // to the user.
    void aSeatTakenByATypedCommandIsPutTheVotes() {
        ClientFixture client;
        QVERIFY(client.start(QStringLiteral("alice")));
        client.dialogs.askAnswers = {false};
        QVERIFY(client.reply({"1180 ", "1120 "}));
        QVERIFY(client.form->state().observer);
        auto* input = client.form->findChild<QLineEdit*>(QStringLiteral("ircinputbox"));
        QTest::keyClicks(input, QStringLiteral("\\ready"));
        QCOMPARE(input->text(), QStringLiteral("\\raw ready"));
        button(*client.form, "cmdsend")->click();
        QVERIFY(client.reply({"1190 ", "2003 bob 10 7,7,C 8,7,A 9,7,T"}));
        QVERIFY(!client.form->state().observer);
        QCOMPARE(client.dialogs.texts().mid(1),
                 (QStringList{kPlayerQuestion,
                              QStringLiteral("Do you approve the play of CAT? (it scores 10)")}));
        QCOMPARE(client.sentAfterLogon(),
                 (QList<QByteArray>{"OBSERVER", "REFRESH", "ready"}));
    }

    // The game over box stands over a window that no longer names a player
    // on turn; the turn controls are off and Leave on; a watcher's rack is
    // cleared by the empty rack the server sends it; and the game list shows
    // a game whose last game is over as finished.
    void aGameThatHasEndedLooksEnded() {
        ClientFixture client;
        QVERIFY(client.start(QStringLiteral("alice")));
        client.dialogs.askAnswers = {true};
        QVERIFY(client.reply({"1180 ", "2013 CIAETSD", "2002 bob to play", "1020 Your turn"}));
        QCOMPARE(rackShown(*client.form), (QStringList{"C", "I", "A", "E", "T", "S", "D"}));
        QString turnAtBox;
        client.dialogs.whileOpen = [&] { turnAtBox = turnLabel(*client.form); };
        client.dialogs.askAnswers = {false};
        QVERIFY(client.reply({"2017 bob with 30 points"}));
        QCOMPARE(turnAtBox, QStringLiteral("Game over"));
        QCOMPARE(turnLabel(*client.form), QStringLiteral("Game over"));
        for (const char* name : {"cmdsubmitplay", "cmdforfeit", "cmdexchange", "cmdwithdraw"})
            QVERIFY2(!button(*client.form, name)->isEnabled(), name);
        QVERIFY(button(*client.form, "cmdleavegame")->isEnabled());

        QVERIFY(client.reply({"1120 ", "2013 "}));
        QCOMPARE(rackShown(*client.form), QStringList(7, QString()));

        QVERIFY(client.reply({"1200 ", "1160 1 ", "1170 1 OVER 0 1"}));
        QCOMPARE(gameEntries(*client.form),
                 (QStringList{QStringLiteral("0: Create New Game ..."),
                              QStringLiteral("1: game 1 - finished - 0 players, 1 observers")}));
    }

    // In a game just made on a server that offers robots, Yes is followed by
    // whom to play, and Enter plays the computer.
    void whomToPlayAfterYesInAGameJustMade() {
        ClientFixture client;
        QVERIFY(client.start(QStringLiteral("alice")));
        client.dialogs.askAnswers = {true};
        QVERIFY(client.reply({"1140 ROBOT casual greedy strong champion", "1180 "}));
        QCOMPARE(client.dialogs.texts().mid(1),
                 (QStringList{kPlayerQuestion, QStringLiteral("Whom do you want to play?")}));
        QVERIFY(client.server.waitForLines(6));
        QCOMPARE(client.sentAfterLogon(),
                 (QList<QByteArray>{"READY", "ROBOT casual", "START"}));
    }
};

QTEST_MAIN(TrustedTableTest)
#include "tst_trustedtable.moc"
