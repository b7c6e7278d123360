#include "ClientFixture.h"

#include "chat/MessageLog.h"

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
    form->Form_Load();
    return server.waitForClient() && server.waitForLines(3);
}

void ClientFixture::reply(const QList<QByteArray>& lines) {
    server.sendLines(lines);
    settle();
}

void ClientFixture::settle(int ms) {
    QTest::qWait(ms);
}

QString ClientFixture::log() const {
    return form->irchistorybox()->text();
}

} // namespace wordmoot::test
