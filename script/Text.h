#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace framequill {

// Text positions are 1-based byte positions. These two primitives decide how malformed lines come apart,
// so their edge rules are exact:
//   FindChar("a}b", '}') == 2, FindChar("", '}') == 0
//   Substring("hello", 2, 3) == "ell"; Substring("hello", 0, 3) == ""; Substring("hello", 4, 99) == "lo";
//   Substring("hello", 6, 1) == ""; Substring("hello", 2, -1) == ""

// Position of the first occurrence of c in s, or 0.
inline long FindChar(std::string_view s, char c) {
    const auto at = s.find(c);
    return at == std::string_view::npos ? 0 : static_cast<long>(at) + 1;
}

inline std::string Substring(std::string_view s, long start, long count) {
    const auto length = static_cast<long>(s.size());
    if (start < 1 || start > length || count < 0)
        return {};
    return std::string(s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

} // namespace framequill
