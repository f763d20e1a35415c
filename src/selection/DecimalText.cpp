#include "selection/DecimalText.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include "selection/TextModeReader.h"

namespace gh {

std::wstring Int64ToText(std::int64_t value) { return fmt::format(L"{}", value); }

std::optional<std::int64_t> TextToInt64(std::u16string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsTextModeSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    // The magnitude is gathered unsigned, where -2^63 still fits, and checked
    // before every step so that no digit count can wrap it.
    constexpr std::uint64_t kMaxMagnitude = std::uint64_t{1} << 63;  // |INT64_MIN|
    const std::uint64_t limit = negative ? kMaxMagnitude : kMaxMagnitude - 1;
    std::uint64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
        const auto digit = static_cast<std::uint64_t>(text[pos] - u'0');
        if (magnitude > (limit - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative) return static_cast<std::int64_t>(magnitude);
    if (magnitude == kMaxMagnitude) return INT64_MIN;
    return -static_cast<std::int64_t>(magnitude);
}

}  // namespace gh
