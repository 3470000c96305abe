#pragma once

#include "Database.h"

#include <QString>
#include <initializer_list>
#include <utility>

// The data conventions every window follows.

// Re-points a window's connection and opens each query again with its SQL text:
// close the connection (and with it its queries), set each text, open each in order.
void reconnect(Connection &connection, std::initializer_list<std::pair<Query *, QString>> queries);

// Opens the query on the rows of `table` whose `column` contains `text`. The text is
// bound as a parameter and matched literally ("%" and "_" match only themselves).
void likeLookup(Query &query, const QString &table, const QString &column, const QString &text);

// Opens the query on the rows of `table` whose `column` equals `text` exactly
// (letter case counts), in table order.
void exactLookup(Query &query, const QString &table, const QString &column, const QString &text);

// Opens the query with "Select Distinct <column> From <table>" (its rows are read only
// when looked at).
void openDistinct(Query &query, const QString &table, const QString &column);

// Opens the query with "Select Distinct <column> From <table>" and returns the texts of
// the column, in the order returned (NULL gives an empty text).
QStringList distinctValues(Query &query, const QString &table, const QString &column);

// The "like" pattern that matches `text` as a substring, with "\" as escape character.
QString containsPattern(const QString &text);
