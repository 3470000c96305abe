#include "Conventions.h"

#include <QSet>

void reconnect(Connection &connection, std::initializer_list<std::pair<Query *, QString>> queries) {
    connection.close();
    for (const auto &[query, sql] : queries)
        query->close();
    connection.open();
    for (const auto &[query, sql] : queries)
        query->setSql(sql);
    for (const auto &[query, sql] : queries)
        query->open();
}

QString containsPattern(const QString &text) {
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += QLatin1Char('%');
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('%') || ch == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += ch;
    }
    escaped += QLatin1Char('%');
    return escaped;
}

void likeLookup(Query &query, const QString &table, const QString &column, const QString &text) {
    query.close();
    query.setSql(QStringLiteral("select * from %1 where %2 like ? escape '\\'").arg(table, column),
                 {containsPattern(text)});
    query.open();
}

void exactLookup(Query &query, const QString &table, const QString &column, const QString &text) {
    query.close();
    query.setSql(QStringLiteral("select * from %1 where %2 = ?").arg(table, column), {text});
    query.open();
}

void openDistinct(Query &query, const QString &table, const QString &column) {
    query.close();
    query.setSql(QStringLiteral("Select Distinct %1 From %2").arg(column, table));
    query.open();
}

QStringList distinctValues(Query &query, const QString &table, const QString &column) {
    openDistinct(query, table, column);
    // The values each at its first row in table order (what that statement gives on a
    // table without an index on the column), read with a plain select: SQLite's
    // DISTINCT builds a temporary index at every call, and with an index on the column
    // it would list the values sorted instead.
    Query all(query.connection());
    all.setSql(QStringLiteral("select %1 from %2 order by rowid").arg(column, table));
    all.open();
    QStringList values;
    QSet<QString> texts, numbers;
    bool null = false;
    const int n = all.recordCount();
    texts.reserve(n);
    for (int r = 0; r < n; ++r) {
        const Value v = all.value(r, 0);
        if (v.isNull()) {
            if (!null)
                values << QString();
            null = true;
            continue;
        }
        QSet<QString> &seen = v.type == Value::Text ? texts : numbers;
        const QString text = v.toText();
        const qsizetype before = seen.size();
        seen.insert(text);
        if (seen.size() != before)
            values << text;
    }
    return values;
}
