#include "support/FaultSteps.h"

namespace gh::test {

namespace {

using platform::FileOperation;

constexpr FileOperation kOperations[] = {
    FileOperation::OpenForWrite, FileOperation::Write,      FileOperation::Flush, FileOperation::Rename,
    FileOperation::CreateFolder, FileOperation::SyncFolder, FileOperation::Link};

}  // namespace

const char* NameOf(FileOperation operation) {
    switch (operation) {
        case FileOperation::OpenForWrite: return "OpenForWrite";
        case FileOperation::Write: return "Write";
        case FileOperation::Flush: return "Flush";
        case FileOperation::Rename: return "Rename";
        case FileOperation::CreateFolder: return "CreateFolder";
        case FileOperation::SyncFolder: return "SyncFolder";
        case FileOperation::Link: return "Link";
    }
    return "?";
}

FaultStepsResult FailEveryStep(const std::function<void()>& reset, const std::function<bool()>& action,
                               const std::function<void(FileOperation, std::uint32_t)>& check) {
    FaultStepsResult result;
    for (FileOperation operation : kOperations) {
        for (std::uint32_t nth = 1;; ++nth) {
            reset();
            platform::CScopedFileFault fault(operation, nth);
            const bool ok = action();
            if (!fault.Triggered()) {
                if (!ok) result.wrongAnswers.push_back(std::string("nothing failed, yet the call reported failure"));
                break;
            }
            result.reached.insert(operation);
            if (ok)
                result.wrongAnswers.push_back(std::string(NameOf(operation)) + " call " + std::to_string(nth) +
                                              " failed, yet the call reported success");
            check(operation, nth);
        }
    }
    return result;
}

}  // namespace gh::test
