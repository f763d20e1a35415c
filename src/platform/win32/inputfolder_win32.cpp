#include "platform/Files.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

namespace gh::platform {

// Windows opens a file by its full path in any case; the folder keeps the
// path and the listed names.
struct CInputFolder::State {
    std::wstring folder;  // ends with a separator
    std::vector<std::wstring> names;
};

CInputFolder::CInputFolder() = default;

CInputFolder::~CInputFolder() { Close(); }

bool CInputFolder::Open(const std::wstring& folder) {
    Close();
    const DWORD attributes = GetFileAttributesW(win32::WithBackslashes(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    m_state = std::make_unique<State>();
    m_state->folder = folder;
    if (!folder.empty() && folder.back() != L'/' && folder.back() != L'\\') m_state->folder += L'\\';
    return true;
}

std::optional<FolderIdentity> CInputFolder::Identity() const {
    return m_state ? GetFolderIdentity(m_state->folder) : std::nullopt;
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

bool CInputFolder::OpenEntryAndReadStart(std::size_t index, InputFile& file, void* buffer, std::size_t size,
                                         std::size_t& got) {
    got = 0;
    if (!m_state || index >= m_state->names.size()) {
        file.Close();
        return false;
    }
    return file.OpenAndReadStart(m_state->folder + m_state->names[index], buffer, size, got);
}

void CInputFolder::Close() { m_state.reset(); }

}  // namespace gh::platform
