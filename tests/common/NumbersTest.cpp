#include "Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string str(const QString &text) {
    return text.toStdString();
}

// The line recomputation of the entry line: amount = p * q, discounted amount =
// ((p * q) * d) * 0.1, all in extended precision, shown as general text.
QString amountText(const QString &price, const QString &quantity) {
    return generalText(readNumber(price) * readNumber(quantity));
}

QString discountedText(const QString &price, const QString &quantity, const QString &discount) {
    return generalText(((readNumber(price) * readNumber(quantity)) * readNumber(discount)) * 0.1L);
}

// A total label: general text of the sum, then general text of its two-decimal rounding.
QString totalText(const FixedSum &sum) {
    const QString raw = generalText(sum.value());
    return generalText(roundTwoDecimals(static_cast<double>(readNumber(raw))));
}

} // namespace

// ---------------------------------------------------------------------------------------
// Number reading

TEST(ReadNumber, AcceptsPlainAndDegenerateForms) {
    struct Case {
        const char *text;
        long double value;
    };
    const std::vector<Case> cases = {
        {"12.5", 12.5L},   {"3", 3.0L},          {"0", 0.0L},         {"007", 7.0L},
        {"  12.5", 12.5L}, {"12.5   ", 12.5L},   {" -3 ", -3.0L},     {"+3", 3.0L},
        {"-0.25", -0.25L}, {".", 0.0L},          {"+.", 0.0L},        {"-.", 0.0L},
        {"12.", 12.0L},    {".5", 0.5L},         {"-.5", -0.5L},      {"1e3", 1000.0L},
        {"1E3", 1000.0L},  {"1e+3", 1000.0L},    {"25e-2", 0.25L},    {".5e1", 5.0L},
        {"12.e1", 120.0L}, {"1e0004", 10000.0L}, {"1e4000", 1e4000L}, {"1e-5000", 0.0L},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readNumber(QString::fromUtf8(c.text)), c.value);
    }
}

// The reading is the extended value nearest to the decimal text, not the double one.
TEST(ReadNumber, IsCorrectlyRoundedToExtended) {
    struct Case {
        const char *text;
        long double value;
    };
    const std::vector<Case> cases = {
        {"0.1", 0.1L},
        {"2.675", 2.675L},
        {"12.346", 12.346L},
        {"99.995", 99.995L},
        {"31.87", 31.87L},
        {"7.638", 7.638L},
        {"0.00000000000000000000000000001", 1e-29L},
        {"123456789012345678901234567890", 123456789012345678901234567890.0L},
        {"1.00000000000000000005421010862427522170037264004349708557128906251",
         1.00000000000000000005421010862427522170037264004349708557128906251L},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readNumber(QString::fromUtf8(c.text)), c.value);
    }
    EXPECT_NE(readNumber(QStringLiteral("0.1")), static_cast<long double>(0.1));
}

TEST(ReadNumber, RefusesEverythingElseWithTheConversionMessage) {
    const std::vector<const char *> texts = {
        "",    " ",   "+",   "-",     "e5",     "E5",      ".e",   "1e",  "1e+",  "1e-",  "1e5.",
        "abc", "12a", "1,5", "1.2.3", "1..",    "1 2",     "- 1",  "1-",  "--1",  "+-1",  "0x10",
        "inf", "nan", "\t1", "1\n",   "1e5000", "-1e5000", "１２", "12€", "1e 5", "1 e5",
    };
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        const QString qtext = QString::fromUtf8(text);
        try {
            readNumber(qtext);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError &error) {
            EXPECT_EQ(std::string(error.what()),
                      std::string("'") + text + "' is not a valid floating point value");
            EXPECT_EQ(error.message(), conversionMessage(qtext));
        }
    }
}

