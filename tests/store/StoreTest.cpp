#include "Conventions.h"
#include "Create.h"
#include "Database.h"
#include "Password.h"
#include "Schema.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <chrono>
#include <cstring>
#include <sqlite3.h>
#include <thread>

namespace {

using Rows = QList<QStringList>;

// All rows of a query as texts, in result order.
Rows rowsOf(Query &q) {
    Rows rows;
    const QStringList names = q.fieldNames();
    for (q.first(); !q.eof(); q.next()) {
        QStringList row;
        for (const QString &n : names)
            row << q.fieldText(n);
        rows << row;
    }
    return rows;
}

class Store : public StoreTest {};

TEST_F(Store, FreshFileHoldsTheSevenTablesAndTheSeedRows) {
    const QStringList tables =
        column(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT "
                              "LIKE 'sqlite_%' ORDER BY name"));
    EXPECT_EQ(tables, (QStringList{"dynr", "id", "spxx", "username", "xsmx", "xstj", "xsxx"}));

    const auto columnsOf = [&](const QString &table) {
        return column(QStringLiteral("PRAGMA table_info(%1)").arg(table), 1);
    };
    EXPECT_EQ(columnsOf("xsxx"), (QStringList{"ID", "单号", "时间", "客户", "电话", "品名", "单价",
                                              "数量", "金额", "折后", "备注"}));
    EXPECT_EQ(columnsOf("dynr"), (QStringList{"ID", "店名", "备注"}));
    EXPECT_EQ(columnsOf("xstj"), (QStringList{"单号", "时间", "数量", "金额", "折后", "收银员"}));
    EXPECT_EQ(columnsOf("xsmx"), (QStringList{"单号", "时间", "客户", "电话", "品名", "单价",
                                              "数量", "金额", "折后"}));
    EXPECT_EQ(columnsOf("spxx"), (QStringList{"品名", "单价"}));
    EXPECT_EQ(columnsOf("id"), (QStringList{"客户", "电话", "pos", "print"}));
    EXPECT_EQ(columnsOf("username"), (QStringList{"用户名", "密码", "权限"}));

    EXPECT_EQ(column("SELECT 客户 || ',' || 电话 || ',' || pos || ',' || print FROM id"),
              QStringList{"1,1,58,1"});
    EXPECT_EQ(column("SELECT count(*) FROM dynr"), QStringList{"1"});
    EXPECT_EQ(column("SELECT 用户名 || ',' || 权限 FROM username"), QStringList{"admin,管理员"});
    // The seed password is the hash of the empty password, not an empty text.
    const QString hash = column("SELECT 密码 FROM username").value(0);
    EXPECT_TRUE(hash.startsWith("$y$")) << hash.toStdString();
    EXPECT_TRUE(verifyPassword(QString(), hash));
    EXPECT_FALSE(verifyPassword(QStringLiteral("x"), hash));
}

