#include "Conventions.h"

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

QStringList distinctValues(Query &query, const QString &table, const QString &column) {
    query.close();
    query.setSql(QStringLiteral("Select Distinct %1 From %2").arg(column, table));
    query.open();
    QStringList values;
    const int field = query.fieldIndex(column);
    const int n = query.recordCount();
    values.reserve(n);
    for (int r = 0; r < n; ++r)
        values << query.text(r, field);
    return values;
}
