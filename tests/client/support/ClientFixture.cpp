#include "ClientFixture.h"

#include "client/app/MessageLog.h"

#include <QDir>
#include <QSettings>
#include <QTest>

namespace wordmoot::test {

void ClientFixture::clearSettings() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TavikWordmoot"))
        .clear();
}

bool ClientFixture::start(const QString& nickname) {
    return startWithAnswer(server.answerFor(nickname));
}

bool ClientFixture::startWithAnswer(const QString& answer) {
    dialogs.inputAnswers.append(answer);
    form = std::make_unique<WordmootForm>(dialogs);
    ended = std::make_unique<QSignalSpy>(form.get(), &WordmootForm::programEnded);
    form->start();
    return server.waitForClient() && server.waitForLines(3);
}

bool ClientFixture::reply(const QList<QByteArray>& lines) {
    server.sendLines(lines);
    return settle();
}

bool ClientFixture::settle() {
    if (form->hasEnded()) // all it sent is in once its end is closed
        return QTest::qWaitFor([&] { return server.clientGone(); }, 10000);
    const Connection& connection = form->connection();
    if (!QTest::qWaitFor(
            [&] {
                return form->hasEnded() || (connection.bytesReceived() == server.bytesSent() &&
                                            !connection.isHandling());
            },
            10000))
        return false;
    // What the client sent while handling is on the wire by now.
    server.takeArrived();
    return true;
}

QString ClientFixture::log() const {
    return form->irchistorybox()->text();
}

} // namespace wordmoot::test
