// The server's replies about logging on, the lobby and chat, handled without
// a window: what is logged, which boxes open, what goes back to the server.
#include "OfflineClient.h"
#include "client/session/GameList.h"

#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

using Icon = Dialogs::Icon;
using Kind = ScriptedDialogs::Kind;

const QString kCreateEntry = QStringLiteral("0: Create New Game ...");
const QString kNewVersionBox = QStringLiteral("A new version (v0.6) of this client is available.\n"
                                              "You can download it from ");

const QString kAvailableVersion = QStringLiteral("Client/AvailableVersion");

// One client without a window, logged on as alice and not in a game.
using Client = OfflineClient<>;

// Lists one game, then forgets what listing it did to the window and the server.
void listOneGame(Client& client) {
    client.dispatch(QStringLiteral("1160 "));
    client.dispatch(QStringLiteral("1170 7 FORM 1 0"));
    client.forgetRecorded();
}

bool sameState(const ClientState& a, const ClientState& b) {
    if (a.started != b.started || a.observer != b.observer || a.ingame != b.ingame ||
        a.nickname != b.nickname || a.board != b.board)
        return false;
    for (int k = 0; k < kRackSlots; ++k) {
        if (a.rack[k].tile != b.rack[k].tile || a.rack[k].placed != b.rack[k].placed ||
            a.placement[k].column != b.placement[k].column ||
            a.placement[k].row != b.placement[k].row ||
            a.placement[k].letter != b.placement[k].letter)
            return false;
    }
    return true;
}

} // namespace

class LobbyRepliesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { clearSettings(); }

    // ---- dispatch -------------------------------------------------------

    void ignoredCodesChangeNothing_data() {
        QTest::addColumn<QString>("line");
        for (const char* code :
             {"2999", "1080", "1070", "1030", "1040", "1010", "1090", "1140", "2028"}) {
            QTest::addRow("%s", code) << QString::fromLatin1(code) + " 1 2 3 FORM some text ";
            QTest::addRow("%s without argument", code) << QString::fromLatin1(code);
        }
        QTest::newRow("2999 with a leading zero") << "02999 hello";
    }
    void ignoredCodesChangeNothing() {
        QFETCH(QString, line);
        Client client;
        client.state.board[3][4] = QStringLiteral("Q");
        client.state.rack[2].tile = QStringLiteral("E");
        const ClientState before = client.state;
        listOneGame(client);
        const QStringList games = client.games();

        client.dispatch(line);
        QVERIFY(client.untouched());
        QVERIFY(sameState(client.state, before));
        QCOMPARE(client.games(), games);
        QCOMPARE(storedSetting(kAvailableVersion), QStringLiteral("<absent>"));
    }

    // Lines that end up as a notice in the log, and the text logged.
    void noticesAreLoggedWithTheirArgumentAsSent_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("logged");
        QTest::newRow("2014") << "2014 Server going down"
                              << "*** Server going down";
        QTest::newRow("leading zero is the same code") << "02014 hello"
                                                       << "*** hello";
        QTest::newRow("unknown code 7") << "7 abc"
                                        << "*** abc";
        QTest::newRow("unknown code 9999") << "9999 abc"
                                           << "*** abc";
        QTest::newRow("unknown code next to a known one") << "1001 abc"
                                                          << "*** abc";
        QTest::newRow("inner and trailing blanks kept") << "2014  a  b "
                                                        << "***  a  b ";
        QTest::newRow("blanks after an unknown code kept") << "7   "
                                                           << "***   ";
        QTest::newRow("line without a blank") << "2014"
                                              << "*** ";
        QTest::newRow("unknown code without a blank") << "7"
                                                      << "*** ";
        // Codes are looked up by value: a value of no known code, whatever
        // its neighbour, is a notice.
        QTest::newRow("fraction beside a quiet code") << "2999.5 abc"
                                                      << "*** abc";
        QTest::newRow("negative of a quiet code") << "-2999 abc"
                                                  << "*** abc";
        QTest::newRow("code past every known one") << "12999 abc"
                                                   << "*** abc";
        QTest::newRow("code of twenty digits") << "99999999999999992999 abc"
                                               << "*** abc";
        QTest::newRow("code not a number") << "abc def"
                                           << "*** def";
        QTest::newRow("code not a number, without a blank") << "abc"
                                                            << "*** ";
        QTest::newRow("markup reaches the log unchanged") << "2014 <b>x</b>"
                                                          << "*** <b>x</b>";
        QTest::newRow("replacement character kept")
            << QStringLiteral("2014 a") + QChar(0xFFFD) + u'b'
            << QStringLiteral("*** a") + QChar(0xFFFD) + u'b';
    }
    void noticesAreLoggedWithTheirArgumentAsSent() {
        QFETCH(QString, line);
        QFETCH(QString, logged);
        Client client;
        client.dispatch(line);
        QCOMPARE(client.view.log, QStringList{logged});
        QVERIFY(client.dialogs.shown.isEmpty());
        QVERIFY(client.server.sent.isEmpty());
    }

    void emptyLineIsSkipped() {
        Client client;
        client.dispatch(QString());
        QVERIFY(client.untouched());
    }

    void lineWithoutBlankStillRunsItsHandling() {
        Client client;
        client.dispatch(QStringLiteral("2026"));
        QCOMPARE(client.dialogs.texts(), QStringList{"*** BEEP ***"});
        client.dispatch(QStringLiteral("5180"));
        QCOMPARE(client.server.sent, QStringList{"GLIST"});
    }

    // ---- 1000 greeting ----------------------------------------------------

    void greetingWarnsOnlyAboutOtherProtocolVersions_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<bool>("warned");
        QTest::newRow("version 2") << "1000 2 Welcome to Wordmoot"
                                   << "*** Welcome to Wordmoot" << false;
        QTest::newRow("version 2.0") << "1000 2.0 hi"
                                     << "*** hi" << false;
        QTest::newRow("version 02") << "1000 02 hi"
                                    << "*** hi" << false;
        QTest::newRow("version 3") << "1000 3 Welcome to Wordmoot"
                                   << "*** Welcome to Wordmoot" << true;
        QTest::newRow("version 1") << "1000 1 hi"
                                   << "*** hi" << true;
        QTest::newRow("version not a number") << "1000 two hi"
                                              << "*** hi" << true;
        QTest::newRow("greeting blanks kept") << "1000 2  a  b "
                                              << "***  a  b " << false;
        QTest::newRow("greeting markup kept") << "1000 3 <b>x</b>"
                                              << "*** <b>x</b>" << true;
    }
    void greetingWarnsOnlyAboutOtherProtocolVersions() {
        QFETCH(QString, line);
        QFETCH(QString, logged);
        QFETCH(bool, warned);
        Client client;
        client.dispatch(line);
        QCOMPARE(client.view.log, QStringList{logged});
        QVERIFY(client.server.sent.isEmpty());
        if (!warned) {
            QVERIFY(client.dialogs.shown.isEmpty());
            return;
        }
        QCOMPARE(client.dialogs.shown,
                 QList{messageBox(QStringLiteral("Server reports a different protocol version.  "
                                                 "This may cause errors."),
                                  Icon::Warning)});
    }

    // ---- 1980 newest client -----------------------------------------------

    void newerClientIsAnnouncedOnce() {
        {
            Client client;
            client.dispatch(QStringLiteral("1980 Newest client v0.6"));
            QCOMPARE(client.dialogs.shown.size(), 1);
            const ScriptedDialogs::Shown& box = client.dialogs.shown[0];
            QCOMPARE(box.kind, Kind::Message);
            QVERIFY2(box.text.startsWith(kNewVersionBox), qPrintable(box.text));
            const QString address = box.text.mid(kNewVersionBox.size());
            QVERIFY(!address.isEmpty());
            QVERIFY(!address.contains(u'\n'));
            QCOMPARE(box.title, QStringLiteral("Wordmoot"));
            QCOMPARE(box.icon, Icon::Information);
            QCOMPARE(storedSetting(kAvailableVersion), QStringLiteral(" 0.6"));
            QVERIFY(client.view.log.isEmpty());
            QVERIFY(client.server.sent.isEmpty());

            client.dispatch(QStringLiteral("1980 Newest client v0.6"));
            QCOMPARE(client.dialogs.shown.size(), 1);
        }
        Client nextRun; // the store remembers it for the user's next session
        nextRun.dispatch(QStringLiteral("1980 Newest client v0.6"));
        QVERIFY(nextRun.untouched());
        nextRun.dispatch(QStringLiteral("1980 Newest client v0.7"));
        QCOMPARE(nextRun.dialogs.shown.size(), 1);
        QVERIFY(nextRun.dialogs.shown[0].text.startsWith(
            QStringLiteral("A new version (v0.7) of this client")));
        QCOMPARE(storedSetting(kAvailableVersion), QStringLiteral(" 0.7"));
    }

    void announcementsThatAreNotNewerSayNothing_data() {
        QTest::addColumn<QString>("alreadyStored");
        QTest::addColumn<QString>("line");
        QTest::newRow("same as ours") << ""
                                      << "1980 Newest client v0.5";
        QTest::newRow("older than ours") << ""
                                         << "1980 Newest client v0.4";
        QTest::newRow("0.50 is 0.5") << ""
                                     << "1980 Newest client v0.50";
        QTest::newRow("not a number") << ""
                                      << "1980 Newest client vnew";
        QTest::newRow("already told of a newer one") << " 0.7"
                                                     << "1980 Newest client v0.6";
        QTest::newRow("already told of this one") << " 0.6"
                                                  << "1980 Newest client v0.6";
        QTest::newRow("no argument") << ""
                                     << "1980";
        QTest::newRow("one word") << ""
                                  << "1980 Newest";
        QTest::newRow("two words without version") << ""
                                                   << "1980 Newest client";
        QTest::newRow("version missing after the blank") << ""
                                                         << "1980 Newest client ";
    }
    void announcementsThatAreNotNewerSayNothing() {
        QFETCH(QString, alreadyStored);
        QFETCH(QString, line);
        if (!alreadyStored.isEmpty()) {
            storeSetting(kAvailableVersion, alreadyStored);
        }
        const QString before = storedSetting(kAvailableVersion);
        Client client;
        client.dispatch(line);
        QVERIFY(client.untouched());
        QCOMPARE(storedSetting(kAvailableVersion), before);
    }

    void announcedVersionTextRunsToTheEndOfTheLine() {
        Client client;
        client.dispatch(QStringLiteral("1980 Newest client v0.6 <b>beta</b>"));
        QCOMPARE(client.dialogs.shown.size(), 1);
        QVERIFY2(client.dialogs.shown[0].text.startsWith(
                     QStringLiteral("A new version (v0.6 <b>beta</b>) of this client is "
                                    "available.\nYou can download it from ")),
                 qPrintable(client.dialogs.shown[0].text));
        QCOMPARE(storedSetting(kAvailableVersion), QStringLiteral(" 0.6"));
    }

    // ---- 1160 game list and 1170 game description -------------------------

    void gameListAsksForEachGameAndOpensTheSelection_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("two games") << "1160 1 2 " << QStringList{"GINFO 1", "GINFO 2"};
        QTest::newRow("in list order")
            << "1160 3 1 2 " << QStringList{"GINFO 3", "GINFO 1", "GINFO 2"};
        QTest::newRow("no games") << "1160 " << QStringList{};
        QTest::newRow("no argument at all") << "1160" << QStringList{};
        QTest::newRow("last number without its blank")
            << "1160 1 2" << QStringList{"GINFO 1", "GINFO 2"};
        QTest::newRow("double blanks skipped")
            << "1160  1  2  " << QStringList{"GINFO 1", "GINFO 2"};
        QTest::newRow("only blanks") << "1160    " << QStringList{};
    }
    void gameListAsksForEachGameAndOpensTheSelection() {
        QFETCH(QString, line);
        QFETCH(QStringList, sent);
        Client client;
        listOneGame(client);
        QCOMPARE(client.games().size(), 2);

        client.dispatch(line);
        QCOMPARE(client.server.sent, sent);
        QCOMPARE(client.games(), QStringList{kCreateEntry}); // the old games are gone
        QCOMPARE(client.view.gameSelectionShown, 1);
        QVERIFY(client.view.log.isEmpty());
        QVERIFY(client.dialogs.shown.isEmpty());
    }

    void gameListIsIgnoredWhileInAGame() {
        Client client;
        listOneGame(client);
        const QStringList games = client.games();
        client.state.ingame = true;

        client.dispatch(QStringLiteral("1160 1 2 "));
        QVERIFY(client.untouched());
        QCOMPARE(client.games(), games);
    }

    void hugeGameListIsNotFollowedPastAHundredGames() {
        QString line = QStringLiteral("1160 ");
        for (int game = 1; game <= 5000; ++game)
            line += QString::number(game) + u' ';
        Client client;
        client.dispatch(line);
        QCOMPARE(client.server.sent.size(), 100);
        QCOMPARE(client.server.sent.first(), QStringLiteral("GINFO 1"));
        QCOMPARE(client.server.sent.last(), QStringLiteral("GINFO 100"));
        QCOMPARE(client.view.gameSelectionShown, 1);

        // Every game asked for has its entry behind the create entry.
        for (int game = 1; game <= 5000; ++game)
            client.dispatch(QStringLiteral("1170 1 FORM 2 0"));
        QCOMPARE(client.games().size(), 1 + 100);
        QCOMPARE(client.games().first(), kCreateEntry);
    }

    void gameDescriptionIsReadFromFixedColumns_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("entry");
        QTest::newRow("forming") << "1170 3 FORM 2 0"
                                 << "3: game 3 - forming - 2 players, 0 observers";
        QTest::newRow("in play") << "1170 4 PLAY 3 1"
                                 << "4: game 4 - in play - 3 players, 1 observers";
        QTest::newRow("finished") << "1170 1 OVER 0 1"
                                  << "1: game 1 - finished - 0 players, 1 observers";
        QTest::newRow("state compared exactly") << "1170 5 form 2 0"
                                                << "5: game 5 - in play - 2 players, 0 observers";
        QTest::newRow("text after column 10 ignored")
            << "1170 3 FORM 2 0 and more"
            << "3: game 3 - forming - 2 players, 0 observers";
        QTest::newRow("nine characters") << "1170 3 FORM 2 "
                                         << "3: game 3 - forming - 2 players,  observers";
        QTest::newRow("eight characters") << "1170 3 FORM 2"
                                          << "3: game 3 - forming - 2 players,  observers";
        QTest::newRow("state cut short") << "1170 3 FOR"
                                         << "3: game 3 - in play -  players,  observers";
        QTest::newRow("game number only") << "1170 3"
                                          << "3: game 3 - in play -  players,  observers";
        QTest::newRow("empty") << "1170 "
                               << ": game  - in play -  players,  observers";
    }
    void gameDescriptionIsReadFromFixedColumns() {
        QFETCH(QString, line);
        QFETCH(QString, entry);
        Client client;
        client.dispatch(QStringLiteral("1160 "));
        client.dispatch(line);
        QCOMPARE(client.games(), (QStringList{kCreateEntry, entry}));
        QVERIFY(client.server.sent.isEmpty());
        QVERIFY(client.view.log.isEmpty());
    }

    void gameDescriptionIsAddedEvenInAGame() {
        Client client;
        client.dispatch(QStringLiteral("1160 "));
        client.state.ingame = true;
        client.dispatch(QStringLiteral("1170 3 FORM 2 0"));
        QCOMPARE(client.games(),
                 (QStringList{kCreateEntry, "3: game 3 - forming - 2 players, 0 observers"}));
    }

    // ---- chat ---------------------------------------------------------------

    void chatLinesAreLoggedInTheirOwnForm_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("logged");
        QTest::newRow("2009 said to everyone") << "2009 bob hi"
                                               << "<bob> hi";
        QTest::newRow("2009 blanks kept") << "2009 bob hi  there "
                                          << "<bob> hi  there ";
        QTest::newRow("2010 told to the user") << "2010 bob hi"
                                               << ">bob< hi";
        QTest::newRow("2010 blanks kept") << "2010 bob  hi "
                                          << ">bob<  hi ";
        QTest::newRow("2025 emote") << "2025 bob waves"
                                    << "* bob waves";
        QTest::newRow("2014 notice") << "2014 Game 3 created"
                                     << "*** Game 3 created";
        QTest::newRow("markup kept") << "2009 <b>bob</b> <i>hi</i>"
                                     << "<<b>bob</b>> <i>hi</i>";
        QTest::newRow("markup kept in an emote") << "2025 <b>x</b>"
                                                 << "* <b>x</b>";
    }
    void chatLinesAreLoggedInTheirOwnForm() {
        QFETCH(QString, line);
        QFETCH(QString, logged);
        Client client;
        client.dispatch(line);
        QCOMPARE(client.view.log, QStringList{logged});
        QVERIFY(client.dialogs.shown.isEmpty());
        QVERIFY(client.server.sent.isEmpty());
    }

    void beepShowsAWarningBoxWithoutTheSender() {
        Client client;
        client.dispatch(QStringLiteral("2026 bob"));
        QCOMPARE(client.dialogs.shown,
                 QList{messageBox(QStringLiteral("*** BEEP ***"), Icon::Warning)});
        QVERIFY(client.view.log.isEmpty());
        QVERIFY(client.server.sent.isEmpty());
    }

    // ---- 5010 / 5011 refused nickname -------------------------------------

    void refusedNicknameAsksForAnother_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("nickname");
        const QString inUse =
            QStringLiteral("The name 'alice' is already in use.\nPlease choose another name.");
        const QString illegal =
            QStringLiteral("The name 'alice' is illegal.\nPlease choose another name.");
        QTest::newRow("5011 answered") << "5011 " << QStringList{"bob"} << inUse << "bob";
        QTest::newRow("5011 cancelled") << "5011 " << QStringList{} << inUse << "";
        QTest::newRow("5010 answered") << "5010 " << QStringList{"bob"} << illegal << "bob";
        QTest::newRow("5010 cancelled") << "5010 " << QStringList{} << illegal << "";
        QTest::newRow("argument not used")
            << "5011 alice is taken" << QStringList{"bob"} << inUse << "bob";
        QTest::newRow("answer sent as typed")
            << "5011 " << QStringList{" b o b "} << inUse << " b o b ";
    }
    void refusedNicknameAsksForAnother() {
        QFETCH(QString, line);
        QFETCH(QStringList, answers);
        QFETCH(QString, prompt);
        QFETCH(QString, nickname);
        Client client;
        client.view.caption = QStringLiteral("Wordmoot - alice");
        client.dialogs.inputAnswers = answers;

        client.dispatch(line);
        QCOMPARE(client.dialogs.shown.size(), 1);
        const ScriptedDialogs::Shown& box = client.dialogs.shown[0];
        QCOMPARE(box.kind, Kind::Input);
        QCOMPARE(box.text, prompt);
        QCOMPARE(box.title, QStringLiteral("Wordmoot"));
        QCOMPARE(client.dialogs.proposals, QStringList{QString()});
        QCOMPARE(client.server.sent, QStringList{"NAME " + nickname});
        QCOMPARE(client.state.nickname, nickname);
        // The caption and the stored name wait for the server to accept it.
        QCOMPARE(client.view.caption, QStringLiteral("Wordmoot - alice"));
        QCOMPARE(storedSetting(QStringLiteral("Server/Username")), QStringLiteral("<absent>"));
        QVERIFY(client.view.log.isEmpty());
    }

    void secondRefusalNamesTheNameLastTried() {
        Client client;
        client.dialogs.inputAnswers = {QStringLiteral("bob"), QStringLiteral("carol")};
        client.dispatch(QStringLiteral("5011 "));
        client.dispatch(QStringLiteral("5010 "));
        QCOMPARE(client.dialogs.texts(),
                 (QStringList{"The name 'alice' is already in use.\nPlease choose another name.",
                              "The name 'bob' is illegal.\nPlease choose another name."}));
        QCOMPARE(client.server.sent, (QStringList{"NAME bob", "NAME carol"}));
        QCOMPARE(client.state.nickname, QStringLiteral("carol"));
    }

    // ---- 5180 new game refused --------------------------------------------

    void refusedNewGameTellsTheUserThenAsksForTheList() {
        Client client;
        qsizetype sentWhileOpen = -1;
        client.dialogs.whileOpen = [&] { sentWhileOpen = client.server.sent.size(); };
        client.dispatch(QStringLiteral("5180 "));
        QCOMPARE(client.dialogs.shown,
                 QList{messageBox(QStringLiteral("Can not create new game"), Icon::Information)});
        QCOMPARE(sentWhileOpen, 0); // the box is dismissed before the list is asked for
        QCOMPARE(client.server.sent, QStringList{"GLIST"});
        QVERIFY(client.view.log.isEmpty());
    }
};

QTEST_GUILESS_MAIN(LobbyRepliesTest)
#include "tst_lobbyreplies.moc"