TEST_F(Store, FileCannotBeReadWithoutTheKey) {
    const QByteArray file = path("data.mdb").toUtf8();
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_NE(sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close_v2(db);

    QFile raw(path("data.mdb"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_FALSE(bytes.startsWith("SQLite format 3"));
    EXPECT_FALSE(bytes.contains(QStringLiteral("username").toUtf8()));
    EXPECT_FALSE(bytes.contains(QStringLiteral("管理员").toUtf8()));
}

TEST_F(Store, CreatingRefusesToOverwriteAnExistingFile) {
    sql("INSERT INTO spxx (品名, 单价) VALUES ('茶', 3)");
    EXPECT_THROW(createDatabase(path("data.mdb")), StoreError);
    EXPECT_EQ(column("SELECT 品名 FROM spxx"), QStringList{"茶"});
}

TEST_F(Store, InitdbToolCreatesTheFileOnceInTheCurrentDirectory) {
    const QString tool = QStringLiteral(INITDB_PATH);
    QDir().mkpath(path("other"));
    QProcess p;
    p.setWorkingDirectory(path("other"));
    p.start(tool, {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(path("other/data.mdb")));
    p.start(tool, {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_NE(p.exitCode(), 0);
}

TEST_F(Store, MissingFileIsAnErrorAndNothingIsCreated) {
    QFile::remove(path("data.mdb"));
    ::Store::releaseSharedHandle();
    Connection c;
    try {
        c.open();
        FAIL() << "opened a missing file";
    } catch (const StoreError &e) {
        EXPECT_TRUE(e.message().contains("data.mdb")) << e.what();
    }
    EXPECT_FALSE(QFile::exists(path("data.mdb")));
}

// Another program holds the whole file a moment (as the first one to open it after a
// crash does while it recovers the log): opening waits for it instead of failing with
// "database is locked".
TEST_F(Store, OpeningWaitsForAnotherProgramHoldingTheFile) {
    ::Store::releaseSharedHandle();
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(path("data.mdb").toUtf8().constData(), &other), SQLITE_OK);
    const char *key = Schema::databaseKey();
    sqlite3_key(other, key, int(std::strlen(key)));
    for (const char *s :
         {"PRAGMA locking_mode=EXCLUSIVE", "BEGIN EXCLUSIVE", "UPDATE dynr SET 店名 = 'held'"})
        ASSERT_EQ(sqlite3_exec(other, s, nullptr, nullptr, nullptr), SQLITE_OK) << s;
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_close(other); // rolls the open transaction back
    });
    Connection c;
    EXPECT_NO_THROW(c.open());
    release.join();
    Query q(c);
    q.setSql("select * from dynr");
    q.open();
    EXPECT_EQ(q.fieldText("店名"), "");
}

TEST_F(Store, FileWithAnotherKeyIsRefused) {
    QFile::remove(path("data.mdb"));
    ::Store::releaseSharedHandle();
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path("data.mdb").toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_key(db, "another", 7);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    Connection c;
    try {
        c.open();
        FAIL() << "opened a file with another key";
    } catch (const StoreError &e) {
        EXPECT_TRUE(e.message().contains("password")) << e.what();
    }
}

TEST_F(Store, QueryWalksItsRowsWithACurrentRow) {
    sql("INSERT INTO spxx VALUES ('a', 1), ('b', 2.5), ('c', NULL)");
    Connection c;
    Query q(c);
    q.setSql("select * from spxx");
    q.open();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_EQ(q.fieldText("品名"), "a");
    q.next();
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_EQ(q.fieldText("单价"), "2.5");
    q.last();
    EXPECT_EQ(q.fieldText("单价"), ""); // NULL reads as empty text
    EXPECT_FALSE(q.eof());
    q.next();
    EXPECT_TRUE(q.eof());
    q.prior();
    EXPECT_EQ(q.recNo(), 2);
    q.first();
    EXPECT_EQ(q.fieldNames(), (QStringList{"品名", "单价"}));

    // An absent row reads as empty text.
    likeLookup(q, "spxx", "品名", "zz");
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recNo(), 0);
    EXPECT_EQ(q.fieldText("单价"), "");
}

TEST_F(Store, NumberColumnsTakeTextThroughNumberReading) {
    Connection c;
    Query q(c);
    q.setSql("select * from xsxx");
    q.open();
    q.append();
    q.setField("品名", "茶");
    q.setField("单价", "12.5");
    q.setField("数量", "");
    q.setField("金额", " 1E2 ");
    q.post();
    EXPECT_EQ(tillColumn("SELECT typeof(单价) || ' ' || 单价 FROM xsxx"), QStringList{"real 12.5"});
    EXPECT_EQ(tillColumn("SELECT 数量 FROM xsxx"), QStringList{"<null>"});
    EXPECT_EQ(q.fieldText("金额"), "100");

    q.edit();
    try {
        q.setField("数量", "3x");
        FAIL();
    } catch (const StoreError &e) {
        EXPECT_EQ(e.message(), "'3x' is not a valid floating point value for field '数量'");
    }
    q.cancel();
    EXPECT_EQ(tillColumn("SELECT 数量 FROM xsxx"), QStringList{"<null>"});
}

TEST_F(Store, TextWidthsAreEnforced) {
    Connection c;
    Query q(c);
    q.setSql("select * from xsxx");
    q.open();
    const QString emoji = QString::fromUcs4(U"\U0001F600");

    struct Case {
        const char *field;
        QString text;
        bool fits;
    } cases[] = {
        {"单号", QString(50, 'x'), true},     {"单号", QString(51, 'x'), false},
        {"单号", emoji.repeated(50), true}, // a character outside the BMP counts once
        {"品名", QString(255, u'茶'), true},  {"品名", QString(256, u'茶'), false},
        {"品名", QString(10000, 'a'), false},
    };
    for (const Case &k : cases) {
        q.append();
        if (k.fits) {
            q.setField(k.field, k.text);
            q.post();
            EXPECT_EQ(q.fieldText(k.field), k.text) << k.field;
        } else {
            EXPECT_THROW(q.setField(k.field, k.text), StoreError) << k.field;
            q.cancel();
        }
    }
    EXPECT_EQ(q.recordCount(), 3);

    Query p(c);
    p.setSql("select * from dynr");
    p.open();
    p.edit();
    EXPECT_THROW(p.setField("备注", QString(256, '\n')), StoreError);
    p.setField("备注", QString(255, '\n'));
    p.post();
    EXPECT_EQ(p.fieldText("备注").size(), 255);
}

TEST_F(Store, EditOnAnEmptyResultInserts) {
    sql("DELETE FROM id");
    Connection c;
    Query q(c);
    q.setSql("select * from id");
    q.open();
    EXPECT_EQ(q.recordCount(), 0);
    q.edit();
    q.setField("pos", "76");
    q.post();
    EXPECT_EQ(q.recordCount(), 1);
    q.edit();
    q.setField("print", "2");
    q.post();
    EXPECT_EQ(column("SELECT ifnull(客户,'-') || pos || print FROM id"), QStringList{"-762"});
}

TEST_F(Store, DeleteMovesToTheNextRowAndEmptiesATable) {
    tillSql("INSERT INTO xsxx (品名) VALUES ('a'), ('b'), ('c')");
    Connection c;
    Query q(c);
    q.setSql("select * from xsxx");
    q.open();
    q.next();
    q.remove(); // b
    EXPECT_EQ(q.fieldText("品名"), "c");
    q.remove(); // c, the last: the previous row becomes current
    EXPECT_EQ(q.fieldText("品名"), "a");
    q.first();
    while (!q.eof())
        q.remove();
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_EQ(tillColumn("SELECT count(*) FROM xsxx"), QStringList{"0"});
}

TEST_F(Store, RowsKeepInsertionOrderAndAppendedRowBecomesCurrent) {
    Connection c;
    Query q(c);
    q.setSql("select * from xstj");
    q.open();
    for (const char *n : {"3", "1", "2"}) {
        q.append();
        q.setField("单号", n);
        q.post();
        EXPECT_EQ(q.fieldText("单号"), n); // current before the rows were ever read
    }
    const Rows rows = rowsOf(q);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0][0], "3");
    EXPECT_EQ(rows[2][0], "2");
    q.last();
    EXPECT_EQ(q.fieldText("单号"), "2");

    // Another query sees the rows at its next open, not before.
    Query other(c);
    other.setSql("select * from xstj");
    other.open();
    EXPECT_EQ(other.recordCount(), 3);
    q.append();
    q.setField("单号", "4");
    q.post();
    EXPECT_EQ(other.recordCount(), 3);
    other.reopen();
    EXPECT_EQ(other.recordCount(), 4);
}

