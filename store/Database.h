#pragma once

#include "StoreError.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Query;
struct sqlite3;

namespace Store {
// data.mdb is looked for in this directory for the whole run. Defaults to the
// directory current when it is first asked for.
void setDataDirectory(const QString &directory);
QString dataDirectory();
QString databasePath();
// Drops the cached database handle (a test that changes directory, or a file that
// went away). Connections still open keep theirs until they close.
void releaseSharedHandle();
} // namespace Store

// A mark that changes whenever the rows of a table may have changed: a write through
// this program, or a commit by another program on the file. Equal marks taken at two
// times mean the table was not written in between.
struct TableStamp {
    std::uint64_t handle = 0; // which database handle of the process
    std::uint64_t own = 0;    // writes to the table through it
    std::int64_t others = -1; // the file's commits by other programs
    bool operator==(const TableStamp &) const = default;
};

class Handle; // the open, keyed sqlite3 database shared by all connections of the process

// A window's connection to data.mdb. Every connection of the process shares one
// keyed database handle, so the key is derived once and every query sees what any
// other has written.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens data.mdb in the data directory. A missing file or a wrong key is an
    // error; the file is never created.
    void open();
    // Closes the connection and every query on it.
    void close();
    bool isOpen() const { return handle_ != nullptr; }

    // The raw handle (opens the connection when closed).
    Handle &handle();
    // The mark of a table as it stands now.
    TableStamp tableStamp(const QString &table);
    // The same as a sqlite3 handle, for tools and tests that use the C API directly.
    sqlite3 *database();

private:
    friend class Query;
    friend class Transaction;
    void attach(Query *query);
    void detach(Query *query);

    std::shared_ptr<Handle> handle_;
    std::vector<Query *> queries_;
};

// A transaction on the shared handle: everything written until commit() is kept
// together or not at all. Destroyed without commit() it rolls back, and the queries
// that wrote in it read their tables again.
class Transaction {
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    std::shared_ptr<Handle> handle_;
    bool outer_ = false;
    bool done_ = false;
};

// One value of a result row.
struct Value {
    enum Type : std::uint8_t { Null, Integer, Real, Text };
    Type type = Null;
    std::int64_t integer = 0;
    double real = 0;
    QString text;

    bool isNull() const { return type == Null; }
    // Text form: numbers as general number text, NULL as empty text.
    QString toText() const;
    // Numeric value; nullopt for NULL or a text that is no number.
    std::optional<double> toDouble() const;
};

// A query with a static result: the rows of its SQL text at the time it was first
// read after opening, walked with a current row. Rows are read from the file only
// when somebody looks at them, so a query opened only to append costs nothing.
class Query : public QObject {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };

    explicit Query(Connection &connection, QObject *parent = nullptr);
    ~Query() override;

    // Replaces the SQL text (closes the query). Values typed by a user are passed as
    // parameters for the "?" in the text, never inside it.
    void setSql(const QString &sql, const QStringList &parameters = {});
    QString sql() const { return sql_; }

    void open();
    void close();
    bool isOpen() const { return open_; }
    // Closes and opens again: the rows are read anew at the next look.
    void reopen();

    // Navigation over the result.
    int recordCount();
    int recNo(); // 1-based position of the current row, 0 when there is none
    bool eof();  // no current row, or moved past the last
    bool isEmpty() { return recordCount() == 0; }
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row); // 0-based

    // Fields of the current row. An absent row reads as empty text.
    QStringList fieldNames();
    int fieldIndex(const QString &name); // -1 when absent
    QString fieldText(const QString &name);
    std::optional<double> fieldNumber(const QString &name);

    // Random access for grids: row 0-based, field index as from fieldIndex().
    Value value(int row, int field);
    QString text(int row, int field);
    std::optional<double> number(int row, int field);

    // Current-row editing. edit() on an empty result starts an insert.
    void edit();
    void append();
    void setField(const QString &name, const QString &text);
    void post();
    void cancel();
    // Deletes the current row; the next row becomes current (the previous one when
    // the last row was deleted).
    void remove();
    State state() const { return state_; }

    // The connection the query reads through.
    Connection &connection() const { return connection_; }

signals:
    // The result was replaced (opened, closed, read anew); models reset.
    void resultReset();
    // A row was added at the end, changed, or removed (0-based).
    void rowInserted(int row);
    void rowChanged(int row);
    void rowRemoved(int row);
    // The current row moved.
    void currentChanged(int row);

private:
    friend class Connection;
    friend class Transaction;
    friend class Handle;
    struct Rows;

    void ensureFetched();
    void fetch();
    void requireOpen() const;
    void closeSilently();
    void invalidate(); // read the rows again at the next look
    int currentIndexForRead();
    void setCurrent(int row);
    std::int64_t currentRowId();
    int columnFor(const QString &name) const;

    Connection &connection_;
    QString sql_;
    QStringList parameters_;
    QString table_; // "select * from T ..." only: T, and the rows carry a row key
    bool open_ = false;
    std::unique_ptr<Rows> rows_; // null until the rows are first read
    int current_ = -1;           // index into rows_
    bool pastEnd_ = false;

    // Pending edit or insert.
    State state_ = State::Browse;
    std::vector<Value> buffer_;
    std::vector<bool> dirty_;
    QStringList bufferNames_;
    // An insert posted before the rows were read: it is the current row until then.
    std::optional<std::int64_t> detachedRowId_;
    std::vector<Value> detachedRow_;
};
