// The file goes away or the disk fills up while the program runs: the write in hand
// shows an error box and writes nothing half-way, and once the fault is gone the
// program works again without a restart.
#include "Create.h"
#include "Database.h"
#include "Forms.h"
#include "MainUnit.h"
#include "Report.h"
#include "Snapshot.h"
#include "Startup.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Reliability;

namespace {

class StorageFault : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        Report::setPrintSink([](Report::BandedReport &) {});
        start();
    }
    void TearDown() override {
        Report::setPrintSink({});
        FormsTest::TearDown();
    }

    // The windows created anew on the data.mdb of the data directory.
    void start() {
        destroyForms();
        Store::releaseSharedHandle();
        createForms();
        main = forms().main;
        main->ComboBox6->setEditText(QStringLiteral("张三"));
        main->show();
    }

    QString file() const { return Store::databasePath(); }

    void addLine(const QString &name) {
        main->ComboBox1->setEditText(name);
        main->Edit3->setText(QStringLiteral("2"));
        main->Edit4->setText(QStringLiteral("3"));
        main->ComboBox2->setEditText(QStringLiteral("10"));
        QTest::keyClick(main->Edit4, Qt::Key_End);
        main->SpeedButton2->click();
    }
    void settle() { main->SpeedButton6->click(); }

    bool errorShown() const {
        for (const Messages::Box &b : boxes) {
            if (b.isError)
                return true;
        }
        return false;
    }
    // This till's current sale, which lives in the program's memory.
    int saleLines() {
        return tillColumn(QStringLiteral("SELECT count(*) FROM xsxx")).value(0).toInt();
    }
    int count(const QString &table) {
        return rowsOf(file(), QStringLiteral("SELECT count(*) FROM %1").arg(table))
            .value(0)
            .toInt();
    }

    TMainForm *main = nullptr;
};

} // namespace

