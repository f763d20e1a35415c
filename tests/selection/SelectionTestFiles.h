// Building selection files and restart lists for tests, byte by byte, and a
// documents folder of their own for the default file and the restart list.
#pragma once

#include <string>
#include <string_view>

#include "game/GameFolders.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace gh::test {

// `text` as UTF-16 little-endian, each char16_t unit as two bytes, with the
// FF FE mark unless `mark` is false. No line ends are changed.
inline std::string Utf16Le(std::u16string_view text, bool mark = true) {
    std::string bytes = mark ? std::string("\xFF\xFE") : std::string();
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// ASCII text as UTF-16 little-endian.
inline std::string Utf16LeAscii(std::string_view ascii, bool mark = true) {
    std::u16string units(ascii.begin(), ascii.end());
    return Utf16Le(units, mark);
}

// The run's folders with `folder` as the documents folder, whose documents
// game folder it creates.
class CDocumentsFolder {
public:
    explicit CDocumentsFolder(const TempFolder& folder) : m_folders(folder.Path() + L"game/gatehouse", folder.Path()) {
        platform::CreateFolders(m_folders.GetUserGameFolder());
    }

    const CGameFolders& Folders() const { return m_folders; }
    std::wstring GameFolder() const { return m_folders.GetUserGameFolder(); }
    std::wstring SelectionFile() const { return m_folders.GetSelectionFilePath(); }
    std::wstring RestartList() const { return m_folders.GetRestartListPath(); }

private:
    CGameFolders m_folders;
};

}  // namespace gh::test
