// Times the program's own windows, headless, on a given data.mdb, and the floors to
// compare them with: the same SQL read straight into plain vectors, the same rows
// written by libxlsxwriter from memory.
//
//   receipt-bench table --empty DIR --large DIR [--goods-only DIR] [--reps N]
//       runs every operation on both files, each in a child process of its own, and
//       prints the table.
//   receipt-bench run OP DIR REPS
//       one operation (or floor) in this process; prints "RESULT ms peak-kB rows".
#include "Conventions.h"
#include "DataGrid.h"
#include "Database.h"
#include "Export.h"
#include "Forms.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "Messages.h"
#include "Report.h"
#include "Schema.h"
#include "Startup.h"
#include "XscxUnit.h"
#include "XsmxUnit.h"
#include "XstjUnit.h"

#include <QApplication>
#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace {

using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------
// Memory: the peak resident size since the last reset.

long statusKb(const char *field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, n, field) == 0)
            return std::stol(line.substr(n + 1));
    }
    return 0;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// ---------------------------------------------------------------------------
// Operations: a setup (not timed) and a step (timed), run REPS times.

struct Operation {
    std::function<void()> setup;   // once, before the first step
    std::function<void()> prepare; // before each step, not timed
    std::function<void()> step;    // timed
    std::function<long()> rows = [] { return 0L; };
};

void settle() {
    QCoreApplication::processEvents();
}

void openForms() {
    createForms();
    forms().main->show();
    settle();
}

void fillEntry(const QString &goods, const QString &price, const QString &quantity,
               const QString &discount) {
    TMainForm *m = forms().main;
    m->ComboBox1->setEditText(goods);
    m->Edit3->setText(price);
    m->Edit4->setText(quantity);
    m->ComboBox2->setEditText(discount);
}

void addLine(int i) {
    fillEntry(QStringLiteral("可口小装%1").arg(i % 20 + 1), QStringLiteral("3.5"),
              QStringLiteral("2"), QStringLiteral("10"));
    forms().main->SpeedButton2->click();
}

void removeAllLines() {
    TMainForm *m = forms().main;
    while (m->ADOQuery2.recordCount() > 0) {
        m->SpeedButton4->setEnabled(true);
        m->SpeedButton4->click();
    }
}

// The statistics window as the main window's "统计" opens it, without the modal loop.
void openStatistics() {
    TXstjForm *x = forms().xstj;
    reconnect(x->ADOConnection1,
              {{&x->ADOQuery1, QStringLiteral("select * from xstj order by 时间 asc")}});
    x->show();
    settle();
}

// ---------------------------------------------------------------------------
// Floors

struct DbCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
std::unique_ptr<sqlite3, DbCloser> floorDb;

void openFloorDb(const QString &dir) {
    sqlite3 *db = nullptr;
    const QByteArray path = QFile::encodeName(QDir(dir).filePath(QStringLiteral("data.mdb")));
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open data.mdb");
    floorDb.reset(db);
    const char *key = Schema::databaseKey();
    sqlite3_key(db, key, int(std::strlen(key)));
    sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
}

struct ReceiptRow {
    std::int64_t rowid = 0;
    std::string number, time, cashier;
    double quantity = 0, amount = 0, discounted = 0;
};
struct LineRow {
    std::int64_t rowid = 0;
    std::string number, time, customer, phone, goods;
    double price = 0, quantity = 0, amount = 0, discounted = 0;
};

std::string columnText(sqlite3_stmt *s, int c) {
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(s, c));
    return t ? std::string(t, size_t(sqlite3_column_bytes(s, c))) : std::string();
}

