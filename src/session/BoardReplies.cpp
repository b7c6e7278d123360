// The replies that carry the board, the rack and the plays.
#include "protocol/Commands.h"
#include "protocol/Words.h"
#include "rules/NumericText.h"
#include "session/ReplyHandlers.h"

#include <QStringBuilder>

#include <optional>

namespace wordmoot {

namespace {
// A column or row as the server wrote it, read as a number (0 for a text
// that is none), if that is a cell of the board.
std::optional<int> boardIndex(QStringView text) {
    const double value = numericValue(text);
    if (value < 0 || value >= kBoardCells || value != static_cast<int>(value))
        return std::nullopt;
    return static_cast<int>(value);
}

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
} // namespace

void ReplyHandlers::setControlsEnabled(std::initializer_list<GameControl> controls, bool enabled) {
    for (GameControl control : controls)
        client_.view.setGameControlEnabled(control, enabled);
}

void ReplyHandlers::yourTurn(QStringView argument) {
    if (argument.contains(QLatin1String("starting tile")))
        client_.view.addmsg(QStringLiteral("*** You drew a '") + characterAt(argument, 0) +
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

// "bob 10 7,7,C 8,7,A 9,7,T": who played, the score, then the tiles. A word
// with "(" ends the tiles, and so does the board's last cell: no play holds
// more tiles than the board has cells. A tile off the board or without its two
// commas is left out, so the log names only the letters that were laid.
void ReplyHandlers::play(QStringView argument) {
    const Words player = splitFirstWord(argument);
    const Words score = splitFirstWord(player.rest);
    QString letters;
    QStringView remaining = score.rest;
    for (int tiles = 0; !remaining.isEmpty() && tiles < kBoardCells * kBoardCells; ++tiles) {
        const Words tile = splitFirstWord(remaining);
        remaining = tile.rest;
        if (tile.first.contains(u'('))
            break;
        const qsizetype firstComma = tile.first.indexOf(u',');
        const qsizetype secondComma = tile.first.indexOf(u',', firstComma + 1);
        if (firstComma < 0 || secondComma < 0)
            continue;
        const auto column = boardIndex(tile.first.left(firstComma));
        const auto row = boardIndex(tile.first.mid(firstComma + 1, secondComma - firstComma - 1));
        if (!column || !row)
            continue;
        const QString letter = characterAt(tile.first, secondComma + 1);
        setCell(client_.state, *column, *row, letter);
        letters += letter;
    }
    client_.view.fill_board();
    const QString name = player.first.toString();
    client_.view.addmsg(QStringLiteral("*** ") + name + QStringLiteral(" scores ") +
                        score.first.toString() + QStringLiteral(" for ") + letters);
    if (!client_.state.observer && client_.state.nickname != name &&
        client_.dialogs.ask(QStringLiteral("Do you approve the play of ") + letters +
                                QStringLiteral("? (it scores ") + score.first.toString() +
                                QLatin1Char(')'),
                            kAppTitle, false))
        client_.server.send(command::approve());
}

void ReplyHandlers::noticeWithRefresh(QStringView argument) {
    notice(argument);
    client_.server.send(command::refresh());
}

// "7 ...CAT........." is row 7. A row number off the board drops the line.
void ReplyHandlers::boardRow(QStringView argument) {
    const Words words = splitFirstWord(argument);
    const auto row = boardIndex(words.first);
    if (!row)
        return;
    const QStringView cells = trimBlanks(words.rest);
    for (int column = 0; column < kBoardCells; ++column)
        setCell(client_.state, column, *row, cells.mid(column, 1));
    client_.view.fill_board();
}

void ReplyHandlers::newRack(QStringView argument) {
    const QStringView letters = trimBlanks(argument);
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
