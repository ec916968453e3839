#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace framequill {

// Text to a frame number. Leading spaces are skipped; then either an optional sign and decimal digits
// within the signed 32-bit range, or one of the prefixes "$", "x", "X", "0x", "0X" and one to eight
// hexadecimal digits giving the 32-bit pattern ("$FFFFFFFF" is -1). Nothing may follow.
//   " 12" -> 12, "-3" -> -3, "+7" -> 7, "0x1f" -> 31, "" / "12a" / "12 " / "2147483648" / "-$1" -> fail
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt, but a failure throws EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

} // namespace framequill
