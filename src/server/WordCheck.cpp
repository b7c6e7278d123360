#include "server/WordCheck.h"

#include "shared/rules/Board.h"

#include <algorithm>

namespace wordmoot::server {

QByteArray verdicts(const WordList& words, const QStringList& check) {
    QByteArray text;
    for (const QString& word : check)
        text += word.toUtf8() + (words.accepts(word.toStdString()) ? " valid\n" : " invalid\n");
    return text;
}

QByteArray checkNotice(const WordList& words, QByteArrayView word) {
    constexpr qsizetype kShown = kBoardCells + 1; // one letter past the longest playable word
    QByteArray shown = word.first(std::min(word.size(), kShown)).toByteArray().toUpper();
    if (word.size() > kShown)
        shown += "...";
    const bool valid = words.accepts(std::string_view(word.data(), word.size()));
    return shown + (valid ? " is in the word list" : " is not in the word list");
}

} // namespace wordmoot::server
