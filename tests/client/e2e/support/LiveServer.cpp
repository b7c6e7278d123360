#include "LiveServer.h"

#include "client/app/GameSelectForm.h"
#include "client/app/TileLabels.h"
#include "client/board/BoardGeometry.h"
#include "server/Lobby.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace wordmoot::test {

namespace {
QStringList rows(const QAbstractItemModel* model) {
    QStringList result;
    for (int row = 0; row < model->rowCount(); ++row)
        result.append(model->index(row, 0).data().toString());
    return result;
}
} // namespace

std::unique_ptr<LiveClient> LiveClient::open(const QString& name, const QString& answer,
                                             const std::function<void(WordmootForm&)>& prepare) {
    auto client = std::make_unique<LiveClient>();
    client->name = name;
    client->dialogs.inputAnswers.append(answer);
    client->form = std::make_unique<WordmootForm>(client->dialogs);
    QStringList* received = &client->received;
    QObject::connect(&client->form->connection(), &Connection::lineReceived, client->form.get(),
                     [received](const QString& line) { received->append(line); });
    if (prepare)
        prepare(*client->form);
    client->form->start();
    return client;
}

QStringList LiveClient::gameEntries() const {
    const GameSelectForm* selection = form->gameSelectForm();
    if (!selection || !selection->isVisible())
        return {};
    return rows(selection->gamelist()->model());
}

bool LiveClient::chooseGame(const QString& entryStart) {
    const QStringList entries = gameEntries();
    int row = 0;
    while (row < entries.size() && !entries[row].startsWith(entryStart))
        ++row;
    if (row == entries.size())
        return false;
    GameSelectForm* selection = form->gameSelectForm();
    selection->gamelist()->setCurrentIndex(selection->gamelist()->model()->index(row, 0));
    QTest::mouseClick(selection->okButton(), Qt::LeftButton);
    return true;
}

QPushButton* LiveClient::button(const char* objectName) const {
    return form->findChild<QPushButton*>(QLatin1String(objectName));
}

int LiveClient::turnsGiven() const {
    return int(received.filter(QRegularExpression(QStringLiteral("^1020 "))).size());
}

bool LiveClient::say(const QString& text) {
    const qsizetype from = received.size();
    form->findChild<QLineEdit*>(QStringLiteral("ircinputbox"))->setText(text);
    button("cmdsend")->click();
    return waitForLine(QStringLiteral("2009 ") + name + QLatin1Char(' ') + text, from) >= 0;
}

QStringList LiveClient::rack() const {
    QStringList tiles;
    for (const RackSlot& slot : form->state().rack)
        tiles.append(slot.tile);
    return tiles;
}

QStringList LiveClient::scoreEntries() const {
    return rows(form->findChild<QAbstractItemView*>(QStringLiteral("listscores"))->model());
}

QString LiveClient::boardTile(int column, int row) const {
    const TileLabel* tile = form->tiles().tile(board::cellTileIndex(column, row));
    return tile && tile->isVisible() ? tile->text() : QString();
}

qsizetype LiveClient::waitForLine(const QString& prefix, qsizetype from) const {
    const auto find = [&] {
        for (qsizetype i = from; i < received.size(); ++i)
            if (received[i].startsWith(prefix))
                return i;
        return qsizetype(-1);
    };
    return QTest::qWaitFor([&] { return find() >= 0; }, 10000) ? find() : -1;
}

QStringList LiveClient::complaints() const {
    static const QRegularExpression complaint(
        QStringLiteral("^5\\d\\d\\d |^2014 .*(Unknown command|works only in|Take a name first|"
                       "refused|Refused|not your turn)"));
    return received.filter(complaint);
}

LiveServer::LiveServer(server::ServerOptions options) {
    options.listen = QHostAddress::LocalHost;
    options.port = 0;
    server = std::make_unique<server::GameServer>(options);
    if (server->start())
        port = server->port();
    else
        qWarning() << "the server did not start:" << server->errorText();
}

LiveServer::~LiveServer() {
    clients.clear(); // the windows close their connections first
}

LiveClient* LiveServer::logOn(const QString& name) {
    clients.push_back(
        LiveClient::open(name, name + QStringLiteral("@127.0.0.1:") + QString::number(port)));
    LiveClient* started = clients.back().get();
    // The list holds "0: Create New Game ..." and one entry for each game.
    const bool listed = QTest::qWaitFor(
        [&] { return started->gameEntries().size() == 1 + server->lobby().gameCount(); }, 10000);
    return listed ? started : nullptr;
}

} // namespace wordmoot::test
