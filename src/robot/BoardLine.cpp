#include "robot/BoardLine.h"

#include <bit>
#include <string>

namespace wordmoot {

namespace {

// The letters that make `before` + letter + `after` a word.
std::uint32_t crossCheck(const WordGraph& graph, std::string_view before, std::string_view after) {
    const WordGraph::Node prefix = graph.walk(WordGraph::kRoot, before);
    if (prefix == WordGraph::kNoNode)
        return 0;
    std::uint32_t allowed = 0;
    for (std::uint32_t letters = graph.letters(prefix); letters != 0; letters &= letters - 1) {
        const int letter = std::countr_zero(letters);
        const WordGraph::Node end =
            graph.walk(graph.child(prefix, static_cast<char>('A' + letter)), after);
        if (end != WordGraph::kNoNode && graph.isWord(end))
            allowed |= 1u << letter;
    }
    return allowed;
}

} // namespace

LineSquares lineSquares(const WordGraph& graph, const BoardLine& line, bool emptyBoard) {
    LineSquares squares;
    for (int position = 0; position < kBoardCells; ++position) {
        if (!line.at(position).isEmpty())
            continue;
        LineSquare& square = squares[position];
        if (emptyBoard) {
            square.anchor = line.index == kCentre && position == kCentre;
            continue;
        }
        const BoardLine cross = line.crossing(position);
        int first = line.index;
        int last = line.index;
        while (cross.occupied(first - 1))
            --first;
        while (cross.occupied(last + 1))
            ++last;
        if (first < last) {
            std::string before;
            std::string after;
            int value = 0;
            for (int at = first; at <= last; ++at) {
                if (at == line.index)
                    continue;
                (at < line.index ? before : after) += cross.at(at).letter;
                value += tileValue(cross.at(at));
            }
            square.allowed = crossCheck(graph, before, after);
            square.crossScore = value;
        }
        square.anchor = square.crossScore != kNoCrossWord || line.occupied(position - 1) ||
                        line.occupied(position + 1);
    }
    return squares;
}

} // namespace wordmoot
