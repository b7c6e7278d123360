#include "shared/rules/GameInput.h"

#include "shared/rules/TextFields.h"

#include <algorithm>
#include <array>
#include <vector>

namespace wordmoot {

namespace {

constexpr std::array<std::pair<GameInput::Kind, std::string_view>, 12> kWords{{
    {GameInput::Kind::Play, "play"},
    {GameInput::Kind::Exchange, "exchange"},
    {GameInput::Kind::Pass, "pass"},
    {GameInput::Kind::Withdraw, "withdraw"},
    {GameInput::Kind::Approve, "approve"},
    {GameInput::Kind::Challenge, "challenge"},
    {GameInput::Kind::VoteExpired, "expire"},
    {GameInput::Kind::Leave, "leave"},
    {GameInput::Kind::TakeSeat, "take"},
    {GameInput::Kind::Rename, "rename"},
    {GameInput::Kind::EndForLack, "end"},
    {GameInput::Kind::TimePenalty, "penalty"},
}};

bool hasSeat(GameInput::Kind kind) {
    return kind != GameInput::Kind::VoteExpired && kind != GameInput::Kind::EndForLack;
}

std::string tileText(const LaidTile& t) {
    const char letter = t.tile.letter == kUnnamedBlank ? kUnnamedBlank
                        : t.tile.blank                 ? char(t.tile.letter - 'A' + 'a')
                                                       : t.tile.letter;
    return std::to_string(t.column) + ',' + std::to_string(t.row) + ',' + letter;
}

std::optional<LaidTile> tileOf(std::string_view text) {
    const std::size_t first = text.find(','), second = text.rfind(',');
    if (first == std::string_view::npos || second != text.size() - 2 || first == second)
        return std::nullopt;
    const auto column = number(text.substr(0, first));
    const auto row = number(text.substr(first + 1, second - first - 1));
    const char c = text.back();
    if (!column || !row || !Grid::onBoard(*column, *row))
        return std::nullopt;
    if (c == kUnnamedBlank)
        return LaidTile{*column, *row, Tile{kUnnamedBlank, true}};
    if (c >= 'a' && c <= 'z')
        return LaidTile{*column, *row, Tile{char(c - 'a' + 'A'), true}};
    if (c >= 'A' && c <= 'Z')
        return LaidTile{*column, *row, Tile{c, false}};
    return std::nullopt;
}

} // namespace

std::string inputText(const GameInput& input) {
    std::string text;
    for (const auto& [kind, word] : kWords)
        if (kind == input.kind)
            text = word;
    if (hasSeat(input.kind))
        text += ' ' + std::to_string(input.seat);
    for (const LaidTile& t : input.play)
        text += ' ' + tileText(t);
    if (!input.text.empty())
        text += ' ' + input.text;
    if (input.kind == GameInput::Kind::TimePenalty)
        text += ' ' + std::to_string(input.points);
    return text;
}

std::optional<GameInput> parseInput(std::string_view line, int seats) {
    const std::vector<std::string_view> w = words(line);
    if (w.empty())
        return std::nullopt;
    GameInput input;
    const auto known = std::find_if(kWords.begin(), kWords.end(),
                                    [&](const auto& entry) { return entry.second == w[0]; });
    if (known == kWords.end())
        return std::nullopt;
    input.kind = known->first;
    std::size_t next = 1;
    if (hasSeat(input.kind)) {
        const auto seat = w.size() > 1 ? number(w[1]) : std::nullopt;
        if (!seat || *seat < 0 || *seat >= seats)
            return std::nullopt;
        input.seat = *seat;
        next = 2;
    }
    const std::size_t rest = w.size() - next;
    using Kind = GameInput::Kind;
    switch (input.kind) {
    case Kind::Play:
        for (; next < w.size(); ++next) {
            const auto tile = tileOf(w[next]);
            if (!tile)
                return std::nullopt;
            input.play.push_back(*tile);
        }
        return input.play.empty() ? std::nullopt : std::optional(input);
    case Kind::Exchange:
    case Kind::TakeSeat:
    case Kind::Rename:
        if (rest != 1)
            return std::nullopt;
        input.text = std::string(w[next]);
        return input;
    case Kind::TimePenalty: {
        const auto points = rest == 1 ? number(w[next]) : std::nullopt;
        if (!points || *points < 0)
            return std::nullopt;
        input.points = *points;
        return input;
    }
    default:
        return rest == 0 ? std::optional(input) : std::nullopt;
    }
}

std::optional<Refused> apply(Game& game, const GameInput& input) {
    using Kind = GameInput::Kind;
    const auto counted = [](bool yes) {
        return yes ? std::nullopt
                   : std::optional(Refused{Refusal::Turn, "there is nothing to vote on"});
    };
    switch (input.kind) {
    case Kind::Play:
        return game.play(input.seat, input.play);
    case Kind::Exchange:
        return game.exchange(input.seat, input.text);
    case Kind::Pass:
        return game.pass(input.seat);
    case Kind::Withdraw:
        return game.withdraw(input.seat);
    case Kind::Approve:
        return counted(game.approve(input.seat));
    case Kind::Challenge:
        return counted(game.challenge(input.seat));
    case Kind::VoteExpired:
        game.voteExpired();
        break;
    case Kind::Leave:
        game.leave(input.seat);
        break;
    case Kind::TakeSeat:
        game.takeSeat(input.seat, input.text);
        break;
    case Kind::Rename:
        game.rename(input.seat, input.text);
        break;
    case Kind::EndForLack:
        game.endForLackOfPlayers();
        break;
    case Kind::TimePenalty:
        game.setTimePenalty(input.seat, input.points);
        break;
    }
    return std::nullopt;
}

} // namespace wordmoot
