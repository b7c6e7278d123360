#pragma once

#include "client/session/ClientView.h"

#include <QString>

#include <optional>

// The chat input line, in the manner of a small relay chat client: a prefix
// character typed into an empty line becomes a command word, and a finished
// line becomes one command to the server.
namespace wordmoot::chat {

// What the line becomes after a change, when a single prefix character has
// been typed into a line that was empty or one character long.
std::optional<QString> expansion(const QString& text, int lastLength);

struct Outgoing {
    QString command;                    // the line for the server
    QString echo;                       // shown in the log at once, if not empty
    std::optional<QString> newNickname; // the user takes this nickname now
    bool secret = false; // it carries a password: not kept in the input history
};

// The command a finished line sends: "/" says, ">", "!" and "." tell, ":"
// emotes, "," and "<" change the nickname, "\" sends the rest raw, and
// anything else is said whole. Nothing for an empty or unfinished line.
// "\word rest" pasted whole sends "word rest", and "raw" typed again after
// the "\raw " the backslash became is dropped, so that a command printed
// as "\robot champion" or "\raw robot champion" works typed or pasted.
// A raw IDENTIFY, REGISTER, PASSWORD or DROP carries passwords, in any case
// and however typed: its echo shows each argument as "********".
std::optional<Outgoing> commandFor(const QString& line);

// Whether the line carries a password: it shows as dots while typed, and the
// input history does not keep it.
bool carriesPassword(const QString& line);

// Sends a finished line: its echo goes to the log and a new nickname is taken
// on at once. False when the line is unfinished and stays for the user.
bool sendLine(ClientContext& client, const QString& line);

} // namespace wordmoot::chat
