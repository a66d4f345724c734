// Code-page-932 literals and the small text helpers.
#include "text/Text.h"

#include <gtest/gtest.h>

static std::string Hex(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(Charset, LiteralsAreCodePage932)
{
    static const struct { const char* literal; const char* bytes; } rows[] = {
        {"：", "81 46"},
        {"　", "81 40"},
        {"表", "95 5C"},
        {"ソ", "83 5C"},
        {"４", "82 53"},
        {"☆", "81 99"},
        {"ぽこぺ", "82 DB 82 B1 82 D8"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.bytes, Hex(row.literal)) << "literal " << row.bytes;
}

TEST(TextEquals, ComparesWholeTextsCaseSensitively)
{
    static const struct { const char* a; const char* b; bool equal; } rows[] = {
        {"", "", true},
        {"", "0", false},
        {"0", "0", true},
        {"A", "A", true},
        {"A", "a", false},
        {"A", " A ", false},
        {"Windows 95", "Windows 95", true},
        {"Windows 95 OSR2", "Windows 95", false},
        {"Windows 95", "Windows 95 OSR2", false},
        {"\\", "\\", true},
        {"表", "表", true},
        {"表", "ソ", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.equal, TextEquals(row.a, row.b)) << "\"" << row.a << "\" vs \"" << row.b << "\"";
}

TEST(TextEquals, CountsEmbeddedBytes)
{
    EXPECT_FALSE(TextEquals(std::string("0\0", 2), "00"));
    EXPECT_TRUE(TextEquals(std::string("a\0b", 3), std::string("a\0b", 3)));
}

TEST(RightText, TakesLastBytes)
{
    EXPECT_EQ("", RightText("", 1));
    EXPECT_EQ("\\", RightText("C:\\", 1));
    EXPECT_EQ("abc", RightText("abc", 3));
    EXPECT_EQ("abc", RightText("abc", 10));
    EXPECT_EQ("bc", RightText("abc", 2));
    EXPECT_EQ("", RightText("abc", 0));
}

TEST(RepeatText, JoinsCopies)
{
    EXPECT_EQ("", RepeatText(0, "-"));
    EXPECT_EQ("-", RepeatText(1, "-"));
    EXPECT_EQ(std::string(60, '-'), RepeatText(60, "-"));
    EXPECT_EQ("abab", RepeatText(2, "ab"));
    EXPECT_EQ("", RepeatText(5, ""));
}

TEST(LastCharText, StepsOverDoubleByteCharacters)
{
    static const struct { const char* text; const char* last; } rows[] = {
        {"", ""},
        {"C:\\", "\\"},
        {"C:\\WINDOWS", "S"},
        {"C:\\表", "表"},         // trail byte 0x5C is not a backslash
        {"C:\\ソ", "ソ"},
        {"C:\\表\\", "\\"},
        {"表表", "表"},
        {"a表", "表"},
        {"ab\x95", "\x95"}, // a lone lead byte at the end is one character
    };
    for (const auto& row : rows)
        EXPECT_EQ(Hex(row.last), Hex(LastCharText(row.text))) << "text \"" << row.text << "\"";
}

TEST(TextUpToNul, StopsAtNulOrBufferEnd)
{
    char buffer[4] = {'a', 'b', '\0', 'c'};
    EXPECT_EQ("ab", TextUpToNul(buffer, sizeof(buffer)));
    char full[3] = {'x', 'y', 'z'};
    EXPECT_EQ("xyz", TextUpToNul(full, sizeof(full)));
    EXPECT_EQ("", TextUpToNul("\0abc", 4));
}
