// Signed 64-bit mod identities as decimal text, both ways.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gh {

// Plain signed decimal: no padding, no grouping, "-" when negative.
std::wstring Int64ToText(std::int64_t value);

// Leading white space skipped, an optional sign, then the digits up to the
// first character that is not one; no digits give 0. None when the digits'
// value does not fit in a signed 64-bit integer (leading zeros are fine).
std::optional<std::int64_t> TextToInt64(std::u16string_view text);

}  // namespace gh
