#pragma once

#include <QPoint>

#include <vector>

namespace wordmoot {

// The cells of the last play on the board, marked until the next one. The
// cells a play fills come as board rows or as a play put to the vote; the
// next turn closes the play, and the next cell filled after that starts a new
// one. Cells filled that do not lie in one line are no play (a board sent
// whole, as to a user who joins a game under way) and nothing is marked.
class LastPlay {
public:
    void cellFilled(QPoint cell);
    // A tile taken off the board (a play that was withdrawn or not approved).
    void cellEmptied(QPoint cell);
    // The turn has passed: the play, if any, is complete.
    void turnPassed() { closed_ = true; }

    // The cells to mark, in the order they were filled.
    const std::vector<QPoint>& cells() const { return inOneLine() ? cells_ : none_; }
    bool marks(QPoint cell) const;

private:
    bool inOneLine() const;

    std::vector<QPoint> cells_;
    bool closed_ = true;
    static inline const std::vector<QPoint> none_{};
};

} // namespace wordmoot