TEST_F(Store, OpeningSaleOrPrintContentChecksTheirColumns) {
    struct Case {
        const char *table;
        const char *definition;
    } cases[] = {
        {"xsxx", "ID INTEGER PRIMARY KEY, 单号 TEXT, 时间 TEXT, 客户 TEXT, 电话 TEXT, 品名 TEXT, "
                 "单价 DOUBLE, 数量 DOUBLE, 金额 DOUBLE, 备注 TEXT"}, // 折后 missing
        {"xsxx", "ID INTEGER PRIMARY KEY, 单号 TEXT, 时间 TEXT, 客户 TEXT, 电话 TEXT, 品名 TEXT, "
                 "单价 TEXT, 数量 DOUBLE, 金额 DOUBLE, 折后 DOUBLE, 备注 TEXT"}, // 单价 as text
        {"dynr", "ID INTEGER PRIMARY KEY, 店名 DOUBLE, 备注 TEXT"},              // 店名 a number
        {"dynr", "ID INTEGER PRIMARY KEY, 店名 TEXT"},                           // 备注 missing
    };
    for (const Case &k : cases) {
        sql(QStringLiteral("DROP TABLE %1").arg(k.table));
        sql(QStringLiteral("CREATE TABLE %1 (%2)").arg(k.table, k.definition));
        ::Store::releaseSharedHandle();
        Connection c;
        Query q(c);
        q.setSql(QStringLiteral("select * from %1").arg(k.table));
        EXPECT_THROW(q.open(), StoreError) << k.definition;
        // The other tables open as before.
        Query s(c);
        s.setSql("select * from spxx");
        EXPECT_NO_THROW(s.open());
    }
}

