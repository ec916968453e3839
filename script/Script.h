#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace framequill {

// The lines being timed, in file order, each held as the bytes it has in the file, without terminator.
using Script = std::vector<std::string>;

// The selected line's index, or none.
using Selection = std::optional<std::size_t>;

} // namespace framequill
