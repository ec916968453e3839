#include "IntegerConversion.h"

#include "Errors.h"

#include <string>

namespace framequill {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t pattern = 0;
    for (const char c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        pattern = (pattern << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(pattern);
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(first);
    if (text.starts_with("0x") || text.starts_with("0X"))
        return ParseHex(text.substr(2));
    if (text.front() == '$' || text.front() == 'x' || text.front() == 'X')
        return ParseHex(text.substr(1));
    return ParseDecimal(text);
}

std::int32_t StrToInt(std::string_view text) {
    if (const auto value = TryStrToInt(text))
        return *value;
    throw EConvertError(std::string(text));
}

} // namespace framequill