// The file is moved away while a sale is open: printing refuses to record it in a
// file nobody can reach, and once the file is back the same sale is recorded.
TEST_F(StorageFault, FileMovedAwayWhileRunningRefusesWritesUntilItIsBack) {
    addLine(QStringLiteral("苹果"));
    addLine(QStringLiteral("梨"));
    ASSERT_FALSE(errorShown()) << boxTexts().join(' ').toStdString();
    const QString away = file() + QStringLiteral(".away");
    int tries = 0, survived = 0, lost = 0;

    // Every kind of write while the file is gone.
    const auto selectFirstLine = [this] {
        QTableView *grid = main->DBGridEh1;
        const QRect r = grid->visualRect(grid->model()->index(0, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    };
    const std::vector<std::tuple<const char *, std::function<void()>, std::function<void()>>>
        writes = {
            {"settle", [] {}, [this] { settle(); }},
            {"add line", [] {}, [this] { addLine(QStringLiteral("香蕉")); }},
            // The failed add closed the lists: the next add opens them again.
            {"delete line",
             [this, selectFirstLine] {
                 addLine(QStringLiteral("香蕉"));
                 selectFirstLine();
             },
             [this] { main->SpeedButton4->click(); }},
        };
    for (const auto &[name, ready, write] : writes) {
        ++tries;
        ready();
        const Snapshot before = snapshot(file());
        ASSERT_TRUE(QFile::rename(file(), away));
        clearBoxes();
        write();
        const bool refused = errorShown();
        EXPECT_TRUE(refused) << name << ": no error box";
        ASSERT_TRUE(QFile::rename(away, file()));
        const Snapshot now = snapshot(file());
        EXPECT_EQ(now, before) << name;
        EXPECT_EQ(integrity(file()), "ok");
        lost += rowsLost(before, now, before);
        if (refused && now == before)
            ++survived;
    }

    // Back in place: the sale is recorded with all its lines.
    clearBoxes();
    const int lines = saleLines();
    ASSERT_EQ(lines, 3);
    settle();
    EXPECT_FALSE(errorShown()) << boxTexts().join(' ').toStdString();
    EXPECT_EQ(count(QStringLiteral("xstj")), 1);
    EXPECT_EQ(count(QStringLiteral("xsmx")), lines);
    EXPECT_EQ(saleLines(), 0);
    EXPECT_EQ(incompleteReceipts(file()), QStringList());
    reportRow(QStringLiteral("data.mdb moved away while running"), tries, survived, lost);
}

// A full disk: data.mdb on a small tmpfs (mounted by the test; skipped where mounting
// is not allowed), filled up by another file.
class FullDisk : public StorageFault {
protected:
    void SetUp() override {
        StoreTest::SetUp(); // windows come later, on the small file system
        Report::setPrintSink([](Report::BandedReport &) {});
        mountPoint = path(QStringLiteral("small"));
        QDir().mkpath(mountPoint);
        if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=512k") !=
            0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted = true;
        Store::setDataDirectory(mountPoint);
        createDatabase(file());
        start();
    }
    void TearDown() override {
        destroyForms();
        Store::releaseSharedHandle();
        Report::setPrintSink({});
        if (mounted)
            ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
        StoreTest::TearDown();
    }

    // Fills the file system up with a file of its own.
    void fill() {
        const QByteArray name = QFile::encodeName(QDir(mountPoint).filePath("filler"));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        ::close(fd);
    }
    void unfill() { QFile::remove(QDir(mountPoint).filePath(QStringLiteral("filler"))); }

    QString mountPoint;
    bool mounted = false;
};

TEST_F(FullDisk, WritesThatDoNotFitAreRefusedWholeAndWorkAgainWithSpace) {
    addLine(QStringLiteral("苹果"));
    ASSERT_FALSE(errorShown());
    fill();
    int tries = 0, survived = 0, lost = 0;
    bool refusedOnce = false;
    // Lines of long names, a sale after every fifth, until a write does not fit: it
    // must be refused whole.
    for (int i = 0; i < 400 && !refusedOnce; ++i) {
        const bool settling = i % 5 == 4;
        const Snapshot before = snapshot(file());
        clearBoxes();
        if (settling)
            settle();
        else
            addLine(QStringLiteral("货%1-").arg(i) + QString(200, QChar(u'长')));
        ++tries;
        const Snapshot now = snapshot(file());
        EXPECT_EQ(integrity(file()), "ok");
        EXPECT_EQ(incompleteReceipts(file()), QStringList());
        if (errorShown()) {
            refusedOnce = true;
            EXPECT_EQ(now, before) << (settling ? "a refused sale" : "a refused line")
                                   << " changed the file: " << boxTexts().join(' ').toStdString();
            lost += rowsLost(before, now, before);
            survived += now == before ? 1 : 0;
        } else {
            ++survived;
        }
    }
    EXPECT_TRUE(refusedOnce) << "the file system never filled up";
    EXPECT_EQ(integrity(file()), "ok");

    // With space again the open sale is recorded.
    unfill();
    clearBoxes();
    const int receipts = count(QStringLiteral("xstj"));
    if (saleLines() == 0)
        addLine(QStringLiteral("苹果"));
    settle();
    EXPECT_FALSE(errorShown()) << boxTexts().join(' ').toStdString();
    EXPECT_EQ(count(QStringLiteral("xstj")), receipts + 1);
    EXPECT_EQ(saleLines(), 0);
    EXPECT_EQ(incompleteReceipts(file()), QStringList());
    reportRow(QStringLiteral("file system full (512 KiB tmpfs)"), tries, survived, lost);
}

// data.mdb on a file system that became read-only (the same small tmpfs, remounted
// read-only while the program is closed; a file system cannot be made read-only
// under a program that has a file open for writing). The write-ahead log needs a
// writable directory, so the program refuses to start with an error instead of
// running without saving; after a remount it starts and works with nothing lost.
class ReadOnlyDisk : public FullDisk {
protected:
    bool remount(bool readOnly) {
        return ::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs",
                       MS_REMOUNT | (readOnly ? MS_RDONLY : 0), "size=512k") == 0;
    }
};

TEST_F(ReadOnlyDisk, StartUpIsRefusedAndWorksAgainOnceWritable) {
    addLine(QStringLiteral("苹果"));
    ASSERT_FALSE(errorShown());
    destroyForms();
    Store::releaseSharedHandle();
    const Snapshot before = snapshot(file());
    ASSERT_TRUE(remount(true)) << std::strerror(errno);

    bool refused = false;
    try {
        start();
    } catch (const StoreError &e) {
        refused = !QString::fromUtf8(e.what()).isEmpty();
    }
    EXPECT_TRUE(refused) << "the program ran on a file it cannot write";

    destroyForms();
    Store::releaseSharedHandle();
    ASSERT_TRUE(remount(false)) << std::strerror(errno);
    const Snapshot now = snapshot(file());
    EXPECT_EQ(now, before);
    EXPECT_EQ(integrity(file()), "ok");
    // A new start begins a new sale: the one in hand went with the program.
    start();
    clearBoxes();
    addLine(QStringLiteral("苹果"));
    settle();
    EXPECT_FALSE(errorShown()) << boxTexts().join(' ').toStdString();
    EXPECT_EQ(count(QStringLiteral("xstj")), 1);
    EXPECT_EQ(incompleteReceipts(file()), QStringList());
    reportRow(QStringLiteral("file system read-only at start-up (start refused)"), 1,
              refused && now == before ? 1 : 0, rowsLost(before, now, before));
}
