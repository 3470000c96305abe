#include "Database.h"

#include "Numbers.h"
#include "Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <cstring>
#include <limits>
#include <sqlite3.h>
#include <sys/stat.h>

#ifdef RECEIPT_FAULT_INJECTION
#include <csignal>
#include <cstdlib>
#endif

// ---------------------------------------------------------------------------
// The shared database handle

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

QString &dataDirectoryRef() {
    static QString dir;
    return dir;
}

std::uint64_t handlesMade = 0;

std::shared_ptr<Handle> &cachedHandle() {
    static std::shared_ptr<Handle> h;
    return h;
}

QString sqliteMessage(sqlite3 *db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Crash tests only: after the N-th write (an INSERT, UPDATE or DELETE step, or a
// COMMIT) the process is killed at once, with no clean-up, as when the power goes.
// N comes from RECEIPT_CRASH_AFTER_WRITES, read at every write so that a test can
// set it once its preparations are written; unset or 0 never kills.
#ifdef RECEIPT_FAULT_INJECTION
void wrote() {
    const char *v = std::getenv("RECEIPT_CRASH_AFTER_WRITES");
    const long limit = v ? std::atol(v) : 0L;
    static long count = 0;
    if (limit > 0 && ++count >= limit)
        std::raise(SIGKILL);
}
#else
inline void wrote() {}
#endif

} // namespace

class Handle {
public:
    Handle(const QString &path, dev_t dev, ino_t ino) : path(path), dev(dev), ino(ino) {}
    ~Handle() {
        if (db)
            sqlite3_close_v2(db);
    }

    void openKeyed() {
        const QByteArray file = QFile::encodeName(path);
        if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            const QString msg = db ? sqliteMessage(db) : QStringLiteral("out of memory");
            throw StoreError(QStringLiteral("Could not open file '%1': %2").arg(path, msg));
        }
        // Another program may hold the file a moment (a write, or the recovery after a
        // crash): wait for it from the very first read on, not only after start-up.
        sqlite3_busy_timeout(db, 5000);
        const char *key = Schema::databaseKey();
        sqlite3_key(db, key, int(std::strlen(key)));
        // A wrong key shows only at the first read.
        if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
            const int code = sqlite3_extended_errcode(db);
            if ((code & 0xff) == SQLITE_NOTADB)
                throw StoreError(QStringLiteral("Not a valid password: '%1'.").arg(path));
            throw StoreError(sqliteMessage(db));
        }
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        // This till's own current sale, in memory: nothing of it reaches a disk.
        exec("PRAGMA temp_store=MEMORY");
        for (const Schema::Table &t : Schema::tables()) {
            if (t.perTill)
                exec(Schema::createStatement(t, true).toUtf8().constData());
        }
        // A file made before the indexes existed gets them now, once. Only speed depends
        // on them: a file that cannot be written (read-only, locked) is used without.
        for (const char *index : Schema::indexes())
            sqlite3_exec(db, index, nullptr, nullptr, nullptr);
    }

    // A write to a file that was removed or replaced while the program ran would go
    // where nobody finds it again: it is refused instead.
    void requireFileInPlace() const {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || st.st_dev != dev ||
            st.st_ino != ino)
            throw StoreError(QStringLiteral("Could not find file '%1'.").arg(path));
    }

    void exec(const char *sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw StoreError(sqliteMessage(db));
    }

    Statement prepare(const QString &sql) {
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &s, nullptr) != SQLITE_OK)
            throw StoreError(sqliteMessage(db));
        return Statement(s);
    }

    void checkTable(const Schema::Table &table) {
        if (!table.checkedOnOpen || checked.contains(QLatin1String(table.name)))
            return;
        // The file's table, also for a table each till keeps its own copy of.
        Statement s = prepare(QStringLiteral("PRAGMA main.table_info(%1)").arg(table.name));
        QHash<QString, QString> declared;
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            const QString name =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.get(), 1)));
            const QString type =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s.get(), 2)))
                    .toUpper();
            declared.insert(name, type);
        }
        if (rc != SQLITE_DONE)
            throw StoreError(sqliteMessage(db));
        for (const Schema::Column &c : table.columns) {
            const QString name = QString::fromUtf8(c.name);
            const auto it = declared.constFind(name);
            if (it == declared.constEnd())
                throw StoreError(
                    QStringLiteral("Field '%1' not found in table '%2'").arg(name, table.name));
            const QString &type = *it;
            const bool isText = type.contains(QLatin1String("CHAR")) ||
                                type.contains(QLatin1String("TEXT")) ||
                                type.contains(QLatin1String("CLOB"));
            const bool isInt = type.contains(QLatin1String("INT"));
            const bool isNumber =
                isInt || type.contains(QLatin1String("REAL")) ||
                type.contains(QLatin1String("FLOA")) || type.contains(QLatin1String("DOUB")) ||
                type.contains(QLatin1String("NUM")) || type.contains(QLatin1String("DEC"));
            const bool ok = (c.kind == Schema::Kind::Text && isText) ||
                            (c.kind == Schema::Kind::Number && isNumber && !isText) ||
                            (c.kind == Schema::Kind::Key && isInt);
            if (!ok)
                throw StoreError(QStringLiteral("Type mismatch for field '%1' of table '%2'")
                                     .arg(name, table.name));
        }
        checked.insert(QLatin1String(table.name));
    }

    void noteWrite(const QString &table) { ++writes[table.toLower()]; }

    TableStamp stamp(const QString &table) {
        TableStamp st;
        st.handle = serial;
        st.own = writes.value(table.toLower());
        Statement s = prepare(QStringLiteral("PRAGMA data_version"));
        if (sqlite3_step(s.get()) != SQLITE_ROW)
            throw StoreError(sqliteMessage(db));
        st.others = sqlite3_column_int64(s.get(), 0);
        return st;
    }

    sqlite3 *db = nullptr;
    QString path;
    dev_t dev;
    ino_t ino;
    // Which handle of the process this is, and the writes through it, by table.
    std::uint64_t serial = ++handlesMade;
    QHash<QString, std::uint64_t> writes;
    int transactionDepth = 0;
    std::vector<QPointer<Query>> touched;
    QSet<QString> checked;
};

