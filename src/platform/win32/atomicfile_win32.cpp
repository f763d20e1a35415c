#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/SystemError.h"
#include "platform/TemporaryFileName.h"
#include "platform/TemporaryFiles.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace gh::platform {

using win32::AsHandle;
using win32::FolderOf;
using win32::WithBackslashes;

namespace {

std::atomic<bool> g_namedForTesting{false};

// Marks the file open as `file` to be deleted when its last handle closes,
// or takes that mark off again. The handle needs DELETE access.
bool MarkDeleteOnClose(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

}  // namespace

namespace detail {
void UseNamedTemporaryFilesForTesting(bool named) { g_namedForTesting.store(named); }
}  // namespace detail

CAtomicFile::~CAtomicFile() { Abort(); }

bool CAtomicFile::Open(const std::wstring& target) {
    Abort();
    m_error = {};
    const std::wstring t = WithBackslashes(target);
    const DWORD attributes = GetFileAttributesW(t.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Fail(SystemErrorStatus(ERROR_DIRECTORY));
    if (attributes != INVALID_FILE_ATTRIBUTES && IsReadOnlyFile(t)) return Fail(SystemErrorStatus(ERROR_ACCESS_DENIED));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = detail::NewTemporaryFileName();
        const std::wstring temp = FolderOf(t) + L"\\" + std::wstring(name.begin(), name.end());
        // No sharing at all while it is written: in particular no
        // FILE_SHARE_DELETE, so a cleaner of leftovers cannot remove it.
        HANDLE h = win32::CreateNewFile(temp.c_str(), GENERIC_WRITE | DELETE, 0);
        if (h != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<std::intptr_t>(h);
            m_target = t;
            m_temp = temp;
            m_failed = false;
            // Until Commit() it goes with its handle, also when the process is
            // ended from outside. Where the mark cannot be made, it stays
            // for RemoveStaleTemporaryFiles.
            m_unnamed = !g_namedForTesting.load() && MarkDeleteOnClose(h, true);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return Fail();
    }
    return Fail(SystemErrorStatus(ERROR_FILE_EXISTS));
}

bool CAtomicFile::Write(const void* data, std::size_t size) {
    if (m_handle == -1 || m_failed) return m_error.IsOk() ? Fail(SystemErrorStatus(ERROR_INVALID_HANDLE)) : false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!win32::WriteSome(AsHandle(m_handle), bytes, chunk, &written) || written == 0) {
            m_failed = true;
            return Fail();
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool CAtomicFile::Commit() {
    if (m_handle == -1 || m_failed) {
        Abort();
        return m_error.IsOk() ? Fail(SystemErrorStatus(ERROR_INVALID_HANDLE)) : false;
    }
    HANDLE h = AsHandle(m_handle);
    m_handle = -1;
    // The move needs the file closed, and so kept. Unheld for that moment,
    // it was written just now, and RemoveStaleTemporaryFiles takes only
    // older files.
    Status error;
    const auto failed = [&error] {
        if (error) error = SystemErrorStatus(LastSystemError());
        return false;
    };
    const bool kept = (win32::FlushFile(h) != 0 || failed()) && (!m_unnamed || MarkDeleteOnClose(h, false) || failed());
    m_unnamed = false;
    const bool closed = CloseHandle(h) != 0 || failed();
    if (!kept || !closed || !(win32::MoveReplacing(m_temp.c_str(), m_target.c_str()) || failed())) {
        DeleteFileW(m_temp.c_str());
        m_temp.clear();
        return Fail(std::move(error));
    }
    m_temp.clear();
    return true;
}

void CAtomicFile::Abort() {
    if (m_handle != -1) CloseHandle(AsHandle(m_handle));
    m_handle = -1;
    m_unnamed = false;
    if (!m_temp.empty()) DeleteFileW(m_temp.c_str());
    m_temp.clear();
}

}  // namespace gh::platform
