#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The word list as a directed acyclic word graph (Appel and Jacobson, 1988):
// a letter tree whose equal subtrees are shared, so the list's common endings
// are stored once. The move generator walks it letter by letter; a node is a
// prefix of at least one word.
namespace wordmoot {

class WordGraph {
public:
    using Node = std::uint32_t;
    static constexpr Node kRoot = 0;
    static constexpr Node kNoNode = UINT32_MAX;
    static constexpr std::uint32_t kAllLetters = (1u << 26) - 1;

    // Words of upper-case A to Z; any other word is left out. Sorted, unique
    // input (a word list's own order) is built without a copy.
    explicit WordGraph(const std::vector<std::string>& words);

    // The letters that continue the prefix at a node: bit 0 for 'A'.
    std::uint32_t letters(Node node) const { return masks_[node] & kAllLetters; }
    // Whether the prefix at a node is itself a word.
    bool isWord(Node node) const { return (masks_[node] & kWordBit) != 0; }
    // The node one letter ('A' to 'Z') further on, or kNoNode.
    Node child(Node node, char letter) const {
        const std::uint32_t mask = masks_[node];
        const std::uint32_t bit = 1u << (letter - 'A');
        if ((mask & bit) == 0)
            return kNoNode;
        return edges_[firstEdge_[node] + std::popcount(mask & (bit - 1))];
    }
    // The node after a run of letters from a node, or kNoNode.
    Node walk(Node from, std::string_view letters) const;
    bool contains(std::string_view word) const;

    std::size_t nodeCount() const { return masks_.size(); }
    std::size_t edgeCount() const { return edges_.size(); }
    std::size_t bytes() const;

private:
    static constexpr std::uint32_t kWordBit = 1u << 26;

    std::vector<std::uint32_t> masks_;     // per node: its letters and kWordBit
    std::vector<std::uint32_t> firstEdge_; // per node: its first edge
    std::vector<Node> edges_;              // children, in letter order per node
};

} // namespace wordmoot
