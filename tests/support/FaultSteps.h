// Runs a writer with each call of each platform file operation failing in
// turn (platform/FaultInjection.h), so a test can show that a failure at any
// step leaves the old state and is reported.
#pragma once

#include "platform/FaultInjection.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace gh::test {

const char* NameOf(platform::FileOperation operation);

struct FaultStepsResult {
    std::set<platform::FileOperation> reached;  // the operations the action made
    std::vector<std::string> wrongAnswers;      // runs whose answer did not match what failed
};

// Runs `action` once with each call of each operation failing in turn, then
// once more with nothing failing. `reset` puts the old state back before
// every run; `check` looks at what a failed run left (told which call of
// which operation failed). A failed run must return false and the last run
// true; each run that does not is named in `wrongAnswers`.
FaultStepsResult FailEveryStep(const std::function<void()>& reset, const std::function<bool()>& action,
                               const std::function<void(platform::FileOperation, std::uint32_t)>& check);

}  // namespace gh::test
