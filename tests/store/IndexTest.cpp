// The receipt-number and goods-name indexes, and the lookups that use them or replace
// DISTINCT: the same rows in the same order as before.
#include "Conventions.h"
#include "Database.h"
#include "TestEnv.h"

namespace {

class Indexes : public StoreTest {};

QStringList indexNames(StoreTest &t, const QString &sql) = delete;

TEST_F(Indexes, FreshFileHasTheReceiptNumberAndGoodsNameIndexes) {
    EXPECT_EQ(column("SELECT name FROM sqlite_master WHERE type='index' ORDER BY name"),
              (QStringList{"spxx_name", "xsmx_number", "xstj_number"}));
}

TEST_F(Indexes, OlderFileGetsThemWhenOpened) {
    sql("DROP INDEX xsmx_number");
    sql("DROP INDEX xstj_number");
    sql("DROP INDEX spxx_name");
    sql("INSERT INTO xsmx (单号, 品名) VALUES ('1', 'a')");
    Store::releaseSharedHandle();
    Connection c;
    c.open();
    EXPECT_EQ(column("SELECT name FROM sqlite_master WHERE type='index' ORDER BY name"),
              (QStringList{"spxx_name", "xsmx_number", "xstj_number"}));
}

TEST_F(Indexes, LinesOfOneReceiptComeInTableOrder) {
    sql("INSERT INTO xsmx (单号, 品名) VALUES ('2', 'z'), ('1', 'y'), ('2', 'a'), ('1', 'b'), "
        "('2', 'm')");
    Connection c;
    Query q(c);
    exactLookup(q, "xsmx", "单号", "2");
    QStringList names;
    for (q.first(); !q.eof(); q.next())
        names << q.fieldText("品名");
    EXPECT_EQ(names, (QStringList{"z", "a", "m"}));
}

struct DistinctCase {
    const char *rows; // VALUES of spxx (品名, 单价)
};

class DistinctAsSql : public StoreTest, public ::testing::WithParamInterface<DistinctCase> {};

TEST_P(DistinctAsSql, SameValuesInTheSameOrder) {
    sql(QStringLiteral("INSERT INTO spxx (品名, 单价) VALUES %1").arg(GetParam().rows));
    // Each value at its first row in table order, as DISTINCT lists them without the
    // index (with it SQLite would list them sorted).
    const QStringList expected = column("Select Distinct 品名 From spxx NOT INDEXED");
    Connection c;
    Query q(c);
    QStringList values = distinctValues(q, "spxx", "品名");
    for (QString &v : values) {
        if (v.isEmpty())
            v = QStringLiteral("<null>"); // column() shows NULL so
    }
    EXPECT_EQ(values, expected);
    // The query is left on the statement, as before.
    EXPECT_EQ(q.sql(), QStringLiteral("Select Distinct 品名 From spxx"));
    EXPECT_EQ(q.recordCount(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DistinctAsSql,
    ::testing::Values(DistinctCase{"('茶', 1), ('水', 2), ('茶', 3)"},
                      DistinctCase{"(NULL, 1), ('b', 2), (NULL, 3), ('a', 4), ('b', 5)"},
                      DistinctCase{"('A', 1), ('a', 2), ('a ', 3), ('A', 4)"},
                      DistinctCase{"(12, 1), ('12', 2), (1.5, 3), ('1.5', 4), ('x', 5)"}));

} // namespace
