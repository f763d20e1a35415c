#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>

namespace gh::platform {

namespace {

// The file holds a handful of lines; anything far larger is not that file.
constexpr std::size_t kUserDirsMaxBytes = 64 * 1024;

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs, with $HOME expanded.
std::string DocumentsFromUserDirs(const std::string& home) {
    std::string configHome;
    if (const char* c = std::getenv("XDG_CONFIG_HOME"); c && *c)
        configHome = c;
    else
        configHome = home + "/.config";
    const auto content = ReadWholeFile(SystemNameToWide(configHome + "/user-dirs.dirs"), kUserDirsMaxBytes);
    if (!content) return {};
    std::istringstream lines(*content);
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(lines, line)) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"') {
            const auto close = value.find('"', 1);
            if (close == std::string::npos) continue;
            value = value.substr(1, close - 1);
        }
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        if (value.empty() || value.front() != '/') continue;
        return value;
    }
    return {};
}

std::wstring StripTrailingSlashes(std::wstring path) {
    while (path.size() > 1 && path.back() == L'/') path.pop_back();
    return path;
}

}  // namespace

std::wstring LauncherPath() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? SystemNameToWide(std::string_view(buffer, static_cast<std::size_t>(n))) : std::wstring();
}

std::wstring DocumentsFolder() {
    if (const char* xdg = std::getenv("XDG_DOCUMENTS_DIR"); xdg && *xdg == '/')
        return StripTrailingSlashes(SystemNameToWide(xdg));
    const std::string home = HomeFolder();
    std::string fromFile = DocumentsFromUserDirs(home);
    if (!fromFile.empty()) return StripTrailingSlashes(SystemNameToWide(fromFile));
    return StripTrailingSlashes(SystemNameToWide(home + "/Documents"));
}

std::wstring AbsolutePath(const std::wstring& path) {
    if (path.empty() || path.front() == L'/') return path;
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer) == nullptr) return path;
    std::wstring folder = SystemNameToWide(buffer);
    if (folder.empty() || folder.back() != L'/') folder += L'/';
    return folder + path;
}

wchar_t NativeSeparator() { return L'/'; }

}  // namespace gh::platform