std::vector<ReceiptRow> readReceipts(const char *sql, const std::string &parameter = {}) {
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(floorDb.get(), sql, -1, &s, nullptr);
    if (!parameter.empty())
        sqlite3_bind_text(s, 1, parameter.data(), int(parameter.size()), SQLITE_TRANSIENT);
    std::vector<ReceiptRow> rows;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ReceiptRow r;
        r.rowid = sqlite3_column_int64(s, 0);
        r.number = columnText(s, 1);
        r.time = columnText(s, 2);
        r.quantity = sqlite3_column_double(s, 3);
        r.amount = sqlite3_column_double(s, 4);
        r.discounted = sqlite3_column_double(s, 5);
        r.cashier = columnText(s, 6);
        rows.push_back(std::move(r));
    }
    sqlite3_finalize(s);
    return rows;
}

std::vector<LineRow> readLines(const std::string &number) {
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(floorDb.get(), "SELECT rowid, * FROM xsmx WHERE 单号 = ?", -1, &s, nullptr);
    sqlite3_bind_text(s, 1, number.data(), int(number.size()), SQLITE_TRANSIENT);
    std::vector<LineRow> rows;
    while (sqlite3_step(s) == SQLITE_ROW) {
        LineRow r;
        r.rowid = sqlite3_column_int64(s, 0);
        r.number = columnText(s, 1);
        r.time = columnText(s, 2);
        r.customer = columnText(s, 3);
        r.phone = columnText(s, 4);
        r.goods = columnText(s, 5);
        r.price = sqlite3_column_double(s, 6);
        r.quantity = sqlite3_column_double(s, 7);
        r.amount = sqlite3_column_double(s, 8);
        r.discounted = sqlite3_column_double(s, 9);
        rows.push_back(std::move(r));
    }
    sqlite3_finalize(s);
    return rows;
}

std::string middleReceiptNumber() {
    std::vector<ReceiptRow> all = readReceipts("SELECT rowid, * FROM xstj ORDER BY 时间 ASC");
    return all.empty() ? std::string() : all[all.size() / 2].number;
}

void writeWorkbook(const std::vector<ReceiptRow> &rows, const std::string &file) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(file.c_str(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    const char *names[] = {"单号", "时间", "数量", "金额", "折后", "收银员"};
    for (int c = 0; c < 6; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), names[c], nullptr);
    char buffer[64];
    auto number = [&](lxw_row_t r, lxw_col_t c, double v) {
        const auto end = std::to_chars(buffer, buffer + sizeof buffer - 1, v).ptr;
        *end = 0;
        worksheet_write_string(sheet, r, c, buffer, nullptr);
    };
    lxw_row_t r = 1;
    for (const ReceiptRow &row : rows) {
        if (!row.number.empty())
            worksheet_write_string(sheet, r, 0, row.number.c_str(), nullptr);
        if (!row.time.empty())
            worksheet_write_string(sheet, r, 1, row.time.c_str(), nullptr);
        number(r, 2, row.quantity);
        number(r, 3, row.amount);
        number(r, 4, row.discounted);
        if (!row.cashier.empty())
            worksheet_write_string(sheet, r, 5, row.cashier.c_str(), nullptr);
        ++r;
    }
    workbook_close(book);
}

// ---------------------------------------------------------------------------

const char *const kCashier = "收银员1";

