#include "TimingLine.h"

#include "Text.h"

namespace framequill {

TimingLine ParseTimingLine(std::string_view line) {
    TimingLine record;
    const long n = static_cast<long>(line.size());
    const long p1 = FindChar(line, '}');
    if (p1 == 0)
        return record;
    record.Beginning = Substring(line, 2, p1 - 2);
    const std::string rest = Substring(line, p1 + 1, n - p1);
    const long p2 = p1 + FindChar(rest, '}');
    record.End = Substring(line, p1 + 2, p2 - p1 - 2);
    record.Text = Substring(line, p2 + 1, n - p2);
    return record;
}

std::string FormatTimingLine(const TimingLine& record) {
    std::string line;
    line.reserve(record.Beginning.size() + record.End.size() + record.Text.size() + 4);
    line += '{';
    line += record.Beginning;
    line += "}{";
    line += record.End;
    line += '}';
    line += record.Text;
    return line;
}

std::string StartFrameText(std::string_view line) {
    return Substring(line, FindChar(line, '{') + 1, FindChar(line, '}') - 2);
}

} // namespace framequill
