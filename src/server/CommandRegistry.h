#pragma once

#include <QByteArray>

#include <functional>
#include <initializer_list>
#include <vector>

namespace wordmoot::server {

class User;

// Every command the server takes, in one table: its word, who may send it,
// what the help lists for it, and what answers it. The lobby, the rooms,
// the accounts, the standings and the halls each add their own; the lobby
// hands every line to dispatch().
class CommandRegistry {
public:
    // Who may send a command.
    enum class From {
        Anyone, // also before a name is taken: NAME, VERSION, QUIT
        Named,  // a user with a name, in the lobby or in a game
        InGame, // a user in a game; outside one it is told to JOIN one
    };
    using Handler = std::function<void(User&, const QByteArray& argument)>;

    // `help` is how the list of commands writes it ("beep NAME"); empty for
    // a command the list leaves out.
    void add(const char* word, From from, const char* help, Handler handler);
    // A command answered by a member of the part that owns it.
    template <class Owner>
    struct Member {
        const char* word;
        From from;
        const char* help;
        void (Owner::*handler)(User&, const QByteArray&);
    };
    template <class Owner>
    void add(Owner& owner, std::initializer_list<Member<Owner>> members) {
        for (const Member<Owner>& m : members)
            add(m.word, m.from, m.help, [&owner, h = m.handler](User& u, const QByteArray& arg) {
                (owner.*h)(u, arg);
            });
    }
    // Answers the command: its handler, or why the user may not send it,
    // or that no such command is known, with the list.
    void dispatch(User& u, const QByteArray& word, const QByteArray& argument) const;
    // Whether the word is a command of a game.
    bool isGameCommand(const QByteArray& word) const;
    // "SAY, TELL, EMOTE, who, ...": the commands the help lists, in the order
    // they were added.
    QByteArray helpList() const;

private:
    struct Command {
        QByteArray word;
        From from;
        QByteArray help;
        Handler handler;
    };
    const Command* find(const QByteArray& word) const;

    std::vector<Command> commands_;
};

} // namespace wordmoot::server
