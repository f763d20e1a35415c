// The process's environment variables, as wide text. Values are taken as
// names (platform/Text.h): a path in a variable survives the round trip.
#pragma once

#include <optional>
#include <string>

namespace gh::platform {

// The value of `name`, or none when it is not set. An empty value is a value.
std::optional<std::wstring> GetEnvironmentText(const std::wstring& name);

// Sets `name` to `value` for this process and the programs it starts; with
// no value, removes it. Windows keeps the system's block and the C
// runtime's copy in step, so both GetEnvironmentVariable and getenv see
// the change. Returns false when the system refused.
bool SetEnvironmentText(const std::wstring& name, const std::optional<std::wstring>& value);

// Whether this Windows program runs under Wine (or Proton, which is Wine)
// rather than on Windows itself. Always false for a Linux program.
bool RunsUnderWine();

}  // namespace gh::platform
