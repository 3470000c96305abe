#include "Schema.h"

#include <QStringList>

namespace Schema {

const std::vector<Table> &tables() {
    using K = Kind;
    static const std::vector<Table> all = {
        {"spxx", {{"品名", K::Text, 255}, {"单价", K::Number, 0}}, false},
        {"xsxx",
         {{"ID", K::Key, 0},
          {"单号", K::Text, 50},
          {"时间", K::Text, 50},
          {"客户", K::Text, 255},
          {"电话", K::Text, 255},
          {"品名", K::Text, 255},
          {"单价", K::Number, 0},
          {"数量", K::Number, 0},
          {"金额", K::Number, 0},
          {"折后", K::Number, 0},
          {"备注", K::Text, 255}},
         true,
         true},
        {"dynr", {{"ID", K::Key, 0}, {"店名", K::Text, 255}, {"备注", K::Text, 255}}, true},
        {"xstj",
         {{"单号", K::Text, 50},
          {"时间", K::Text, 50},
          {"数量", K::Number, 0},
          {"金额", K::Number, 0},
          {"折后", K::Number, 0},
          {"收银员", K::Text, 255}},
         false},
        {"xsmx",
         {{"单号", K::Text, 50},
          {"时间", K::Text, 50},
          {"客户", K::Text, 255},
          {"电话", K::Text, 255},
          {"品名", K::Text, 255},
          {"单价", K::Number, 0},
          {"数量", K::Number, 0},
          {"金额", K::Number, 0},
          {"折后", K::Number, 0}},
         false},
        {"id",
         {{"客户", K::Text, 255},
          {"电话", K::Text, 255},
          {"pos", K::Text, 255},
          {"print", K::Text, 255}},
         false},
        {"username",
         {{"用户名", K::Text, 255}, {"密码", K::Text, 255}, {"权限", K::Text, 255}},
         false},
    };
    return all;
}

const Table *table(const QString &name) {
    for (const Table &t : tables()) {
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

const Column *column(const Table &table, const QString &name) {
    for (const Column &c : table.columns) {
        if (name.compare(QString::fromUtf8(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QString createStatement(const Table &table, bool temporary) {
    QStringList columns;
    for (const Column &c : table.columns) {
        const char *type = "TEXT";
        if (c.kind == Kind::Key)
            type = "INTEGER PRIMARY KEY AUTOINCREMENT";
        else if (c.kind == Kind::Number)
            type = "DOUBLE";
        columns << QStringLiteral("\"%1\" %2").arg(QString::fromUtf8(c.name), QLatin1String(type));
    }
    return QStringLiteral("CREATE %1TABLE %2 (%3)")
        .arg(temporary ? QStringLiteral("TEMP ") : QString(), QLatin1String(table.name),
             columns.join(QStringLiteral(", ")));
}

const std::vector<const char *> &indexes() {
    static const std::vector<const char *> all = {
        "CREATE INDEX IF NOT EXISTS xstj_number ON xstj (单号)",
        "CREATE INDEX IF NOT EXISTS xsmx_number ON xsmx (单号)",
        "CREATE INDEX IF NOT EXISTS spxx_name ON spxx (品名)",
    };
    return all;
}

const char *databaseKey() {
    return "358846293158";
}

} // namespace Schema