namespace Store {

void setDataDirectory(const QString &directory) {
    dataDirectoryRef() = QDir(directory).absolutePath();
}

QString dataDirectory() {
    if (dataDirectoryRef().isEmpty())
        dataDirectoryRef() = QDir::currentPath();
    return dataDirectoryRef();
}

QString databasePath() {
    return QDir(dataDirectory()).filePath(QStringLiteral("data.mdb"));
}

void releaseSharedHandle() {
    cachedHandle().reset();
}

} // namespace Store

// ---------------------------------------------------------------------------
// Connection

Connection::Connection() = default;

Connection::~Connection() {
    for (Query *q : queries_)
        q->closeSilently();
}

void Connection::open() {
    if (handle_)
        return;
    const QString path = Store::databasePath();
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        throw StoreError(QStringLiteral("Could not find file '%1'.").arg(path));
    std::shared_ptr<Handle> &cached = cachedHandle();
    if (!cached || cached->path != path || cached->dev != st.st_dev || cached->ino != st.st_ino) {
        auto fresh = std::make_shared<Handle>(path, st.st_dev, st.st_ino);
        fresh->openKeyed();
        cached = fresh;
    }
    handle_ = cached;
}

void Connection::close() {
    for (Query *q : queries_)
        q->closeSilently();
    handle_.reset();
}

Handle &Connection::handle() {
    open();
    return *handle_;
}

TableStamp Connection::tableStamp(const QString &table) {
    return handle().stamp(table);
}

sqlite3 *Connection::database() {
    return handle().db;
}

void Connection::attach(Query *query) {
    queries_.push_back(query);
}

void Connection::detach(Query *query) {
    std::erase(queries_, query);
}

// ---------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Connection &connection) {
    Handle &h = connection.handle();
    handle_ = connection.handle_;
    if (h.transactionDepth == 0) {
        h.requireFileInPlace();
        h.exec("BEGIN IMMEDIATE");
        h.touched.clear();
        outer_ = true;
    }
    ++h.transactionDepth;
}

