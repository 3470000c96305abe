#include "AdminRules.h"
#include "Numbers.h"
#include "TestEnv.h"

namespace {

TEST(AdminRules, ModifyPriceIsRoundedToTwoDecimalsWithoutTrailingZeros) {
    const struct {
        const char *stored;
        const char *shown;
    } cases[] = {
        {"12.346", "12.35"}, {"8.1", "8.1"}, {"3", "3"},      {"12.50", "12.5"}, {"0.005", "0.01"},
        {"12.344", "12.34"}, {"0", "0"},     {"1E3", "1000"}, {"99.999", "100"}, {"-2.5", "-2.5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(modifyPriceText(QString::fromUtf8(c.stored)), QString::fromUtf8(c.shown))
            << c.stored;
}

TEST(AdminRules, ModifyPriceOfAnEmptyOrBadTextFailsWithTheConversionMessage) {
    for (const char *bad : {"", "abc", "1.2.3"}) {
        try {
            modifyPriceText(QString::fromUtf8(bad));
            ADD_FAILURE() << bad;
        } catch (const ConversionError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid floating point value")
                                       .arg(QString::fromUtf8(bad)));
        }
    }
}

TEST(AdminRules, PriceWithoutDigitCannotBeStored) {
    for (const char *good : {"", "0", "12.", ".5", "12.35", "1E3"})
        EXPECT_NO_THROW(requireStorablePrice(QString::fromUtf8(good))) << good;
    for (const char *bad : {".", "+.", "-", "E5", ".e5"}) {
        try {
            requireStorablePrice(QString::fromUtf8(bad));
            ADD_FAILURE() << bad;
        } catch (const ConversionError &e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("'%1' is not a valid floating point value for field '单价'")
                          .arg(QString::fromUtf8(bad)));
        }
    }
}

TEST(AdminRules, RemarkLinesAreJoinedByCarriageReturnAndLineFeed) {
    const struct {
        const char *memo;
        const char *saved;
    } cases[] = {
        {"", ""},
        {"one line", "one line"},
        {"谢谢惠顾\n欢迎再来", "谢谢惠顾\r\n欢迎再来"},
        {"a\n\nb\n", "a\r\n\r\nb\r\n"},
        {"a\r\nb", "a\r\nb"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(remarkText(QString::fromUtf8(c.memo)), QString::fromUtf8(c.saved)) << c.memo;
}

TEST(AdminRules, PermissionListEntryAndProtectedUser) {
    EXPECT_EQ(permissionEntry("管理员"), 0);
    for (const char *other : {"普通用户", "", "店长", "管理员 ", "Admin"})
        EXPECT_EQ(permissionEntry(QString::fromUtf8(other)), 1) << other;

    EXPECT_TRUE(isProtectedUser("admin"));
    for (const char *other : {"Admin", "ADMIN", " admin", "admin ", "", "管理员"})
        EXPECT_FALSE(isProtectedUser(QString::fromUtf8(other))) << other;
}

TEST(AdminRules, LockedPermissionListKeepsTheStoredPermission) {
    EXPECT_EQ(permissionToStore(true, "普通用户", "管理员"), "普通用户");
    EXPECT_EQ(permissionToStore(false, "管理员", "普通用户"), "普通用户");
    EXPECT_EQ(permissionToStore(false, "普通用户", "店长"), "店长");
}

} // namespace
