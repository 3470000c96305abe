#include "RecordsFixture.h"

#include "Conventions.h"
#include "DataGrid.h"
#include "Export.h"
#include "Forms.h"
#include "XstjUnit.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

// A workbook read back by an independent reader (openpyxl). It refuses a name
// ending in ".xls", so it reads the bytes from an open file object.
struct Sheet {
    QString error; // empty when the file was read
    int sheets = 0;
    QList<QStringList> rows; // every cell as text; an empty cell as ""
};

Sheet readBack(const QString &file) {
    static const char *script = R"(
import json, sys, openpyxl
with open(sys.argv[1], 'rb') as f:
    book = openpyxl.load_workbook(f)
rows = []
for row in book.worksheets[0].iter_rows(values_only=True):
    rows.append([c if c is None or isinstance(c, str) else {'not text': repr(c)} for c in row])
print(json.dumps({'sheets': len(book.worksheets), 'rows': rows}))
)";
    // Debian's interpreter, which has the reader installed.
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    QProcess p;
    p.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), file});
    Sheet sheet;
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        sheet.error = QString::fromUtf8(p.readAllStandardError());
        if (sheet.error.isEmpty())
            sheet.error = QStringLiteral("the reader did not finish");
        return sheet;
    }
    const QJsonObject out = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    sheet.sheets = out.value("sheets").toInt();
    for (const QJsonValue &row : out.value("rows").toArray()) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray()) {
            if (cell.isString())
                cells << cell.toString();
            else if (cell.isNull())
                cells << QString();
            else
                cells << QStringLiteral("<not text: %1>")
                             .arg(cell.toObject().value("not text").toString());
        }
        sheet.rows << cells;
    }
    return sheet;
}

class Export : public RecordsTest {
protected:
    void SetUp() override {
        RecordsTest::SetUp();
        receipt("20240102090000", "2024-01-02 09:00:00", 3, 30, 27, "张三丰");
        receipt("20240101150000", "2024-01-01 15:00:00", 0.00001, 12.5, 12.345, nullptr);
        receipt("20240101083000", "2024-01-01 08:30:00", 1.5, 7.25, 7, "admin");
        ExportDialog::setChooser([this](QWidget *owner) {
            ++dialogs;
            EXPECT_EQ(owner, statistics());
            return chosen;
        });
    }

    // Clicks 导出 with `name` as the dialog's answer ("" = cancelled).
    void exportAs(const QString &name) {
        chosen = name;
        QTest::mouseClick(statistics()->SpeedButton2, Qt::LeftButton);
    }

    // The files of the test's directory other than the data file and the home folder.
    QStringList files() const {
        QStringList names = QDir(dir()).entryList(QDir::AllEntries | QDir::Hidden |
                                                  QDir::NoDotAndDotDot | QDir::System);
        names.removeIf([](const QString &n) {
            return n.startsWith(QStringLiteral("data.mdb")) || n == QStringLiteral("home");
        });
        return names;
    }

    void expectSuccessBox() {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "成功导出全部数据!");
        EXPECT_EQ(boxes[0].caption, "提示");
        EXPECT_EQ(boxes[0].icon, Messages::Icon::None);
        EXPECT_FALSE(boxes[0].isError);
    }

    void expectErrorBoxOnly() {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].isError);
        EXPECT_FALSE(boxes[0].text.contains("成功"));
    }

    const QStringList header = texts({"单号", "时间", "数量", "金额", "折后", "收银员"});
    QString chosen;
    int dialogs = 0;
};

TEST_F(Export, WritesTheFieldNamesAndTheListedRowsAsText) {
    loadByTime();
    statistics()->ADOQuery1.moveTo(1);
    exportAs(path("sales"));
    EXPECT_EQ(dialogs, 1);
    expectSuccessBox();
    EXPECT_EQ(files(), texts({"sales.xls"}));

    const Sheet sheet = readBack(path("sales.xls"));
    ASSERT_EQ(sheet.error, "");
    EXPECT_EQ(sheet.sheets, 1);
    const QList<QStringList> expected = {
        header,
        texts({"20240101083000", "2024-01-01 08:30:00", "1.5", "7.25", "7", "admin"}),
        texts({"20240101150000", "2024-01-01 15:00:00", "1E-5", "12.5", "12.345", ""}),
        texts({"20240102090000", "2024-01-02 09:00:00", "3", "30", "27", "张三丰"}),
    };
    EXPECT_EQ(sheet.rows, expected);
    // The grid's current row did not move.
    EXPECT_EQ(statistics()->ADOQuery1.recNo(), 2);

    // Exporting again, from another current row, writes the same rows.
    statistics()->ADOQuery1.moveTo(2);
    clearBoxes();
    statistics()->N4->trigger();
    expectSuccessBox();
    EXPECT_EQ(readBack(path("sales.xls")).rows, expected);
}

