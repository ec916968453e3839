#include "script/Marking.h"

#include <gtest/gtest.h>

#include <functional>

namespace framequill {
namespace {

using Command = std::function<Selection(Script&, Selection, std::int32_t)>;

struct MarkCase {
    const char* name;
    Command command;
    Script before;
    Selection selected;
    std::int32_t frame;
    Script after;
    Selection expectedSelection;
};

TEST(Marking, WritesTheFrameAndMovesTheSelection) {
    const MarkCase cases[] = {
        {"begin on an untimed line",
         MarkBeginning,
         {"{}{}Hello", "{}{}x"},
         0,
         120,
         {"{120}{}Hello", "{}{}x"},
         0},
        {"begin replaces the start", MarkBeginning, {"{100}{250}Hello"}, 0, 120, {"{120}{250}Hello"}, 0},
        {"begin on a line with one brace", MarkBeginning, {"{100}Hello"}, 0, 120, {"{120}{}Hello"}, 0},
        {"begin drops a line without braces", MarkBeginning, {"{Hello"}, 0, 5, {"{5}{}"}, 0},
        {"begin at frame 0", MarkBeginning, {"{}{}Hello"}, 0, 0, {"{0}{}Hello"}, 0},
        {"begin at frame 7", MarkBeginning, {"{}{}Hello"}, 0, 7, {"{7}{}Hello"}, 0},
        {"begin at a negative frame", MarkBeginning, {"{}{}Hello"}, 0, -12, {"{-12}{}Hello"}, 0},
        {"end moves on", MarkEnd, {"{120}{}Hello", "{}{}World"}, 0, 300, {"{120}{300}Hello", "{}{}World"}, 1},
        {"end on the last line stays", MarkEnd, {"{}{}a", "{1}{}b"}, 1, 9, {"{}{}a", "{1}{9}b"}, 1},
        {"end drops a line without braces", MarkEnd, {"{Hello"}, 0, 5, {"{}{5}"}, 0},
        {"next starts the following line",
         MarkNext,
         {"{120}{}Hello", "{}{}World"},
         0,
         300,
         {"{120}{300}Hello", "{300}{}World"},
         1},
        {"next keeps the following end",
         MarkNext,
         {"{1}{}a", "{250}{400}World"},
         0,
         300,
         {"{1}{300}a", "{300}{400}World"},
         1},
        {"next rewrites a following line without braces",
         MarkNext,
         {"{1}{}a", "{World"},
         0,
         300,
         {"{1}{300}a", "{300}{}"},
         1},
        {"next on the last line only ends it", MarkNext, {"{}{}a", "{1}{}b"}, 1, 9, {"{}{}a", "{1}{9}b"}, 1},
        {"next on a single line", MarkNext, {"{}{}a"}, 0, 9, {"{}{9}a"}, 0},
        {"no selection changes nothing",
         MarkNext,
         {"{}{}a", "{}{}b"},
         std::nullopt,
         9,
         {"{}{}a", "{}{}b"},
         std::nullopt},
        {"an empty script has nothing to mark", MarkEnd, {}, std::nullopt, 9, {}, std::nullopt},
        {"a selection past the end changes nothing", MarkBeginning, {"{}{}a"}, 3, 9, {"{}{}a"}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Script lines = c.before;
        EXPECT_EQ(c.command(lines, c.selected, c.frame), c.expectedSelection);
        EXPECT_EQ(lines, c.after);
    }
}

TEST(Marking, RepeatedBeginKeepsTheLastFrameAndTheOtherFields) {
    Script lines{"{}{250}Hello"};
    MarkBeginning(lines, 0, 120);
    MarkBeginning(lines, 0, 130);
    EXPECT_EQ(lines, Script{"{130}{250}Hello"});
}

TEST(Marking, TimingAWholeScriptWithNextChainsTheFrames) {
    Script lines{"{}{}one", "{}{}two", "{}{}three"};
    Selection at = MarkBeginning(lines, 0, 10);
    at = MarkNext(lines, at, 20);
    at = MarkNext(lines, at, 30);
    at = MarkEnd(lines, at, 40);
    EXPECT_EQ(lines, (Script{"{10}{20}one", "{20}{30}two", "{30}{40}three"}));
    EXPECT_EQ(at, 2u);
}

} // namespace
} // namespace framequill
