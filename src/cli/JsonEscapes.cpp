#include "cli/JsonEscapes.h"

#include "launcher/OutsideText.h"
#include "platform/Unicode.h"

namespace gh {

char32_t JsonCodePoint(std::string_view sequence) {
    const auto byte = [&sequence](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(sequence[i]));
    };
    switch (sequence.size()) {
        case 1: return byte(0);
        case 2: return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
        case 3: return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
        case 4: return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
        default: return 0xFFFD;
    }
}

std::string WithShownEscapes(std::string_view json) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(json.size());
    for (std::size_t i = 0; i < json.size();) {
        const std::size_t valid = ValidUtf8SequenceLength(json, i);
        const std::size_t length = valid == 0 ? 1 : valid;  // a byte that is not text stays as it is
        const std::string_view sequence = json.substr(i, length);
        const char32_t code = valid == 0 ? 0xFFFD : JsonCodePoint(sequence);
        // Controls below U+0020 are escaped by every JSON writer already.
        if (code >= 0x20 && IsShownEscaped(code)) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
        } else {
            out += sequence;
        }
        i += length;
    }
    return out;
}

}  // namespace gh
