#include "platform/Library.h"
#include "platform/SystemError.h"

#include "platform/win32/SystemErrorText.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace gh::platform {

namespace {

HMODULE AsModule(void* handle) { return static_cast<HMODULE>(handle); }

std::wstring WithBackslashes(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

}  // namespace

Status CSharedLibrary::Open(const std::wstring& path) {
    Close();
    // LOAD_WITH_ALTERED_SEARCH_PATH wants a full path with backslashes; the
    // library's dependencies are then looked for beside it first. A bare
    // name would be searched for instead of loaded from where it is.
    std::wstring native = WithBackslashes(path);
    if (const DWORD n = GetFullPathNameW(native.c_str(), 0, nullptr, nullptr); n > 0) {
        std::vector<wchar_t> full(n);
        const DWORD written = GetFullPathNameW(native.c_str(), n, full.data(), nullptr);
        if (written > 0 && written < n) native.assign(full.data(), written);
    }
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryExW(native.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD code = module ? 0 : GetLastError();
    SetErrorMode(oldMode);
    if (module) {
        m_handle = module;
        return {};
    }
    return SystemErrorStatus(static_cast<int>(code));
}

LibraryFunction CSharedLibrary::Find(const char* name) const {
    if (!m_handle || !name) return nullptr;
    // FARPROC and LibraryFunction are both function pointers; the caller
    // casts to the real type.
    return reinterpret_cast<LibraryFunction>(GetProcAddress(AsModule(m_handle), name));
}

void CSharedLibrary::Close() {
    if (m_handle) FreeLibrary(AsModule(m_handle));
    m_handle = nullptr;
}

std::optional<std::wstring> FindLibraryOnSearchPath(const std::wstring& fileName) {
    if (fileName.empty() || fileName.find_first_of(L"/\\:") != std::wstring::npos) return std::nullopt;
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 4; ++attempt) {
        wchar_t* filePart = nullptr;
        const DWORD n = SearchPathW(nullptr, fileName.c_str(), nullptr, static_cast<DWORD>(buffer.size()),
                                    buffer.data(), &filePart);
        if (n == 0) return std::nullopt;
        if (n < buffer.size()) {
            const std::wstring found(buffer.data(), n);
            const DWORD attributes = GetFileAttributesW(found.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
            return found;
        }
        buffer.resize(static_cast<std::size_t>(n) + 1);
    }
    return std::nullopt;
}

}  // namespace gh::platform
