#include "shared/rules/Scoring.h"

#include <algorithm>

namespace wordmoot {

namespace {

struct Step {
    int column;
    int row;
};
constexpr Step kAcross{1, 0};
constexpr Step kDown{0, 1};

// The board with the play's tiles laid on it.
Grid withPlay(Grid board, const Play& play) {
    lay(board, play);
    return board;
}

bool occupied(const Grid& grid, int column, int row) {
    return Grid::onBoard(column, row) && !grid.at(column, row).isEmpty();
}

bool isNew(const Play& play, int column, int row) {
    return std::any_of(play.begin(), play.end(),
                       [&](const LaidTile& t) { return t.column == column && t.row == row; });
}

// The word through (column, row) along the step on the laid board; letters
// empty when that is a single tile.
FormedWord wordThrough(const Grid& laid, const Play& play, int column, int row, Step step) {
    while (occupied(laid, column - step.column, row - step.row)) {
        column -= step.column;
        row -= step.row;
    }
    FormedWord word{{}, column, row, step.column == 1, 0};
    int letters = 0;
    int factor = 1;
    for (; occupied(laid, column, row); column += step.column, row += step.row) {
        const Tile& tile = laid.at(column, row);
        word.letters += tile.letter;
        int value = tileValue(tile);
        if (isNew(play, column, row)) {
            switch (premium(column, row)) {
            case Premium::DoubleLetter:
                value *= 2;
                break;
            case Premium::TripleLetter:
                value *= 3;
                break;
            case Premium::DoubleWord:
                factor *= 2;
                break;
            case Premium::TripleWord:
                factor *= 3;
                break;
            case Premium::Plain:
                break;
            }
        }
        letters += value;
    }
    if (word.letters.size() < 2)
        word.letters.clear();
    word.score = letters * factor;
    return word;
}

Step mainStep(const Grid& laid, const Play& play) {
    if (play.size() > 1)
        return play[0].row == play[1].row ? kAcross : kDown;
    const LaidTile& t = play.front();
    return occupied(laid, t.column - 1, t.row) || occupied(laid, t.column + 1, t.row) ? kAcross
                                                                                      : kDown;
}

} // namespace

PlacementFault checkPlacement(const Grid& board, const Play& play) {
    if (play.empty())
        return PlacementFault::NoTiles;
    for (std::size_t i = 0; i < play.size(); ++i) {
        const LaidTile& t = play[i];
        if (!Grid::onBoard(t.column, t.row))
            return PlacementFault::OffBoard;
        if (!board.at(t.column, t.row).isEmpty())
            return PlacementFault::CellTaken;
        for (std::size_t j = 0; j < i; ++j)
            if (play[j].column == t.column && play[j].row == t.row)
                return PlacementFault::SameCellTwice;
    }
    const bool oneRow = std::all_of(play.begin(), play.end(),
                                    [&](const LaidTile& t) { return t.row == play[0].row; });
    const bool oneColumn = std::all_of(
        play.begin(), play.end(), [&](const LaidTile& t) { return t.column == play[0].column; });
    if (!oneRow && !oneColumn)
        return PlacementFault::NotInLine;
    const Grid laid = withPlay(board, play);
    const auto [low, high] =
        std::minmax_element(play.begin(), play.end(), [&](const LaidTile& a, const LaidTile& b) {
            return oneRow ? a.column < b.column : a.row < b.row;
        });
    for (int c = low->column, r = low->row; c <= high->column && r <= high->row;
         c += oneRow ? 1 : 0, r += oneRow ? 0 : 1)
        if (!occupied(laid, c, r))
            return PlacementFault::Gap;
    if (board.isEmpty()) {
        if (!isNew(play, kCentre, kCentre))
            return PlacementFault::FirstOffCentre;
        return play.size() < 2 ? PlacementFault::FirstTooShort : PlacementFault::None;
    }
    for (const LaidTile& t : play)
        for (const Step s : {kAcross, kDown})
            if (occupied(board, t.column - s.column, t.row - s.row) ||
                occupied(board, t.column + s.column, t.row + s.row))
                return PlacementFault::None;
    return PlacementFault::NotTouching;
}

bool isCellFault(PlacementFault fault) {
    return fault == PlacementFault::OffBoard || fault == PlacementFault::CellTaken ||
           fault == PlacementFault::SameCellTwice;
}

const char* describe(PlacementFault fault) {
    switch (fault) {
    case PlacementFault::None:
        return "the play is well placed";
    case PlacementFault::NoTiles:
        return "the play lays no tile";
    case PlacementFault::OffBoard:
        return "a tile lies off the board";
    case PlacementFault::CellTaken:
        return "a tile lies on a cell that is taken";
    case PlacementFault::SameCellTwice:
        return "two tiles lie on one cell";
    case PlacementFault::NotInLine:
        return "the tiles are not in one row or one column";
    case PlacementFault::Gap:
        return "there is a gap between the tiles";
    case PlacementFault::FirstOffCentre:
        return "the first play must cover the centre square";
    case PlacementFault::FirstTooShort:
        return "the first play must lay at least two tiles";
    case PlacementFault::NotTouching:
        return "the play must touch a tile already on the board";
    }
    return "the play is not well placed";
}

std::vector<FormedWord> formedWords(const Grid& board, const Play& play) {
    std::vector<FormedWord> words;
    if (play.empty())
        return words;
    const Grid laid = withPlay(board, play);
    const Step main = mainStep(laid, play);
    const Step cross = main.column == 1 ? kDown : kAcross;
    FormedWord first = wordThrough(laid, play, play[0].column, play[0].row, main);
    if (!first.letters.empty())
        words.push_back(std::move(first));
    for (const LaidTile& t : play) {
        FormedWord word = wordThrough(laid, play, t.column, t.row, cross);
        if (!word.letters.empty())
            words.push_back(std::move(word));
    }
    return words;
}

std::string playWords(const Grid& board, const Play& play) {
    Grid before = board;
    for (const LaidTile& t : play)
        if (Grid::onBoard(t.column, t.row))
            before.at(t.column, t.row) = Tile{};
    if (checkPlacement(before, play) != PlacementFault::None)
        return {};
    const Grid laid = withPlay(before, play);
    std::string text;
    for (const FormedWord& word : formedWords(before, play)) {
        if (!text.empty())
            text += ", ";
        const Step step = word.across ? kAcross : kDown;
        for (std::size_t i = 0; i < word.letters.size(); ++i)
            text += cellText(laid.at(word.column + step.column * int(i),
                                     word.row + step.row * int(i)));
    }
    return text;
}

int scorePlay(const Grid& board, const Play& play) {
    int total = 0;
    for (const FormedWord& word : formedWords(board, play))
        total += word.score;
    if (play.size() == static_cast<std::size_t>(kRackSlots))
        total += kAllTilesBonus;
    return total;
}

std::optional<Play> blanksNamedForWords(const Grid& board, const Play& play,
                                        const WordList* words) {
    const auto allKnown = [&](const Play& named) {
        const auto formed = formedWords(board, named);
        return std::all_of(formed.begin(), formed.end(), [&](const FormedWord& w) {
            return words && words->contains(w.letters);
        });
    };
    std::vector<std::size_t> blanks;
    for (std::size_t i = 0; i < play.size(); ++i)
        if (play[i].tile.letter == kUnnamedBlank)
            blanks.push_back(i);
    Play named = play;
    for (const std::size_t i : blanks)
        named[i].tile.letter = 'A';
    while (!allKnown(named)) {
        std::size_t k = blanks.size();
        while (k > 0 && named[blanks[k - 1]].tile.letter == 'Z')
            named[blanks[--k]].tile.letter = 'A';
        if (k == 0)
            return std::nullopt;
        ++named[blanks[k - 1]].tile.letter;
    }
    return named;
}

} // namespace wordmoot