TEST(ConversionError, CarriesTheMessageAsUtf8) {
    EXPECT_EQ(str(conversionMessage(QStringLiteral("8.5."))),
              "'8.5.' is not a valid floating point value");
    const ConversionError error(conversionMessage(QStringLiteral("单价")));
    EXPECT_EQ(std::string(error.what()), "'单价' is not a valid floating point value");
    EXPECT_EQ(error.message(), QStringLiteral("'单价' is not a valid floating point value"));
}

// ---------------------------------------------------------------------------------------
// General number text

TEST(GeneralText, FixedNotationBetweenTenThousandthAndTenToTheFifteenth) {
    struct Case {
        long double value;
        const char *text;
    };
    const std::vector<Case> cases = {
        {0.0L, "0"},
        {-0.0L, "0"},
        {3.0L, "3"},
        {10.0L, "10"},
        {100000.0L, "100000"},
        {37.5L, "37.5"},
        {31.875L, "31.875"},
        {-0.5L, "-0.5"},
        {-1.87L, "-1.87"},
        {123.456L, "123.456"},
        {0.0001L, "0.0001"},
        {-0.0001L, "-0.0001"},
        {0.00012345L, "0.00012345"},
        {0.00001L, "1E-5"},
        {-0.00001L, "-1E-5"},
        {0.00009999L, "9.999E-5"},
        // Rounds to 0.0001 first, so it is written fixed.
        {0.0000999999999999999999L, "0.0001"},
        {999999999999999.0L, "999999999999999"},
        {123456789012345.0L, "123456789012345"},
        {1E15L, "1E15"},
        {1.5E15L, "1.5E15"},
        {-1.5E15L, "-1.5E15"},
        {1234567890123456.0L, "1.23456789012346E15"},
        {123456789012345678.0L, "1.23456789012346E17"},
        // Rounding to 15 digits decides the notation.
        {99999999999999.99L, "100000000000000"},
        {999999999999999.9L, "1E15"},
        {1E100L, "1E100"},
        {-1.25E-10L, "-1.25E-10"},
        {1.0L / 3.0L, "0.333333333333333"},
        {2.0L / 3.0L, "0.666666666666667"},
        {-2.0L / 3.0L, "-0.666666666666667"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(str(generalText(c.value)), c.text);
    }
}

// Halves are judged on the 18-digit expansion and go away from zero, so the same decimal
// can come out differently from a double and from an extended value.
TEST(GeneralText, HalvesAndBinaryTraps) {
    struct Case {
        long double value;
        const char *text;
    };
    const std::vector<Case> cases = {
        // 2.00000000000000500 (extended) versus 2.00000000000000488 (double).
        {2.000000000000005L, "2.00000000000001"},
        {-2.000000000000005L, "-2.00000000000001"},
        {static_cast<long double>(2.000000000000005), "2"},
        // 1.0000000000000049999996 expands to 1.00000000000000500 and then goes up.
        {1.0000000000000049999996L, "1.00000000000001"},
        // 1.0000000000000049940 expands to 1.00000000000000499 and stays below the half.
        {1.0000000000000049940L, "1"},
        // Doubles read back to the text they came from.
        {static_cast<long double>(0.1), "0.1"},
        {static_cast<long double>(2.675), "2.675"},
        {static_cast<long double>(0.135), "0.135"},
        {static_cast<long double>(99.995), "99.995"},
        {static_cast<long double>(1.005), "1.005"},
        {static_cast<long double>(7.638), "7.638"},
        {static_cast<long double>(31.87), "31.87"},
        {2.675L, "2.675"},
        {99.995L, "99.995"},
        {0.1L + 0.2L, "0.3"},
        {static_cast<long double>(0.1 + 0.2), "0.3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(str(generalText(c.value)), c.text);
    }
}

TEST(GeneralText, InfinityAndNaN) {
    EXPECT_EQ(str(generalText(std::numeric_limits<long double>::infinity())), "INF");
    EXPECT_EQ(str(generalText(-std::numeric_limits<long double>::infinity())), "-INF");
    EXPECT_EQ(str(generalText(std::numeric_limits<long double>::quiet_NaN())), "NAN");
}

// ---------------------------------------------------------------------------------------
// Display patterns

TEST(FormatFloat, BothPatterns) {
    struct Case {
        long double value;
        const char *twoDecimals; // "0.00"
        const char *upToTwo;     // "#0.##"
    };
    const std::vector<Case> cases = {
        {31.875L, "31.88", "31.88"},
        {-31.875L, "-31.88", "-31.88"},
        {12.5L, "12.50", "12.5"},
        {3.0L, "3.00", "3"},
        {0.0L, "0.00", "0"},
        {-0.0L, "0.00", "0"},
        {0.1L, "0.10", "0.1"},
        {0.004L, "0.00", "0"},
        {-0.004L, "0.00", "0"},
        {0.005L, "0.01", "0.01"},
        {-0.005L, "-0.01", "-0.01"},
        {0.999L, "1.00", "1"},
        {9.995L, "10.00", "10"},
        {1234567.891L, "1234567.89", "1234567.89"},
        {0.0000001L, "0.00", "0"},
        {123456789012345.0L, "123456789012345.00", "123456789012345"},
        // Binary-decimal traps: the 18-digit expansion of the value decides.
        {2.675L, "2.68", "2.68"},
        {static_cast<long double>(2.675), "2.67", "2.67"},
        {static_cast<long double>(0.135), "0.14", "0.14"},
        {static_cast<long double>(99.995), "100.00", "100"},
        {99.995L, "100.00", "100"},
        {static_cast<long double>(1.005), "1.00", "1"},
        {1.005L, "1.01", "1.01"},
        {static_cast<long double>(7.638), "7.64", "7.64"},
        {7.638L, "7.64", "7.64"},
        // Expands to 0.00500000000000000000 at 18 digits, so it goes up.
        {0.004999999999999999999L, "0.01", "0.01"},
        // Expands to 2.67499999999999999 at 18 digits, so it goes down.
        {2.674999999999999994L, "2.67", "2.67"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.twoDecimals);
        EXPECT_EQ(str(formatFloat(QStringLiteral("0.00"), c.value)), c.twoDecimals);
        EXPECT_EQ(str(formatFloat(QStringLiteral("#0.##"), c.value)), c.upToTwo);
    }
}

TEST(FormatFloat, RefusesOtherPatterns) {
    for (const char *pattern : {"", "0.000", "#.##", "0", "#,##0.00"}) {
        SCOPED_TRACE(pattern);
        EXPECT_THROW(formatFloat(QString::fromUtf8(pattern), 1.0L), std::invalid_argument);
    }
}

// ---------------------------------------------------------------------------------------
// Two-decimal rounding of the totals

// The product is stored as a double, which is not always the double nearest to the
// two-decimal value (7.638 gives 7.6400000000000006); the totals show its general text.
TEST(RoundTwoDecimals, QuotientByTheDoubleHundredthRoundedHalfToEven) {
    struct Case {
        double value;
        const char *text;
    };
    const std::vector<Case> cases = {
        {37.5, "37.5"},
        {31.875, "31.87"}, // 3187.4999... below the half
        {0.135, "0.14"},   // 13.5000000000000006
        {7.638, "7.64"},
        {99.995, "100"}, // 9999.5000000000002
        {2.675, "2.67"}, // 267.49999999999998
        {1.005, "1"},    // 100.49999999999999
        {-31.875, "-31.87"},
        {-0.135, "-0.14"},
        {0.0, "0"},
        {12.5, "12.5"},
        {0.001, "0"},
        // Quotients that are exact halves in extended precision go to the even neighbour.
        {0.005, "0"},
        {27.265, "27.26"},
        {54.655, "54.66"},
        {218.495, "218.5"},
        {-27.265, "-27.26"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(str(generalText(roundTwoDecimals(c.value))), c.text);
    }
    EXPECT_EQ(roundTwoDecimals(31.875), 31.87);
    EXPECT_EQ(roundTwoDecimals(37.5), 37.5);
    EXPECT_EQ(roundTwoDecimals(99.995), 100.0);
}

// ---------------------------------------------------------------------------------------
// Price form

TEST(PriceForm, RoundsHalvesAwayAndReadsBack) {
    struct Case {
        long double value;
        long double price;
        const char *text;
    };
    const std::vector<Case> cases = {
        {12.5L, 12.5L, "12.5"}, {3.0L, 3.0L, "3"},    {2.675L, 2.68L, "2.68"},
        {0.004L, 0.0L, "0"},    {-0.004L, 0.0L, "0"}, {12.346L, 12.35L, "12.35"},
        {8.1L, 8.1L, "8.1"},    {0.0L, 0.0L, "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(priceForm(c.value), c.price);
        EXPECT_EQ(str(generalText(priceForm(c.value))), c.text);
    }
}

// A stored double price goes through its general text before the price form.
TEST(PriceForm, StoredDoublePriceThroughItsText) {
    struct Case {
        double stored;
        const char *shown;
    };
    const std::vector<Case> cases = {
        {2.675, "2.68"}, {12.346, "12.35"}, {12.5, "12.5"}, {8.1, "8.1"}, {0.004, "0"}, {3.0, "3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shown);
        const long double read = readNumber(generalText(static_cast<long double>(c.stored)));
        EXPECT_EQ(str(generalText(priceForm(read))), c.shown);
    }
}

// ---------------------------------------------------------------------------------------
// Fixed-point sum

TEST(FixedSum, HoldsTenThousandths) {
    FixedSum sum;
    EXPECT_EQ(sum.value(), 0.0L);
    sum.add(31.875);
    EXPECT_EQ(sum.value(), 31.875L);
    sum.add(8.91);
    sum.add(7.638);
    EXPECT_EQ(str(generalText(sum.value())), "48.423");
    sum.remove(8.91);
    EXPECT_EQ(str(generalText(sum.value())), "39.513");
    sum.add(-39.513);
    EXPECT_EQ(sum.value(), 0.0L);
    sum.add(0.00004);
    EXPECT_EQ(sum.value(), 0.0L);
    sum.add(0.00006);
    EXPECT_EQ(sum.value(), 1.0L / 10000.0L);
    sum.clear();
    EXPECT_EQ(sum.value(), 0.0L);
}

// Ten times 0.1 is exactly 1, which a floating-point sum of doubles would miss.
TEST(FixedSum, DoesNotAccumulateBinaryError) {
    FixedSum sum;
    double plain = 0;
    for (int i = 0; i < 10; ++i) {
        sum.add(0.1);
        plain += 0.1;
    }
    ASSERT_NE(plain, 1.0);
    EXPECT_EQ(sum.value(), 1.0L);
    EXPECT_EQ(str(generalText(sum.value())), "1");
}

// Values whose ten-thousandths are exact halves round to the even count.
TEST(FixedSum, HalvesGoToEven) {
    struct Case {
        double value;
        long double sum;
    };
    const std::vector<Case> cases = {
        {0.03125, 0.0312L},   {0.09375, 0.0938L},   {0.15625, 0.1562L},
        {-0.03125, -0.0312L}, {-0.09375, -0.0938L},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        FixedSum sum;
        sum.add(c.value);
        EXPECT_EQ(sum.value(), c.sum);
        sum.remove(c.value);
        EXPECT_EQ(sum.value(), 0.0L);
    }
}

// ---------------------------------------------------------------------------------------
// Whole sale: entry line, totals and change

TEST(Sale, LineAmounts) {
    struct Case {
        const char *price;
        const char *quantity;
        const char *discount;
        const char *amount;
        const char *discounted;
    };
    const std::vector<Case> cases = {
        {"12.5", "3", "8.5", "37.5", "31.875"},
        {"3.3", "3", "9", "9.9", "8.91"},
        {"2.68", "3", "9.5", "8.04", "7.638"},
        {"12.5", "1", "10", "12.5", "12.5"},
        {".", "3", "9", "0", "0"},
        {"12.5", "0", "10", "0", "0"},
        {"10", "1", "12", "10", "12"},
        {"0.1", "3", "10", "0.3", "0.3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.price) + " x " + c.quantity + " at " + c.discount);
        const QString p = QString::fromUtf8(c.price);
        const QString q = QString::fromUtf8(c.quantity);
        const QString d = QString::fromUtf8(c.discount);
        EXPECT_EQ(str(amountText(p, q)), c.amount);
        EXPECT_EQ(str(discountedText(p, q, d)), c.discounted);
    }
}

TEST(Sale, TotalsOfStoredLines) {
    struct Line {
        const char *price;
        const char *quantity;
        const char *discount;
    };
    struct Case {
        std::vector<Line> lines;
        const char *quantity;
        const char *amount;
        const char *due;
    };
    const std::vector<Case> cases = {
        {{{"12.5", "3", "8.5"}}, "3", "37.5", "31.87"},
        {{{"12.5", "3", "8.5"}, {"3.3", "3", "9"}, {"2.68", "3", "9.5"}}, "9", "55.44", "48.42"},
        {{{"0.1", "1", "10"}, {"0.1", "1", "10"}, {"0.1", "1", "10"}}, "3", "0.3", "0.3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.due);
        FixedSum quantity;
        FixedSum amount;
        FixedSum due;
        for (const Line &line : c.lines) {
            const QString p = QString::fromUtf8(line.price);
            const QString q = QString::fromUtf8(line.quantity);
            const QString d = QString::fromUtf8(line.discount);
            // The store keeps doubles converted from the texts.
            quantity.add(static_cast<double>(readNumber(q)));
            amount.add(static_cast<double>(readNumber(amountText(p, q))));
            due.add(static_cast<double>(readNumber(discountedText(p, q, d))));
        }
        EXPECT_EQ(str(totalText(quantity)), c.quantity);
        EXPECT_EQ(str(totalText(amount)), c.amount);
        EXPECT_EQ(str(totalText(due)), c.due);
    }
}

TEST(Sale, Change) {
    struct Case {
        const char *paid;
        const char *due;
        const char *change;
    };
    const std::vector<Case> cases = {
        {"50", "31.87", "18.13"},  {"30", "31.87", "-1.87"},  {"31.87", "31.87", "0"},
        {"37.5", "31.87", "5.63"}, {"100", "48.42", "51.58"}, {"0.3", "0.1", "0.2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.paid) + " - " + c.due);
        const long double change =
            readNumber(QString::fromUtf8(c.paid)) - readNumber(QString::fromUtf8(c.due));
        EXPECT_EQ(str(generalText(change)), c.change);
    }
}

// ---------------------------------------------------------------------------------------
// Locale independence

TEST(Numbers, IgnoreTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char *chosen = nullptr;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    struct Restore {
        std::string name;
        ~Restore() { std::setlocale(LC_ALL, name.c_str()); }
    } restore{previous};

    EXPECT_EQ(readNumber(QStringLiteral("12.5")), 12.5L);
    EXPECT_EQ(readNumber(QStringLiteral("2.675")), 2.675L);
    EXPECT_THROW(readNumber(QStringLiteral("12,5")), ConversionError);
    EXPECT_EQ(str(generalText(31.875L)), "31.875");
    EXPECT_EQ(str(generalText(1.5E15L)), "1.5E15");
    EXPECT_EQ(str(generalText(0.00001L)), "1E-5");
    EXPECT_EQ(str(formatFloat(QStringLiteral("0.00"), 31.875L)), "31.88");
    EXPECT_EQ(str(formatFloat(QStringLiteral("#0.##"), 12.5L)), "12.5");
    EXPECT_EQ(priceForm(12.346L), 12.35L);
}
