#include "client/board/TurnActions.h"

#include "client/board/Composing.h"

namespace wordmoot::turn {

void submitPlay(ClientContext& client) {
    const QString line = composing::takePlay(client.state);
    if (line.isEmpty())
        return;
    client.view.fill_rack();
    client.server.send(line);
}

bool exchange(ClientContext& client, const QString& boxText) {
    const QString line = composing::exchangeLine(boxText);
    if (line.isEmpty())
        return false;
    client.server.send(line);
    return true;
}

void previewPlay(ClientContext& client, GameTable& table) {
    if (!table.keepsTable() || client.state.observer)
        return;
    const QString line = composing::previewLine(client.state);
    if (table.asksPreview(line))
        client.server.send(line);
}

void sortRack(ClientContext& client) {
    composing::sortRack(client.state);
    client.view.fill_rack();
}

} // namespace wordmoot::turn
