// Writes a data.mdb holding the history of a busy shop: goods, users, several
// cashiers and years of printed receipts, the same for the same options.
#include "Create.h"
#include "Password.h"
#include "Schema.h"
#include "StoreError.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

struct Options {
    std::uint64_t seed = 1;
    int days = 5 * 365;
    int perDay = 300;
    int goods = 5000;
    int users = 20;
    int cashiers = 6;
    QDate until{2026, 1, 1}; // the history ends the day before
    QString out = QStringLiteral("data.mdb");
};

struct DbCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct StmtCloser {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtCloser>;

[[noreturn]] void fail(const std::string &what) {
    std::fprintf(stderr, "mkhistory: %s\n", what.c_str());
    std::exit(1);
}

void exec(sqlite3 *db, const char *sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sqlite3_errmsg(db));
}

Stmt prepare(sqlite3 *db, const char *sql) {
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
        fail(sqlite3_errmsg(db));
    return Stmt(s);
}

void bindText(sqlite3_stmt *s, int i, const std::string &text) {
    sqlite3_bind_text(s, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

void step(sqlite3 *db, sqlite3_stmt *s) {
    if (sqlite3_step(s) != SQLITE_DONE)
        fail(sqlite3_errmsg(db));
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
}

Options parse(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc)
                fail("missing value after " + a);
            return argv[++i];
        };
        if (a == "--seed")
            o.seed = std::stoull(next());
        else if (a == "--days")
            o.days = std::stoi(next());
        else if (a == "--per-day")
            o.perDay = std::stoi(next());
        else if (a == "--goods")
            o.goods = std::stoi(next());
        else if (a == "--users")
            o.users = std::stoi(next());
        else if (a == "--cashiers")
            o.cashiers = std::stoi(next());
        else if (a == "--until")
            o.until = QDate::fromString(QString::fromLatin1(next().c_str()), Qt::ISODate);
        else if (a == "--out")
            o.out = QString::fromLocal8Bit(next().c_str());
        else if (a == "--help" || a == "-h") {
            std::printf("usage: mkhistory [--out data.mdb] [--seed N] [--days N] [--per-day N] "
                        "[--goods N] [--users N] [--cashiers N] [--until yyyy-MM-dd]\n");
            std::exit(0);
        } else
            fail("unknown option " + a);
    }
    if (o.days < 0 || o.perDay < 0 || o.perDay > 50400 || o.goods < 1 || o.users < 1 ||
        o.cashiers < 1 || o.cashiers > o.users || !o.until.isValid())
        fail("option out of range");
    return o;
}

// Money in cents, written as the program writes it: a number with two decimals.
double money(std::int64_t cents) {
    return double(cents) / 100.0;
}

const char *const kWords[] = {"可口", "雪碧", "矿泉", "方便", "面包", "牛奶", "酸奶", "薯片",
                              "饼干", "巧克", "香皂", "毛巾", "牙膏", "洗发", "纸巾", "电池",
                              "茶叶", "咖啡", "啤酒", "果汁", "大米", "食用", "鸡蛋", "香肠"};
