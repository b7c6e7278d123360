#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wordmoot {

// The words plays are judged against: upper case, the letters A to Z only,
// sorted and without repeats. A file gives one word a line; a line holding
// anything but the letters a to z in either case (a name's apostrophe, an
// accented letter, a blank) is skipped, as is an empty one.
class WordList {
public:
    WordList() = default;
    // Made from words in any case; words that are not all letters are left out.
    explicit WordList(const std::vector<std::string>& words);

    // The list in the file, or nullopt when the file cannot be read.
    static std::optional<WordList> load(const QString& path);

    bool contains(std::string_view upperWord) const;
    // Whether a word in any case is in the list; false for one that is not
    // all letters.
    bool accepts(std::string_view word) const;
    const std::vector<std::string>& words() const { return words_; }
    bool isEmpty() const { return words_.empty(); }

    // The word in upper case when it is made of letters alone.
    static std::optional<std::string> folded(std::string_view word);

private:
    void sortAndUnique();

    std::vector<std::string> words_;
};

// The list the programs load when told of none: the game's own, which the
// build and an installation lay out as share/wordmoot/words.txt beside the
// programs' folder; else, as a fallback, the system's dictionary.
struct DefaultWordList {
    QString path;          // empty when neither is there
    bool fellBack = false; // the game's own list is missing
    QString expected;      // where the game's own list was looked for
};
DefaultWordList defaultWordList();
inline constexpr const char* kSystemWordList = "/usr/share/dict/words";

} // namespace wordmoot
