#include "script/TimingLine.h"

#include <gtest/gtest.h>

namespace framequill {
namespace {

struct ParseCase {
    std::string line;
    TimingLine expected;
    std::string formatted;
};

// Well-formed lines, and every way a line can be malformed: where the braces are missing, doubled or
// replaced by other characters, the fields are taken by position alone.
const ParseCase kParseCases[] = {
    {"", {"", "", ""}, "{}{}"},
    {"{}{}", {"", "", ""}, "{}{}"},
    {"{}{}Hello", {"", "", "Hello"}, "{}{}Hello"},
    {"{100}{250}Hello", {"100", "250", "Hello"}, "{100}{250}Hello"},
    {"{100}{250}a}b", {"100", "250", "a}b"}, "{100}{250}a}b"},
    {"{1}{2}{3}x", {"1", "2", "{3}x"}, "{1}{2}{3}x"},
    {"{100}{}Hello", {"100", "", "Hello"}, "{100}{}Hello"},
    {"{100}Hello", {"100", "", "Hello"}, "{100}{}Hello"},
    {"{100}{250", {"100", "", "{250"}, "{100}{}{250"},
    {"{100}", {"100", "", ""}, "{100}{}"},
    {"{100}}Hello", {"100", "", "Hello"}, "{100}{}Hello"},
    {"{}", {"", "", ""}, "{}{}"},
    {"}", {"", "", ""}, "{}{}"},
    {"Hello", {"", "", ""}, "{}{}"},
    {"{Hello", {"", "", ""}, "{}{}"},
    {"x100}y250}t", {"100", "250", "t"}, "{100}{250}t"},
    {"{{1}{2}t", {"{1", "2", "t"}, "{{1}{2}t"},
    {"{abc}{def}t", {"abc", "def", "t"}, "{abc}{def}t"},
    {"{}abc}def", {"", "bc", "def"}, "{}{bc}def"},
    {"}abc}def", {"", "bc", "def"}, "{}{bc}def"},
    {"{ 1 }{}x", {" 1 ", "", "x"}, "{ 1 }{}x"},
    // A byte of "}" inside a multi-byte character is a "}" like any other.
    {"{\xe2\x80}{1}t", {"\xe2\x80", "1", "t"}, "{\xe2\x80}{1}t"},
};

TEST(TimingLine, ParsesEachLineByPositionAndFormatsItBack) {
    for (const auto& c : kParseCases) {
        SCOPED_TRACE("line: \"" + c.line + "\"");
        const TimingLine parsed = ParseTimingLine(c.line);
        EXPECT_EQ(parsed.Beginning, c.expected.Beginning);
        EXPECT_EQ(parsed.End, c.expected.End);
        EXPECT_EQ(parsed.Text, c.expected.Text);
        EXPECT_EQ(FormatTimingLine(parsed), c.formatted);
        // Formatting is a fixed point after one round.
        EXPECT_EQ(ParseTimingLine(c.formatted), parsed);
    }
}

TEST(TimingLine, FormatJoinsFieldsWithoutChecks) {
    EXPECT_EQ(FormatTimingLine({}), "{}{}");
    EXPECT_EQ(FormatTimingLine({"a{", "}b", "{c}"}), "{a{}{}b}{c}");
}

TEST(TimingLine, StartFrameTextCountsFromTheFirstBraces) {
    const std::pair<std::string, std::string> cases[] = {
        {"{120}{}Hello", "120"}, {"{ 120}{}x", " 120"}, {"{}{}Hello", ""}, {"{Hello", ""}, {"", ""},
        {"{{1}{2}t", "{1"},      {"ab}c", "a"},         {"a{12}b", "12}"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(StartFrameText(line), expected) << "line: " << line;
}

} // namespace
} // namespace framequill
