// The name rule, one table for both sides: the client checks a name with checkPlayerName before
// it keeps or sends it, and the server with the same function before it shows it.

#include <gtest/gtest.h>

#include <string>

#include "wire/PlayerName.h"

namespace {

struct NameCase {
    const char* what;
    std::string input;
    NameFault fault;
    std::string cleaned;  // when fault is None
};

class NameRule : public testing::TestWithParam<NameCase> {};

TEST_P(NameRule, CleansOrRefuses) {
    const NameCase& c = GetParam();
    const NameCheck check = checkPlayerName(c.input);
    EXPECT_EQ(check.fault, c.fault) << c.what;
    EXPECT_EQ(check.name, c.fault == NameFault::None ? c.cleaned : std::string()) << c.what;
}

// Twelve and thirteen Chinese characters: 36 and 39 bytes, so a byte count would refuse both.
const std::string kTwelve = "一二三四五六七八九十百千";
const std::string kThirteen = kTwelve + "万";

INSTANTIATE_TEST_SUITE_P(
    Table, NameRule,
    testing::Values(
        NameCase{"chinese", "小明", NameFault::None, "小明"},
        NameCase{"latin with a space inside", "Li Wei", NameFault::None, "Li Wei"},
        NameCase{"12 characters", kTwelve, NameFault::None, kTwelve},
        NameCase{"13 characters", kThirteen, NameFault::TooLong, ""},
        NameCase{"13 once trimmed is still 13", "  " + kThirteen + " ", NameFault::TooLong, ""},
        NameCase{"12 after trimming", "\t" + kTwelve + "\xE3\x80\x80", NameFault::None, kTwelve},
        NameCase{"emoji, one character each", "牌神\xF0\x9F\x83\x8F\xF0\x9F\x98\x80",
                 NameFault::None, "牌神\xF0\x9F\x83\x8F\xF0\x9F\x98\x80"},
        NameCase{"emoji joined by a zero-width joiner",
                 "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9", NameFault::Invisible, ""},
        NameCase{"trimmed: ideographic, no-break and ordinary space",
                 "\xE3\x80\x80\xC2\xA0 小明 \xC2\xA0", NameFault::None, "小明"},
        NameCase{"empty", "", NameFault::Empty, ""},
        NameCase{"spaces only", " \t\xE3\x80\x80 ", NameFault::Empty, ""},
        NameCase{"a tab inside", "小\t明", NameFault::Control, ""},
        NameCase{"NUL inside", std::string("ab\0cd", 5), NameFault::Control, ""},
        NameCase{"DEL", "ab\x7F", NameFault::Control, ""},
        NameCase{"C1 control U+0085 inside", "a\xC2\x85z", NameFault::Control, ""},
        NameCase{"zero-width space", "小\xE2\x80\x8B明", NameFault::Invisible, ""},
        NameCase{"right-to-left override", "\xE2\x80\xAE" "abc", NameFault::Invisible, ""},
        NameCase{"byte order mark", "\xEF\xBB\xBF小明", NameFault::Invisible, ""},
        NameCase{"word joiner U+2060", "a\xE2\x81\xA0z", NameFault::Invisible, ""},
        NameCase{"soft hyphen", "a\xC2\xADz", NameFault::Invisible, ""},
        NameCase{"tag character U+E0041", "a\xF3\xA0\x81\x81", NameFault::Invisible, ""},
        NameCase{"zero-width only is not empty, it is invisible", "\xE2\x80\x8B",
                 NameFault::Invisible, ""},
        NameCase{"bad utf-8: a lone continuation byte", "a\x80z", NameFault::BadUtf8, ""},
        NameCase{"bad utf-8: cut short", "小\xE6\x98", NameFault::BadUtf8, ""},
        NameCase{"bad utf-8: overlong slash", "\xC0\xAF", NameFault::BadUtf8, ""},
        NameCase{"bad utf-8: a surrogate", "\xED\xA0\x80", NameFault::BadUtf8, ""},
        NameCase{"bad utf-8: above U+10FFFF", "\xF4\x90\x80\x80", NameFault::BadUtf8, ""}));

struct SuffixCase {
    std::string name;
    std::string suffix;
    std::string expected;
};

class NameSuffix : public testing::TestWithParam<SuffixCase> {};

TEST_P(NameSuffix, KeepsWithinTheLimit) {
    const SuffixCase& c = GetParam();
    const std::string made = nameWithSuffix(c.name, c.suffix);
    EXPECT_EQ(made, c.expected);
    EXPECT_EQ(checkPlayerName(made).fault, NameFault::None);
}

INSTANTIATE_TEST_SUITE_P(Table, NameSuffix,
                         testing::Values(SuffixCase{"小明", "2", "小明2"},
                                         SuffixCase{kTwelve, "2", "一二三四五六七八九十百2"},
                                         SuffixCase{kTwelve, "13", "一二三四五六七八九十13"},
                                         SuffixCase{"abcdefghijk", "2", "abcdefghijk2"}));

TEST(NameFaultText, EveryFaultTravelsAndComesBack) {
    for (NameFault fault : {NameFault::BadUtf8, NameFault::Empty, NameFault::TooLong,
                            NameFault::Control, NameFault::Invisible}) {
        EXPECT_FALSE(nameFaultText(fault).empty());
        EXPECT_EQ(nameFaultFromText(nameFaultText(fault)), fault);
    }
    EXPECT_EQ(nameFaultFromText("a reason from a newer server"), NameFault::None);
}

}  // namespace
