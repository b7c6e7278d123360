// The client against a scripted server: logging on, the window, the ways out.
#include "ClientFixture.h"

#include "client/app/GameSelectForm.h"

#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

const QByteArray kLogonLines = "NAME alice\r\nVERSION\r\nGLIST\r\n";
const QString kErrorPrefix = QStringLiteral("An error has occoured connecting to 127.0.0.1.\n\n");

QSettings storedSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("TavikWordmoot"));
}

// A loopback port on which nobody listens.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// Counts how often a window was shown, so a window that flashed up and
// closed again is caught.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

// Starts the client without waiting for it to connect.
void load(ClientFixture& client, const QString& answer, ShowCounter* counter = nullptr) {
    client.dialogs.inputAnswers.append(answer);
    client.form = std::make_unique<WordmootForm>(client.dialogs);
    client.ended = std::make_unique<QSignalSpy>(client.form.get(), &WordmootForm::programEnded);
    if (counter)
        client.form->installEventFilter(counter);
    client.form->start();
}

QPushButton* quitButton(const ClientFixture& client) {
    return client.form->findChild<QPushButton*>(QStringLiteral("cmdquit"));
}

} // namespace

class LogonTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void logsOnWithNameVersionAndGameList() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QVERIFY(client.settle());
        QCOMPARE(client.server.received(), kLogonLines);
        QVERIFY(client.form->isVisible());
        QCOMPARE(client.form->windowTitle(), QStringLiteral("Wordmoot - alice"));
    }

    void startUpBoxAsksForTheServerInOneAnswer() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QCOMPARE(client.dialogs.shown.size(), 1);
        const ScriptedDialogs::Shown& box = client.dialogs.shown.first();
        QCOMPARE(box.kind, ScriptedDialogs::Kind::Input);
        QCOMPARE(box.title, QStringLiteral("Wordmoot - Server"));
        QCOMPARE(box.text, QStringLiteral("Which Wordmoot server do you wish to connect to?\n\n"
                                          "Enter the details in the form user@host:port"));
    }

    void windowStaysHiddenUntilConnected() {
        ClientFixture client;
        load(client, client.server.answerFor("alice"));
        QVERIFY(!client.form->isVisible());
        // The caption is set while still connecting.
        QCOMPARE(client.form->windowTitle(), QStringLiteral("Wordmoot - alice"));
        QVERIFY(client.server.waitForClient());
        QVERIFY(client.server.waitForLines(3));
        QVERIFY(QTest::qWaitFor([&] { return client.form->isVisible(); }));
        QVERIFY(client.form->isEnabled());
        QCOMPARE(client.ended->count(), 0);
    }

    void answerIsStoredAsUsernameHostAndPort() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QSettings settings = storedSettings();
        QCOMPARE(settings.value("Server/Username").toString(), QStringLiteral("alice"));
        QCOMPARE(settings.value("Server/Hostname").toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(settings.value("Server/Port").toString(), QString::number(client.server.port()));
    }

    void nextStartProposesTheStoredAddress() {
        quint16 port = 0;
        {
            ClientFixture first;
            QVERIFY(first.start("alice"));
            port = first.server.port();
        }
        ClientFixture second;
        load(second, QString());
        QCOMPARE(second.dialogs.proposals,
                 QStringList{QStringLiteral("alice@127.0.0.1:") + QString::number(port)});
    }

    void emptyAnswerEndsWithoutSavingOrConnecting() {
        ClientFixture client;
        ShowCounter shows;
        load(client, QString(), &shows);
        QCOMPARE(client.ended->count(), 1);
        QVERIFY(client.form->hasEnded());
        QVERIFY(!client.server.waitForClient(200));
        QCOMPARE(storedSettings().allKeys(), QStringList());
        QCOMPARE(shows.shows, 0);
        QCOMPARE(client.dialogs.shown.size(), 1); // the start-up box, nothing after it
    }

    void refusedConnectionShowsStopBoxAndEnds() {
        ClientFixture client;
        ShowCounter shows;
        load(client, QStringLiteral("alice@127.0.0.1:") + QString::number(closedPort()), &shows);
        QVERIFY(QTest::qWaitFor([&] { return client.ended->count() > 0; }));
        QVERIFY(client.settle());

        QCOMPARE(client.ended->count(), 1);
        QCOMPARE(client.dialogs.shown.size(), 2);
        const ScriptedDialogs::Shown& box = client.dialogs.shown.last();
        QCOMPARE(box.kind, ScriptedDialogs::Kind::Message);
        QCOMPARE(box.icon, Dialogs::Icon::Stop);
        QCOMPARE(box.title, QStringLiteral("Wordmoot"));
        QVERIFY2(box.text.startsWith(kErrorPrefix), qPrintable(box.text));
        QVERIFY2(box.text.size() > kErrorPrefix.size(), "the socket's description is missing");
        QCOMPARE(shows.shows, 0);
        QVERIFY(!client.form->isEnabled());
    }

    void portOutOfRangeFailsLikeABadAddress_data() {
        QTest::addColumn<QString>("port");
        QTest::newRow("just past the top") << QStringLiteral("65536");
        QTest::newRow("far past the top") << QStringLiteral("99999999999");
        QTest::newRow("negative") << QStringLiteral("-1");
    }
    void portOutOfRangeFailsLikeABadAddress() {
        QFETCH(QString, port);
        ClientFixture client;
        ShowCounter shows;
        load(client, QStringLiteral("alice@127.0.0.1:") + port, &shows);
        QVERIFY(QTest::qWaitFor([&] { return client.ended->count() > 0; }));
        QVERIFY(client.settle());

        QCOMPARE(client.ended->count(), 1);
        QCOMPARE(client.dialogs.shown.size(), 2);
        QCOMPARE(client.dialogs.shown.last().icon, Dialogs::Icon::Stop);
        QCOMPARE(client.dialogs.shown.last().text,
                 kErrorPrefix + QStringLiteral("The port number is out of range"));
        QCOMPARE(shows.shows, 0);
        QVERIFY(!client.server.waitForClient(100));
    }

    void emptyHostFailsWithTheStopBoxAndIsStored() {
        ClientFixture client;
        load(client, QStringLiteral("alice@:7000"));
        QVERIFY(QTest::qWaitFor([&] { return client.ended->count() > 0; }));
        QCOMPARE(client.dialogs.shown.size(), 2);
        QVERIFY2(client.dialogs.shown.last().text.startsWith(
                     QStringLiteral("An error has occoured connecting to .\n\n")),
                 qPrintable(client.dialogs.shown.last().text));
        QCOMPARE(storedSettings().value(QStringLiteral("Server/Hostname")).toString(), QString());
    }

    void serverClosingShowsDisconnectedBoxThenEnds() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        bool endedWhileBoxOpen = true;
        bool visibleWhileBoxOpen = false;
        client.dialogs.whileOpen = [&] {
            endedWhileBoxOpen = client.ended->count() > 0;
            visibleWhileBoxOpen = client.form->isVisible();
        };
        client.server.disconnectClient();
        QVERIFY(QTest::qWaitFor([&] { return client.ended->count() > 0; }));
        QVERIFY(client.settle());

        QCOMPARE(client.ended->count(), 1);
        QCOMPARE(client.dialogs.shown.size(), 2);
        const ScriptedDialogs::Shown& box = client.dialogs.shown.last();
        QCOMPARE(box.kind, ScriptedDialogs::Kind::Message);
        QCOMPARE(box.text, QStringLiteral("Disconnected from 127.0.0.1"));
        QCOMPARE(box.icon, Dialogs::Icon::Stop);
        QCOMPARE(box.title, QStringLiteral("Wordmoot"));
        QVERIFY2(!endedWhileBoxOpen, "the program ended before the box was dismissed");
        QVERIFY(visibleWhileBoxOpen);
        QVERIFY(!client.form->isVisible());
    }

    void quitAsksFirstAndSendsQuitOnlyOnYes_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("ends");
        QTest::newRow("yes") << true << QByteArray("QUIT\r\n") << true;
        QTest::newRow("no") << false << QByteArray() << false;
    }
    void quitAsksFirstAndSendsQuitOnlyOnYes() {
        QFETCH(bool, yes);
        QFETCH(QByteArray, sent);
        QFETCH(bool, ends);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QVERIFY(client.settle());
        client.dialogs.askAnswers = {yes};

        QTest::mouseClick(quitButton(client), Qt::LeftButton);
        QVERIFY(client.settle());

        QCOMPARE(client.dialogs.shown.size(), 2);
        const ScriptedDialogs::Shown& box = client.dialogs.shown.last();
        QCOMPARE(box.kind, ScriptedDialogs::Kind::Ask);
        QCOMPARE(box.text, QStringLiteral("Are you sure you want to quit?"));
        QCOMPARE(box.title, QStringLiteral("Wordmoot"));
        QVERIFY2(box.defaultNo, "No must be the default answer");
        QCOMPARE(client.server.received(), kLogonLines + sent);
        QCOMPARE(client.ended->count(), ends ? 1 : 0);
        QCOMPARE(client.form->isVisible(), !ends);
    }

    void closingTheMainWindowSendsNothingAndEnds_data() {
        QTest::addColumn<bool>("selectionOpen");
        QTest::newRow("no game selection") << false;
        QTest::newRow("game selection open") << true;
    }
    void closingTheMainWindowSendsNothingAndEnds() {
        QFETCH(bool, selectionOpen);
        ClientFixture client;
        QVERIFY(client.start("alice"));
        if (selectionOpen) {
            client.reply({"1160 "});
            QVERIFY(client.form->gameSelectForm());
            QVERIFY(client.form->gameSelectForm()->isVisible());
        }
        client.server.clearReceived();

        client.form->close();
        QVERIFY(client.settle());

        QCOMPARE(client.server.received(), QByteArray());
        QCOMPARE(client.ended->count(), 1);
        QVERIFY(!client.form->isVisible());
        if (selectionOpen)
            QVERIFY(!client.form->gameSelectForm()->isVisible());
        QCOMPARE(client.dialogs.shown.size(), 1); // no disconnect or error box afterwards
    }
};

QTEST_MAIN(LogonTest)
#include "tst_logon.moc"
