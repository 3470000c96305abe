#include "Snapshot.h"

#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace Reliability {

namespace {

struct DbCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
struct StatementFinalizer {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

Db openKeyed(const QString &file) {
    sqlite3 *raw = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Db db(raw);
    EXPECT_EQ(rc, SQLITE_OK) << file.toStdString();
    const char *key = Schema::databaseKey();
    sqlite3_key(raw, key, int(std::strlen(key)));
    sqlite3_busy_timeout(raw, 5000);
    return db;
}

// Every row of a query, its columns joined by " | ".
QStringList rows(sqlite3 *db, const QString &query, int passwordColumn = -1) {
    sqlite3_stmt *raw = nullptr;
    QStringList out;
    EXPECT_EQ(sqlite3_prepare_v2(db, query.toUtf8().constData(), -1, &raw, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db) << " in " << query.toStdString();
    Statement s(raw);
    if (!s)
        return out;
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        QStringList cells;
        for (int c = 0; c < sqlite3_column_count(raw); ++c) {
            if (sqlite3_column_type(raw, c) == SQLITE_NULL) {
                cells << QStringLiteral("<null>");
                continue;
            }
            QString text =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, c)));
            if (c == passwordColumn && !text.isEmpty())
                text = QStringLiteral("<hash>");
            cells << text;
        }
        out << cells.join(QStringLiteral(" | "));
    }
    EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(db);
    return out;
}

} // namespace

Snapshot snapshot(const QString &file) {
    Db db = openKeyed(file);
    Snapshot snap;
    for (const Schema::Table &t : Schema::tables()) {
        const QString name = QString::fromUtf8(t.name);
        QStringList r = rows(db.get(), QStringLiteral("SELECT * FROM %1").arg(name),
                             name == QLatin1String("username") ? 1 : -1);
        r.sort();
        snap.insert(name, r);
    }
    return snap;
}

QStringList rowsOf(const QString &file, const QString &query) {
    Db db = openKeyed(file);
    return rows(db.get(), query);
}

QString integrity(const QString &file) {
    Db db = openKeyed(file);
    return rows(db.get(), QStringLiteral("PRAGMA integrity_check")).join(QLatin1Char('\n'));
}

QStringList incompleteReceipts(const QString &file) {
    Db db = openKeyed(file);
    QStringList bad = rows(db.get(), QStringLiteral(R"(
        SELECT 'receipt ' || t.单号 FROM xstj t
        LEFT JOIN (SELECT 单号, sum(数量) AS q, sum(金额) AS a, sum(折后) AS d, count(*) AS n
                   FROM xsmx GROUP BY 单号) m ON m.单号 = t.单号
        WHERE m.n IS NULL OR abs(m.q - t.数量) > 1e-6 OR abs(m.a - t.金额) > 1e-6
              OR abs(m.d - t.折后) > 1e-6)"));
    bad << rows(db.get(), QStringLiteral("SELECT 'line without receipt ' || 单号 FROM xsmx "
                                         "WHERE 单号 NOT IN (SELECT 单号 FROM xstj)"));
    return bad;
}

int rowsLost(const Snapshot &before, const Snapshot &now, const Snapshot &after) {
    // Rows the operation keeps that are gone, and, when the file is neither as
    // before nor as after, the rows the operation adds that are missing.
    const bool whole = now == before || now == after;
    int lost = 0;
    for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
        QStringList present = now.value(it.key());
        QStringList old = before.value(it.key());
        for (const QString &row : it.value()) {
            const bool kept = old.removeOne(row);
            if (present.removeOne(row))
                continue;
            if (kept || !whole)
                ++lost;
        }
    }
    return lost;
}

void copyDatabase(const QString &from, const QString &to) {
    QDir().mkpath(to);
    for (const char *suffix : {"", "-wal", "-shm"}) {
        const QString name = QStringLiteral("data.mdb") + QLatin1String(suffix);
        QFile::remove(QDir(to).filePath(name));
        if (QFile::exists(QDir(from).filePath(name))) {
            ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
        }
    }
}

QProcessEnvironment driverEnvironment(const QString &dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), dir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(dir).filePath(QStringLiteral(".config")));
    env.remove(QStringLiteral("RECEIPT_CRASH_AFTER_WRITES"));
    return env;
}

DriverRun runDriver(const QString &dir, const QStringList &arguments,
                    const QProcessEnvironment &extra, int timeoutMs) {
    QProcess p;
    QProcessEnvironment env = driverEnvironment(dir);
    for (const QString &k : extra.keys())
        env.insert(k, extra.value(k));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QStringLiteral(RELIABILITY_DRIVER), QStringList{dir} + arguments);
    DriverRun run;
    if (!p.waitForStarted(timeoutMs) || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "driver did not finish: " << arguments.join(' ').toStdString();
        run.crashed = true;
        run.exitCode = -1;
        return run;
    }
    run.crashed = p.exitStatus() == QProcess::CrashExit;
    run.exitCode = p.exitCode();
    run.errors = QString::fromUtf8(p.readAllStandardError());
    return run;
}

void reportRow(const QString &fault, int tries, int survived, int rowsLost) {
    std::printf("RELIABILITY|%s|%d|%d|%d\n", fault.toUtf8().constData(), tries, survived, rowsLost);
    std::fflush(stdout);
}

} // namespace Reliability
