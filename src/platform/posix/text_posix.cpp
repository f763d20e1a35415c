#include "platform/Text.h"
#include "platform/Unicode.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <wctype.h>

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

}  // namespace

// Names are bytes here, UTF-8 by convention but not by force.
std::wstring SystemNameToWide(std::string_view bytes) { return Utf8ToWideKeepingBytes(bytes); }
std::string WideToSystemName(std::wstring_view name) { return WideToUtf8KeepingBytes(name); }

std::wstring SystemNarrowToWide(std::string_view narrow) {
    const std::string charset = LocaleCharset();
    if (IsUtf8(charset)) return Utf8ToWide(narrow);
    return ConvertWithIconv(narrow, charset);
}

std::string WideToSystemNarrow(std::wstring_view wide) { return WideToUtf8(wide); }

}  // namespace gh::platform

namespace gh::platform {

std::wstring LowerCaseForSearch(std::wstring_view text) {
    // The C.UTF-8 case mapping is the same whatever the user's locale is.
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        else if (c >= 0x80 && unicode)
            c = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), unicode));
    }
    return lower;
}

}  // namespace gh::platform
