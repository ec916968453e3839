#pragma once

#include <string>
#include <string_view>

namespace framequill {

// One script line "{Beginning}{End}Text" taken apart. The fields are not validated: whatever stands in a
// field's place is kept, spaces and non-digits included.
struct TimingLine {
    std::string Beginning;
    std::string End;
    std::string Text;

    bool operator==(const TimingLine&) const = default;
};

// Never fails. The first character and the character after the first "}" are skipped whatever they are;
// a line without "}" gives three empty fields; a line with a single "}" has everything after it as Text.
//   "{100}{250}a}b" -> 100 | 250 | a}b      "{100}Hello" -> 100 | "" | Hello
//   "x100}y250}t"   -> 100 | 250 | t        "{}abc}def"  -> ""  | bc | def
TimingLine ParseTimingLine(std::string_view line);

// "{" + Beginning + "}{" + End + "}" + Text, with no escaping.
std::string FormatTimingLine(const TimingLine& record);

// The start-frame text used to seek to a line: the characters after the first "{", as many as the
// position of the first "}" minus 2. On a normalised line this equals ParseTimingLine(line).Beginning.
std::string StartFrameText(std::string_view line);

} // namespace framequill
