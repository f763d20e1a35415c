// The parts of CAtomicFile that are the same on every system.
#include "platform/AtomicFile.h"
#include "platform/SystemError.h"

namespace gh::platform {

Status WriteFileAtomically(const std::wstring& target, const void* bytes, std::size_t size) {
    CAtomicFile file;
    if (file.Open(target) && file.Write(bytes, size) && file.Commit()) return {};
    return file.Error();
}

bool CAtomicFile::Fail() { return Fail(SystemErrorStatus(LastSystemError())); }

bool CAtomicFile::Fail(Status status) {
    m_error = std::move(status);
    return false;
}

}  // namespace gh::platform
