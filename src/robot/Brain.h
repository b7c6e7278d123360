#pragma once

#include "robot/LeaveTable.h"

#include "robot/MoveGenerator.h"
#include "robot/WordGraph.h"
#include "shared/rules/WordList.h"

namespace wordmoot::robot {

// What every robot of a server (or of a self-play run) shares: the word list,
// its graph and generator, and the leave table. The list must outlive it.
class Brain {
public:
    Brain(const WordList& words, LeaveTable leaves);
    Brain(const Brain&) = delete;
    Brain& operator=(const Brain&) = delete;

    const WordList& words() const { return words_; }
    const MoveGenerator& generator() const { return generator_; }
    const LeaveTable& leaves() const { return leaves_; }

    // Whether every word the play forms on the board (the board before it)
    // is in the list, each blank being any letter that makes it so.
    bool knowsEveryWord(const Grid& before, const Play& play) const;

private:
    const WordList& words_;
    WordGraph graph_;
    MoveGenerator generator_;
    LeaveTable leaves_;
};

} // namespace wordmoot::robot
