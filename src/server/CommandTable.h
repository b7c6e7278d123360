#pragma once

#include <QByteArray>

#include <utility>
#include <vector>

namespace wordmoot::server {

class User;

// A part of the server's commands, each word with the member that answers it.
template <class Owner>
using CommandTable =
    std::vector<std::pair<const char*, void (Owner::*)(User&, const QByteArray&)>>;

// Answers the word with its member; false for a word not in the table.
template <class Owner>
bool dispatch(Owner& owner, const CommandTable<Owner>& table, User& u, const QByteArray& word,
              const QByteArray& arg) {
    for (const auto& [known, handler] : table)
        if (word == known) {
            (owner.*handler)(u, arg);
            return true;
        }
    return false;
}

} // namespace wordmoot::server
