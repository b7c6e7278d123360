// The start-up question: which server, under which nickname, and what is
// remembered for next time.
#include "BuildConfig.h"
#include "ScriptedDialogs.h"
#include "StoredSettings.h"
#include "client/connection/ServerAddress.h"
#include "client/connection/Settings.h"

#include <QTest>

namespace wordmoot {
// So that a failed comparison shows both addresses.
char* toString(const ServerAddress& address) {
    return QTest::toString(QStringLiteral("nickname \"%1\", host \"%2\", port %3")
                               .arg(address.nickname, address.host)
                               .arg(address.port));
}
} // namespace wordmoot

using namespace wordmoot;
using namespace wordmoot::test;

namespace {

const QString kPrompt = QStringLiteral("Which Wordmoot server do you wish to connect to?\n\n"
                                       "Enter the details in the form user@host:port");
const QString kDefaultHost = QStringLiteral(WORDMOOT_DEFAULT_HOST);

void storeServer(const QString& user, const QString& host, const QString& port) {
    storeSetting(QStringLiteral("Server/Username"), user);
    storeSetting(QStringLiteral("Server/Hostname"), host);
    storeSetting(QStringLiteral("Server/Port"), port);
}

// What the store holds, one "key=value" per setting, keys sorted.
QStringList stored() {
    SettingsStore settings;
    settings.sync();
    QStringList result;
    for (const QString& key : settings.allKeys())
        result.append(key + QLatin1Char('=') + settings.value(key).toString());
    result.sort();
    return result;
}

} // namespace

class ServerAddressTest : public QObject {
    Q_OBJECT
private slots:
    void init() { clearSettings(); }

    void answersAreSplitAtTheFirstAtAndColon_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("nickname");
        QTest::addColumn<QString>("host");
        QTest::addColumn<qint64>("port");

