// The replies that carry the board, the rack and the plays.
#include "shared/protocol/Commands.h"
#include "shared/protocol/Replies.h"
#include "shared/rules/Scoring.h"
#include "client/session/ReplyHandlers.h"

#include <QStringBuilder>

#include <optional>

namespace wordmoot {

namespace {
// The character at a position of a text, or empty text past its end.
QString characterAt(QStringView text, qsizetype position) {
    return text.mid(position, 1).toString();
}

// Puts a letter (one character or none, as a cell holds) on a cell as the
// server sent it, noting a tile that comes or goes for the last play's
// marking. Most cells of a row the server sends again stay as they were,
// and cost no copy.
void setCell(ClientState& state, int column, int row, QStringView letter) {
    QString& cell = state.board[column][row];
    if (cell.size() == letter.size() && (letter.isEmpty() || cell.at(0) == letter.front()))
        return;
    if (!holdsTile(cell) && holdsTile(letter))
        state.lastPlay.cellFilled({column, row});
    else if (holdsTile(cell) && !holdsTile(letter))
        state.lastPlay.cellEmptied({column, row});
    cell = letter.toString();
}

// A tile as a cell or a play's entry writes it, if it is one.
std::optional<Tile> tileOf(QStringView text) {
    return text.size() == 1 ? laidTileOf(text.front().toLatin1()) : std::nullopt;
}

// What a play is named by: the words it forms on the board as the client
// holds it, the main word first ("EJO", "QAT, AX"), or the tiles' own
// letters where the board does not bear the play out.
QString playName(const ClientState& state, const reply::PlayMade& made, const QString& letters) {
    Grid board;
    for (int column = 0; column < kBoardCells; ++column)
        for (int row = 0; row < kBoardCells; ++row)
            if (const QString& cell = state.board[column][row]; holdsTile(cell))
                board.at(column, row) = tileOf(cell).value_or(Tile{});
    Play play;
    for (const reply::ShownTile& shown : made.tiles) {
        const std::optional<Tile> tile = tileOf(shown.letter);
        if (!tile)
            return letters;
        play.push_back({shown.column, shown.row, *tile});
    }
    const std::string words = playWords(board, play);
    return words.empty() ? letters : QString::fromLatin1(words);
}
} // namespace

void ReplyHandlers::setControlsEnabled(std::initializer_list<GameControl> controls, bool enabled) {
    for (GameControl control : controls)
        client_.view.setGameControlEnabled(control, enabled);
}

void ReplyHandlers::yourTurn(QStringView argument) {
    if (const auto tile = reply::parseStartingTile(argument))
        client_.view.addmsg(QStringLiteral("*** You drew a '") % *tile %
                            QStringLiteral("' as your starting tile"));
    else
        client_.view.addmsg(QStringLiteral("*** ") % argument);
    using enum GameControl;
    setControlsEnabled({Forfeit, SubmitPlay, Exchange, ExchangeBox, Withdraw}, true);
    client_.view.yourTurnBegins();
}

void ReplyHandlers::startingLetter(QStringView argument) {
    const Words words = splitFirstWord(argument);
    client_.view.addmsg(QStringLiteral("*** Your new starting letter is '") % argument.left(1) %
                        QStringLiteral("' - ") % (words.hadBlank ? words.rest : argument));
}

void ReplyHandlers::whoseTurn(QStringView argument) {
    client_.state.lastPlay.turnPassed();
    client_.view.setTurnText(splitFirstWord(argument).first.toString() + QStringLiteral("'s turn"));
}

// A play put to the others: shown on the board and logged with the words it
// forms, then, to another player, put as a question. The vote is on those
// words, not on the tiles laid: J and O after DOTE make DOTEJO.
void ReplyHandlers::play(QStringView argument) {
    const reply::PlayMade made = reply::parsePlayMade(argument);
    QString letters;
    for (const reply::ShownTile& tile : made.tiles) {
        setCell(client_.state, tile.column, tile.row, tile.letter);
        letters += tile.letter;
    }
    const QString words = playName(client_.state, made, letters);
    client_.view.fill_board();
    const QString name = made.player.toString();
    const QString score = made.score.toString();
    client_.view.addmsg(QStringLiteral("*** ") + name + QStringLiteral(" scores ") + score +
                        QStringLiteral(" for ") + words);
    if (!client_.state.observer && client_.state.nickname != name &&
        client_.dialogs.ask(QStringLiteral("Do you approve the play of ") + words +
                                QStringLiteral("? (it scores ") + score + QLatin1Char(')'),
                            kAppTitle, false))
        client_.server.send(command::approve());
}

void ReplyHandlers::noticeWithRefresh(QStringView argument) {
    notice(argument);
    client_.server.send(command::refresh());
}

// A row number off the board drops the line.
void ReplyHandlers::boardRow(QStringView argument) {
    const auto row = reply::parseBoardRow(argument);
    if (!row)
        return;
    for (int column = 0; column < kBoardCells; ++column)
        setCell(client_.state, column, row->row, row->cells.mid(column, 1));
    client_.view.fill_board();
}

void ReplyHandlers::newRack(QStringView argument) {
    const QStringView letters = reply::parseRack(argument);
    client_.state.takeBackPlay();
    for (int slot = 0; slot < kRackSlots; ++slot)
        client_.state.rack[slot] = {characterAt(letters, slot), false};
    client_.view.fill_rack();
}

// The drawn tile fills the first empty slot; tiles laid in the play being
// composed stay where they are.
void ReplyHandlers::drawnTile(QStringView argument) {
    for (RackSlot& slot : client_.state.rack) {
        if (slot.tile.isEmpty()) {
            slot = {characterAt(argument, 0), false};
            break;
        }
    }
    client_.view.fill_rack();
}

void ReplyHandlers::playRefused(QStringView argument) {
    invalid_play(argument.toString());
}

// The server refused the user's play: the tiles come back to the rack.
void ReplyHandlers::invalid_play(const QString& msg) {
    client_.state.takeBackPlay();
    client_.view.fill_rack();
    client_.view.addmsg(QStringLiteral("*** ") + msg);
    client_.dialogs.message(msg, kAppTitle, Dialogs::Icon::Information);
}

} // namespace wordmoot
