#include "script/IntegerConversion.h"
#include "script/Errors.h"

#include <gtest/gtest.h>

namespace framequill {
namespace {

TEST(IntegerConversion, AcceptsDecimalAndHexadecimalForms) {
    const std::pair<std::string, std::int32_t> cases[] = {
        {"0", 0},
        {"12", 12},
        {"   12", 12},
        {"-3", -3},
        {"+7", 7},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$1F", 31},
        {"x1f", 31},
        {"X10", 16},
        {"0x10", 16},
        {"0XfF", 255},
        {" $10", 16},
        {"$FFFFFFFF", -1},
        {"$80000000", INT32_MIN},
        {"$7FFFFFFF", 2147483647},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(TryStrToInt(text), value) << "text: '" << text << "'";
        EXPECT_EQ(StrToInt(text), value) << "text: '" << text << "'";
    }
}

TEST(IntegerConversion, RefusesEverythingElseWithTheUsersText) {
    const std::string cases[] = {
        "",    " ",   "abc", "12abc", "12 ",  "1 2",  "2147483648", "-2147483649", "99999999999999999999",
        "-",   "+",   "$",   "0x",    "x",    "$G",   "$123456789", "-$1",         "+0x1",
        "1.5", "1e3", "\t1", "--1",   "0x-1", "\xff",
    };
    for (const auto& text : cases) {
        EXPECT_FALSE(TryStrToInt(text)) << "text: '" << text << "'";
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid integer value");
        }
    }
}

} // namespace
} // namespace framequill
