#include "platform/Unicode.h"

#include <algorithm>
#include <cstdint>

namespace gh {

namespace {

constexpr bool kWide16 = sizeof(wchar_t) == 2;

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacementChar;
    if (kWide16 && cp > 0xFFFF) {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<wchar_t>(cp));
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacementChar;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The code points that stand for the bytes 0x80 to 0xFF that are not part of
// valid UTF-8 (bytes below 0x80 always are).
constexpr char32_t kByteStandIn = 0xDC00;
constexpr char32_t kFirstStandIn = kByteStandIn + 0x80;
constexpr char32_t kLastStandIn = kByteStandIn + 0xFF;

// The length of the valid UTF-8 sequence at `at` and its code point, or 0.
std::size_t DecodeValidUtf8(std::string_view bytes, std::size_t at, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(bytes[at + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not valid:
    // a surrogate decoded from bytes would be taken for a stand-in.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 < 0x80) {
            out.push_back(static_cast<wchar_t>(b0));
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1;
            cp = b0 & 0x1F;
            min = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2;
            cp = b0 & 0x0F;
            min = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3;
            cp = b0 & 0x07;
            min = 0x10000;
        } else {
            out.push_back(kReplacementChar);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= n || (static_cast<unsigned char>(utf8[j]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // One replacement for the maximal invalid prefix, then resume after it.
            out.push_back(kReplacementChar);
            i = ok ? j : std::max(j, i + 1);
            continue;
        }
        AppendCodePoint(out, cp);
        i = j;
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = static_cast<char32_t>(wide[i]);
        if (kWide16 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) {
            const auto lo = static_cast<char32_t>(wide[i + 1]);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::wstring Utf16ToWide(std::u16string_view units) {
    std::wstring out;
    out.reserve(units.size());
    if constexpr (kWide16) {
        for (char16_t u : units) out.push_back(static_cast<wchar_t>(u));
        return out;
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            AppendCodePoint(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out.push_back(kReplacementChar);
        } else {
            out.push_back(static_cast<wchar_t>(u));
        }
    }
    return out;
}

std::size_t ValidUtf8SequenceLength(std::string_view bytes, std::size_t at) {
    char32_t cp = 0;
    return at < bytes.size() ? DecodeValidUtf8(bytes, at, cp) : 0;
}

std::string Utf16ToUtf8(std::u16string_view units) {
    // Text that is all ASCII, as most is, is copied unit for unit. Every unit
    // is looked at without stopping early, which compilers turn into wide
    // compares.
    unsigned high = 0;
    for (const char16_t unit : units) high |= unit;
    if (high < 0x80) {
        std::string ascii(units.size(), '\0');
        for (std::size_t i = 0; i < units.size(); ++i) ascii[i] = static_cast<char>(units[i]);
        return ascii;
    }
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, u);  // an unpaired surrogate becomes U+FFFD there
        }
    }
    return out;
}

std::u16string WideToUtf16(std::wstring_view wide) {
    std::u16string out;
    out.reserve(wide.size());
    for (wchar_t w : wide) {
        auto cp = static_cast<char32_t>(w);
        if (!kWide16 && cp > 0xFFFF && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else if (cp > 0x10FFFF || (!kWide16 && cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(static_cast<char16_t>(kReplacementChar));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::wstring DisplayText(std::wstring_view text) {
    std::wstring out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto cp = static_cast<char32_t>(out[i]);
        if (kWide16 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 &&
            out[i + 1] <= 0xDFFF) {
            ++i;  // a pair: one character beyond U+FFFF
        } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            out[i] = kReplacementChar;
        }
    }
    return out;
}

std::wstring Utf8ToWideKeepingBytes(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        if (const std::size_t length = DecodeValidUtf8(bytes, i, cp)) {
            AppendCodePoint(out, cp);
            i += length;
        } else {
            out.push_back(static_cast<wchar_t>(kByteStandIn + static_cast<unsigned char>(bytes[i])));
            ++i;
        }
    }
    return out;
}

std::string WideToUtf8KeepingBytes(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const auto cp = static_cast<char32_t>(wide[i]);
        if (cp < kFirstStandIn || cp > kLastStandIn) continue;
        out += WideToUtf8(wide.substr(runStart, i - runStart));
        out.push_back(static_cast<char>(cp - kByteStandIn));
        runStart = i + 1;
    }
    out += WideToUtf8(wide.substr(runStart));
    return out;
}

}  // namespace gh
