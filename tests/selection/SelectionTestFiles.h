// Building selection files and restart lists for tests, byte by byte, and a
// documents folder of their own for the default file and the restart list.
#pragma once

#include <string>
#include <string_view>

#include "app/Folders.h"
#include "platform/Files.h"
#include "platform/Folders.h"
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

// Points the documents folder at `folder` and creates the documents game
// folder below it; undone on destruction.
class CDocumentsFolder {
public:
    explicit CDocumentsFolder(const TempFolder& folder) {
        platform::SetDocumentsFolderOverride(folder.Path());
        platform::CreateFolders(GetUserGameFolder());
    }
    ~CDocumentsFolder() { platform::SetDocumentsFolderOverride(std::wstring()); }
    CDocumentsFolder(const CDocumentsFolder&) = delete;
    CDocumentsFolder& operator=(const CDocumentsFolder&) = delete;

    std::wstring GameFolder() const { return GetUserGameFolder(); }
    std::wstring SelectionFile() const { return GetSelectionFilePath(); }
    std::wstring RestartList() const { return GetRestartListPath(); }
};

}  // namespace gh::test
