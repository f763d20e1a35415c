#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/InputFolder.h"
#include "platform/SystemError.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>
#include <winternl.h>

namespace gh::platform {

// The folder is held open by a handle, and each file is opened by its listed
// name relative to that handle (NtCreateFile with a root directory): a full
// path would be parsed and looked up component by component for every file,
// which Wine in particular pays for with dozens of system calls a file.
struct CInputFolder::State {
    std::wstring folder;  // ends with a separator
    HANDLE handle = INVALID_HANDLE_VALUE;
    FolderIdentity identity{};
    std::vector<std::wstring> names;
};

CInputFolder::CInputFolder() = default;

CInputFolder::~CInputFolder() { Close(); }

bool CInputFolder::Open(const std::wstring& folder) {
    Close();
    const HANDLE handle = CreateFileW(win32::WithBackslashes(folder).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return false;
    }
    m_state = std::make_unique<State>();
    m_state->handle = handle;
    m_state->identity = win32::IdentityOf(info);
    m_state->folder = folder;
    if (!folder.empty() && folder.back() != L'/' && folder.back() != L'\\') m_state->folder += L'\\';
    return true;
}

std::optional<FolderIdentity> CInputFolder::Identity() const {
    return m_state ? std::optional<FolderIdentity>(m_state->identity) : std::nullopt;
}

bool CInputFolder::List(std::vector<FolderEntry>& out) {
    if (!m_state) return false;
    std::vector<FolderEntry> found;
    if (!ListFolder(m_state->folder, L"*", found)) return false;
    m_state->names.clear();
    for (FolderEntry& entry : found) {
        m_state->names.push_back(entry.name);
        out.push_back(std::move(entry));
    }
    return true;
}

namespace {

// Opens `name` in the open folder `folder` for reading, a file only (not a
// folder), or returns INVALID_HANDLE_VALUE.
HANDLE OpenInFolder(HANDLE folder, const std::wstring& name) {
    constexpr std::size_t kMaxNameBytes = 0xFFFE;
    if (name.empty() || name.size() * sizeof(wchar_t) > kMaxNameBytes) return INVALID_HANDLE_VALUE;
    UNICODE_STRING objectName;
    objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    objectName.MaximumLength = objectName.Length;
    objectName.Buffer = const_cast<wchar_t*>(name.c_str());
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status;
    HANDLE file = INVALID_HANDLE_VALUE;
    const NTSTATUS result =
        NtCreateFile(&file, GENERIC_READ | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL,
                     FILE_SHARE_READ, FILE_OPEN, FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    return NT_SUCCESS(result) ? file : INVALID_HANDLE_VALUE;
}

}  // namespace

Status CInputFolder::OpenEntryAndReadStart(std::size_t index, CInputFile& file, void* buffer, std::size_t size,
                                           std::size_t& got) {
    file.Close();
    got = 0;
    if (!m_state || index >= m_state->names.size()) return SystemErrorStatus(ERROR_FILE_NOT_FOUND);
    const std::wstring& name = m_state->names[index];
    const HANDLE handle = OpenInFolder(m_state->handle, name);
    // A name the relative open does not take is opened by its path, under
    // the same rules.
    if (handle == INVALID_HANDLE_VALUE) return file.OpenAndReadStart(m_state->folder + name, buffer, size, got);
    // Only a file on a disk: not a folder (refused by the open), a pipe or a
    // device, whose reads may never end.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return NotARegularFileStatus();
    }
    file.m_handle = reinterpret_cast<std::intptr_t>(handle);
    got = file.ReadAt(0, buffer, size);
    return {};
}

void CInputFolder::Close() {
    if (m_state && m_state->handle != INVALID_HANDLE_VALUE) CloseHandle(m_state->handle);
    m_state.reset();
}

}  // namespace gh::platform
