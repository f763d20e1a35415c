#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/Unicode.h"
#include "platform/Wildcard.h"
#include "platform/posix/FileCalls.h"
#include "platform/posix/PosixPath.h"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

namespace gh::platform {

using posix::ParentOf;
using posix::ResolvePath;

namespace {

// The key of the NTFS listing order: the name's UTF-16 units, each
// upper-cased on its own as the volume's case table does (every letter of
// the Basic Multilingual Plane, not only a to z; the units of characters
// beyond it stay as they are), compared as unsigned numbers.
std::u16string SortKey(const std::wstring& name) {
    // The C.UTF-8 case mapping is the same whatever the user's locale is.
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    std::u16string key = WideToUtf16(name);
    for (char16_t& unit : key) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - u'a' + u'A');
        } else if (unit >= 0x80 && (unit < 0xD800 || unit > 0xDFFF) && unicode) {
            const wint_t upper = towupper_l(unit, unicode);
            if (upper <= 0xFFFF && (upper < 0xD800 || upper > 0xDFFF)) unit = static_cast<char16_t>(upper);
        }
    }
    return key;
}

}  // namespace

bool ListFolder(const std::wstring& folder, const std::wstring& pattern, std::vector<FolderEntry>& out) {
    const std::string real = ResolvePath(folder);
    DIR* dir = opendir(real.empty() ? "." : real.c_str());
    if (!dir) return false;
    std::vector<std::pair<std::u16string, FolderEntry>> found;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        std::wstring wideName = SystemNameToWide(name);
        if (!MatchesFilePattern(wideName, pattern)) continue;
        bool isFolder = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            std::string full = real;
            if (!full.empty() && full.back() != '/') full += '/';
            full += name;
            isFolder = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        FolderEntry entry{std::move(wideName), isFolder};
        found.emplace_back(SortKey(entry.name), std::move(entry));
    }
    closedir(dir);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return a.second.name < b.second.name;
    });
    for (auto& f : found) out.push_back(std::move(f.second));
    return true;
}

std::wstring ExactCasePath(const std::wstring& path) { return SystemNameToWide(ResolvePath(path)); }

std::optional<FolderIdentity> GetFolderIdentity(const std::wstring& folder) {
    struct stat st {};
    if (stat(ResolvePath(folder).c_str(), &st) != 0) return std::nullopt;
    return FolderIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<std::int64_t> FileModificationTime(const std::wstring& path) {
    struct stat st {};
    if (stat(ResolvePath(path).c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

bool FileExists(const std::wstring& path) {
    struct stat st {};
    return stat(ResolvePath(path).c_str(), &st) == 0;
}

bool IsReadOnlyFile(const std::wstring& path) {
    const std::string real = ResolvePath(path);
    struct stat st {};
    if (stat(real.c_str(), &st) != 0) return false;
    // Marked read-only by its owner: no write permission for anyone, the
    // counterpart of the Windows attribute, honoured even where the system
    // would let this process write (root).
    if ((st.st_mode & 0222) == 0) return true;
    // Otherwise as the system decides for this process's effective user and
    // groups: another user's file is not ours to replace, although a rename
    // in a folder we may change would do it.
    if (faccessat(AT_FDCWD, real.c_str(), W_OK, AT_EACCESS) == 0) return false;
    return errno == EACCES || errno == EPERM || errno == EROFS;
}

bool DeleteFileAt(const std::wstring& path) {
    const std::string real = ResolvePath(path);
    const bool ok = unlink(real.c_str()) == 0;
    posix::ForgetFolder(real);
    return ok;
}

bool CreateFolders(const std::wstring& path) {
    const std::string real = ResolvePath(path);
    std::string current;
    std::size_t pos = 0;
    if (!real.empty() && real.front() == '/') {
        current = "/";
        pos = 1;
    }
    std::vector<std::string> made;
    while (pos <= real.size()) {
        std::size_t end = real.find('/', pos);
        if (end == std::string::npos) end = real.size();
        const std::string component = real.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty()) continue;
        if (!current.empty() && current.back() != '/') current += '/';
        current += component;
        struct stat st {};
        if (stat(current.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return false;
            continue;
        }
        if (posix::MakeFolder(current.c_str(), 0777) == 0) {
            posix::ForgetFolder(current);
            made.push_back(current);
        } else if (errno != EEXIST) {
            return false;
        }
    }
    // A new folder lasts only once the folder that holds it is on the disk.
    for (const std::string& folder : made)
        if (posix::SyncFolder(ParentOf(folder).c_str()) != 0) return false;
    struct stat st {};
    return stat(real.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SetFileModificationTime(const std::wstring& path, std::int64_t secondsSince1970) {
    struct timeval times[2] = {{static_cast<time_t>(secondsSince1970), 0}, {static_cast<time_t>(secondsSince1970), 0}};
    return utimes(ResolvePath(path).c_str(), times) == 0;
}
}  // namespace gh::platform
