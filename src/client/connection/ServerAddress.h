#pragma once

#include "client/connection/Dialogs.h"
#include "client/connection/Settings.h"

#include <QString>

#include <optional>

namespace wordmoot {

inline constexpr qint64 kDefaultPort = 7096;
inline const QString kDefaultNickname = QStringLiteral("Guest");

struct ServerAddress {
    QString nickname;
    QString host;
    qint64 port = kDefaultPort;

    bool operator==(const ServerAddress&) const = default;
};

// The answer proposed at start-up: user@host, with ":port" only when the
// stored port is not the default.
QString proposeAnswer(const QString& user, const QString& host, const QString& portText);

// Reads an answer of the form user@host:port. Only the first "@" and the
// first ":" after it split; a missing nickname becomes "Guest", a missing
// port 7096, an empty address the fallback host.
ServerAddress parseAnswer(const QString& answer, const QString& fallbackHost);

// Whether a nickname may be stored for the next start-up: it must read back
// from the proposed answer as itself (no "@" that would move the host), hold
// no control characters, and be no longer than kMaxStoredNickname.
inline constexpr qsizetype kMaxStoredNickname = 64;
bool storableNickname(const QString& nickname);

// Asks which server to use, proposing what was stored, and stores the
// answer. Nothing is stored when the user gives no answer.
std::optional<ServerAddress> askServerAddress(Dialogs& dialogs, Settings& settings);

} // namespace wordmoot
