#include "platform/Files.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace gh::platform {

using win32::AsHandle;
using win32::FolderOf;
using win32::WithBackslashes;

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Open(const std::wstring& target) {
    Abort();
    const std::wstring t = WithBackslashes(target);
    const DWORD attributes = GetFileAttributesW(t.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring temp = FolderOf(t) + L"\\.gatehouse-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(counter++) + L".tmp";
        HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<std::intptr_t>(h);
            m_target = t;
            m_temp = temp;
            m_failed = false;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (m_handle == -1 || m_failed) return false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(AsHandle(m_handle), bytes, chunk, &written, nullptr) || written == 0) {
            m_failed = true;
            return false;
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
    const bool flushed = FlushFileBuffers(h) != 0;
    const bool closed = CloseHandle(h) != 0;
    if (!flushed || !closed ||
        !MoveFileExW(m_temp.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(m_temp.c_str());
        m_temp.clear();
        return false;
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
