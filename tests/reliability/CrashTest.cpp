// The power goes in the middle of a write: for every operation that writes, the
// program is killed after its 1st, 2nd, ... write until it gets through. After each
// kill the program starts again on the file, and the file must be consistent, every
// receipt recorded completely or not at all, and the rows either as before the
// operation or as after it: nothing half-way, nothing else changed.
#include "Snapshot.h"

#include <QDir>
#include <QTemporaryDir>
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
