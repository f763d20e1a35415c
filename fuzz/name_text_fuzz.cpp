// Any bytes as a name from the system: the wide name must turn back into the
// same bytes, and its display form must be valid text.
#include "platform/Text.h"
#include "platform/Unicode.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring name = gh::platform::SystemNameToWide(bytes);
#ifndef _WIN32
    if (gh::platform::WideToSystemName(name) != bytes) __builtin_trap();
#endif
    const std::wstring shown = gh::DisplayText(name);
    if (shown.size() != name.size()) __builtin_trap();
    for (const wchar_t c : shown)
        if ((c >= 0xD800 && c <= 0xDFFF) || static_cast<std::uint32_t>(c) > 0x10FFFF) __builtin_trap();
    // What people see is the same text in every display form.
    if (gh::Utf8ToWide(gh::WideToUtf8(name)) != shown) __builtin_trap();
    return 0;
}
