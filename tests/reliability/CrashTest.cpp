// The power goes in the middle of a write: for every operation that writes, the
// program is killed after its 1st, 2nd, ... write until it gets through. After each
// kill the program starts again on the file, and the file must be consistent, every
// receipt recorded completely or not at all, and the rows either as before the
// operation or as after it: nothing half-way, nothing else changed.
#include "Snapshot.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace Reliability;

namespace {

struct Operation {
    const char *name;
    // Deleting a line of the sale in hand changes only the program's memory.
    bool writesFile = true;
};

// Prints the operation's name in the test's name.
void PrintTo(const Operation &op, std::ostream *os) {
    *os << op.name;
}

class CrashWalk : public ::testing::TestWithParam<Operation> {
protected:
    static void SetUpTestSuite() {
        prepared_ = std::make_unique<QTemporaryDir>();
        const DriverRun run = runDriver(prepared_->path(), {QStringLiteral("prepare")});
        ASSERT_FALSE(run.crashed) << run.errors.toStdString();
        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    }
    static void TearDownTestSuite() { prepared_.reset(); }

    static QString preparedDir() { return prepared_->path(); }

    QTemporaryDir tmp_;
    static std::unique_ptr<QTemporaryDir> prepared_;
};
std::unique_ptr<QTemporaryDir> CrashWalk::prepared_;

QProcessEnvironment crashAfter(int writes) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("RECEIPT_CRASH_AFTER_WRITES"), QString::number(writes));
    return env;
}

QString file(const QString &dir) {
    return QDir(dir).filePath(QStringLiteral("data.mdb"));
}

} // namespace

TEST_P(CrashWalk, KilledAfterAnyWriteLeavesTheOperationWholeOrUndone) {
    const Operation op = GetParam();
    ASSERT_FALSE(HasFatalFailure());
    const Snapshot before = snapshot(file(preparedDir()));
    ASSERT_EQ(incompleteReceipts(file(preparedDir())), QStringList());

    // The operation without a fault: what it changes.
    const QString clean = tmp_.filePath(QStringLiteral("clean"));
    copyDatabase(preparedDir(), clean);
    const DriverRun done = runDriver(clean, {QStringLiteral("run"), QString::fromUtf8(op.name)});
    ASSERT_FALSE(done.crashed) << "the operation crashed without a fault";
    ASSERT_EQ(done.exitCode, 0) << done.errors.toStdString();
    const Snapshot after = snapshot(file(clean));
    if (op.writesFile)
        ASSERT_NE(after, before) << op.name << " wrote nothing";
    else
        ASSERT_EQ(after, before) << op.name << " wrote to the file";

    int tries = 0, survived = 0, lost = 0;
    int writes = 0; // the writes of the operation, known once a run gets through
    for (int n = 1; writes == 0 && n <= 200; ++n) {
        const QString dir = tmp_.filePath(QStringLiteral("n%1").arg(n));
        copyDatabase(preparedDir(), dir);
        const DriverRun run =
            runDriver(dir, {QStringLiteral("run"), QString::fromUtf8(op.name)}, crashAfter(n));
        if (!run.crashed) {
            ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
            writes = n - 1;
            EXPECT_EQ(snapshot(file(dir)), after);
            break;
        }
        ++tries;
        // The program starts again on what the kill left.
        const DriverRun again = runDriver(dir, {QStringLiteral("check")});
        EXPECT_FALSE(again.crashed);
        EXPECT_EQ(again.exitCode, 0) << "after write " << n << ": " << again.errors.toStdString();
        const QString ok = integrity(file(dir));
        const QStringList incomplete = incompleteReceipts(file(dir));
        const Snapshot now = snapshot(file(dir));
        const bool whole = now == before || now == after;
        EXPECT_EQ(ok, "ok") << "after write " << n;
        EXPECT_EQ(incomplete, QStringList()) << "after write " << n;
        EXPECT_TRUE(whole) << op.name << ": killed after write " << n
                           << " left the rows neither as before nor as after";
        lost += rowsLost(before, now, after);
        if (whole && ok == QLatin1String("ok") && incomplete.isEmpty() && !again.crashed &&
            again.exitCode == 0)
            ++survived;
    }
    EXPECT_GT(writes, 0) << "the operation never got through";
    reportRow(QStringLiteral("kill -9 during %1 (%2 writes)").arg(op.name).arg(writes), tries,
              survived, lost);
}