TEST_F(Export, AppendsXlsToTheChosenNameAndReplacesAnExistingFile) {
    const std::pair<const char *, const char *> names[] = {
        {"sales", "sales.xls"},
        {"sales.xls", "sales.xls.xls"},
        {"销售 报表", "销售 报表.xls"},
        {"sales", "sales.xls"}, // exists by now: replaced
    };
    QFile old(path("sales.xls"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("not a workbook");
    old.close();
    loadByTime();
    for (const auto &[name, file] : names) {
        SCOPED_TRACE(name);
        clearBoxes();
        exportAs(path(QString::fromUtf8(name)));
        expectSuccessBox();
        const Sheet sheet = readBack(path(QString::fromUtf8(file)));
        EXPECT_EQ(sheet.error, "");
        EXPECT_EQ(sheet.rows.size(), 4);
    }
    EXPECT_EQ(files(), texts({"sales.xls", "sales.xls.xls", "销售 报表.xls"}));
}

TEST_F(Export, AnEmptyListGivesTheHeaderOnly) {
    loadByTime();
    likeLookup(statistics()->ADOQuery1, "xstj", "收银员", "nobody");
    exportAs(path("empty"));
    expectSuccessBox();
    const Sheet sheet = readBack(path("empty.xls"));
    ASSERT_EQ(sheet.error, "");
    EXPECT_EQ(sheet.rows, QList<QStringList>{header});
}

TEST_F(Export, ANarrowedListExportsOnlyItsRowsInItsOrder) {
    receipt("20240103100000", "2024-01-03 10:00:00", 1, 2, 2, "张三");
    loadByTime();
    likeLookup(statistics()->ADOQuery1, "xstj", "收银员", "张三");
    exportAs(path("zhang"));
    expectSuccessBox();
    const Sheet sheet = readBack(path("zhang.xls"));
    ASSERT_EQ(sheet.error, "");
    ASSERT_EQ(sheet.rows.size(), 3);
    EXPECT_EQ(sheet.rows[1].value(0), "20240102090000");
    EXPECT_EQ(sheet.rows[2].value(0), "20240103100000");
}

TEST_F(Export, CancellingTheDialogDoesNothing) {
    loadByTime();
    exportAs(QString());
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(files().isEmpty());
}

// Makes writing a file larger than `bytes` fail (as a full disk does) until destroyed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(Export, AFailureShowsTheErrorAndLeavesNoFileUnderTheName) {
    // Enough rows for a workbook far larger than the limit below.
    sql("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 20000) "
        "INSERT INTO xstj SELECT printf('2024%010d', x * 7919), datetime(x * 3571, "
        "'unixepoch'), x % 97, x * 1.25, x, printf('收银员%d', x % 13) FROM n");
    loadByTime();

    // A folder that does not exist.
    exportAs(path("missing/sales"));
    expectErrorBoxOnly();
    EXPECT_TRUE(boxes[0].text.contains("sales.xls"));
    EXPECT_TRUE(files().isEmpty());

    // The name is taken by a folder.
    clearBoxes();
    ASSERT_TRUE(QDir(dir()).mkdir("taken.xls"));
    exportAs(path("taken"));
    expectErrorBoxOnly();
    EXPECT_EQ(files(), texts({"taken.xls"}));
    EXPECT_TRUE(QFileInfo(path("taken.xls")).isDir());

    // The disk fills up while writing: the earlier file of the name stays as it was.
    clearBoxes();
    QFile old(path("full.xls"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the earlier export");
    old.close();
    {
        const FileSizeLimit limit(64 * 1024);
        exportAs(path("full"));
    }
    expectErrorBoxOnly();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "the earlier export");
    EXPECT_EQ(files(), texts({"full.xls", "taken.xls"}));

    // The same list exports once there is room.
    clearBoxes();
    exportAs(path("full"));
    expectSuccessBox();
    EXPECT_EQ(readBack(path("full.xls")).rows.size(), 20004);
}

TEST_F(Export, ReportsProgressAndStopsWhenAsked) {
    sql("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 2497) "
        "INSERT INTO xstj (单号) SELECT x FROM n");
    loadByTime();
    Query &list = statistics()->ADOQuery1;
    ASSERT_EQ(list.recordCount(), 2500);

    std::vector<std::pair<int, int>> reports;
    EXPECT_TRUE(exportList(list, path("all.xls"), [&](int done, int total) {
        reports.emplace_back(done, total);
        return true;
    }));
    // Every thousand rows, then while the file is written, then done.
    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(std::vector(reports.begin(), reports.begin() + 3),
              (std::vector<std::pair<int, int>>{{0, 2501}, {1000, 2501}, {2000, 2501}}));
    for (size_t i = 3; i + 1 < reports.size(); ++i)
        EXPECT_EQ(reports[i], (std::pair<int, int>{2500, 2501}));
    EXPECT_EQ(reports.back(), (std::pair<int, int>{2501, 2501}));
    EXPECT_EQ(readBack(path("all.xls")).rows.size(), 2501);

    // Stopped half-way (the progress dialog's cancel): no file, no trace.
    int calls = 0;
    EXPECT_FALSE(exportList(list, path("stopped.xls"), [&](int, int) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(files(), texts({"all.xls"}));
}

} // namespace
