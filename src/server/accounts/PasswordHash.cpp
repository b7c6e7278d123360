#include "server/accounts/PasswordHash.h"

#include <sodium.h>

namespace wordmoot::accounts {

namespace {

// libsodium reads the password through a pointer that must not be null,
// even for no bytes.
const char* bytesOf(QByteArrayView password) {
    return password.isEmpty() ? "" : password.data();
}

bool sodiumReady() {
    static const bool ready = ::sodium_init() >= 0; // thread-safe, and once
    return ready;
}

} // namespace

std::optional<QByteArray> hashPassword(QByteArrayView password) {
    if (!sodiumReady())
        return std::nullopt;
    char hash[crypto_pwhash_STRBYTES];
    if (::crypto_pwhash_str(hash, bytesOf(password), static_cast<unsigned long long>(password.size()),
                            crypto_pwhash_OPSLIMIT_INTERACTIVE,
                            crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return std::nullopt;
    return QByteArray(hash);
}

bool passwordMatches(const QByteArray& hash, QByteArrayView password) {
    if (!sodiumReady() || hash.size() >= crypto_pwhash_STRBYTES)
        return false;
    char stored[crypto_pwhash_STRBYTES] = {};
    std::copy(hash.begin(), hash.end(), stored); // the NUL-terminated form libsodium reads
    return ::crypto_pwhash_str_verify(stored, bytesOf(password),
                                      static_cast<unsigned long long>(password.size())) == 0;
}

} // namespace wordmoot::accounts
