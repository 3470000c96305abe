#include "Clock.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>
#include <string>
#include <vector>

namespace {

QDateTime at(int year, int month, int day, int hour, int minute, int second) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { Clock::setSource({}); }
};

} // namespace

TEST_F(ClockTest, ReceiptNumberAndTimeTextOfAGivenTime) {
    struct Case {
        QDateTime when;
        const char *receipt;
        const char *time;
    };
    const std::vector<Case> cases = {
        {at(2024, 3, 5, 7, 8, 9), "20240305070809", "2024-03-05 07:08:09"},
        {at(1999, 12, 31, 23, 59, 59), "19991231235959", "1999-12-31 23:59:59"},
        {at(2025, 1, 1, 0, 0, 0), "20250101000000", "2025-01-01 00:00:00"},
        {at(2024, 2, 29, 13, 30, 0), "20240229133000", "2024-02-29 13:30:00"},
        {at(2023, 10, 11, 12, 0, 1), "20231011120001", "2023-10-11 12:00:01"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.time);
        EXPECT_EQ(receiptNumber(c.when).toStdString(), c.receipt);
        EXPECT_EQ(timeText(c.when).toStdString(), c.time);
    }
}

TEST_F(ClockTest, DefaultsFollowTheClockSource) {
    QDateTime fixed = at(2024, 3, 5, 7, 8, 9);
    Clock::setSource([&fixed] { return fixed; });

    EXPECT_EQ(Clock::now(), fixed);
    EXPECT_EQ(receiptNumber().toStdString(), "20240305070809");
    EXPECT_EQ(timeText().toStdString(), "2024-03-05 07:08:09");
    // Two receipt numbers made within the same second are equal.
    EXPECT_EQ(receiptNumber(), receiptNumber());

    // The source is asked again on every call, not once.
    fixed = fixed.addSecs(1);
    EXPECT_EQ(receiptNumber().toStdString(), "20240305070810");
    EXPECT_EQ(timeText().toStdString(), "2024-03-05 07:08:10");

    Clock::setSource([] { return at(2030, 6, 7, 22, 1, 2); });
    EXPECT_EQ(receiptNumber().toStdString(), "20300607220102");
}

TEST_F(ClockTest, EmptySourceRestoresTheSystemClock) {
    Clock::setSource([] { return at(2000, 1, 1, 0, 0, 0); });
    Clock::setSource({});

    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime now = Clock::now();
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);

    const QString number = receiptNumber();
    ASSERT_EQ(number.size(), 14);
    for (const QChar c : number)
        EXPECT_TRUE(c.isDigit()) << number.toStdString();
    EXPECT_EQ(timeText().size(), 19);
}
