#include "support/TempFolder.h"

#include "platform/FolderListing.h"
#include "platform/Text.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace gh::test {

namespace fs = std::filesystem;

namespace {

// Names are spelled on disk as the program spells them: UTF-16 on Windows,
// elsewhere the bytes the platform makes of them, whatever the test's locale.
fs::path ToFsPath(const std::wstring& text) {
#ifdef _WIN32
    return fs::path(text);
#else
    std::string native = platform::WideToSystemName(text);
    std::replace(native.begin(), native.end(), '\\', '/');
    return fs::path(native);
#endif
}

}  // namespace

TempFolder::TempFolder() {
    std::random_device rd;
    std::mt19937_64 gen(rd());
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        fs::path candidate = base / ("gatehouse-test-" + std::to_string(gen() % 1000000000ULL));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
#ifdef _WIN32
            m_path = candidate.wstring();
#else
            m_path = platform::SystemNameToWide(candidate.string());
#endif
            m_path += fs::path::preferred_separator;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Read-only files left by a test must not keep the folder alive.
    for (auto it =
             fs::recursive_directory_iterator(ToFsPath(m_path), fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code ignore;
        if (!it->is_symlink(ignore)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignore);
    }
    fs::remove_all(ToFsPath(m_path), ec);
}

std::wstring TempFolder::operator/(const std::wstring& relative) const { return m_path + relative; }

void TempFolder::WriteFile(const std::wstring& relative, const std::string& bytes) const {
    const fs::path path = ToFsPath(m_path + relative);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    // A test that cannot set up its files fails through the exception.
    if (!out.good()) throw std::runtime_error("cannot write " + path.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::ReadFile(const std::wstring& relative) const {
    std::ifstream in(ToFsPath(m_path + relative), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempFolder::Exists(const std::wstring& relative) const {
    std::error_code ec;
    return fs::exists(ToFsPath(m_path + relative), ec);
}

void TempFolder::MakeFolder(const std::wstring& relative) const { fs::create_directories(ToFsPath(m_path + relative)); }

std::vector<std::wstring> TempFolder::Names(const std::wstring& pattern) const {
    std::vector<platform::FolderEntry> entries;
    platform::ListFolder(m_path, pattern, entries);
    std::vector<std::wstring> names;
    for (const auto& e : entries)
        if (e.name != L"." && e.name != L"..") names.push_back(e.name);
    return names;
}

}  // namespace gh::test