        QTest::newRow("full") << "alice@localhost:7000"
                              << "alice"
                              << "localhost" << qint64(7000);
        QTest::newRow("no port") << "alice@localhost"
                                 << "alice"
                                 << "localhost" << qint64(7096);
        QTest::newRow("no nickname") << "localhost:7000"
                                     << "Guest"
                                     << "localhost" << qint64(7000);
        QTest::newRow("host alone") << "localhost"
                                    << "Guest"
                                    << "localhost" << qint64(7096);
        QTest::newRow("leading @") << "@localhost"
                                   << "Guest"
                                   << "localhost" << qint64(7096);
        QTest::newRow("only the first @ splits") << "a@b@localhost"
                                                 << "a"
                                                 << "b@localhost" << qint64(7096);
        QTest::newRow("only the first colon splits") << "alice@localhost:70:80"
                                                     << "alice"
                                                     << "localhost" << qint64(70);
        QTest::newRow("colon in the nickname part") << "a:b@localhost"
                                                    << "a:b"
                                                    << "localhost" << qint64(7096);
        QTest::newRow("port not a number") << "alice@localhost:abc"
                                           << "alice"
                                           << "localhost" << qint64(0);
        QTest::newRow("port with trailing text") << "alice@localhost:7000x"
                                                 << "alice"
                                                 << "localhost" << qint64(7000);
        QTest::newRow("empty port") << "alice@localhost:"
                                    << "alice"
                                    << "localhost" << qint64(0);
        QTest::newRow("port out of range kept for the connection to refuse")
            << "alice@localhost:99999"
            << "alice"
            << "localhost" << qint64(99999);
        QTest::newRow("empty address takes the fallback host")
            << "alice@"
            << "alice"
            << "fallback.example" << qint64(7096);
        QTest::newRow("only @") << "@"
                                << "Guest"
                                << "fallback.example" << qint64(7096);
        QTest::newRow("empty host before a port") << ":7000"
                                                  << "Guest"
                                                  << "" << qint64(7000);
        QTest::newRow("empty host before a port, with nickname") << "alice@:7000"
                                                                 << "alice"
                                                                 << "" << qint64(7000);
        QTest::newRow("server texts kept as typed") << "<b>x</b>@h<i>:1"
                                                    << "<b>x</b>"
                                                    << "h<i>" << qint64(1);
    }
    void answersAreSplitAtTheFirstAtAndColon() {
        QFETCH(QString, answer);
        QFETCH(QString, nickname);
        QFETCH(QString, host);
        QFETCH(qint64, port);
        QCOMPARE(parseAnswer(answer, QStringLiteral("fallback.example")),
                 (ServerAddress{nickname, host, port}));
    }

    void proposalShowsThePortOnlyWhenNotTheDefault_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("proposal");
        QTest::newRow("default port") << "7096"
                                      << "alice@localhost";
        QTest::newRow("default port with a leading blank") << " 7096"
                                                           << "alice@localhost";
        QTest::newRow("default port as a fraction") << "7096.0"
                                                    << "alice@localhost";
        QTest::newRow("other port") << "7000"
                                    << "alice@localhost:7000";
        QTest::newRow("port text as stored") << "abc"
                                             << "alice@localhost:abc";
    }
    void proposalShowsThePortOnlyWhenNotTheDefault() {
        QFETCH(QString, port);
        QFETCH(QString, proposal);
        QCOMPARE(proposeAnswer(QStringLiteral("alice"), QStringLiteral("localhost"), port),
                 proposal);
    }

    void askingShowsThePromptAndTheStoredServer_data() {
        QTest::addColumn<bool>("anythingStored");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("proposal");
        QTest::newRow("nothing stored") << false << ""
                                        << "Guest@" + kDefaultHost;
        QTest::newRow("default port stored") << true << "7096"
                                             << "alice@server.example";
        QTest::newRow("other port stored") << true << "7000"
                                           << "alice@server.example:7000";
    }
    void askingShowsThePromptAndTheStoredServer() {
        QFETCH(bool, anythingStored);
        QFETCH(QString, port);
        QFETCH(QString, proposal);
        if (anythingStored)
            storeServer(QStringLiteral("alice"), QStringLiteral("server.example"), port);

        ScriptedDialogs dialogs;
        Settings settings;
        askServerAddress(dialogs, settings);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, ScriptedDialogs::Kind::Input);
        QCOMPARE(dialogs.shown[0].text, kPrompt);
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Wordmoot - Server"));
        QCOMPARE(dialogs.proposals, QStringList{proposal});
    }

    void confirmedAnswerIsStoredAsText_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("full") << "alice@localhost:7000"
                              << QStringList{"Server/Hostname=localhost", "Server/Port=7000",
                                             "Server/Username=alice"};
        QTest::newRow("default port written out")
            << "alice@localhost"
            << QStringList{"Server/Hostname=localhost", "Server/Port=7096",
                           "Server/Username=alice"};
        QTest::newRow("no nickname stores Guest, not the stored name")
            << "localhost:7000"
            << QStringList{"Server/Hostname=localhost", "Server/Port=7000",
                           "Server/Username=Guest"};
        QTest::newRow("bad port stored as 0")
            << "alice@localhost:abc"
            << QStringList{"Server/Hostname=localhost", "Server/Port=0", "Server/Username=alice"};
        QTest::newRow("empty address keeps the stored host")
            << "bob@"
            << QStringList{"Server/Hostname=stored.example", "Server/Port=7096",
                           "Server/Username=bob"};
        QTest::newRow("empty host stored")
            << ":7000"
            << QStringList{"Server/Hostname=", "Server/Port=7000", "Server/Username=Guest"};
    }
    void confirmedAnswerIsStoredAsText() {
        QFETCH(QString, answer);
        QFETCH(QStringList, expected);
        storeServer(QStringLiteral("alice"), QStringLiteral("stored.example"),
                    QStringLiteral("7096"));

        ScriptedDialogs dialogs;
        dialogs.inputAnswers = {answer};
        Settings settings;
        const std::optional<ServerAddress> address = askServerAddress(dialogs, settings);
        QVERIFY(address);
        QCOMPARE(*address, parseAnswer(answer, QStringLiteral("stored.example")));
        QCOMPARE(stored(), expected);
    }

    void noAnswerStoresNothing_data() {
        QTest::addColumn<bool>("anythingStored");
        QTest::newRow("nothing stored before") << false;
        QTest::newRow("a server stored before") << true;
    }
    void noAnswerStoresNothing() {
        QFETCH(bool, anythingStored);
        if (anythingStored)
            storeServer(QStringLiteral("alice"), QStringLiteral("server.example"),
                        QStringLiteral("7000"));
        const QStringList before = stored();

        ScriptedDialogs dialogs; // no answer scripted: the user cancels
        Settings settings;
        QVERIFY(!askServerAddress(dialogs, settings));
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(stored(), before);
    }
};

QTEST_GUILESS_MAIN(ServerAddressTest)
#include "tst_serveraddress.moc"
