// Joining, watching, leaving and the end of a game, handled without a
// window: the flags, the game controls, the redraws, the questions and the
// commands sent back, in their order.
#include "OfflineClient.h"
#include "client/chat/InputLine.h"

#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

const QString kPlayerQuestion = QStringLiteral("Do you want to be a player in this game?");
const QString kTakeOverQuestion =
    QStringLiteral("Please confirm that you want to take over this game?");

const QList<GameControl> kAllControls = {
    GameControl::LeaveGame,   GameControl::Forfeit,  GameControl::SubmitPlay, GameControl::Exchange,
    GameControl::ExchangeBox, GameControl::Withdraw, GameControl::SortRack};

// Also notes the observer flag at every redraw: the rack outlines follow it.
class SnapshotView : public RecordingView {
public:
    QList<bool> observerAtDraw;

    void makegameboard() override {
        RecordingView::makegameboard();
        observerAtDraw.append(state->observer);
    }
};

// What the client had done when a box opened.
struct AtBox {
    QStringList sent;
    QStringList calls;
    QMap<GameControl, bool> controls;
};

// Logged on as alice; also notes what was done by the time each box opened.
struct Client : OfflineClient<SnapshotView> {
    QList<AtBox> atBox;

    Client() {
        dialogs.whileOpen = [this] { atBox.append({server.sent, view.calls, view.controls}); };
    }
    void enableAll() {
        for (GameControl control : kAllControls)
            view.controls[control] = true;
    }
};

// The controls that are enabled ("on") or disabled ("off") in a recorded set.
QList<GameControl> controlsSetTo(const QMap<GameControl, bool>& controls, bool enabled) {
    QList<GameControl> found;
    for (GameControl control : kAllControls)
        if (controls.contains(control) && controls.value(control) == enabled)
            found.append(control);
    return found;
}

} // namespace

class MembershipTest : public QObject {
    Q_OBJECT
private slots:
    void init() { clearSettings(); }

    // --- joining ----------------------------------------------------------

    void joiningAsksForASeatUnlessTheGameHasStarted_data() {
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("yes takes a seat") << false << true << QStringList{"READY"};
        QTest::newRow("no watches") << false << false << QStringList{"OBSERVER"};
        QTest::newRow("game under way asks nothing") << true << true << QStringList{};
    }
    void joiningAsksForASeatUnlessTheGameHasStarted() {
        QFETCH(bool, started);
        QFETCH(bool, answer);
        QFETCH(QStringList, sent);
        Client client;
        client.state.started = started;
        client.state.observer = true;
        client.dialogs.askAnswers = {answer};
        client.dispatch(QStringLiteral("1180 You have joined game 3"));

        QCOMPARE(client.dialogs.texts(), started ? QStringList{} : QStringList{kPlayerQuestion});
        if (!started)
            QCOMPARE(client.dialogs.shown.first().title, QStringLiteral("Wordmoot"));
        QCOMPARE(client.server.sent, sent);
        QVERIFY(client.state.ingame);
        QCOMPARE(client.state.started, started);
        QVERIFY(client.state.observer); // the server's answer decides that
        QCOMPARE(controlsSetTo(client.view.controls, true),
                 (QList<GameControl>{GameControl::LeaveGame, GameControl::SortRack}));
        QCOMPARE(controlsSetTo(client.view.controls, false), QList<GameControl>{});
        // Leave can be pressed while the question is open.
        if (!started)
            QCOMPARE(client.atBox.first().controls.value(GameControl::LeaveGame), true);
    }

    void joiningAsAPlayerRedrawsWithTheRackBeforeTheQuestion() {
        Client client;
        client.state.observer = true;
        client.dialogs.askAnswers = {true};
        client.dispatch(QStringLiteral("1190 You have joined game 3 as a player"));
        QVERIFY(!client.state.observer);
        QVERIFY(client.state.ingame);
        QCOMPARE(client.view.observerAtDraw, QList<bool>{false});
        QCOMPARE(client.dialogs.texts(), QStringList{kPlayerQuestion});
        QCOMPARE(client.atBox.first().calls, QStringList{QStringLiteral("makegameboard")});
        QCOMPARE(client.server.sent, QStringList{QStringLiteral("READY")});
    }

