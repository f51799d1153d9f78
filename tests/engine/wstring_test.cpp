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

    // Emptying keeps the buffer; an absent buffer reads as "".
    s.assign(u"");
    EXPECT_EQ(s.capacity(), 81);
    EXPECT_EQ(s.view(), u"");
    WString none;
    EXPECT_FALSE(none.hasBuffer());
    EXPECT_EQ(std::u16string_view(none.c_str()), u"");
}

TEST(WString, EditingOperations) {
    WString s(u"  a\tb\t  ");
    s.trimRight();
    EXPECT_EQ(s.view(), u"  a\tb\t"); // tabs stay
    s.trimLeft();
    EXPECT_EQ(s.view(), u"a\tb\t");

    EXPECT_EQ(s.findChar(u'\t'), 1);
    EXPECT_EQ(s.findChar(u'\t', 2), 3);
    EXPECT_EQ(s.findChar(u'a', 4), -1);
    EXPECT_EQ(s.findChar(u'a', 99), -1);

    WString t(u"abc");
    t.insertAt(99, u"XY"); // beyond the end appends
    EXPECT_EQ(t.view(), u"abcXY");
    t.insertAt(0, u"<");
    t.replaceRange(1, 3, u"-");
    EXPECT_EQ(t.view(), u"<-XY");
    t.truncate(10);
    EXPECT_EQ(t.view(), u"<-XY");
    t.truncate(2);
    EXPECT_EQ(t.view(), u"<-");
}

TEST(WString, OverlappingSourcesAndBytes) {
    WString s(u"abc");
    s.append(s.view()); // a string appended to itself
    EXPECT_EQ(s.view(), u"abcabc");
    s.insertAt(3, s.view().substr(0, 2));
    EXPECT_EQ(s.view(), u"abcababc");
    s.assign(s.view().substr(2, 3));
    EXPECT_EQ(s.view(), u"cab");

    const unsigned char bytes[] = {'h', 'i', 0xE9};
    s.assign8bit(bytes, 3);
    ASSERT_EQ(s.length(), 3);
    EXPECT_EQ(s[2], u'\u00E9');

    WString copy = s;
    WString moved = std::move(copy);
    EXPECT_EQ(moved, s);
}
