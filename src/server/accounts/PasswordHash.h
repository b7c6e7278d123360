#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Passwords are kept only as Argon2id hashes (libsodium's crypto_pwhash_str,
// its interactive limits: about 64 MB and a tenth of a second a hash), each
// with a salt of its own, so that two accounts with one password do not
// share a hash. A hash is slow on purpose: it is made on a worker thread.
namespace wordmoot::accounts {

inline constexpr int kShortestPassword = 8; // bytes

// The hash to keep, in libsodium's text form ("$argon2id$v=19$..."); nullopt
// when libsodium could not make one (out of memory).
std::optional<QByteArray> hashPassword(QByteArrayView password);

// Whether the password is the one the hash was made of. False for anything
// that is not such a hash.
bool passwordMatches(const QByteArray& hash, QByteArrayView password);

} // namespace wordmoot::accounts