    // The server says "you play" (1190) to a client that holds itself a
    // watcher, whatever made it seat the user. A 1190 that answers the
    // user's own READY (the question's Yes, or typed) asks nothing again.
    void aSeatAskedForIsNotAskedAgain_data() {
        QTest::addColumn<QStringList>("before"); // lines, or "type:" a line into the input
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("the question's Yes")
            << QStringList{"1180 "} << 1 << QStringList{"READY"};
        QTest::newRow("READY typed") << QStringList{"type:\\raw ready"} << 0
                                     << QStringList{"ready"};
        QTest::newRow("nothing asked: the question") << QStringList{} << 1 << QStringList{"READY"};
        QTest::newRow("a watcher until it is answered")
            << QStringList{"1180 ", "1120 "} << 1 << QStringList{"READY", "REFRESH"};
        QTest::newRow("left since") << QStringList{"type:\\raw ready", "1200 "} << 1
                                    << QStringList{"ready", "GLIST", "READY"};
    }
    void aSeatAskedForIsNotAskedAgain() {
        QFETCH(QStringList, before);
        QFETCH(int, questions);
        QFETCH(QStringList, sent);
        Client client;
        client.state.observer = true;
        client.dialogs.askAnswers = {true, true};
        for (const QString& step : before) {
            if (step.startsWith(QStringLiteral("type:")))
                QVERIFY(chat::sendLine(client.session.client(), step.mid(5)));
            else
                client.dispatch(step);
        }
        client.dispatch(QStringLiteral("1190 "));
        QVERIFY(!client.state.observer);
        QVERIFY(client.state.ingame);
        QCOMPARE(client.dialogs.texts().count(kPlayerQuestion), questions);
        QCOMPARE(client.server.sent, sent);
        QCOMPARE(client.view.controls.value(GameControl::LeaveGame), true);
    }

    // In a game the user has just made, on a server that seats robots when
    // asked (1140 before 1180), Yes is followed by whom to play: the computer
    // (Enter: at the level played last, the weakest at first) or a person.
    void whomToPlayInAGameJustMade_data() {
        QTest::addColumn<QString>("offer");      // the 1140 line, or none
        QTest::addColumn<QString>("lastLevel");  // stored from an earlier game
        QTest::addColumn<bool>("player");        // the answer to the player question
        QTest::addColumn<int>("answer");         // -2: Enter; -1: cancelled
        QTest::addColumn<int>("preselected");    // -1: no choice box
        QTest::addColumn<QStringList>("sent");
        const QString offer = QStringLiteral("1140 ROBOT casual greedy strong champion");
        QTest::newRow("Enter: the weakest computer")
            << offer << "" << true << -2 << 0 << QStringList{"READY", "ROBOT casual", "START"};
        QTest::newRow("Enter: the level played last")
            << offer << "strong" << true << -2 << 2
            << QStringList{"READY", "ROBOT strong", "START"};
        QTest::newRow("the champion") << offer << "" << true << 3 << 0
                                      << QStringList{"READY", "ROBOT champion", "START"};
        QTest::newRow("another person: begins once one is ready")
            << offer << "" << true << 4 << 0 << QStringList{"READY", "START"};
        QTest::newRow("cancelled") << offer << "" << true << -1 << 0 << QStringList{"READY"};
        QTest::newRow("watching") << offer << "" << false << -2 << -1 << QStringList{"OBSERVER"};
        QTest::newRow("a server that offers none")
            << "" << "" << true << -2 << -1 << QStringList{"READY"};
        QTest::newRow("not an offer") << "1140 hello there" << "" << true << -2 << -1
                                      << QStringList{"READY"};
    }
    void whomToPlayInAGameJustMade() {
        QFETCH(QString, offer);
        QFETCH(QString, lastLevel);
        QFETCH(bool, player);
        QFETCH(int, answer);
        QFETCH(int, preselected);
        QFETCH(QStringList, sent);
        if (!lastLevel.isEmpty())
            storeSetting(QStringLiteral("Client/RobotLevel"), lastLevel);
        Client client;
        client.dialogs.askAnswers = {player};
        if (answer != -2)
            client.dialogs.chooseAnswers = {answer < 0 ? std::nullopt : std::optional(answer)};
        if (!offer.isEmpty())
            client.dispatch(offer);
        QVERIFY(client.untouched());
        client.dispatch(QStringLiteral("1180 "));
        QCOMPARE(client.server.sent, sent);
        QCOMPARE(client.dialogs.choices.size(), preselected < 0 ? 0 : 1);
        if (preselected < 0)
            return;
        QCOMPARE(client.dialogs.texts(),
                 (QStringList{kPlayerQuestion, QStringLiteral("Whom do you want to play?")}));
        QCOMPARE(client.dialogs.choices.first(),
                 (QStringList{"The computer (casual)", "The computer (greedy)",
                              "The computer (strong)", "The computer (champion)",
                              "Another person (the game waits for one to join)"}));
        QCOMPARE(client.dialogs.preselections.first(), preselected);
        // The offer is for this game alone: the next game asks nothing of it.
        client.dialogs.askAnswers = {true};
        client.dispatch(QStringLiteral("2017 Robot won"));
        QCOMPARE(client.dialogs.choices.size(), 1);
    }

