// The client against a scripted server: logging on, the window, the ways out.
#include "ClientFixture.h"

#include <QTest>

using namespace wordmoot;
using namespace wordmoot::test;

class LogonTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ClientFixture::clearSettings(); }

    void logsOnWithNameVersionAndGameList() {
        ClientFixture client;
        QVERIFY(client.start("alice"));
        QCOMPARE(client.server.received(), QByteArray("NAME alice\r\nVERSION\r\nGLIST\r\n"));
        QVERIFY(client.form->isVisible());
        QCOMPARE(client.form->windowTitle(), QStringLiteral("Wordmoot - alice"));
    }
};

QTEST_MAIN(LogonTest)
#include "tst_logon.moc"
