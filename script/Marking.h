#pragma once

#include "Script.h"

#include <cstdint>

namespace framequill {

// The three marking commands. Each parses the selected line, writes the frame as plain decimal text into
// one field, formats the line back in place and returns the new selection. With no selection they change
// nothing and return none. No line is ever inserted, removed or moved.

// Sets the start frame; the selection stays.
Selection MarkBeginning(Script& lines, Selection selected, std::int32_t frame);

// Sets the end frame; the selection moves to the following line when there is one.
Selection MarkEnd(Script& lines, Selection selected, std::int32_t frame);

// Sets the end frame and, when there is a following line, moves there and sets its start to the same
// frame, so that one subtitle ends on the frame where the next begins.
Selection MarkNext(Script& lines, Selection selected, std::int32_t frame);

} // namespace framequill
