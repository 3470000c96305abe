#include "Create.h"

#include "Password.h"
#include "Schema.h"
#include "StoreError.h"

#include <QFile>
#include <QStringList>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>

namespace {

struct DbCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};

void exec(sqlite3 *db, const QString &sql) {
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(db)));
}

void insertUser(sqlite3 *db, const QString &name, const QString &hash, const QString &permission) {
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO username (用户名, 密码, 权限) VALUES (?, ?, ?)", -1,
                           &raw, nullptr) != SQLITE_OK)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(db)));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> s(raw, sqlite3_finalize);
    const QByteArray a = name.toUtf8(), b = hash.toUtf8(), c = permission.toUtf8();
    sqlite3_bind_text(raw, 1, a.constData(), int(a.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(raw, 2, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(raw, 3, c.constData(), int(c.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(raw) != SQLITE_DONE)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace

void createDatabase(const QString &path) {
    const QByteArray file = QFile::encodeName(path);
    // Claim the name first, so that an existing file is never touched.
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        throw StoreError(QStringLiteral("Cannot create '%1': %2")
                             .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    ::close(fd);
    try {
        sqlite3 *raw = nullptr;
        const int rc = sqlite3_open_v2(file.constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        std::unique_ptr<sqlite3, DbCloser> db(raw);
        if (rc != SQLITE_OK)
            throw StoreError(QString::fromUtf8(raw ? sqlite3_errmsg(raw) : "out of memory"));
        const char *key = Schema::databaseKey();
        sqlite3_key(raw, key, int(std::strlen(key)));
        exec(raw, QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(raw, QStringLiteral("BEGIN"));
        for (const Schema::Table &t : Schema::tables())
            exec(raw, Schema::createStatement(t));
        for (const char *index : Schema::indexes())
            exec(raw, QString::fromUtf8(index));
        insertUser(raw, QStringLiteral("admin"), hashPassword(QString()), QStringLiteral("管理员"));
        exec(raw, QStringLiteral("INSERT INTO id (客户, 电话, pos, print) "
                                 "VALUES ('1', '1', '58', '1')"));
        exec(raw, QStringLiteral("INSERT INTO dynr (店名, 备注) VALUES ('', '')"));
        exec(raw, QStringLiteral("COMMIT"));
        exec(raw, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    } catch (...) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        throw;
    }
}
