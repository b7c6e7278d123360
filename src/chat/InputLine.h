#pragma once

#include "session/ClientView.h"

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
// A raw IDENTIFY, REGISTER, PASSWORD or DROP carries passwords: its echo
// shows each argument as "********", and "\identify PASSWORD" typed as one
// word names the command itself rather than sending the password raw.
std::optional<Outgoing> commandFor(const QString& line);

// Whether the input history may keep the line: not when it carries a password.
bool keptInHistory(const QString& line);

// Sends a finished line: its echo goes to the log and a new nickname is taken
// on at once. False when the line is unfinished and stays for the user.
bool sendLine(ClientContext& client, const QString& line);

} // namespace wordmoot::chat
