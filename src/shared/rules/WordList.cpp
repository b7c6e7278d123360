#include "shared/rules/WordList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace wordmoot {

WordList::WordList(const std::vector<std::string>& words) {
    for (const std::string& word : words)
        if (auto upper = folded(word))
            words_.push_back(std::move(*upper));
    sortAndUnique();
}

std::optional<WordList> WordList::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    WordList list;
    const QByteArray bytes = file.readAll();
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        qsizetype stop = end;
        if (stop > start && bytes[stop - 1] == '\r')
            --stop;
        if (auto upper = folded(std::string_view(bytes.constData() + start, stop - start)))
            list.words_.push_back(std::move(*upper));
        start = end + 1;
    }
    list.sortAndUnique();
    return list;
}

bool WordList::contains(std::string_view upperWord) const {
    return std::binary_search(words_.begin(), words_.end(), upperWord,
                              [](std::string_view a, std::string_view b) { return a < b; });
}

bool WordList::accepts(std::string_view word) const {
    const auto upper = folded(word);
    return upper && contains(*upper);
}

std::optional<std::string> WordList::folded(std::string_view word) {
    if (word.empty())
        return std::nullopt;
    std::string upper(word);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c < 'A' || c > 'Z')
            return std::nullopt;
    }
    return upper;
}

DefaultWordList defaultWordList() {
    const QString own = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                        QStringLiteral("/../share/wordmoot/words.txt"));
    if (QFile::exists(own))
        return {own, false, own};
    if (QFile::exists(kSystemWordList))
        return {kSystemWordList, true, own};
    return {QString(), true, own};
}

void WordList::sortAndUnique() {
    std::sort(words_.begin(), words_.end());
    words_.erase(std::unique(words_.begin(), words_.end()), words_.end());
}

} // namespace wordmoot
