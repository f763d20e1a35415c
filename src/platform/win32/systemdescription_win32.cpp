#include "platform/SystemDescription.h"

#include "platform/Unicode.h"

#include <windows.h>

#include <string>

namespace gh::platform {

namespace {

// A function of ntdll.dll, which every process has loaded; null when this
// system has none of that name. Wine's ntdll exports its own functions
// beside the system's, which is how a program learns that Wine runs it.
template <typename Function>
Function NtdllFunction(const char* name) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) return nullptr;
    // Through a plain function pointer: the types of FARPROC and the
    // function differ, as GetProcAddress's result always does.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(ntdll, name)));
}

std::wstring Architecture() {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
        case PROCESSOR_ARCHITECTURE_AMD64: return L" x64";
        case PROCESSOR_ARCHITECTURE_ARM64: return L" ARM64";
        case PROCESSOR_ARCHITECTURE_INTEL: return L" x86";
        default: return {};
    }
}

}  // namespace

std::wstring SystemDescription() {
    // RtlGetVersion tells the real version; GetVersionEx would answer only
    // as high as the program's manifest names systems.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    std::wstring text = L"Windows";
    const auto rtlGetVersion = NtdllFunction<RtlGetVersionFunction>("RtlGetVersion");
    if (rtlGetVersion != nullptr && rtlGetVersion(&version) == 0) {
        text += L" " + std::to_wstring(version.dwMajorVersion) + L"." + std::to_wstring(version.dwMinorVersion) + L"." +
                std::to_wstring(version.dwBuildNumber);
    }
    text += Architecture();

    using WineVersionFunction = const char*(CDECL*)();
    using WineHostFunction = void(CDECL*)(const char**, const char**);
    if (const auto wineVersion = NtdllFunction<WineVersionFunction>("wine_get_version")) {
        if (const char* wine = wineVersion()) text += L" under Wine " + Utf8ToWide(wine);
        if (const auto wineHost = NtdllFunction<WineHostFunction>("wine_get_host_version")) {
            const char* system = nullptr;
            const char* release = nullptr;
            wineHost(&system, &release);
            if (system != nullptr && release != nullptr)
                text += L" on " + Utf8ToWide(system) + L" " + Utf8ToWide(release);
        }
    }
    return text;
}

}  // namespace gh::platform
