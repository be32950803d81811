#include <gtest/gtest.h>

#include "language/wide_text.h"

TEST(WideTextTest, DecodesEveryLengthAndReplacesMalformedBytes) {
    EXPECT_EQ(Utf8ToUtf16("A\xC3\xA9\xE0\xB8\x81\xF0\x9F\x98\x80"), u"A\u00E9\u0E01\U0001F600");
    // A lone continuation byte, a cut sequence and an overlong '/'.
    EXPECT_EQ(Utf8ToUtf16("a\x80"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("a\xE0\xB8"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    // Encoded surrogates are not characters.
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(WideTextTest, WideTextsHoldOneCodePointPerCharacter) {
    EXPECT_EQ(Utf8ToWide("\xEC\x9E\xAC\xF0\x9F\x98\x80x\xFF"), L"\uC7AC\U0001F600x\uFFFD");
}
