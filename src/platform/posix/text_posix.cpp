#include "platform/Text.h"
#include "platform/Unicode.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace gh::platform {

namespace {

// The locale's character set; the plain C locale is taken as UTF-8, the
// encoding of every current Linux system's file names.
std::string LocaleCharset() {
    const char* codeset = nl_langinfo(CODESET);
    std::string name = codeset ? codeset : "";
    if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII") return "UTF-8";
    return name;
}

bool IsUtf8(const std::string& charset) { return charset == "UTF-8" || charset == "utf8" || charset == "UTF8"; }

std::wstring ConvertWithIconv(std::string_view narrow, const std::string& charset) {
    iconv_t cd = iconv_open("WCHAR_T", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return Utf8ToWide(narrow);
    std::wstring out;
    std::vector<char> input(narrow.begin(), narrow.end());
    char* in = input.data();
    std::size_t inLeft = input.size();
    wchar_t buffer[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer);
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(reinterpret_cast<wchar_t*>(outPtr) - buffer));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: one byte becomes U+FFFD, then go on after it.
            out.push_back(kReplacementChar);
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

// The code points that stand for the bytes 0x80 to 0xFF of a name that are
// not part of valid UTF-8 (bytes below 0x80 always are).
constexpr char32_t kByteStandIn = 0xDC00;
constexpr char32_t kFirstStandIn = kByteStandIn + 0x80;
constexpr char32_t kLastStandIn = kByteStandIn + 0xFF;

// The length of the valid UTF-8 sequence at `at` and its code point, or 0.
std::size_t DecodeUtf8(std::string_view bytes, std::size_t at, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2; cp = b0 & 0x1F; min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3; cp = b0 & 0x0F; min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4; cp = b0 & 0x07; min = 0x10000;
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

std::wstring SystemNameToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        if (const std::size_t length = DecodeUtf8(bytes, i, cp)) {
            out.push_back(static_cast<wchar_t>(cp));
            i += length;
        } else {
            out.push_back(static_cast<wchar_t>(kByteStandIn + static_cast<unsigned char>(bytes[i])));
            ++i;
        }
    }
    return out;
}

std::string WideToSystemName(std::wstring_view name) {
    std::string out;
    out.reserve(name.size());
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto cp = static_cast<char32_t>(name[i]);
        if (cp < kFirstStandIn || cp > kLastStandIn) continue;
        out += WideToUtf8(name.substr(runStart, i - runStart));
        out.push_back(static_cast<char>(cp - kByteStandIn));
        runStart = i + 1;
    }
    out += WideToUtf8(name.substr(runStart));
    return out;
}

std::wstring SystemNarrowToWide(std::string_view narrow) {
    const std::string charset = LocaleCharset();
    if (IsUtf8(charset)) return Utf8ToWide(narrow);
    return ConvertWithIconv(narrow, charset);
}

std::string WideToSystemNarrow(std::wstring_view wide) { return WideToUtf8(wide); }

}  // namespace gh::platform
