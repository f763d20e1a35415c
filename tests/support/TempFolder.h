// A real temporary folder for a test, removed with everything in it when the
// object goes away.
#pragma once

#include <string>
#include <vector>

namespace gh::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, with a trailing separator.
    const std::wstring& Path() const { return m_path; }
    // Path() + relative (a '/' in `relative` is a separator on every system).
    std::wstring operator/(const std::wstring& relative) const;

    // Writes a file below the folder, creating its folders.
    void WriteFile(const std::wstring& relative, const std::string& bytes) const;
    std::string ReadFile(const std::wstring& relative) const;
    bool Exists(const std::wstring& relative) const;
    void MakeFolder(const std::wstring& relative) const;
    // The names directly in the folder that match `pattern` (as
    // platform::ListFolder matches), in listing order, without "." and "..".
    std::vector<std::wstring> Names(const std::wstring& pattern = L"*") const;

private:
    std::wstring m_path;
};

}  // namespace gh::test
