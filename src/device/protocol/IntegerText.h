#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zr::protocol {

// Reads a signed 32-bit integer as typed by service staff: leading spaces, an optional sign, then
// decimal digits or hex digits after "$", "x", "X", "0x" or "0X", and nothing after them.
// Decimal text must fit the signed range. Hex text may use all 32 bits, so "$FFFFFFFF" is -1,
// and the sign applies to it ("-$10" is -16). Anything else, the empty text included, gives
// nothing.
std::optional<std::int32_t> parseInt32(std::string_view text);

} // namespace zr::protocol
