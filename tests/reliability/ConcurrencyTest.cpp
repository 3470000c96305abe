// Two copies of the program on one data.mdb, both selling at the same time: every
// sale of both is recorded, no sold line is lost, and neither copy ever shows an
// error ("database is locked" or any other).
#include "Create.h"
#include "Snapshot.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Reliability;

namespace {

constexpr int salesEach = 200;

// Both copies sell once for all the tests of the suite: two lines per sale, goods
// named after the copy's year and the sale.
class TwoCopies : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tmp_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(tmp_->isValid());
        createDatabase(file());
        std::vector<std::unique_ptr<QProcess>> copies;
        for (const char *year : {"2031", "2032"}) {
            auto p = std::make_unique<QProcess>();
            p->setProcessEnvironment(driverEnvironment(tmp_->path()));
            p->start(QStringLiteral(RELIABILITY_DRIVER),
                     {tmp_->path(), QStringLiteral("sales"), QString::number(salesEach),
                      QString::fromLatin1(year)});
            ASSERT_TRUE(p->waitForStarted());
            copies.push_back(std::move(p));
        }
        for (auto &p : copies) {
            ASSERT_TRUE(p->waitForFinished(240000));
            errors_ << QString::fromUtf8(p->readAllStandardError());
            exits_.push_back(p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1);
        }
    }
    static void TearDownTestSuite() { tmp_.reset(); }

    static QString file() { return tmp_->filePath(QStringLiteral("data.mdb")); }
    static int count(const QString &query) { return rowsOf(file(), query).value(0).toInt(); }

    static std::unique_ptr<QTemporaryDir> tmp_;
    static QStringList errors_;
    static std::vector<int> exits_;
};
std::unique_ptr<QTemporaryDir> TwoCopies::tmp_;
QStringList TwoCopies::errors_;
std::vector<int> TwoCopies::exits_;

} // namespace

TEST_F(TwoCopies, EverySaleIsRecordedNoLineIsLostAndNoErrorIsShown) {
    ASSERT_EQ(exits_.size(), 2u);
    int survived = 0;
    for (size_t i = 0; i < exits_.size(); ++i) {
        // A copy that showed an error box ends with 3, and says which in errors_.
        EXPECT_EQ(exits_[i], 0) << errors_[qsizetype(i)].toStdString();
        survived += exits_[i] == 0 ? 1 : 0;
    }
    EXPECT_EQ(integrity(file()), "ok");
    const int receipts = count(QStringLiteral("SELECT count(DISTINCT 单号) FROM xstj"));
    const int sold = count(QStringLiteral("SELECT count(DISTINCT 品名) FROM xsmx"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM xstj")), 2 * salesEach);
    EXPECT_EQ(receipts, 2 * salesEach);
    EXPECT_EQ(sold, 2 * 2 * salesEach);
    EXPECT_EQ(incompleteReceipts(file()), QStringList());
    reportRow(QStringLiteral("two copies selling %1 sales each at once").arg(salesEach), 2,
              survived, std::max(0, 2 * salesEach - receipts) + std::max(0, 4 * salesEach - sold));
}

// Each copy records and prints only the lines it entered: a receipt never takes the
// other till's lines, nor the same line twice.
TEST_F(TwoCopies, EachReceiptHoldsExactlyTheLinesSoldWithIt) {
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM xsmx")), 2 * 2 * salesEach);
    EXPECT_EQ(rowsOf(file(), QStringLiteral("SELECT 单号 || ' ' || 品名 FROM xsmx WHERE "
                                            "substr(品名, 2, 4) <> substr(单号, 1, 4)")),
              QStringList());
}
