#include "Password.h"

#include <gtest/gtest.h>

TEST(Password, HashesAreSaltedAndVerify) {
    const QString a = hashPassword("秘密1");
    const QString b = hashPassword("秘密1");
    EXPECT_NE(a, b); // salted
    EXPECT_FALSE(a.contains("秘密1"));
    EXPECT_TRUE(verifyPassword("秘密1", a));
    EXPECT_TRUE(verifyPassword("秘密1", b));
    for (const char *wrong : {"秘密", "秘密1 ", "", "秘密2"})
        EXPECT_FALSE(verifyPassword(QString::fromUtf8(wrong), a)) << wrong;
    EXPECT_FALSE(verifyPassword("Abc", hashPassword("abc"))); // letter case counts
}

TEST(Password, EmptyStoredTextStandsForTheEmptyPassword) {
    EXPECT_TRUE(verifyPassword("", ""));
    EXPECT_FALSE(verifyPassword("x", ""));
    EXPECT_TRUE(verifyPassword("", hashPassword("")));
    // A stored text that is no hash matches nothing typed.
    EXPECT_FALSE(verifyPassword("plain", "plain"));
}
