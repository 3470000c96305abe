#include "Password.h"

#include "StoreError.h"

#include <crypt.h>
#include <cstring>
#include <memory>

namespace {
struct CryptDataDeleter {
    void operator()(crypt_data *d) const { delete d; }
};
} // namespace

QString hashPassword(const QString &password) {
    char salt[CRYPT_GENSALT_OUTPUT_SIZE];
    if (!crypt_gensalt_rn("$y$", 0, nullptr, 0, salt, sizeof salt))
        throw StoreError(QStringLiteral("Cannot make a password salt"));
    auto data = std::make_unique<crypt_data>();
    std::memset(data.get(), 0, sizeof(crypt_data));
    const QByteArray utf8 = password.toUtf8();
    const char *hash = crypt_r(utf8.constData(), salt, data.get());
    if (!hash || hash[0] == '*')
        throw StoreError(QStringLiteral("Cannot hash the password"));
    return QString::fromLatin1(hash);
}

bool verifyPassword(const QString &password, const QString &stored) {
    if (stored.isEmpty())
        return password.isEmpty();
    auto data = std::make_unique<crypt_data>();
    std::memset(data.get(), 0, sizeof(crypt_data));
    const QByteArray utf8 = password.toUtf8();
    const QByteArray setting = stored.toLatin1();
    const char *hash = crypt_r(utf8.constData(), setting.constData(), data.get());
    if (!hash || hash[0] == '*')
        return false;
    // Constant-time comparison of the two hashes.
    const std::size_t n = std::strlen(hash);
    if (n != std::size_t(setting.size()))
        return false;
    unsigned char diff = 0;
    for (std::size_t i = 0; i < n; ++i)
        diff |= static_cast<unsigned char>(hash[i] ^ setting[qsizetype(i)]);
    return diff == 0;
}
