#include "Marking.h"

#include "TimingLine.h"

#include <string>

namespace framequill {
namespace {

enum class Field { Beginning, End };

void SetField(std::string& line, Field field, std::int32_t frame) {
    TimingLine record = ParseTimingLine(line);
    (field == Field::Beginning ? record.Beginning : record.End) = std::to_string(frame);
    line = FormatTimingLine(record);
}

bool IsValid(const Script& lines, Selection selected) {
    return selected && *selected < lines.size();
}

} // namespace

Selection MarkBeginning(Script& lines, Selection selected, std::int32_t frame) {
    if (!IsValid(lines, selected))
        return std::nullopt;
    SetField(lines[*selected], Field::Beginning, frame);
    return selected;
}

Selection MarkEnd(Script& lines, Selection selected, std::int32_t frame) {
    if (!IsValid(lines, selected))
        return std::nullopt;
    SetField(lines[*selected], Field::End, frame);
    return *selected + 1 < lines.size() ? *selected + 1 : *selected;
}

Selection MarkNext(Script& lines, Selection selected, std::int32_t frame) {
    if (!IsValid(lines, selected))
        return std::nullopt;
    SetField(lines[*selected], Field::End, frame);
    if (*selected + 1 >= lines.size())
        return selected;
    SetField(lines[*selected + 1], Field::Beginning, frame);
    return *selected + 1;
}

} // namespace framequill