std::map<std::string, Operation> operations(const QString &dir, QTemporaryDir &scratch) {
    std::map<std::string, Operation> ops;
    auto sink = [] {
        Report::setPrintSink([](Report::BandedReport &report) { report.renderToImages(); });
    };

    ops["startup"] = {
        [] {},
        [] {},
        [] {
            openForms();
            {
                TLoginForm login(forms().main);
                login.show();
                settle();
            }
            destroyForms();
        },
    };
    ops["add"] = {
        [] { openForms(); },
        [] {
            if (forms().main->ADOQuery2.recordCount() >= 10)
                removeAllLines();
            fillEntry(QStringLiteral("可口小装1"), QStringLiteral("3.5"), QStringLiteral("2"),
                      QStringLiteral("10"));
        },
        [] {
            forms().main->SpeedButton2->click();
            settle();
        },
    };
    ops["modify"] = {
        [] {
            openForms();
            addLine(0);
        },
        [] {
            TMainForm *m = forms().main;
            m->ADOQuery2.first();
            emit m->DBGridEh1->clicked(m->DBGridEh1->model()->index(0, 1));
            fillEntry(QStringLiteral("雪碧大装2"), QStringLiteral("4"), QStringLiteral("3"),
                      QStringLiteral("9"));
        },
        [] {
            forms().main->SpeedButton3->click();
            settle();
        },
    };
    ops["sale"] = {
        [sink] {
            sink();
            openForms();
            forms().main->ComboBox5->setEditText(QStringLiteral("58"));
            forms().main->ComboBox3->setEditText(QStringLiteral("1"));
        },
        [] {
            for (int i = 0; i < 5; ++i)
                addLine(i);
        },
        [] {
            forms().main->SpeedButton6->click();
            settle();
        },
    };
    // The same on the system's default printer: the job goes through the print system.
    ops["sale-printer"] = ops["sale"];
    ops["sale-printer"].setup = [] {
        openForms();
        forms().main->ComboBox5->setEditText(QStringLiteral("58"));
        forms().main->ComboBox3->setEditText(QStringLiteral("1"));
    };
    auto statisticsRows = [] { return long(forms().xstj->ADOQuery1.recordCount()); };
    ops["statistics"] = {[] { openForms(); }, [] { forms().xstj->hide(); },
                         [] { openStatistics(); }, statisticsRows};
    ops["refresh"] = {[] {
                          openForms();
                          openStatistics();
                      },
                      [] {},
                      [] {
                          forms().xstj->SpeedButton3->click();
                          settle();
                      },
                      statisticsRows};
    ops["query"] = {[] {
                        openForms();
                        openStatistics();
                    },
                    [] {
                        TXscxForm *q = forms().xscx;
                        q->ComboBox1->setEditText(QString());
                        q->ComboBox2->setEditText(QString::fromUtf8(kCashier));
                    },
                    [] {
                        forms().xscx->SpeedButton1->click();
                        settle();
                    },
                    statisticsRows};
    ops["details"] = {[] {
                          openForms();
                          openStatistics();
                          Query &list = forms().xstj->ADOQuery1;
                          list.moveTo(list.recordCount() / 2);
                      },
                      [] {},
                      [] {
                          QTimer::singleShot(0, forms().xsmx, [] { forms().xsmx->reject(); });
                          emit forms().xstj->DBGridEh1->gridDoubleClicked();
                      },
                      [] { return long(forms().xsmx->ADOQuery1.recordCount()); }};
    const QString exportFile = scratch.filePath(QStringLiteral("export.xls"));
    ops["export"] = {[] {
                         openForms();
                         openStatistics();
                     },
                     [] {},
                     [exportFile] {
                         int reports = 0;
                         exportList(forms().xstj->ADOQuery1, exportFile, [&reports](int, int) {
                             ++reports;
                             return true;
                         });
                     },
                     statisticsRows};

    // Floors.
    auto receipts = std::make_shared<std::vector<ReceiptRow>>();
    auto count = [receipts] { return long(receipts->size()); };
    ops["floor-statistics"] = {
        [dir] { openFloorDb(dir); }, [receipts] { receipts->clear(); },
        [receipts] { *receipts = readReceipts("SELECT rowid, * FROM xstj ORDER BY 时间 ASC"); },
        count};
    ops["floor-refresh"] = {[dir] { openFloorDb(dir); }, [receipts] { receipts->clear(); },
                            [receipts] { *receipts = readReceipts("SELECT rowid, * FROM xstj"); },
                            count};
    ops["floor-query"] = {[dir] { openFloorDb(dir); }, [receipts] { receipts->clear(); },
                          [receipts] {
                              *receipts = readReceipts(
                                  "SELECT rowid, * FROM xstj WHERE 收银员 LIKE ? ESCAPE '\\'",
                                  std::string("%") + kCashier + "%");
                          },
                          count};
    auto number = std::make_shared<std::string>();
    auto lines = std::make_shared<std::vector<LineRow>>();
    ops["floor-details"] = {[dir, number] {
                                openFloorDb(dir);
                                *number = middleReceiptNumber();
                            },
                            [lines] { lines->clear(); },
                            [number, lines] { *lines = readLines(*number); },
                            [lines] { return long(lines->size()); }};
    const std::string floorFile = scratch.filePath(QStringLiteral("floor.xlsx")).toStdString();
    ops["floor-export"] = {
        [dir, receipts] {
            openFloorDb(dir);
            *receipts = readReceipts("SELECT rowid, * FROM xstj ORDER BY 时间 ASC");
        },
        [] {}, [receipts, floorFile] { writeWorkbook(*receipts, floorFile); }, count};
    return ops;
}

