#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

#include <algorithm>

namespace gh::platform {

using win32::AsHandle;

CInputFile::~CInputFile() { Close(); }

Status CInputFile::Open(const std::wstring& path) {
    Close();
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const int error = LastSystemError();
        // A folder refuses to open as a file with "access denied", which
        // would send the player after permissions.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return NotARegularFileStatus();
        return SystemErrorStatus(error);
    }
    // Only a file on a disk: a pipe, the console or a device such as NUL
    // opens too, and reading one may never end.
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(h);
        return NotARegularFileStatus();
    }
    m_handle = reinterpret_cast<std::intptr_t>(h);
    return {};
}

Status CInputFile::OpenAndReadStart(const std::wstring& path, void* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    if (Status opened = Open(path); !opened) return opened;  // a folder cannot be opened as a file here
    got = ReadAt(0, buffer, size);
    return {};
}

std::size_t CInputFile::Read(void* buffer, std::size_t size) {
    if (m_handle == kNone) return 0;
    std::size_t total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(AsHandle(m_handle), bytes + total, chunk, &got, nullptr) || got == 0) break;
        total += got;
    }
    return total;
}

std::size_t CInputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (m_handle == kNone) return 0;
    std::size_t total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
        OVERLAPPED at{};
        const std::uint64_t where = offset + total;
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
        DWORD got = 0;
        if (!ReadFile(AsHandle(m_handle), bytes + total, chunk, &got, &at) || got == 0) break;
        total += got;
    }
    return total;
}

std::optional<std::uint64_t> CInputFile::Size() {
    LARGE_INTEGER size;
    if (m_handle == kNone || !GetFileSizeEx(AsHandle(m_handle), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

void CInputFile::Close() {
    if (m_handle != kNone) CloseHandle(AsHandle(m_handle));
    m_handle = kNone;
}

}  // namespace gh::platform