// Every operation is walked over every one of its writes (at most 8: each try is two
// short runs of the program, so the whole walk takes well under a minute).
INSTANTIATE_TEST_SUITE_P(
    Operations, CrashWalk,
    ::testing::Values(Operation{"settle"}, Operation{"add-line"}, Operation{"add-line-new-goods"},
                      Operation{"modify-line"}, Operation{"delete-line", false},
                      Operation{"add-user"}, Operation{"modify-user"}, Operation{"delete-user"},
                      Operation{"add-goods"}, Operation{"modify-goods"}, Operation{"delete-goods"},
                      Operation{"save-print-content"}, Operation{"delete-receipt"}),
    [](const ::testing::TestParamInfo<Operation> &info) {
        QString name = QString::fromUtf8(info.param.name);
        name.remove(QLatin1Char('-'));
        return name.toStdString();
    });

// The power goes twice in a row while a till is selling on a file with a year of
// history: once in the middle of recording a sale, and once more, in the next run
// before any clean end, at whatever moment the kill comes. The file stays
// consistent, the history is untouched, and every receipt either run recorded is
// whole.
TEST(CrashTwice, KilledTwiceInARowWhileSellingOnALongHistory) {
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    QProcess make;
    make.start(QStringLiteral(MKHISTORY),
               {QStringLiteral("--out"), file(dir), QStringLiteral("--days"), QStringLiteral("365"),
                QStringLiteral("--per-day"), QStringLiteral("300"), QStringLiteral("--goods"),
                QStringLiteral("2000")});
    ASSERT_TRUE(make.waitForFinished(120000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    // The history ends before the runs' clock starts (2031): its rows are those older.
    const QString history =
        QStringLiteral("SELECT count(*), total(数量), total(金额), total(折后) FROM %1 "
                       "WHERE 时间 < '2031'");
    const QStringList before = rowsOf(file(dir), history.arg(QStringLiteral("xstj"))) +
                               rowsOf(file(dir), history.arg(QStringLiteral("xsmx")));
    ASSERT_GE(rowsOf(file(dir), QStringLiteral("SELECT count(*) FROM xstj")).value(0).toInt(),
              100000);

    // First: killed after the 40th write, in the middle of the ninth sale or so.
    const DriverRun first =
        runDriver(dir, {QStringLiteral("sales"), QStringLiteral("200"), QStringLiteral("2031")},
                  crashAfter(40));
    EXPECT_TRUE(first.crashed) << "the first run was not killed";

    // Then, without a clean start between: killed from outside while it sells more
    // than it could finish meanwhile.
    QProcess second;
    second.setProcessEnvironment(driverEnvironment(dir));
    second.start(QStringLiteral(RELIABILITY_DRIVER),
                 {dir, QStringLiteral("sales"), QStringLiteral("1000000"), QStringLiteral("2032")});
    ASSERT_TRUE(second.waitForStarted());
    // Once it has recorded a few sales (at most a minute).
    for (int i = 0; i < 600 && second.state() == QProcess::Running; ++i) {
        if (rowsOf(file(dir), QStringLiteral("SELECT count(*) FROM xstj WHERE 时间 >= '2032'"))
                .value(0)
                .toInt() >= 3)
            break;
        second.waitForFinished(100);
    }
    ASSERT_EQ(second.state(), QProcess::Running)
        << "the second run ended by itself, status " << second.exitCode() << ": "
        << second.readAllStandardError().toStdString();
    second.kill();
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::CrashExit)
        << "the second run ended before the kill: " << second.readAllStandardError().toStdString();

    const DriverRun again = runDriver(dir, {QStringLiteral("check")});
    EXPECT_FALSE(again.crashed);
    EXPECT_EQ(again.exitCode, 0) << again.errors.toStdString();
    EXPECT_EQ(integrity(file(dir)), "ok");
    EXPECT_EQ(incompleteReceipts(file(dir)), QStringList());
    const QStringList after = rowsOf(file(dir), history.arg(QStringLiteral("xstj"))) +
                              rowsOf(file(dir), history.arg(QStringLiteral("xsmx")));
    EXPECT_EQ(after, before) << "the history changed";
    const int recorded =
        rowsOf(file(dir), QStringLiteral("SELECT count(*) FROM xstj WHERE 时间 >= '2031'"))
            .value(0)
            .toInt();
    EXPECT_GT(recorded, 0);
    reportRow(QStringLiteral("kill -9 twice in a row while selling, a year of history"), 2,
              after == before && integrity(file(dir)) == QLatin1String("ok") &&
                      incompleteReceipts(file(dir)).isEmpty()
                  ? 2
                  : 0,
              0);
}