void Transaction::commit() {
    if (done_)
        return;
    if (outer_) {
        handle_->requireFileInPlace();
        handle_->exec("COMMIT");
        wrote();
    }
    done_ = true;
    --handle_->transactionDepth;
    if (outer_)
        handle_->touched.clear();
}

Transaction::~Transaction() {
    if (done_)
        return;
    --handle_->transactionDepth;
    if (!outer_)
        return;
    sqlite3_exec(handle_->db, "ROLLBACK", nullptr, nullptr, nullptr);
    // What the queries hold of the rolled-back writes is gone: read again.
    for (const QPointer<Query> &q : handle_->touched) {
        if (q)
            q->invalidate();
    }
    handle_->touched.clear();
}

// ---------------------------------------------------------------------------
// Values

QString Value::toText() const {
    switch (type) {
    case Null:
        return {};
    case Integer:
        return QString::number(integer);
    case Real:
        return generalText(real);
    case Text:
        return text;
    }
    return {};
}

std::optional<double> Value::toDouble() const {
    switch (type) {
    case Null:
        return std::nullopt;
    case Integer:
        return double(integer);
    case Real:
        return real;
    case Text:
        try {
            return double(readNumber(text));
        } catch (const ConversionError &) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// The rows of a result, held compactly: one type byte and one 64-bit word per cell,
// text bytes in one arena.

struct Query::Rows {
    int columns = 0;
    QStringList names;
    bool keyed = false;
    std::vector<std::int64_t> rowIds;
    std::vector<std::uint8_t> types;
    std::vector<std::uint64_t> words;
    std::string arena;

    int count() const { return columns ? int(types.size() / size_t(columns)) : int(rowIds.size()); }

    static std::uint64_t textWord(std::size_t offset, std::size_t length) {
        return (std::uint64_t(offset) << 24) | std::uint64_t(length);
    }

    void storeCell(std::size_t at, sqlite3_stmt *s, int col) {
        switch (sqlite3_column_type(s, col)) {
        case SQLITE_INTEGER: {
            types[at] = Value::Integer;
            const std::int64_t v = sqlite3_column_int64(s, col);
            std::memcpy(&words[at], &v, sizeof v);
            break;
        }
        case SQLITE_FLOAT: {
            types[at] = Value::Real;
            const double v = sqlite3_column_double(s, col);
            std::memcpy(&words[at], &v, sizeof v);
            break;
        }
        case SQLITE_NULL:
            types[at] = Value::Null;
            words[at] = 0;
            break;
        default: {
            const char *p = reinterpret_cast<const char *>(sqlite3_column_text(s, col));
            const std::size_t n = std::size_t(sqlite3_column_bytes(s, col));
            if (n >= (std::size_t(1) << 24))
                throw StoreError(QStringLiteral("A value of %1 bytes is too long to read").arg(n));
            types[at] = Value::Text;
            words[at] = textWord(arena.size(), n);
            arena.append(p ? p : "", n);
            break;
        }
        }
    }

    // Appends the current statement row.
    void add(sqlite3_stmt *s) {
        const int base = keyed ? 1 : 0;
        if (keyed)
            rowIds.push_back(sqlite3_column_int64(s, 0));
        const std::size_t at = types.size();
        types.resize(at + std::size_t(columns));
        words.resize(at + std::size_t(columns));
        for (int c = 0; c < columns; ++c)
            storeCell(at + std::size_t(c), s, c + base);
    }

    // Replaces row r with the current statement row.
    void replace(int r, sqlite3_stmt *s) {
        const int base = keyed ? 1 : 0;
        const std::size_t at = std::size_t(r) * std::size_t(columns);
        for (int c = 0; c < columns; ++c)
            storeCell(at + std::size_t(c), s, c + base);
    }

    void erase(int r) {
        const auto from = std::ptrdiff_t(r) * columns;
        types.erase(types.begin() + from, types.begin() + from + columns);
        words.erase(words.begin() + from, words.begin() + from + columns);
        if (keyed)
            rowIds.erase(rowIds.begin() + r);
    }

    Value value(int r, int c) const {
        const std::size_t at = std::size_t(r) * std::size_t(columns) + std::size_t(c);
        Value v;
        v.type = Value::Type(types[at]);
        switch (v.type) {
        case Value::Integer:
            std::memcpy(&v.integer, &words[at], sizeof v.integer);
            break;
        case Value::Real:
            std::memcpy(&v.real, &words[at], sizeof v.real);
            break;
        case Value::Text: {
            const std::uint64_t w = words[at];
            v.text = QString::fromUtf8(arena.data() + (w >> 24), qsizetype(w & 0xffffff));
            break;
        }
        case Value::Null:
            break;
        }
        return v;
    }

    std::optional<double> number(int r, int c) const {
        const std::size_t at = std::size_t(r) * std::size_t(columns) + std::size_t(c);
        switch (types[at]) {
        case Value::Real: {
            double d;
            std::memcpy(&d, &words[at], sizeof d);
            return d;
        }
        case Value::Integer: {
            std::int64_t i;
            std::memcpy(&i, &words[at], sizeof i);
            return double(i);
        }
        case Value::Null:
            return std::nullopt;
        default:
            return value(r, c).toDouble();
        }
    }
};

// ---------------------------------------------------------------------------
// Query

namespace {

// "select * from T rest": the table T (of the schema), or empty.
QString selectAllTable(const QString &sql) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(sql);
    if (!m.hasMatch() || !Schema::table(m.captured(1)))
        return {};
    return m.captured(1);
}

QString keyedSql(const QString &sql, const QString &table) {
    // Insert the row key in front of the table's own columns.
    static const QRegularExpression re(QStringLiteral(R"(^\s*select\s+\*)"),
                                       QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    const QRegularExpressionMatch m = re.match(sql);
    out.replace(m.capturedStart(), m.capturedLength(),
                QStringLiteral("SELECT %1.rowid AS \"%2\", %1.*").arg(table, "$rowid"));
    return out;
}

void bindAll(sqlite3_stmt *s, const QStringList &params, sqlite3 *db) {
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray utf8 = params[i].toUtf8();
        if (sqlite3_bind_text(s, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) !=
            SQLITE_OK)
            throw StoreError(sqliteMessage(db));
    }
}

void bindValue(sqlite3_stmt *s, int index, const Value &v, sqlite3 *db) {
    int rc = SQLITE_OK;
    switch (v.type) {
    case Value::Null:
        rc = sqlite3_bind_null(s, index);
        break;
    case Value::Integer:
        rc = sqlite3_bind_int64(s, index, v.integer);
        break;
    case Value::Real:
        rc = sqlite3_bind_double(s, index, v.real);
        break;
    case Value::Text: {
        const QByteArray utf8 = v.text.toUtf8();
        rc = sqlite3_bind_text(s, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    }
    if (rc != SQLITE_OK)
        throw StoreError(sqliteMessage(db));
}

QString quoted(const QString &name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

} // namespace

Query::Query(Connection &connection, QObject *parent) : QObject(parent), connection_(connection) {
    connection_.attach(this);
}

Query::~Query() {
    connection_.detach(this);
}

void Query::setSql(const QString &sql, const QStringList &parameters) {
    close();
    sql_ = sql;
    parameters_ = parameters;
    table_ = selectAllTable(sql);
}

void Query::open() {
    if (open_)
        return;
    Handle &h = connection_.handle();
    if (!table_.isEmpty())
        h.checkTable(*Schema::table(table_));
    // Prepare now so that a bad statement fails at open; the rows are read later.
    Statement s = h.prepare(table_.isEmpty() ? sql_ : keyedSql(sql_, table_));
    auto rows = std::make_unique<Rows>();
    rows->keyed = !table_.isEmpty();
    const int n = sqlite3_column_count(s.get());
    for (int c = rows->keyed ? 1 : 0; c < n; ++c)
        rows->names << QString::fromUtf8(sqlite3_column_name(s.get(), c));
    rows->columns = int(rows->names.size());
    bufferNames_ = rows->names;
    open_ = true;
    rows_.reset();
    current_ = -1;
    pastEnd_ = false;
    state_ = State::Browse;
    detachedRowId_.reset();
    emit resultReset();
}

void Query::close() {
    if (!open_)
        return;
    closeSilently();
}

void Query::closeSilently() {
    const bool was = open_;
    open_ = false;
    rows_.reset();
    current_ = -1;
    pastEnd_ = false;
    state_ = State::Browse;
    detachedRowId_.reset();
    if (was)
        emit resultReset();
}

void Query::reopen() {
    close();
    open();
}

void Query::invalidate() {
    if (!open_)
        return;
    rows_.reset();
    current_ = -1;
    pastEnd_ = false;
    state_ = State::Browse;
    detachedRowId_.reset();
    emit resultReset();
}

void Query::requireOpen() const {
    if (!open_)
        throw StoreError(QStringLiteral("Operation not allowed when the object is closed."));
}

void Query::ensureFetched() {
    requireOpen();
    if (!rows_)
        fetch();
}

void Query::fetch() {
    Handle &h = connection_.handle();
    Statement s = h.prepare(table_.isEmpty() ? sql_ : keyedSql(sql_, table_));
    bindAll(s.get(), parameters_, h.db);
    auto rows = std::make_unique<Rows>();
    rows->keyed = !table_.isEmpty();
    const int n = sqlite3_column_count(s.get());
    for (int c = rows->keyed ? 1 : 0; c < n; ++c)
        rows->names << QString::fromUtf8(sqlite3_column_name(s.get(), c));
    rows->columns = int(rows->names.size());
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
        rows->add(s.get());
    if (rc != SQLITE_DONE)
        throw StoreError(sqliteMessage(h.db));
    rows_ = std::move(rows);
    bufferNames_ = rows_->names;
    current_ = rows_->count() > 0 ? 0 : -1;
    pastEnd_ = false;
    if (detachedRowId_) {
        // The row posted before the rows were read stays the current one.
        for (int r = rows_->count() - 1; r >= 0; --r) {
            if (rows_->rowIds[size_t(r)] == *detachedRowId_) {
                current_ = r;
                break;
            }
        }
        detachedRowId_.reset();
    }
}

int Query::recordCount() {
    ensureFetched();
    return rows_->count();
}

int Query::recNo() {
    ensureFetched();
    return current_ + 1;
}

bool Query::eof() {
    ensureFetched();
    return rows_->count() == 0 || pastEnd_;
}

void Query::setCurrent(int row) {
    const int before = current_;
    current_ = row;
    pastEnd_ = false;
    if (before != current_)
        emit currentChanged(current_);
}

void Query::first() {
    ensureFetched();
    setCurrent(rows_->count() > 0 ? 0 : -1);
}

void Query::last() {
    ensureFetched();
    setCurrent(rows_->count() - 1);
}

void Query::next() {
    ensureFetched();
    if (current_ + 1 < rows_->count())
        setCurrent(current_ + 1);
    else
        pastEnd_ = true;
}

void Query::prior() {
    ensureFetched();
    if (current_ > 0)
        setCurrent(current_ - 1);
}

void Query::moveTo(int row) {
    ensureFetched();
    if (row < 0 || row >= rows_->count())
        return;
    setCurrent(row);
}

QStringList Query::fieldNames() {
    requireOpen();
    return bufferNames_;
}

int Query::fieldIndex(const QString &name) {
    requireOpen();
    return columnFor(name);
}

int Query::columnFor(const QString &name) const {
    for (int i = 0; i < bufferNames_.size(); ++i) {
        if (bufferNames_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int Query::currentIndexForRead() {
    ensureFetched();
    return current_;
}

QString Query::fieldText(const QString &name) {
    requireOpen();
    const int c = columnFor(name);
    if (c < 0)
        throw StoreError(QStringLiteral("Field '%1' not found").arg(name));
    if (state_ != State::Browse)
        return buffer_[size_t(c)].toText();
    if (!rows_ && detachedRowId_)
        return detachedRow_[size_t(c)].toText();
    const int r = currentIndexForRead();
    if (r < 0)
        return {};
    return rows_->value(r, c).toText();
}

std::optional<double> Query::fieldNumber(const QString &name) {
    requireOpen();
    const int c = columnFor(name);
    if (c < 0)
        throw StoreError(QStringLiteral("Field '%1' not found").arg(name));
    if (state_ != State::Browse)
        return buffer_[size_t(c)].toDouble();
    if (!rows_ && detachedRowId_)
        return detachedRow_[size_t(c)].toDouble();
    const int r = currentIndexForRead();
    if (r < 0)
        return std::nullopt;
    return rows_->number(r, c);
}

Value Query::value(int row, int field) {
    ensureFetched();
    return rows_->value(row, field);
}

QString Query::text(int row, int field) {
    return value(row, field).toText();
}

std::optional<double> Query::number(int row, int field) {
    ensureFetched();
    return rows_->number(row, field);
}

void Query::edit() {
    requireOpen();
    if (table_.isEmpty())
        throw StoreError(QStringLiteral("The query cannot be edited: %1").arg(sql_));
    if (state_ != State::Browse)
        return;
    ensureFetched();
    if (current_ < 0) {
        append();
        return;
    }
    buffer_.clear();
    for (int c = 0; c < rows_->columns; ++c)
        buffer_.push_back(rows_->value(current_, c));
    dirty_.assign(buffer_.size(), false);
    state_ = State::Edit;
}

void Query::append() {
    requireOpen();
    if (table_.isEmpty())
        throw StoreError(QStringLiteral("The query cannot be edited: %1").arg(sql_));
    if (state_ != State::Browse)
        cancel();
    buffer_.assign(size_t(bufferNames_.size()), Value{});
    dirty_.assign(buffer_.size(), false);
    state_ = State::Insert;
}

void Query::cancel() {
    state_ = State::Browse;
    buffer_.clear();
    dirty_.clear();
}

void Query::setField(const QString &name, const QString &text) {
    requireOpen();
    if (state_ == State::Browse)
        throw StoreError(QStringLiteral("Dataset not in edit or insert mode"));
    const int c = columnFor(name);
    if (c < 0)
        throw StoreError(QStringLiteral("Field '%1' not found").arg(name));
    const QString fieldName = bufferNames_[c];
    const Schema::Table *table = Schema::table(table_);
    const Schema::Column *column = table ? Schema::column(*table, fieldName) : nullptr;
    Value v;
    if (column && column->kind == Schema::Kind::Key) {
        throw StoreError(QStringLiteral("Field '%1' cannot be modified").arg(fieldName));
    } else if (column && column->kind == Schema::Kind::Number) {
        if (!text.isEmpty()) {
            try {
                v.real = double(readNumber(text));
            } catch (const ConversionError &) {
                v.real = std::numeric_limits<double>::quiet_NaN();
            }
            // A number too large for the column (such as "1e999") is refused as a
            // non-number is, rather than kept as infinity.
            if (!std::isfinite(v.real))
                throw StoreError(
                    QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                        .arg(text, fieldName));
            v.type = Value::Real;
        }
    } else {
        if (column && column->width > 0) {
            const qsizetype length = text.toUcs4().size();
            if (length > column->width)
                throw StoreError(
                    QStringLiteral("“%1”最多只能保存 %2 个字符，输入的内容有 %3 个字符")
                        .arg(fieldName)
                        .arg(column->width)
                        .arg(length));
        }
        v.type = Value::Text;
        v.text = text;
    }
    buffer_[size_t(c)] = v;
    dirty_[size_t(c)] = true;
}

std::int64_t Query::currentRowId() {
    if (!rows_ && detachedRowId_)
        return *detachedRowId_;
    ensureFetched();
    return rows_->rowIds[size_t(current_)];
}

void Query::post() {
    requireOpen();
    if (state_ == State::Browse)
        return;
    Handle &h = connection_.handle();
    if (h.transactionDepth == 0)
        h.requireFileInPlace();
    QStringList columns;
    std::vector<const Value *> values;
    for (size_t c = 0; c < buffer_.size(); ++c) {
        if (dirty_[c]) {
            columns << quoted(bufferNames_[qsizetype(c)]);
            values.push_back(&buffer_[c]);
        }
    }
    std::int64_t rowId = 0;
    if (state_ == State::Insert) {
        QString sql;
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table_);
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table_, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        }
        Statement s = h.prepare(sql);
        for (size_t i = 0; i < values.size(); ++i)
            bindValue(s.get(), int(i) + 1, *values[i], h.db);
        if (sqlite3_step(s.get()) != SQLITE_DONE)
            throw StoreError(sqliteMessage(h.db));
        rowId = sqlite3_last_insert_rowid(h.db);
        h.noteWrite(table_);
        wrote();
    } else {
        rowId = currentRowId();
        if (!columns.isEmpty()) {
            QStringList sets;
            for (const QString &c : columns)
                sets << c + QStringLiteral("=?");
            Statement s = h.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                                        .arg(table_, sets.join(QLatin1Char(','))));
            for (size_t i = 0; i < values.size(); ++i)
                bindValue(s.get(), int(i) + 1, *values[i], h.db);
            sqlite3_bind_int64(s.get(), int(values.size()) + 1, rowId);
            if (sqlite3_step(s.get()) != SQLITE_DONE)
                throw StoreError(sqliteMessage(h.db));
            h.noteWrite(table_);
            wrote();
        }
    }
    if (h.transactionDepth > 0)
        h.touched.emplace_back(this);
    const bool inserted = state_ == State::Insert;
    cancel();

    // Read the row back as the file holds it (key, conversions).
    Statement s = h.prepare(QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid=?").arg(table_));
    sqlite3_bind_int64(s.get(), 1, rowId);
    if (sqlite3_step(s.get()) != SQLITE_ROW)
        throw StoreError(sqliteMessage(h.db));
    if (!rows_) {
        if (inserted) {
            Rows one;
            one.keyed = true;
            one.columns = int(bufferNames_.size());
            one.add(s.get());
            detachedRow_.clear();
            for (int c = 0; c < one.columns; ++c)
                detachedRow_.push_back(one.value(0, c));
            detachedRowId_ = rowId;
        } else if (detachedRowId_) {
            Rows one;
            one.keyed = true;
            one.columns = int(bufferNames_.size());
            one.add(s.get());
            for (int c = 0; c < one.columns; ++c)
                detachedRow_[size_t(c)] = one.value(0, c);
        }
        return;
    }
    if (inserted) {
        rows_->add(s.get());
        const int row = rows_->count() - 1;
        emit rowInserted(row);
        setCurrent(row);
    } else {
        rows_->replace(current_, s.get());
        emit rowChanged(current_);
    }
}

void Query::remove() {
    requireOpen();
    if (table_.isEmpty())
        throw StoreError(QStringLiteral("The query cannot be edited: %1").arg(sql_));
    if (state_ != State::Browse)
        cancel();
    ensureFetched();
    if (current_ < 0)
        throw StoreError(QStringLiteral("Either BOF or EOF is True, or the current record has "
                                        "been deleted."));
    Handle &h = connection_.handle();
    if (h.transactionDepth == 0)
        h.requireFileInPlace();
    Statement s = h.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(table_));
    sqlite3_bind_int64(s.get(), 1, rows_->rowIds[size_t(current_)]);
    if (sqlite3_step(s.get()) != SQLITE_DONE)
        throw StoreError(sqliteMessage(h.db));
    h.noteWrite(table_);
    wrote();
    if (h.transactionDepth > 0)
        h.touched.emplace_back(this);
    const int removed = current_;
    rows_->erase(removed);
    emit rowRemoved(removed);
    const int count = rows_->count();
    current_ = removed < count ? removed : count - 1;
    pastEnd_ = false;
    emit currentChanged(current_);
}