    void becomingAnObserverRedrawsWithoutTheRackAndRefreshes_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("1120") << "1120 You are now watching";
        QTest::newRow("5020") << "5020 The game is full, you are watching";
    }
    void becomingAnObserverRedrawsWithoutTheRackAndRefreshes() {
        QFETCH(QString, line);
        Client client;
        client.dispatch(line);
        QVERIFY(client.state.observer);
        QVERIFY(!client.state.ingame);
        QCOMPARE(client.view.observerAtDraw, QList<bool>{true});
        QCOMPARE(client.server.sent, QStringList{QStringLiteral("REFRESH")});
        QVERIFY(client.dialogs.shown.isEmpty());
        QVERIFY(client.view.controls.isEmpty());
    }

    // --- leaving ----------------------------------------------------------

    void leavingDisablesTheGameControlsAndAsksForTheGameList_data() {
        QTest::addColumn<bool>("ingame");
        QTest::addColumn<bool>("observer");
        QTest::newRow("player") << true << false;
        QTest::newRow("observer stays observer") << true << true;
        QTest::newRow("already in the lobby") << false << false;
    }
    void leavingDisablesTheGameControlsAndAsksForTheGameList() {
        QFETCH(bool, ingame);
        QFETCH(bool, observer);
        Client client;
        client.state.ingame = ingame;
        client.state.started = true;
        client.state.observer = observer;
        client.state.board[7][7] = QStringLiteral("C");
        client.state.rack[0] = {QStringLiteral("A"), false};
        client.enableAll();
        client.dispatch(QStringLiteral("1200 You have left the game"));
        QVERIFY(!client.state.ingame);
        QVERIFY(!client.state.started);
        QCOMPARE(client.state.observer, observer);
        QCOMPARE(controlsSetTo(client.view.controls, false), kAllControls);
        QCOMPARE(client.server.sent, QStringList{QStringLiteral("GLIST")});
        QVERIFY(client.dialogs.shown.isEmpty());
        // Board and rack stay as they were until the next game sends its own.
        QCOMPARE(client.state.board[7][7], QStringLiteral("C"));
        QCOMPARE(client.state.rack[0].tile, QStringLiteral("A"));
    }

    // --- watching and taking over -----------------------------------------

    void watchingAGameInPlaySkipsTheSeatQuestion() {
        Client client;
        client.dispatch(QStringLiteral("2020 You are watching game 2"));
        QVERIFY(client.state.started);
        QVERIFY(client.state.observer);
        QCOMPARE(client.view.observerAtDraw, QList<bool>{true});
        QVERIFY(client.server.sent.isEmpty());

        client.dispatch(QStringLiteral("1180 You have joined game 2"));
        QVERIFY(client.dialogs.shown.isEmpty());
        QVERIFY(client.server.sent.isEmpty());
        QVERIFY(client.state.ingame);
    }

    void takingOverASeatEnablesTheGameControlsAndRefreshes() {
        Client client;
        client.state.observer = true;
        client.dispatch(QStringLiteral("2021 You have taken over the game"));
        QVERIFY(client.state.ingame);
        QVERIFY(!client.state.observer);
        QCOMPARE(controlsSetTo(client.view.controls, true), kAllControls);
        QCOMPARE(client.view.observerAtDraw, QList<bool>{false});
        QCOMPARE(client.server.sent, QStringList{QStringLiteral("REFRESH")});
        QVERIFY(client.dialogs.shown.isEmpty());
    }

    // When the focused control is switched off, the focus moves on to the
    // next one in line; the replies switch their controls in a fixed order.
    void controlsAreSwitchedInTheirOrder_data() {
        using enum GameControl;
        using Switches = QList<QPair<GameControl, bool>>;
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<Switches>("switched");
        QTest::newRow("your turn") << QStringList{"1020 go"}
                                   << Switches{{Forfeit, true},
                                               {SubmitPlay, true},
                                               {Exchange, true},
                                               {ExchangeBox, true},
                                               {Withdraw, true}};
        QTest::newRow("seat taken over")
            << QStringList{"2021 "}
            << Switches{{LeaveGame, true},   {SubmitPlay, true}, {Forfeit, true}, {Exchange, true},
                        {ExchangeBox, true}, {Withdraw, true},   {SortRack, true}};
        QTest::newRow("left the game")
            << QStringList{"1200 "}
            << Switches{{LeaveGame, false}, {Forfeit, false},     {SubmitPlay, false},
                        {Exchange, false},  {ExchangeBox, false}, {Withdraw, false},
                        {SortRack, false}};
        QTest::newRow("game over, then the next game joined")
            << QStringList{"2020 ", "2017 bob won"}
            << Switches{{LeaveGame, true}, {SubmitPlay, false}, {Forfeit, false},
                        {Exchange, false}, {Withdraw, false},   {ExchangeBox, false},
                        {LeaveGame, true}, {SortRack, true}};
    }
    void controlsAreSwitchedInTheirOrder() {
        QFETCH(QStringList, lines);
        using Switches = QList<QPair<GameControl, bool>>;
        QFETCH(Switches, switched);
        Client client;
        for (const QString& line : lines)
            client.dispatch(line);
        QCOMPARE(client.view.switched, switched);
    }

    void offeredSeatAcceptedOnlyApproves() {
        Client client;
        client.dialogs.askAnswers = {true};
        client.dispatch(QStringLiteral("2022 bob left, take over?"));
        QCOMPARE(client.dialogs.texts(), QStringList{kTakeOverQuestion});
        QCOMPARE(client.dialogs.shown.first().title, QStringLiteral("Wordmoot"));
        QCOMPARE(client.server.sent, QStringList{QStringLiteral("APPROVE")});
        QVERIFY(!client.state.observer);
        QVERIFY(client.view.calls.isEmpty());
    }

    void offeredSeatDeclinedWatchesWithoutTheRack() {
        Client client;
        client.dialogs.askAnswers = {false};
        client.dispatch(QStringLiteral("2022 bob left, take over?"));
        QCOMPARE(client.server.sent, QStringList{QStringLiteral("OBSERVER")});
        QVERIFY(client.state.observer);
        QCOMPARE(client.view.observerAtDraw, QList<bool>{true});
    }

    // --- game over --------------------------------------------------------

    void gameOverAnnouncesThenOffersTheNextGame_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("announcement");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("winner, seat taken")
            << "2017 alice more text"
            << "Game Over! alice won!" << false << true << QStringList{"READY", "REFRESH"};
        QTest::newRow("winner, seat declined")
            << "2017 alice more text"
            << "Game Over! alice won!" << false << false << QStringList{"OBSERVER", "REFRESH"};
        QTest::newRow("winner without a blank")
            << "2017 alice"
            << "Game Over! alice won!" << false << true << QStringList{"READY", "REFRESH"};
        QTest::newRow("winner, game joined under way")
            << "2017 alice more text"
            << "Game Over! alice won!" << true << true << QStringList{"REFRESH"};
        QTest::newRow("draw") << "2018 a b"
                              << "Game Over! It was a draw between a b" << false << true
                              << QStringList{"READY", "REFRESH"};
        QTest::newRow("draw, game joined under way")
            << "2018 a b"
            << "Game Over! It was a draw between a b" << true << true << QStringList{"REFRESH"};
    }
    void gameOverAnnouncesThenOffersTheNextGame() {
        QFETCH(QString, line);
        QFETCH(QString, announcement);
        QFETCH(bool, started);
        QFETCH(bool, answer);
        QFETCH(QStringList, sent);
        Client client;
        client.state.started = started;
        client.state.ingame = true;
        client.enableAll();
        client.dialogs.askAnswers = {answer};
        client.dispatch(line);

        QCOMPARE(client.dialogs.shown.size(), started ? 1 : 2);
        QCOMPARE(client.dialogs.shown.first(),
                 messageBox(announcement, Dialogs::Icon::Information));
        // Nothing changes until the announcement is dismissed.
        QCOMPARE(controlsSetTo(client.atBox.first().controls, true), kAllControls);
        QVERIFY(client.atBox.first().sent.isEmpty());
        if (!started) {
            QCOMPARE(client.dialogs.shown.at(1).text, kPlayerQuestion);
            // By the question the turn is over but Leave still works, and
            // nothing has been sent yet.
            const AtBox& atQuestion = client.atBox.at(1);
            for (GameControl control : kTurnControls)
                QCOMPARE(atQuestion.controls.value(control), false);
            QCOMPARE(atQuestion.controls.value(GameControl::LeaveGame), true);
            QVERIFY(atQuestion.sent.isEmpty());
        }
        for (GameControl control : kTurnControls)
            QCOMPARE(client.view.controls.value(control), false);
        QCOMPARE(client.view.controls.value(GameControl::LeaveGame), true);
        QCOMPARE(client.server.sent, sent);
        QVERIFY(client.state.ingame);
        QCOMPARE(client.state.started, started);
        QCOMPARE(client.view.turnText, QStringLiteral("Game over"));
    }
};

QTEST_GUILESS_MAIN(MembershipTest)
#include "tst_membership.moc"
