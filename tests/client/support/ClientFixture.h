#pragma once

#include "ScriptedDialogs.h"
#include "ScriptedServer.h"
#include "StoredSettings.h"
#include "client/app/WordmootForm.h"

#include <QSignalSpy>

#include <memory>

namespace wordmoot::test {

// A main window connected to a scripted server over loopback, logged on as
// the given nickname, with the boxes answered by the test.
struct ClientFixture {
    ScriptedServer server;
    ScriptedDialogs dialogs;
    std::unique_ptr<WordmootForm> form;
    std::unique_ptr<QSignalSpy> ended;

    // Removes the settings the earlier tests of this program left behind.
    static void clearSettings();

    // Starts the client with this answer to the start-up box and waits until
    // it has logged on (NAME, VERSION, GLIST). False when it did not.
    bool start(const QString& nickname = QStringLiteral("alice"));
    bool startWithAnswer(const QString& answer);
    // The lines the client sent after logging on.
    QList<QByteArray> sentAfterLogon() const { return server.lines().mid(3); }
    // Sends reply lines and waits until the client has handled them.
    bool reply(const QList<QByteArray>& lines);
    // Waits until the client has taken in and handled everything sent to it
    // so far.
    bool settle();
    QString log() const;
};

} // namespace wordmoot::test
