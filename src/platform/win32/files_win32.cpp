#include "platform/Files.h"
#include "platform/Wildcard.h"

#include <windows.h>

#include <sys/stat.h>
#include <sys/utime.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace gh::platform {

namespace {

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::wstring WithBackslashes(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

// FindFirstFileW also matches 8.3 short names ("x.modx" as "X~1.MOD");
// checking the long name again keeps both systems alike.
std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

}  // namespace

bool ListFolder(const std::wstring& folder, const std::wstring& pattern, std::vector<FolderEntry>& out) {
    std::wstring search = WithBackslashes(folder);
    if (!search.empty() && search.back() != L'\\') search += L'\\';
    search += pattern;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(search.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
    }
    do {
        std::wstring name = data.cFileName;
        if (!MatchesFilePattern(name, pattern)) continue;
        out.push_back({std::move(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

std::wstring ExactCasePath(const std::wstring& path) { return path; }  // names ignore case here

std::optional<FolderIdentity> GetFolderIdentity(const std::wstring& folder) {
    HANDLE h = CreateFileW(WithBackslashes(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber,
                          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<std::int64_t> FileModificationTime(const std::wstring& path) {
    struct _stat64 st {};
    if (_wstat64(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(WithBackslashes(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsReadOnlyFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(WithBackslashes(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool DeleteFileAt(const std::wstring& path) { return DeleteFileW(WithBackslashes(path).c_str()) != 0; }

bool CreateFolders(const std::wstring& path) {
    const std::wstring p = WithBackslashes(path);
    std::wstring current;
    std::size_t pos = 0;
    // Keep a drive ("C:\") or network prefix ("\\server\share\") whole.
    if (p.size() >= 2 && p[1] == L':') {
        current = p.substr(0, 2);
        pos = 2;
    } else if (p.rfind(L"\\\\", 0) == 0) {
        std::size_t shareEnd = p.find(L'\\', 2);
        if (shareEnd != std::wstring::npos) shareEnd = p.find(L'\\', shareEnd + 1);
        if (shareEnd == std::wstring::npos) shareEnd = p.size();
        current = p.substr(0, shareEnd);
        pos = shareEnd;
    }
    while (pos <= p.size()) {
        std::size_t end = p.find(L'\\', pos);
        if (end == std::wstring::npos) end = p.size();
        const std::wstring component = p.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty()) {
            if (current.empty() || current.back() != L'\\') current += L'\\';
            continue;
        }
        if (!current.empty() && current.back() != L'\\') current += L'\\';
        current += component;
        if (!CreateDirectoryW(current.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    const DWORD attributes = GetFileAttributesW(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SetFileModificationTime(const std::wstring& path, std::int64_t secondsSince1970) {
    struct __utimbuf64 times {};
    times.actime = secondsSince1970;
    times.modtime = secondsSince1970;
    return _wutime64(WithBackslashes(path).c_str(), &times) == 0;
}

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::wstring& path) {
    Close();
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    m_handle = reinterpret_cast<std::intptr_t>(h);
    return true;
}

bool InputFile::OpenAndReadStart(const std::wstring& path, void* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    if (!Open(path)) return false;  // a folder cannot be opened as a file here
    got = ReadAt(0, buffer, size);
    return true;
}

std::size_t InputFile::Read(void* buffer, std::size_t size) {
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

std::size_t InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
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

std::optional<std::uint64_t> InputFile::Size() {
    LARGE_INTEGER size;
    if (m_handle == kNone || !GetFileSizeEx(AsHandle(m_handle), &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

void InputFile::Close() {
    if (m_handle != kNone) CloseHandle(AsHandle(m_handle));
    m_handle = kNone;
}

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Open(const std::wstring& target) {
    Abort();
    const std::wstring t = WithBackslashes(target);
    const DWORD attributes = GetFileAttributesW(t.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
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
