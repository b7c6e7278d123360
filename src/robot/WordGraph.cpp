#include "robot/WordGraph.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace wordmoot {

namespace {

bool isUpperCaseWord(std::string_view word) {
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// Builds the smallest graph from words in increasing order, one word at a time
// (Daciuk, Mihov, Watson and Watson, 2000): once a word has gone by, the nodes
// of its ending that the next word does not share can no longer change, so
// each is replaced by an equal node met before, or kept as the first of its
// kind.
class Builder {
public:
    void add(std::string_view word) {
        if (!isUpperCaseWord(word) || (!last_.empty() && word <= last_))
            return;
        const std::size_t shared =
            std::mismatch(word.begin(), word.end(), last_.begin(), last_.end()).first -
            word.begin();
        settleBelow(shared);
        for (char letter : word.substr(shared)) {
            const std::uint32_t next = newDraft();
            drafts_[path_.back()].children.emplace_back(letter, next);
            path_.push_back(next);
        }
        drafts_[path_.back()].word = true;
        last_ = word;
    }

    // Settles the last word and lays the graph out as three arrays, root first.
    void finish(std::vector<std::uint32_t>& masks, std::vector<std::uint32_t>& firstEdge,
                std::vector<WordGraph::Node>& edges, std::uint32_t wordBit) {
        settleBelow(0);
        std::vector<std::uint32_t> number(drafts_.size(), WordGraph::kNoNode);
        std::vector<std::uint32_t> order{0};
        number[0] = 0;
        for (std::size_t i = 0; i < order.size(); ++i)
            for (const auto& [letter, child] : drafts_[order[i]].children)
                if (number[child] == WordGraph::kNoNode) {
                    number[child] = static_cast<std::uint32_t>(order.size());
                    order.push_back(child);
                }
        for (std::uint32_t old : order) {
            const Draft& draft = drafts_[old];
            std::uint32_t mask = draft.word ? wordBit : 0;
            firstEdge.push_back(static_cast<std::uint32_t>(edges.size()));
            for (const auto& [letter, child] : draft.children) {
                mask |= 1u << (letter - 'A');
                edges.push_back(number[child]);
            }
            masks.push_back(mask);
        }
    }

private:
    struct Draft {
        bool word = false;
        std::vector<std::pair<char, std::uint32_t>> children; // in letter order
    };

    std::uint32_t newDraft() {
        if (!free_.empty()) {
            const std::uint32_t reused = free_.back();
            free_.pop_back();
            return reused;
        }
        drafts_.emplace_back();
        return static_cast<std::uint32_t>(drafts_.size() - 1);
    }

    // Every node on the last word's path deeper than `depth`, deepest first,
    // is merged with an equal settled node or becomes one.
    void settleBelow(std::size_t depth) {
        for (std::size_t d = path_.size() - 1; d > depth; --d) {
            const std::uint32_t node = path_[d];
            const auto [found, isNew] = settled_.try_emplace(signature(drafts_[node]), node);
            if (!isNew) {
                drafts_[path_[d - 1]].children.back().second = found->second;
                drafts_[node] = Draft{};
                free_.push_back(node);
            }
        }
        path_.resize(depth + 1);
    }

    // Two settled nodes are equal when they agree on being a word and on each
    // letter's child, the children being settled already.
    static std::string signature(const Draft& draft) {
        std::string key(1, draft.word ? '1' : '0');
        for (const auto& [letter, child] : draft.children) {
            key += letter;
            key.append(reinterpret_cast<const char*>(&child), sizeof child);
        }
        return key;
    }

    std::vector<Draft> drafts_{Draft{}}; // the root is draft 0
    std::vector<std::uint32_t> free_;
    std::vector<std::uint32_t> path_{0}; // path_[i]: the node after i letters of last_
    std::string last_;
    std::unordered_map<std::string, std::uint32_t> settled_;
};

} // namespace

WordGraph::WordGraph(const std::vector<std::string>& words) {
    Builder builder;
    if (std::is_sorted(words.begin(), words.end())) {
        for (const std::string& word : words)
            builder.add(word);
    } else {
        std::vector<std::string> sorted = words;
        std::sort(sorted.begin(), sorted.end());
        for (const std::string& word : sorted)
            builder.add(word);
    }
    builder.finish(masks_, firstEdge_, edges_, kWordBit);
}

WordGraph::Node WordGraph::walk(Node from, std::string_view letters) const {
    Node node = from;
    for (char letter : letters) {
        if (letter < 'A' || letter > 'Z')
            return kNoNode;
        node = child(node, letter);
        if (node == kNoNode)
            return kNoNode;
    }
    return node;
}

bool WordGraph::contains(std::string_view word) const {
    const Node node = walk(kRoot, word);
    return node != kNoNode && isWord(node);
}

std::size_t WordGraph::bytes() const {
    return (masks_.capacity() + firstEdge_.capacity() + edges_.capacity()) * sizeof(std::uint32_t);
}

} // namespace wordmoot