TEST_F(Store, LookupsMatchTypedTextLiterally) {
    sql("INSERT INTO username (用户名, 密码, 权限) VALUES ('张三丰', 'x', '普通用户'), "
        "('张三', 'y', '管理员'), ('a%b', '', ''), ('a_b', '', ''), ('axb', '', ''), "
        "('say \"hi\"', '', ''), ('it''s', '', '')");
    Connection c;
    Query q(c);
    const auto names = [&] {
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldText("用户名");
        return out;
    };
    likeLookup(q, "username", "用户名", "张三");
    EXPECT_EQ(names(), (QStringList{"张三丰", "张三"}));
    exactLookup(q, "username", "用户名", "张三");
    EXPECT_EQ(names(), QStringList{"张三"});
    EXPECT_EQ(q.fieldText("权限"), "管理员");

    likeLookup(q, "username", "用户名", "%");
    EXPECT_EQ(names(), QStringList{"a%b"});
    likeLookup(q, "username", "用户名", "a_b");
    EXPECT_EQ(names(), QStringList{"a_b"});
    likeLookup(q, "username", "用户名", "\"hi\"");
    EXPECT_EQ(names(), QStringList{"say \"hi\""});
    likeLookup(q, "username", "用户名", "'); drop table xstj; --");
    EXPECT_TRUE(names().isEmpty());
    exactLookup(q, "username", "用户名", "it's");
    EXPECT_EQ(names(), QStringList{"it's"});
    EXPECT_EQ(column("SELECT count(*) FROM sqlite_master WHERE name='xstj'"), QStringList{"1"});
}

TEST_F(Store, DistinctValuesListEachNameOnce) {
    sql("INSERT INTO spxx VALUES ('茶', 1), ('水', 2), ('茶', 3), (NULL, 4)");
    Connection c;
    Query q(c);
    QStringList values = distinctValues(q, "spxx", "品名");
    values.sort();
    EXPECT_EQ(values, (QStringList{"", "水", "茶"}));
}

TEST_F(Store, RolledBackTransactionLeavesTablesAndQueriesAsBefore) {
    tillSql("INSERT INTO xsxx (品名) VALUES ('a'), ('b')");
    Connection c;
    Query sale(c), receipts(c);
    sale.setSql("select * from xsxx");
    receipts.setSql("select * from xstj");
    sale.open();
    receipts.open();
    {
        Transaction t(c);
        receipts.append();
        receipts.setField("单号", "1");
        receipts.post();
        sale.first();
        sale.remove();
        // no commit: an error would leave here
    }
    EXPECT_EQ(column("SELECT count(*) FROM xstj"), QStringList{"0"});
    EXPECT_EQ(tillColumn("SELECT 品名 FROM xsxx"), (QStringList{"a", "b"}));
    EXPECT_EQ(sale.recordCount(), 2);
    EXPECT_EQ(receipts.recordCount(), 0);
    {
        Transaction t(c);
        sale.first();
        sale.remove();
        t.commit();
    }
    EXPECT_EQ(tillColumn("SELECT 品名 FROM xsxx"), QStringList{"b"});
}

TEST_F(Store, ReconnectReopensEveryQueryWithItsText) {
    Connection c;
    Query a(c), b(c);
    a.setSql("Select Distinct 品名 From spxx");
    a.open();
    sql("INSERT INTO spxx VALUES ('茶', 1)");
    reconnect(c, {{&a, "select * from spxx"}, {&b, "select * from username"}});
    EXPECT_TRUE(c.isOpen());
    EXPECT_EQ(a.sql(), "select * from spxx");
    EXPECT_EQ(a.fieldText("单价"), "1");
    EXPECT_EQ(b.fieldText("用户名"), "admin");
}

TEST_F(Store, ConnectionUsesWalAndFullSync) {
    Connection c;
    Query q(c);
    q.setSql("PRAGMA journal_mode");
    q.open();
    EXPECT_EQ(q.text(0, 0), "wal");
    q.setSql("PRAGMA synchronous");
    q.open();
    EXPECT_EQ(q.text(0, 0), "2"); // FULL
}

TEST_F(Store, WritesOutsideEditModeAreRefused) {
    Connection c;
    Query q(c);
    q.setSql("select * from dynr");
    q.open();
    EXPECT_THROW(q.setField("店名", "x"), StoreError);
    q.edit();
    EXPECT_THROW(q.setField("ID", "9"), StoreError);
    q.cancel();
    Query d(c);
    d.setSql("Select Distinct 品名 From spxx");
    d.open();
    EXPECT_THROW(d.append(), StoreError);
    Query closed(c);
    closed.setSql("select * from spxx");
    EXPECT_THROW(closed.recordCount(), StoreError);
}

} // namespace
