#include "shared/rules/RecordReader.h"

#include "shared/rules/Game.h"
#include "shared/rules/GameRecord.h"
#include "shared/rules/TextFields.h"
#include "shared/rules/TileBag.h"

namespace wordmoot {

namespace {

// A rack or exchange as the record writes it, "?" for a blank, in the
// game's own letters.
std::optional<std::string> tilesOf(std::string_view text) {
    std::string tiles;
    for (const char c : text) {
        if (c == '?')
            tiles += kUnnamedBlank;
        else if (c >= 'A' && c <= 'Z')
            tiles += c;
        else
            return std::nullopt;
    }
    return tiles;
}

class Reader {
public:
    RecordReading read(std::string_view text) {
        int number = 0;
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size());
            std::string_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (auto why = take(line, number))
                return {std::nullopt, {number, *why}};
        }
        if (record_.names.empty())
            return {std::nullopt, {0, "not a game record: no #player line"}};
        return {std::move(record_), {}};
    }

private:
    // Why the line is not one of a record; nullopt when it is.
    std::optional<std::string> take(std::string_view line, int number) {
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            return std::nullopt;
        if (line.starts_with("#note "))
            return note(line.substr(6));
        if (line.front() == '#')
            return line.starts_with("#player") ? player(line) : std::nullopt;
        if (line.front() != '>')
            return "not a line of a game record (it starts neither with # nor with >)";
        return move(line.substr(1), number);
    }

    // A note on the move before it; a pass noted as a lost turn is one.
    std::optional<std::string> note(std::string_view text) {
        if (!record_.moves.empty() && record_.moves.back().kind == ReadMove::Kind::Pass &&
            text.starts_with(kLostTurnNote))
            record_.moves.back().kind = ReadMove::Kind::LostTurn;
        return std::nullopt;
    }

    std::optional<std::string> player(std::string_view line) {
        const std::vector<std::string_view> w = words(line);
        if (w.size() < 2)
            return "a #player line names no player";
        if (!record_.moves.empty())
            return "a #player line after the moves";
        record_.names.emplace_back(w[1]);
        return std::nullopt;
    }

    std::optional<std::string> move(std::string_view line, int number) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return "a move with no \"name:\"";
        ReadMove m;
        m.line = number;
        const std::string_view name = line.substr(0, colon);
        m.seat = -1;
        for (std::size_t i = 0; i < record_.names.size(); ++i)
            if (record_.names[i] == name)
                m.seat = int(i);
        if (m.seat < 0)
            return "a move by " + std::string(name) + ", who is not a #player of the game";
        // RACK SQUARE WORD SCORE TOTAL for a play; RACK MOVE SCORE TOTAL for a
        // pass, an exchange, a play taken back and the end; (TILES) SCORE
        // TOTAL for the tiles the player who went out takes.
        const std::vector<std::string_view> w = words(line.substr(colon + 1));
        if (w.size() < 3 || w.size() > 5)
            return "a move is a rack, the move, its score and the total";
        const auto score = wordmoot::number(w[w.size() - 2]);
        const auto total = wordmoot::number(w[w.size() - 1]);
        if (!score || !total)
            return "the score or the total is not a number";
        m.score = *score;
        m.total = *total;
        if (w.size() > 3) {
            const auto rack = tilesOf(w[0]);
            if (!rack)
                return "the rack " + std::string(w[0]) + " is not tiles";
            m.rack = *rack;
        }
        m.before = board_;
        m.notation = std::string(w[w.size() - 3]);
        if (w.size() == 5) {
            m.notation = std::string(w[1]) + ' ' + m.notation;
            return play(std::move(m));
        }
        if (m.notation.starts_with('('))
            m.kind = ReadMove::Kind::End;
        else if (w.size() == 3)
            return "a move is a rack, the move, its score and the total";
        else if (m.notation == "-")
            m.kind = ReadMove::Kind::Pass;
        else if (m.notation == "--")
            return takenBack(std::move(m));
        else if (auto tiles = tilesOf(std::string_view(m.notation).substr(1));
                 m.notation.starts_with('-') && tiles && !tiles->empty() &&
                 rackHolds(m.rack, *tiles))
            m.kind = ReadMove::Kind::Exchange, m.tiles = *tiles;
        else
            return "the move " + m.notation + " is neither a pass nor an exchange of the rack's tiles";
        record_.moves.push_back(std::move(m));
        return std::nullopt;
    }

    std::optional<std::string> play(ReadMove m) {
        std::optional<Play> laid = playOfNotation(board_, m.notation);
        if (!laid)
            return "the play " + m.notation + " does not fit the board";
        if (!rackHolds(m.rack, rackTiles(*laid)))
            return "the play " + m.notation + " uses tiles that are not on the rack";
        lay(board_, *laid);
        m.kind = ReadMove::Kind::Play;
        m.play = std::move(*laid);
        record_.moves.push_back(std::move(m));
        return std::nullopt;
    }

    // "--": the mover's last move was a play, and it leaves the board.
    std::optional<std::string> takenBack(ReadMove m) {
        ReadMove* last = record_.moves.empty() ? nullptr : &record_.moves.back();
        if (!last || last->kind != ReadMove::Kind::Play || last->seat != m.seat)
            return "\"--\" takes back no play of the same player";
        for (const LaidTile& t : last->play)
            board_.at(t.column, t.row) = Tile{};
        last->kind = ReadMove::Kind::TakenBack;
        return std::nullopt;
    }

    ReadRecord record_;
    Grid board_;
};

} // namespace

std::optional<Play> playOfNotation(const Grid& before, std::string_view notation) {
    const std::size_t blank = notation.find(' ');
    if (blank == std::string_view::npos || blank < 2)
        return std::nullopt;
    const std::string_view square = notation.substr(0, blank);
    const std::string_view word = notation.substr(blank + 1);
    const bool across = square.front() >= '0' && square.front() <= '9';
    const std::string_view digits = across ? square.substr(0, square.size() - 1) : square.substr(1);
    const char letter = across ? square.back() : square.front();
    const auto row = number(digits);
    if (!row || digits.front() == '+' || letter < 'A' || letter > 'O' || word.empty())
        return std::nullopt;
    int column = letter - 'A', r = *row - 1;
    Play play;
    for (const char c : word) {
        if (!Grid::onBoard(column, r))
            return std::nullopt;
        const bool laid = !before.at(column, r).isEmpty();
        if (c == '.') {
            if (!laid)
                return std::nullopt;
        } else {
            const bool isBlank = c == '?' || (c >= 'a' && c <= 'z');
            const char named = c == '?' ? kUnnamedBlank : isBlank ? char(c - 'a' + 'A') : c;
            if (laid || (!isBlank && (c < 'A' || c > 'Z')))
                return std::nullopt;
            play.push_back({column, r, Tile{named, isBlank}});
        }
        (across ? column : r) += 1;
    }
    if (play.empty())
        return std::nullopt;
    return play;
}

RecordReading readRecord(std::string_view text) {
    return Reader().read(text);
}

} // namespace wordmoot
