#include "platform/Environment.h"
#include "platform/Unicode.h"

#include <cstdlib>

namespace gh::platform {

std::optional<std::wstring> GetEnvironmentText(const std::wstring& name) {
    const char* value = std::getenv(WideToUtf8KeepingBytes(name).c_str());
    if (!value) return std::nullopt;
    return Utf8ToWideKeepingBytes(value);
}

bool SetEnvironmentText(const std::wstring& name, const std::optional<std::wstring>& value) {
    const std::string key = WideToUtf8KeepingBytes(name);
    if (key.empty() || key.find('=') != std::string::npos) return false;
    if (!value) return unsetenv(key.c_str()) == 0;
    return setenv(key.c_str(), WideToUtf8KeepingBytes(*value).c_str(), 1) == 0;
}

bool RunsUnderWine() { return false; }

}  // namespace gh::platform
