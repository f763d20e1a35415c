#include "platform/Files.h"
#include "platform/SystemError.h"
#include "platform/TemporaryFileName.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace gh::platform {

using win32::AsHandle;
using win32::FolderOf;
using win32::WithBackslashes;

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Open(const std::wstring& target) {
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
        HANDLE h = win32::CreateNewFile(temp.c_str(), GENERIC_WRITE, 0);
        if (h != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<std::intptr_t>(h);
            m_target = t;
            m_temp = temp;
            m_failed = false;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return Fail();
    }
    return Fail(SystemErrorStatus(ERROR_FILE_EXISTS));
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (m_handle == -1 || m_failed) return false;
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

bool AtomicFile::Commit() {
    if (m_handle == -1 || m_failed) {
        Abort();
        return false;
    }
    HANDLE h = AsHandle(m_handle);
    m_handle = -1;
    // The move needs the file closed. Unheld for that moment, it was written
    // just now, and RemoveStaleTemporaryFiles takes only older files.
    const bool flushed = win32::FlushFile(h) != 0;
    Status error = flushed ? Status() : SystemErrorStatus(LastSystemError());
    const bool closed = CloseHandle(h) != 0;
    if (flushed && !closed) error = SystemErrorStatus(LastSystemError());
    if (flushed && closed && !win32::MoveReplacing(m_temp.c_str(), m_target.c_str()))
        error = SystemErrorStatus(LastSystemError());
    if (!error) {
        DeleteFileW(m_temp.c_str());
        m_temp.clear();
        return Fail(std::move(error));
    }
    m_temp.clear();
    return true;
}

void AtomicFile::Abort() {
    if (m_handle != -1) CloseHandle(AsHandle(m_handle));
    m_handle = -1;
    if (!m_temp.empty()) DeleteFileW(m_temp.c_str());
    m_temp.clear();
}

}  // namespace gh::platform