const char *const kKinds[] = {"小装", "大装", "家庭装", "礼盒", "单只", "整箱"};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const Options o = parse(argc, argv);
    std::mt19937_64 random(o.seed);
    auto uniform = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };

    QFile::remove(o.out);
    QFile::remove(o.out + QStringLiteral("-wal"));
    QFile::remove(o.out + QStringLiteral("-shm"));
    try {
        createDatabase(o.out);
    } catch (const StoreError &e) {
        fail(e.what());
    }

    sqlite3 *raw = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(o.out).constData(), &raw, SQLITE_OPEN_READWRITE,
                        nullptr) != SQLITE_OK)
        fail("cannot open output");
    Db db(raw);
    const char *key = Schema::databaseKey();
    sqlite3_key(raw, key, int(std::strlen(key)));
    exec(raw, "PRAGMA journal_mode=WAL");
    exec(raw, "PRAGMA synchronous=OFF");
    exec(raw, "PRAGMA cache_size=-65536");

    // Goods: distinct names, prices in cents.
    std::vector<std::string> goodsNames;
    std::vector<std::int64_t> goodsPrices;
    exec(raw, "BEGIN");
    {
        Stmt s = prepare(raw, "INSERT INTO spxx (品名, 单价) VALUES (?, ?)");
        const int words = int(std::size(kWords)), kinds = int(std::size(kKinds));
        for (int g = 0; g < o.goods; ++g) {
            std::string name = kWords[g % words];
            name += kKinds[(g / words) % kinds];
            name += std::to_string(g + 1);
            const std::int64_t cents = std::int64_t(uniform(1, 400)) * 50 + uniform(0, 1) * 9;
            bindText(s.get(), 1, name);
            sqlite3_bind_double(s.get(), 2, money(cents));
            step(raw, s.get());
            goodsNames.push_back(std::move(name));
            goodsPrices.push_back(cents);
        }
    }
    // Users: "admin" exists; the others are cashiers and a few administrators.
    std::vector<std::string> cashiers;
    {
        Stmt s = prepare(raw, "INSERT INTO username (用户名, 密码, 权限) VALUES (?, ?, ?)");
        const std::string hash = hashPassword(QStringLiteral("1234")).toStdString();
        for (int u = 1; u < o.users; ++u) {
            const std::string name = "收银员" + std::to_string(u);
            bindText(s.get(), 1, name);
            bindText(s.get(), 2, hash);
            bindText(s.get(), 3, u % 7 == 0 ? "管理员" : "收银员");
            step(raw, s.get());
            if (int(cashiers.size()) < o.cashiers - 1)
                cashiers.push_back(name);
        }
        cashiers.push_back("admin");
    }
    exec(raw, "COMMIT");

    // Receipts: opening hours 08:00 to 22:00, increasing times, one second apart at
    // least, so the numbers (the time to the second) are distinct and increasing.
    Stmt receipt = prepare(raw, "INSERT INTO xstj (单号, 时间, 数量, 金额, 折后, 收银员) "
                                "VALUES (?, ?, ?, ?, ?, ?)");
    Stmt line = prepare(raw, "INSERT INTO xsmx (单号, 时间, 客户, 电话, 品名, 单价, 数量, 金额, "
                             "折后) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QDate first = o.until.addDays(-o.days);
    const int open = 8 * 3600, span = 14 * 3600;
    const std::int64_t total = std::int64_t(o.days) * o.perDay;
    std::int64_t written = 0, lines = 0;
    const int discounts[] = {10, 10, 10, 10, 10, 10, 9, 8};
    exec(raw, "BEGIN");
    for (int d = 0; d < o.days; ++d) {
        const QDate day = first.addDays(d);
        // perDay distinct seconds of the day, in order.
        std::vector<int> seconds;
        seconds.reserve(size_t(o.perDay));
        const int gap = o.perDay > 0 ? span / o.perDay : span;
        for (int r = 0; r < o.perDay; ++r)
            seconds.push_back(open + r * gap + uniform(0, std::max(0, gap - 1)));
        for (int r = 0; r < o.perDay; ++r) {
            const QDateTime when(day, QTime(0, 0).addSecs(seconds[size_t(r)]));
            const std::string number =
                when.toString(QStringLiteral("yyyyMMddhhmmss")).toStdString();
            const std::string time =
                when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
            const bool customer = uniform(0, 9) == 0;
            const std::string who = customer ? "顾客" + std::to_string(uniform(1, 500)) : "";
            const std::string phone =
                customer ? "139" + std::to_string(uniform(10000000, 99999999)) : "";
            // One to ten lines, short receipts the most common (3.85 on average).
            const int count = 1 + std::min(uniform(0, 9), uniform(0, 9));
            std::int64_t quantity = 0, amount = 0, discounted = 0;
            for (int l = 0; l < count; ++l) {
                const int g = uniform(0, o.goods - 1);
                const int q = uniform(1, 10) <= 8 ? 1 : uniform(2, 6);
                const std::int64_t a = goodsPrices[size_t(g)] * q;
                const int rate = discounts[uniform(0, int(std::size(discounts)) - 1)];
                const std::int64_t z = (a * rate + 5) / 10;
                quantity += q;
                amount += a;
                discounted += z;
                sqlite3_stmt *s = line.get();
                bindText(s, 1, number);
                bindText(s, 2, time);
                bindText(s, 3, who);
                bindText(s, 4, phone);
                bindText(s, 5, goodsNames[size_t(g)]);
                sqlite3_bind_double(s, 6, money(goodsPrices[size_t(g)]));
                sqlite3_bind_double(s, 7, double(q));
                sqlite3_bind_double(s, 8, money(a));
                sqlite3_bind_double(s, 9, money(z));
                step(raw, s);
                ++lines;
            }
            sqlite3_stmt *s = receipt.get();
            bindText(s, 1, number);
            bindText(s, 2, time);
            sqlite3_bind_double(s, 3, double(quantity));
            sqlite3_bind_double(s, 4, money(amount));
            sqlite3_bind_double(s, 5, money(discounted));
            bindText(s, 6, cashiers[size_t(uniform(0, int(cashiers.size()) - 1))]);
            step(raw, s);
            ++written;
        }
        if (d % 30 == 29 || d == o.days - 1) {
            exec(raw, "COMMIT");
            exec(raw, "BEGIN");
            std::fprintf(stderr, "\rmkhistory: day %d of %d, %lld of %lld receipts, %lld lines",
                         d + 1, o.days, (long long)written, (long long)total, (long long)lines);
        }
    }
    exec(raw, "COMMIT");
    receipt.reset();
    line.reset();
    exec(raw, "PRAGMA wal_checkpoint(TRUNCATE)");
    std::fprintf(stderr, "\nmkhistory: %lld receipts, %lld lines, %d goods, %d users written\n",
                 (long long)written, (long long)lines, o.goods, o.users);
    return 0;
}
