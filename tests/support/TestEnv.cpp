#include "TestEnv.h"

#include "Create.h"
#include "Database.h"
#include "Schema.h"
#include "Startup.h"

#include <QDir>
#include <cstring>
#include <sqlite3.h>

void StoreTest::SetUp() {
    ASSERT_TRUE(tmp_.isValid());
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(tmp_.path());
    qputenv("HOME", tmp_.filePath(QStringLiteral("home")).toUtf8());
    qputenv("XDG_CONFIG_HOME", tmp_.filePath(QStringLiteral("home/.config")).toUtf8());
    QDir().mkpath(tmp_.filePath(QStringLiteral("home/Desktop")));
    Store::releaseSharedHandle();
    Store::setDataDirectory(tmp_.path());
    if (createDatabaseFile)
        createDatabase(tmp_.filePath(QStringLiteral("data.mdb")));
    Messages::setAnswerer([this](const Messages::Box &box) {
        boxes.push_back(box);
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    });
}

void StoreTest::TearDown() {
    Messages::setAnswerer({});
    Store::releaseSharedHandle();
    QDir::setCurrent(previousDir_);
}

QStringList StoreTest::boxTexts() const {
    QStringList texts;
    for (const Messages::Box &b : boxes)
        texts << b.text;
    return texts;
}

namespace {
sqlite3 *openKeyed(const QString &file) {
    sqlite3 *db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    const char *key = Schema::databaseKey();
    sqlite3_key(db, key, int(std::strlen(key)));
    sqlite3_busy_timeout(db, 5000);
    return db;
}

void exec(sqlite3 *db, const QString &statement) {
    char *error = nullptr;
    const int rc = sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "") << " in " << statement.toStdString();
    sqlite3_free(error);
}

QStringList rows(sqlite3 *db, const QString &query, int index) {
    sqlite3_stmt *s = nullptr;
    QStringList out;
    EXPECT_EQ(sqlite3_prepare_v2(db, query.toUtf8().constData(), -1, &s, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    while (s && sqlite3_step(s) == SQLITE_ROW) {
        if (sqlite3_column_type(s, index) == SQLITE_NULL)
            out << QStringLiteral("<null>");
        else
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, index)));
    }
    sqlite3_finalize(s);
    return out;
}
} // namespace

void StoreTest::sql(const QString &statement) {
    sqlite3 *db = openKeyed(path(QStringLiteral("data.mdb")));
    exec(db, statement);
    sqlite3_close_v2(db);
}

QStringList StoreTest::column(const QString &query, int index) {
    sqlite3 *db = openKeyed(path(QStringLiteral("data.mdb")));
    const QStringList out = rows(db, query, index);
    sqlite3_close_v2(db);
    return out;
}

void StoreTest::tillSql(const QString &statement) {
    Connection connection;
    exec(connection.database(), statement);
}

QStringList StoreTest::tillColumn(const QString &query, int index) {
    Connection connection;
    return rows(connection.database(), query, index);
}

void FormsTest::SetUp() {
    StoreTest::SetUp();
    createForms();
}

void FormsTest::TearDown() {
    destroyForms();
    StoreTest::TearDown();
}
