#include "server/Accounts.h"

#include "server/accounts/Names.h"
#include "server/accounts/PasswordHash.h"
#include "shared/protocol/ReplyCode.h"
#include "server/CommandRegistry.h"
#include "server/EventLog.h"
#include "server/Halls.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/Room.h"
#include "server/User.h"

#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

namespace wordmoot::server {

using store::Store;

namespace {
constexpr qint64 kMinute = 60 * 1000;

// A password is one word: the blank ends it.
bool isPassword(const QByteArray& word) {
    return word.size() >= accounts::kShortestPassword && !word.contains(' ');
}

const QByteArray kUnreachable = "The accounts cannot be reached now: try again later";

// A store failure on an account, as the log has it.
void logStoreFailure(const char* operation, const QByteArray& name, const QString& why) {
    logLine(field("event", "store-failed") + ' ' + field("operation", operation) + ' ' +
            field("account", name) + ' ' +
            field("reason", why.isEmpty() ? QByteArray("the store cannot say") : why.toUtf8()));
}

const QByteArray kPasswordRule = "A password is one word of " +
                                 QByteArray::number(accounts::kShortestPassword) +
                                 " bytes or more";

// A hash takes a tenth of a second of a core and the memory bus on purpose.
// Its thread runs a little below the thread that answers users (nice 5: a
// third of its share of a busy core), so the users are answered first, and
// yet it is never starved: beside other busy programs a login still takes a
// second or two, where at the idle class it waited as long as they ran.
void yieldToUsers() {
    constexpr int kNiceness = 5;
    thread_local bool lowered = false;
    if (!std::exchange(lowered, true))
        ::setpriority(PRIO_PROCESS, id_t(::gettid()), kNiceness); // where it may not, as it was
}
} // namespace

Accounts::Accounts(Lobby& lobby)
    : lobby_(lobby)
    , byName_(kMostFailures, kMinute)
    , byAddress_(kMostFailures, kMinute) {
    clock_.start();
    // Each hash holds 64 MB and the memory bus while it runs: a core is left
    // to the thread that answers users.
    hashers_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    // At start, before anyone is served; then now and again on the store's thread.
    registered_ = lobby_.store().wait<Looks>(&Accounts::looksOf);
    refresh_.setInterval(std::chrono::minutes(1));
    connect(&refresh_, &QTimer::timeout, this, &Accounts::refreshLooks);
    refresh_.start();
}

Accounts::Looks Accounts::looksOf(Store& store) {
    Looks looks;
    for (const QByteArray& name : store.accountNames())
        looks.insert(accounts::lookOf(name), name);
    return looks;
}

void Accounts::refreshLooks() {
    lobby_.store().ask<Looks>(this, &Accounts::looksOf,
                              [this](Looks looks) { registered_ = std::move(looks); });
}

// By its folding: "ian" drops the account "Ian", whose look is another's.
void Accounts::forget(const QByteArray& name) {
    registered_.removeIf([wanted = accounts::folded(name)](Looks::iterator at) {
        return accounts::folded(*at) == wanted;
    });
}

std::optional<QByteArray> Accounts::registeredLike(QByteArrayView name) const {
    std::optional<QByteArray> like;
    const QByteArray wanted = accounts::folded(name);
    const auto [first, last] = registered_.equal_range(accounts::lookOf(name));
    for (auto at = first; at != last; ++at) {
        if (accounts::folded(*at) == wanted)
            return std::nullopt; // the name itself
        like = *at;
    }
    return like;
}

Accounts::~Accounts() {
    hashers_.waitForDone();
}

bool Accounts::isUnregistrable(QByteArrayView name) {
    const QByteArray lower = accounts::folded(name);
    if (lower.startsWith("guest"))
        return std::all_of(lower.begin() + 5, lower.end(), [](char c) { return c >= '0' && c <= '9'; });
    return accounts::isRobotName(name);
}

void Accounts::addCommands(CommandRegistry& commands) {
    using From = CommandRegistry::From;
    commands.add<Accounts>(*this, {
        {"REGISTER", From::Named, "", &Accounts::registerName},
        {"IDENTIFY", From::Named, "", &Accounts::identify},
        {"PASSWORD", From::Named, "", &Accounts::changePassword},
        {"DROP", From::Named, "", &Accounts::dropAccount},
    });
}

User* Accounts::current(quint64 serial, const QByteArray& name) const {
    User* u = lobby_.bySerial(serial);
    return u && !u->isClosing() && u->name == name ? u : nullptr;
}

template <class Result>
void Accounts::onStore(User& u, std::function<Result(Store&)> job,
                       std::function<void(User&, Result)> then) {
    lobby_.askFor<Result>(u, std::move(job),
                          [name = u.name, then = std::move(then)](User& u, Result result) {
                              if (u.name == name)
                                  then(u, std::move(result));
                          });
}

template <class Result>
void Accounts::offThread(User& u, std::function<Result()> work,
                         std::function<void(User&, Result)> then) {
    if (checking_.contains(u.serial))
        return u.send(ReplyCode::Notice,
                      "A password of yours is being checked: wait for its answer");
    if (int(checking_.size()) >= kMostChecks)
        return u.send(ReplyCode::Notice,
                      "The server is busy checking passwords: try again in a moment");
    checking_.insert(u.serial);
    hashers_.start([this, serial = u.serial, name = u.name, work = std::move(work),
                    then = std::move(then)] {
        yieldToUsers();
        Result result = work();
        QMetaObject::invokeMethod(this, [this, serial, name, then, result = std::move(result)] {
            checking_.erase(serial);
            if (User* still = current(serial, name))
                then(*still, result);
        });
    });
}

void Accounts::hash(User& u, QByteArray password,
                    std::function<void(User&, std::optional<QByteArray>)> then) {
    offThread<std::optional<QByteArray>>(
        u, [password] { return accounts::hashPassword(password); }, std::move(then));
}

bool Accounts::held(const User& u) {
    const qint64 now = clock_.elapsed();
    return byName_.held(accounts::folded(u.name), now) ||
           (!u.address.isEmpty() && byAddress_.held(u.address, now));
}

void Accounts::verify(User& u, const QByteArray& password, std::function<void(User&)> then) {
    if (held(u))
        return u.send(ReplyCode::Notice,
                      "Too many wrong passwords: wait a minute and try again");
    // Empty when the store could not be asked.
    using Found = std::optional<std::optional<QByteArray>>;
    onStore<Found>(
        u,
        [name = u.name](Store& store) -> Found {
            auto hash = store.passwordHash(name);
            return hash || store.reachable() ? Found(hash) : std::nullopt;
        },
        [this, password, then = std::move(then)](User& u, Found found) {
            if (!found)
                return u.send(ReplyCode::Notice, kUnreachable);
            const std::optional<QByteArray>& stored = *found;
            if (!stored)
                return u.send(ReplyCode::Notice,
                              u.name + " is not registered: REGISTER a password to keep it");
            offThread<bool>(
                u, [stored = *stored, password] { return accounts::passwordMatches(stored, password); },
                [this, then](User& u, bool matches) {
                    if (matches)
                        return then(u);
                    byName_.failed(accounts::folded(u.name), clock_.elapsed());
                    if (!u.address.isEmpty())
                        byAddress_.failed(u.address, clock_.elapsed());
                    u.send(ReplyCode::Notice, "Wrong password for " + u.name);
                });
        });
}

void Accounts::registerName(User& u, const QByteArray& arg) {
    if (isUnregistrable(u.name))
        return u.send(ReplyCode::Notice,
                      u.name + " cannot be registered: take another name first");
    if (const auto like = registeredLike(u.name))
        return u.send(ReplyCode::Notice,
                      u.name + " cannot be registered: it looks too like " + *like);
    if (!isPassword(arg))
        return u.send(ReplyCode::Notice, kPasswordRule + ": REGISTER password");
    hash(u, arg, [this](User& u, std::optional<QByteArray> hash) {
        if (!hash)
            return u.send(ReplyCode::Notice, "No account can be made now: try again later");
        // The new account is this hall's at once, in the same job: no other
        // hall can take the name in between. A name is "registered already"
        // only when the store says it holds it: a store that fails says so.
        enum class Made { Registered, Taken, Unclaimed, Failed };
        onStore<Made>(
            u,
            [name = u.name, hash = *hash, hall = lobby_.halls().name(),
             since = Halls::now() - Halls::kAliveSeconds](Store& store) {
                if (!store.createAccount(name, hash)) {
                    const QString why = store.lastError();
                    if (store.passwordHash(name))
                        return Made::Taken;
                    logStoreFailure("register", name, why);
                    return Made::Failed;
                }
                const store::Claim claim = store.claim(name, hall, since);
                switch (claim.outcome) {
                case store::Claim::Outcome::Claimed:
                    return Made::Registered;
                case store::Claim::Outcome::Held:
                    return Made::Taken;
                case store::Claim::Outcome::Failed:
                    break;
                }
                logStoreFailure("claim", name, claim.why);
                return Made::Unclaimed;
            },
            [this](User& u, Made made) {
                if (made == Made::Failed)
                    return u.send(ReplyCode::Notice, kUnreachable);
                if (made == Made::Taken)
                    return u.send(ReplyCode::Notice, u.name + " is registered already");
                registered_.insert(accounts::lookOf(u.name), u.name);
                if (made == Made::Unclaimed)
                    return u.send(ReplyCode::Notice,
                                  u.name + " is registered, but the store cannot hold it for "
                                           "this hall now: IDENTIFY with its password in a moment");
                u.identified = true;
                unproved_.erase(u.serial);
                u.send(ReplyCode::Notice, u.name + " is registered to you: IDENTIFY with its "
                                                   "password when you come back");
            });
    });
}

void Accounts::identify(User& u, const QByteArray& arg) {
    if (u.identified)
        return u.send(ReplyCode::Notice, "You are identified as " + u.name + " already");
    if (arg.isEmpty())
        return u.send(ReplyCode::Notice, "IDENTIFY password proves the name is yours");
    verify(u, arg, [this](User& u) {
        claiming_.insert(u.serial);
        lobby_.halls().claim(u.name, [this, serial = u.serial,
                                      name = u.name](const store::Claim& claim) {
            claiming_.erase(serial);
            User* u = current(serial, name);
            if (!u || u->identified)
                return;
            if (claim.outcome == store::Claim::Outcome::Failed) {
                logStoreFailure("claim", name, claim.why);
                return u->send(ReplyCode::Notice, kUnreachable);
            }
            if (claim.outcome == store::Claim::Outcome::Held)
                return u->send(ReplyCode::Notice,
                               name + " is in hall " + claim.hall + " now: it cannot be here too");
            u->identified = true;
            unproved_.erase(serial);
            u->send(ReplyCode::Notice, "You are identified as " + name);
            if (u->room)
                u->room->proved(*u);
        });
    });
}

void Accounts::changePassword(User& u, const QByteArray& arg) {
    const qsizetype blank = arg.indexOf(' ');
    const QByteArray old = arg.left(blank), fresh = blank < 0 ? QByteArray() : arg.mid(blank + 1);
    if (!u.identified)
        return u.send(ReplyCode::Notice, "IDENTIFY first: PASSWORD old new changes your password");
    if (!isPassword(fresh))
        return u.send(ReplyCode::Notice, kPasswordRule + ": PASSWORD old new");
    verify(u, old, [this, fresh](User& u) {
        hash(u, fresh, [this](User& u, std::optional<QByteArray> hash) {
            if (!hash)
                return u.send(ReplyCode::Notice, "The password cannot be changed now: try again later");
            onStore<bool>(
                u, [name = u.name, hash = *hash](Store& store) { return store.setPasswordHash(name, hash); },
                [](User& u, bool changed) {
                    u.send(ReplyCode::Notice, changed ? "Your password is changed"
                                                      : "The password cannot be changed now");
                });
        });
    });
}

void Accounts::dropAccount(User& u, const QByteArray& arg) {
    if (!u.identified)
        return u.send(ReplyCode::Notice, "IDENTIFY first: DROP password ends your account");
    verify(u, arg, [this](User& u) {
        onStore<bool>(
            u, [name = u.name](Store& store) { return store.dropAccount(name); },
            [this](User& u, bool dropped) {
                if (!dropped)
                    return u.send(ReplyCode::Notice, "The account cannot be dropped now");
                u.identified = false;
                forget(u.name);
                lobby_.halls().release(u.name);
                u.send(ReplyCode::Notice, u.name + " is no longer registered");
            });
    });
}

void Accounts::named(User& u, const QByteArray& old) {
    if (!old.isEmpty() && accounts::folded(old) == accounts::folded(u.name))
        return; // the same name in another case: as proved as it was
    if (std::exchange(u.identified, false))
        lobby_.halls().release(old);
    unproved_.erase(u.serial);
    if (isUnregistrable(u.name))
        return;
    // Empty when the store could not be asked: the name is used unchecked.
    onStore<std::optional<bool>>(
        u,
        [name = u.name](Store& store) -> std::optional<bool> {
            if (store.passwordHash(name))
                return true;
            return store.reachable() ? std::optional(false) : std::nullopt;
        },
        [this](User& u, std::optional<bool> registered) {
            if (!registered)
                return u.send(ReplyCode::Notice, "The accounts cannot be reached now: whether " +
                                                     u.name + " is registered is not known");
            if (!*registered)
                return;
            lobby_.halls().holder(u.name, [this, serial = u.serial, name = u.name](
                                              std::optional<QByteArray> elsewhere) {
                User* u = current(serial, name);
                if (!u || u->identified)
                    return;
                if (elsewhere) {
                    u->send(ReplyCode::Notice, name + " is in hall " + *elsewhere + " now");
                    return renameToGuest(*u);
                }
                const quint64 ticket = ++tickets_;
                unproved_[serial] = ticket;
                const int seconds = lobby_.options().identifySeconds;
                u->send(ReplyCode::Notice,
                        name + " is registered: IDENTIFY with its password within " +
                            QByteArray::number(seconds) + " seconds, or you will be renamed");
                deadline(serial, name, ticket, seconds * 1000);
            });
        });
}

// Once the time is up, a user that has not proved its name is renamed. A
// proof under way is waited for to its end (the password's check, then the
// store's claim of the name for this hall), and the user is told so once;
// for a while too a store answer (the password's hash may be on its way).
void Accounts::deadline(quint64 serial, const QByteArray& name, quint64 ticket, int ms,
                        int postponed) {
    QTimer::singleShot(ms, this, [this, serial, name, ticket, postponed] {
        User* u = current(serial, name);
        const auto at = unproved_.find(serial);
        if (!u || u->identified || at == unproved_.end() || at->second != ticket)
            return;
        const bool proving = checking_.contains(serial) || claiming_.contains(serial);
        if (proving && postponed == 0)
            u->send(ReplyCode::Notice, "Your password for " + name +
                                           " is still being checked: the name stays yours "
                                           "until the check ends");
        if (proving || (u->storeAsks > 0 && postponed < 20))
            return deadline(serial, name, ticket, 500, postponed + 1);
        unproved_.erase(at);
        u->send(ReplyCode::Notice, name + " was not proved in time");
        renameToGuest(*u);
    });
}

void Accounts::renameToGuest(User& u) {
    QByteArray guest;
    do
        guest = "Guest" + QByteArray::number(1000 + (guests_++ % 9000));
    while (lobby_.named(guest));
    lobby_.rename(u, guest);
}

void Accounts::gone(User& u) {
    unproved_.erase(u.serial);
    claiming_.erase(u.serial);
    if (u.identified)
        lobby_.halls().release(u.name);
}

} // namespace wordmoot::server
