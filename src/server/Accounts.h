#pragma once

#include "server/accounts/Throttle.h"
#include "server/store/Store.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMultiHash>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace wordmoot::server {

class CommandRegistry;

class Lobby;
class User;

// Registered names, as nickname services keep them: REGISTER password keeps
// the name in use for its user; IDENTIFY password proves it on a later
// visit; PASSWORD old new changes it; DROP password lets the name go. A user
// who takes a registered name has --identify-seconds to prove it, and is
// then renamed to a guest. Wrong passwords are held back per name and per
// address. The store is read and written on its thread, and passwords are
// hashed on threads of their own: the answer applies only if the user is
// still there under the same name.
class Accounts : public QObject {
    Q_OBJECT
public:
    static constexpr int kMostFailures = 5; // wrong passwords a minute, per name and per address
    static constexpr int kMostChecks = 64;  // password hashes and checks waiting at once

    explicit Accounts(Lobby& lobby);
    ~Accounts() override;

    // REGISTER, IDENTIFY, PASSWORD and DROP.
    void addCommands(CommandRegistry& commands);
    // The user has taken its name; `old` is the one it had, empty for none.
    void named(User& u, const QByteArray& old);
    void gone(User& u);

    // Whether a name can never be registered: a robot's, or a guest's.
    static bool isUnregistrable(QByteArrayView name);
    // The registered name the name could be taken for, if it is not that
    // name itself: "Ian" when "lan" is wanted.
    std::optional<QByteArray> registeredLike(QByteArrayView name) const;
    // Where passwords are hashed and checked: a test may hold it up.
    QThreadPool& hashers() { return hashers_; }

private:
    void registerName(User& u, const QByteArray& arg);
    void identify(User& u, const QByteArray& arg);
    void changePassword(User& u, const QByteArray& arg);
    void dropAccount(User& u, const QByteArray& arg);

    // The name's hash, then whether the password matches it, then `then`
    // with the user, if still there under that name. A name held back by
    // wrong passwords is told so and not tried.
    void verify(User& u, const QByteArray& password, std::function<void(User&)> then);
    // Runs password work (a hash, a check) on the hashers, then `then` with
    // its result and the user, if still there under the same name. One at a
    // time for a user, and no more than kMostChecks in all: beyond, the user
    // is told to wait.
    template <class Result>
    void offThread(User& u, std::function<Result()> work, std::function<void(User&, Result)> then);
    // Hashes the password off the event loop, then `then` with the hash
    // (nullopt when none could be made).
    void hash(User& u, QByteArray password,
              std::function<void(User&, std::optional<QByteArray>)> then);
    // Runs the job on the store's thread, then `then` with its result and
    // the user, if still there under the same name.
    template <class Result>
    void onStore(User& u, std::function<Result(store::Store&)> job,
                 std::function<void(User&, Result)> then);
    User* current(quint64 serial, const QByteArray& name) const;
    void deadline(quint64 serial, const QByteArray& name, quint64 ticket, int ms,
                  int postponed = 0);
    void renameToGuest(User& u);
    bool held(const User& u);
    // Every registered name by its look, as the store lists them (the
    // other halls register too), and as this hall registers and drops them.
    using Looks = QMultiHash<QString, QByteArray>;
    static Looks looksOf(store::Store& store);
    void refreshLooks();
    void forget(const QByteArray& name);

    Lobby& lobby_;
    QElapsedTimer clock_;
    accounts::Throttle byName_;
    accounts::Throttle byAddress_;
    // Users with a registered name not proved yet, and the deadline's ticket.
    std::unordered_map<quint64, quint64> unproved_;
    quint64 tickets_ = 0;
    std::unordered_set<quint64> checking_; // users whose password is being checked
    std::unordered_set<quint64> claiming_; // users whose proved name the store is claiming
    int guests_ = 0;
    Looks registered_;
    QTimer refresh_;
    // Last, so that it goes first: it waits for the hashes that post here.
    QThreadPool hashers_;
};

} // namespace wordmoot::server
