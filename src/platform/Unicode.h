// Portable conversions between UTF-8, UTF-16 and wide text. Wide text is
// UTF-16 where wchar_t has 16 bits (Windows) and UTF-32 elsewhere. Nothing
// here throws or reads out of bounds on bad input: invalid sequences and
// unpaired surrogates become U+FFFD.
//
// These are for text: file contents, JSON, what people read. Their output is
// always valid, so a name whose bytes are not text (held in wide text with
// stand-ins, see platform/Text.h) shows its undecodable bytes as U+FFFD.
// Names go to and from the system through platform::WideToSystemName and
// platform::SystemNameToWide instead.
#pragma once

#include <string>
#include <string_view>

namespace gh {

inline constexpr wchar_t kReplacementChar = 0xFFFD;

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// UTF-16 code units to wide text. On Windows the units are copied as they
// are; on Linux pairs are joined and an unpaired surrogate becomes U+FFFD.
std::wstring Utf16ToWide(std::u16string_view units);
// Wide text to UTF-16 code units (characters above U+FFFF become pairs). On
// Windows the units are copied as they are; on Linux a surrogate code point
// (which valid text does not hold) becomes U+FFFD.
std::u16string WideToUtf16(std::wstring_view wide);
// UTF-16 code units to UTF-8: pairs are joined and an unpaired surrogate
// becomes U+FFFD, on every system, so the result is always valid UTF-8.
std::string Utf16ToUtf8(std::u16string_view units);

// The length of the valid UTF-8 sequence that starts at `bytes[at]` (1 for
// ASCII), or 0 where none does: no overlong forms, surrogates or code
// points past U+10FFFF.
std::size_t ValidUtf8SequenceLength(std::string_view bytes, std::size_t at);

// Bytes that are UTF-8 by convention but not by force (the names of a
// system whose names are bytes) to wide text without loss: each byte that is
// not part of valid UTF-8 becomes U+DC00 + byte (U+DC80 to U+DCFF, lone low
// surrogates, which valid text never decodes to). WideToUtf8KeepingBytes
// turns those back into their bytes and everything else into UTF-8, so
// WideToUtf8KeepingBytes(Utf8ToWideKeepingBytes(b)) == b for any bytes b.
// Only for UTF-32 wide text, where no real name holds a lone surrogate; the
// platform's SystemNameToWide / WideToSystemName choose them where they fit.
std::wstring Utf8ToWideKeepingBytes(std::string_view bytes);
std::string WideToUtf8KeepingBytes(std::wstring_view wide);

// Text fit to show: every unpaired surrogate, the stand-ins of undecodable
// name bytes among them, becomes U+FFFD, and so does anything above U+10FFFF.
// For window texts and anything else that takes wide text for people.
std::wstring DisplayText(std::wstring_view text);

}  // namespace gh
