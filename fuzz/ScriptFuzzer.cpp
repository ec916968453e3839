// Feeds arbitrary bytes to the line splitter, the line parser and formatter, the normaliser and the
// integer conversion, and checks the properties the rest of the program builds on.
#include "script/IntegerConversion.h"
#include "script/ScriptFile.h"
#include "script/TimingLine.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

using namespace framequill;

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        __builtin_printf("broken: %s\n", what);
        std::abort();
    }
}

// An independent reading of what the conversion must accept.
std::optional<std::int32_t> ReferenceConversion(const std::string& text) {
    static const std::regex decimal("^ *([+-]?[0-9]+)$");
    static const std::regex hex("^ *(\\$|x|X|0x|0X)([0-9a-fA-F]{1,8})$");
    std::smatch match;
    if (std::regex_match(text, match, hex))
        return static_cast<std::int32_t>(std::stoul(match[2].str(), nullptr, 16));
    if (!std::regex_match(text, match, decimal))
        return std::nullopt;
    std::string digits = match[1].str();
    const bool negative = digits[0] == '-';
    if (digits[0] == '+' || digits[0] == '-')
        digits.erase(0, 1);
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.size() > 10)
        return std::nullopt;
    const long long value = (negative ? -1 : 1) * std::stoll(digits);
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    Script lines = SplitScriptText(bytes);
    for (const auto& line : lines)
        Check(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos,
              "a line holds CR, LF or NUL");
    Check(SplitScriptText(JoinScriptText(lines)) == lines, "a saved script reads back as other lines");

    for (const auto& line : lines) {
        const TimingLine parsed = ParseTimingLine(line);
        Check(parsed.Beginning.find('}') == std::string::npos, "a parsed start holds }");
        Check(parsed.End.find('}') == std::string::npos, "a parsed end holds }");
        const std::string formatted = FormatTimingLine(parsed);
        Check(ParseTimingLine(formatted) == parsed, "format then parse changes the record");
        Check(FormatTimingLine(ParseTimingLine(formatted)) == formatted, "formatting is not idempotent");
    }

    Script normalised = lines;
    NormaliseScript(normalised);
    for (std::size_t i = 0; i < normalised.size(); ++i) {
        Check(!normalised[i].empty() && normalised[i][0] == '{', "a normalised line does not start with {");
        Check(normalised[i].ends_with(lines[i]), "normalising lost bytes of a line");
        Check(StartFrameText(normalised[i]) == ParseTimingLine(normalised[i]).Beginning,
              "the start-frame rule disagrees with the parser on a normalised line");
    }
    Script again = normalised;
    NormaliseScript(again);
    Check(again == normalised, "normalising twice prefixes twice");

    const std::string text = bytes.substr(0, bytes.find('\0'));
    Check(TryStrToInt(text) == ReferenceConversion(text), "the conversion disagrees with its definition");
    return 0;
}