int runOne(int argc, char **argv) {
    const std::string op = argv[2];
    const QString dir = QString::fromLocal8Bit(argv[3]);
    const int reps = std::max(1, std::atoi(argv[4]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a runtime directory only its user can enter.
    QTemporaryDir scratch;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(scratch.path()));
    QApplication app(argc, argv);
    QDir::setCurrent(dir);
    Store::setDataDirectory(dir);
    Messages::setAnswerer([](const Messages::Box &) { return true; });
    ExportDialog::setChooser([](QWidget *) { return QString(); });

    auto ops = operations(dir, scratch);
    const auto it = ops.find(op);
    if (it == ops.end()) {
        std::fprintf(stderr, "receipt-bench: unknown operation %s\n", op.c_str());
        return 2;
    }
    Operation &o = it->second;
    o.setup();
    std::vector<double> times;
    long peak = 0;
    for (int i = 0; i < reps; ++i) {
        o.prepare();
        settle();
        // Memory is measured on the first run only: freed memory goes back to the
        // system first, so that the peak is what this operation needs.
        if (i == 0)
            malloc_trim(0);
        const long before = statusKb("VmRSS:");
        resetPeak();
        const auto start = Clock::now();
        o.step();
        const auto end = Clock::now();
        // The first run's peak: later runs reuse memory the earlier ones freed.
        if (i == 0)
            peak = std::max(0L, statusKb("VmHWM:") - before);
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("RESULT %.3f %ld %ld\n", times[times.size() / 2], peak, o.rows());
    std::fflush(stdout);
    if (forms().main)
        destroyForms();
    return 0;
}

// ---------------------------------------------------------------------------
// The table

struct Result {
    double ms = -1;
    long peakKb = 0;
    long rows = 0;
};

Result child(const QString &self, const std::string &op, const QString &dir, int reps, bool copy) {
    QTemporaryDir work;
    QString runDir = dir;
    if (copy) {
        // Operations that write get a copy of the file, so the cached one stays as made.
        std::filesystem::copy_file(
            QDir(dir).filePath(QStringLiteral("data.mdb")).toStdString(),
            QDir(work.path()).filePath(QStringLiteral("data.mdb")).toStdString());
        runDir = work.path();
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(self,
            {QStringLiteral("run"), QString::fromStdString(op), runDir, QString::number(reps)});
    p.waitForFinished(-1);
    const QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    for (const QString &line : out) {
        if (line.startsWith(QLatin1String("RESULT "))) {
            const QStringList f = line.split(' ');
            return {f[1].toDouble(), f[2].toLong(), f[3].toLong()};
        }
    }
    std::fprintf(stderr, "receipt-bench: %s failed on %s\n", op.c_str(),
                 dir.toLocal8Bit().constData());
    return {};
}

std::string ms(double v) {
    char b[32];
    if (v < 0)
        return "failed";
    std::snprintf(b, sizeof b, v < 10 ? "%.2f ms" : "%.0f ms", v);
    return b;
}

std::string ratio(double a, double b) {
    char buf[32];
    if (a < 0 || b <= 0)
        return "—";
    std::snprintf(buf, sizeof buf, "%.2f×", a / b);
    return buf;
}

int table(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QString empty, large, goodsOnly;
    int reps = 7;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--empty")
            empty = QString::fromLocal8Bit(argv[i + 1]);
        else if (a == "--large")
            large = QString::fromLocal8Bit(argv[i + 1]);
        else if (a == "--goods-only")
            goodsOnly = QString::fromLocal8Bit(argv[i + 1]);
        else if (a == "--reps")
            reps = std::atoi(argv[i + 1]);
    }
    const QString self = QCoreApplication::applicationFilePath();
    struct Row {
        const char *label;
        const char *op;
        const char *floor; // none: compared with the empty history only
        bool writes;
        int reps;
    };
    const Row rows[] = {
        {"start-up (windows + login shown)", "startup", nullptr, false, reps * 3},
        {"add one line", "add", nullptr, true, reps * 3},
        {"modify one line", "modify", nullptr, true, reps * 3},
        {"settle a five-line sale (print)", "sale", nullptr, true, reps},
        {"the same on the system's default printer", "sale-printer", nullptr, true, reps},
        {"open statistics (统计)", "statistics", "floor-statistics", false, reps},
        {"refresh (刷新)", "refresh", "floor-refresh", false, reps},
        {"query by cashier (查询)", "query", "floor-query", false, reps},
        {"details of one receipt", "details", "floor-details", false, reps * 3},
        {"export the statistics list", "export", "floor-export", false, std::max(3, reps / 2)},
    };
    std::printf("| operation | empty history | large history | ratio large/empty | floor | "
                "ratio to floor | peak memory (large) |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Row &r : rows) {
        if (std::strcmp(r.op, "sale-printer") == 0 && QPrinterInfo::defaultPrinterName().isEmpty())
            continue;
        const Result e = child(self, r.op, empty, r.reps, r.writes);
        const Result l = child(self, r.op, large, r.reps, r.writes);
        Result f;
        if (r.floor)
            f = child(self, r.floor, large, r.reps, false);
        char memory[128];
        std::snprintf(memory, sizeof memory, "%.1f MB", double(l.peakKb) / 1024.0);
        std::string mem = memory;
        // Bytes per listed receipt where the operation reads the whole list anew.
        const bool perReceipt =
            std::strcmp(r.op, "statistics") == 0 || std::strcmp(r.op, "refresh") == 0;
        if (perReceipt && l.rows > 0) {
            std::snprintf(memory, sizeof memory, " (%.0f B/receipt; floor %.0f B/receipt)",
                          double(l.peakKb) * 1024.0 / double(l.rows),
                          double(f.peakKb) * 1024.0 / double(std::max(1L, f.rows)));
            mem += memory;
        }
        std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", r.label, ms(e.ms).c_str(),
                    ms(l.ms).c_str(), ratio(l.ms, e.ms).c_str(), r.floor ? ms(f.ms).c_str() : "—",
                    r.floor ? ratio(l.ms, f.ms).c_str() : "—", mem.c_str());
        std::fflush(stdout);
    }
    if (goodsOnly.isEmpty())
        return 0;
    // The empty file has no goods and one user; the large history has thousands of
    // goods. What the receipts alone cost the cashier: the same goods and users
    // without any receipt.
    std::printf("\nThe cashier's operations on a file with the same goods and users but no "
                "receipts:\n\n| operation | goods, no receipts | large history | ratio |\n"
                "|---|---|---|---|\n");
    for (const Row &r : rows) {
        if (r.floor)
            continue;
        const Result g = child(self, r.op, goodsOnly, r.reps, r.writes);
        const Result l = child(self, r.op, large, r.reps, r.writes);
        std::printf("| %s | %s | %s | %s |\n", r.label, ms(g.ms).c_str(), ms(l.ms).c_str(),
                    ratio(l.ms, g.ms).c_str());
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc >= 5 && std::strcmp(argv[1], "run") == 0)
        return runOne(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "table") == 0)
        return table(argc, argv);
    std::fprintf(
        stderr, "usage: receipt-bench table --empty DIR --large DIR [--goods-only DIR] [--reps N]\n"
                "       receipt-bench run OPERATION DIR REPS\n");
    return 2;
}
