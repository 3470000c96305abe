#include "SaleMath.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(SaleMath, LineAmountsFollowTheWorkedExamples) {
    struct Case {
        const char *price, *quantity, *discount, *amount, *discounted;
    } cases[] = {
        {"12.5", "3", "8.5", "37.5", "31.875"},
        {"3.3", "3", "9", "9.9", "8.91"},
        {"2.68", "3", "9.5", "8.04", "7.638"},
        {"12.5", "1", "10", "12.5", "12.5"},
        {".", "3", "10", "0", "0"}, // "." reads as 0
        {"12.5", "0", "10", "0", "0"},
        {"10", "1", "12", "10", "12"}, // a discount above 10 is taken as it is
        {"0.1", "3", "10", "0.3", "0.3"},
    };
    for (const Case &c : cases) {
        const auto a = lineAmounts(c.price, c.quantity, c.discount);
        ASSERT_TRUE(a) << c.price;
        EXPECT_EQ(a->amount.toStdString(), c.amount) << c.price << " x " << c.quantity;
        EXPECT_EQ(a->discounted.toStdString(), c.discounted) << c.price << " x " << c.quantity;
    }
}

TEST(SaleMath, EmptyFieldStopsTheRecomputationAndBadTextFails) {
    EXPECT_FALSE(lineAmounts("", "3", "10"));
    EXPECT_FALSE(lineAmounts("1", "", "10"));
    EXPECT_FALSE(lineAmounts("1", "3", ""));
    try {
        lineAmounts("1", "3", "8.5.");
        FAIL();
    } catch (const ConversionError &e) {
        EXPECT_STREQ(e.what(), "'8.5.' is not a valid floating point value");
    }
}

TEST(SaleMath, PriceFormRoundOffTotalsAndChange) {
    EXPECT_EQ(priceText("12.5"), "12.5");
    EXPECT_EQ(priceText("3"), "3");
    EXPECT_EQ(priceText("2.675"), "2.68");
    EXPECT_EQ(priceText("0.004"), "0");
    EXPECT_EQ(priceText("12.346"), "12.35");
    EXPECT_THROW(priceText(""), ConversionError);

    EXPECT_EQ(roundedOff("27.9"), "27");
    EXPECT_EQ(roundedOff("31.875"), "31");
    EXPECT_EQ(roundedOff("0.99"), "0");
    EXPECT_EQ(roundedOff("0"), "0");
    EXPECT_EQ(roundedOff(""), "");

    FixedSum quantity, amount, due;
    quantity.add(3);
    amount.add(37.5);
    due.add(31.875);
    EXPECT_EQ(totalText(quantity), "3");
    EXPECT_EQ(totalText(amount), "37.5");
    EXPECT_EQ(totalText(due), "31.87");
    EXPECT_EQ(totalText(FixedSum{}), "0");

    EXPECT_EQ(changeText("37.5", "31.87"), "5.63");
    EXPECT_EQ(changeText("50", "31.87"), "18.13");
    EXPECT_EQ(changeText("30", "31.87"), "-1.87");
    EXPECT_EQ(changeText("", "31.87"), "");
}

TEST(SaleMath, DiscountItems) {
    const QStringList items = discountItems();
    ASSERT_EQ(items.size(), 100);
    EXPECT_EQ(items.first(), "10");
    EXPECT_EQ(items[1], "9.9");
    EXPECT_EQ(items[10], "9.0");
    EXPECT_EQ(items[90], "1.0");
    EXPECT_EQ(items.last(), "0.1");
}

} // namespace
