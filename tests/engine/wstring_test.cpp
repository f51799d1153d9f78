#include <gtest/gtest.h>

#include "engine/wstring.h"

using pq::WString;

TEST(WString, ReserveAndGrowthFollowTheFixedRules) {
    EXPECT_EQ(WString::withReserve(10).capacity(), 64);
    EXPECT_EQ(WString::withReserve(100).capacity(), 101);

    WString s = WString::withReserve(3);
    ASSERT_TRUE(s.append(std::u16string(63, u'a')));
    EXPECT_EQ(s.capacity(), 64); // 63 units and the terminator fit exactly
    ASSERT_TRUE(s.append(u"bc"));
    EXPECT_EQ(s.capacity(), 63 + 2 + 16);
    EXPECT_EQ(s.length(), 65);
}
