#pragma once

#include "shared/rules/WordList.h"

#include <QByteArray>
#include <QStringList>

// Judging words outside a game: for `wordmoot-server --check` and for the
// CHECK command, so a player or a club director can look a word up.
namespace wordmoot::server {

// "QI valid" or "QX invalid", a line each, the words as given.
QByteArray verdicts(const WordList& words, const QStringList& check);

// "QI is in the word list" or "QX is not in the word list", the word upper-cased
// and cut to the length of the longest word a board holds.
QByteArray checkNotice(const WordList& words, QByteArrayView word);

} // namespace wordmoot::server
