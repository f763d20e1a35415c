// A seam for tests: makes a chosen call of one of the platform's file
// operations fail as the system would, so that a test can show what a
// failure at exactly that point leaves behind (the old file intact, no
// temporary file, a reported failure). Any test may use it, for the
// platform's own calls or for a higher layer that goes through them.
//
//     {
//         platform::CScopedFileFault fault(platform::FileOperation::Rename, 1);
//         EXPECT_FALSE(platform::WriteFileAtomically(path, bytes, size));
//         EXPECT_TRUE(fault.Triggered());
//     }  // the plan ends with the guard
//
// With no plan the platform pays one relaxed atomic load per call.
#pragma once

#include <atomic>
#include <cstdint>

namespace gh::platform {

enum class FileOperation {
    OpenForWrite,  // creating a new file to write (the temporary file of CAtomicFile)
    Write,         // one write of file content
    Flush,         // forcing a written file to the disk before it replaces another
    Rename,        // putting a new file in place of the old one
    CreateFolder,  // making one folder (CreateFolders makes each missing one)
    SyncFolder,    // forcing a folder's changed entries to the disk (POSIX only;
                   // Windows moves files with write-through instead)
    Link,          // giving a file a second name (a hard link), or moving it to a new one
};

enum class FaultRepeat {
    Once,        // only the chosen call fails
    FromThenOn,  // the chosen call and every later one fail
};

// A process-wide plan, in force while the object lives: the `nth` call
// (1 is the next one) of `operation` made from now on fails, on any thread.
// A plan made while another is in force replaces it until it ends.
class CScopedFileFault {
public:
    CScopedFileFault(FileOperation operation, std::uint32_t nth, FaultRepeat repeat = FaultRepeat::Once);
    ~CScopedFileFault();
    CScopedFileFault(const CScopedFileFault&) = delete;
    CScopedFileFault& operator=(const CScopedFileFault&) = delete;

    // Calls of the operation made since the plan began, failed ones included.
    std::uint32_t Calls() const;
    // Whether the planned failure happened. A test that walks `nth` upwards
    // over every call of an operation stops at the first plan that did not.
    bool Triggered() const;

private:
    friend bool TakeInjectedFailure(FileOperation operation);
    FileOperation m_operation;
    std::uint32_t m_nth;
    FaultRepeat m_repeat;
    std::uint32_t m_calls = 0;
    bool m_triggered = false;
    CScopedFileFault* m_previous = nullptr;
};

namespace detail {
extern std::atomic<bool> g_fileFaultPlanned;
}

// For the platform's own file code: whether this call of `operation` is to
// fail. Counts the call when a plan for that operation is in force.
bool TakeInjectedFailure(FileOperation operation);

inline bool InjectedFailure(FileOperation operation) {
    return detail::g_fileFaultPlanned.load(std::memory_order_relaxed) && TakeInjectedFailure(operation);
}

}  // namespace gh::platform
