#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/Unicode.h"
#include "platform/Wildcard.h"
#include "platform/posix/FileCalls.h"
#include "platform/posix/FileLook.h"
#include "platform/posix/PosixPath.h"
#include "platform/posix/ReadOnlyOpen.h"

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

namespace posix {

void ReadSortedEntries(DIR* dir, const std::wstring& pattern, std::vector<ListedEntry>& out) {
    std::vector<std::pair<std::u16string, ListedEntry>> found;
    while (dirent* e = readdir(dir)) {
        std::wstring wideName = SystemNameToWide(e->d_name);
        if (!MatchesFilePattern(wideName, pattern)) continue;
        bool isFolder = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            isFolder = fstatat(dirfd(dir), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        ListedEntry listed{{std::move(wideName), isFolder}, e->d_name, e->d_type == DT_REG};
        std::u16string key = SortKey(listed.entry.name);
        found.emplace_back(std::move(key), std::move(listed));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return a.second.entry.name < b.second.entry.name;
    });
    out.reserve(out.size() + found.size());
    for (auto& f : found) out.push_back(std::move(f.second));
}

}  // namespace posix

bool ListFolder(const std::wstring& folder, const std::wstring& pattern, std::vector<FolderEntry>& out) {
    const std::string real = ResolvePath(folder);
    DIR* dir = opendir(real.empty() ? "." : real.c_str());
    if (!dir) return false;
    std::vector<posix::ListedEntry> found;
    posix::ReadSortedEntries(dir, pattern, found);
    closedir(dir);
    for (auto& f : found) out.push_back(std::move(f.entry));
    return true;
}

bool ListFolderAsIs(const std::wstring& folder, std::vector<TypedFolderEntry>& out) {
    const std::string native = posix::ToNativeText(folder);
    DIR* dir = opendir(native.empty() ? "." : native.c_str());
    if (!dir) return false;
    std::vector<std::pair<std::string, EntryKind>> found;
    while (dirent* e = readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISREG(st.st_mode)   ? DT_REG
                       : S_ISDIR(st.st_mode) ? DT_DIR
                       : S_ISLNK(st.st_mode) ? DT_LNK
                                             : DT_FIFO;
        }
        const EntryKind kind = type == DT_REG   ? EntryKind::File
                               : type == DT_DIR ? EntryKind::Folder
                               : type == DT_LNK ? EntryKind::Link
                                                : EntryKind::Other;
        found.emplace_back(e->d_name, kind);
    }
    closedir(dir);
    std::sort(found.begin(), found.end());
    out.reserve(out.size() + found.size());
    for (auto& [name, kind] : found) out.push_back({SystemNameToWide(name), kind});
    return true;
}

std::wstring ExactCasePath(const std::wstring& path) { return SystemNameToWide(ResolvePath(path)); }

CFolderSnapshot::CFolderSnapshot() { posix::BeginSnapshot(); }
CFolderSnapshot::~CFolderSnapshot() { posix::EndSnapshot(); }

namespace {

// Makes `call` (a status call on a native path, true on success) on `path`
// with one look at the disk where that is enough: outside a snapshot on the
// path as spelled, and only when that names nothing on the matched path;
// within one on the matched path, or not at all when the listings show it
// missing.
template <typename Call>
bool CallOnPath(const std::wstring& path, Call call) {
    if (!posix::InSnapshot()) {
        const std::string native = posix::ToNativeText(path);
        if (call(native.c_str())) return true;
        if (errno != ENOENT) return false;
        const std::string real = posix::ResolveComponents(native, nullptr);
        return real != native && call(real.c_str());
    }
    bool missing = false;
    const std::string real = ResolvePath(path, &missing);
    if (missing) {
        errno = ENOENT;
        return false;
    }
    return call(real.c_str());
}

}  // namespace

std::optional<FolderIdentity> GetFolderIdentity(const std::wstring& folder) {
    struct stat st {};
    if (!CallOnPath(folder, [&](const char* p) { return stat(p, &st) == 0; })) return std::nullopt;
    return FolderIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<std::int64_t> FileModificationTime(const std::wstring& path) {
    struct stat st {};
    if (!CallOnPath(path, [&](const char* p) { return stat(p, &st) == 0; })) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

bool FileExists(const std::wstring& path) {
    struct stat st {};
    return CallOnPath(path, [&](const char* p) { return stat(p, &st) == 0; });
}

bool IsReadOnlyFile(const std::wstring& path) {
    bool readOnly = false;
    CallOnPath(path, [&](const char* p) {
        struct stat st {};
        return posix::LookAtFile(p, st, readOnly);
    });
    return readOnly;
}

bool DeleteFileAt(const std::wstring& path) {
    const std::string real = ResolvePath(path);
    const bool ok = unlink(real.c_str()) == 0;
    posix::ForgetFolder(real);
    return ok;
}

namespace {

// Whether `path` is a folder: within a snapshot as its listing shows, when
// that can tell, else as the system says; a link is followed.
bool IsFolderAt(const std::string& path, bool& exists) {
    if (const std::optional<bool> known = posix::KnownFolder(path)) return exists = *known;
    struct stat st {};
    exists = stat(path.c_str(), &st) == 0;
    return exists && S_ISDIR(st.st_mode);
}

}  // namespace

bool CreateFolders(const std::wstring& path) {
    const std::string real = ResolvePath(path);
    // Most calls name a folder that exists: one look, and none within a
    // snapshot whose listings show it.
    bool exists = false;
    if (IsFolderAt(real, exists)) return true;
    if (exists) return false;
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
        if (IsFolderAt(current, exists)) continue;
        if (exists) return false;
        if (posix::MakeFolder(current.c_str(), 0777) == 0) {
            posix::NoteNewName(current, true);
            made.push_back(current);
        } else if (errno != EEXIST) {
            return false;
        }
    }
    // A new folder lasts only once the folder that holds it is on the disk.
    for (const std::string& folder : made)
        if (posix::SyncFolder(ParentOf(folder).c_str()) != 0) return false;
    // The last component was made here, or seen to be a folder on the way,
    // or made by someone else meanwhile (EEXIST).
    return made.empty() || made.back() != real ? IsFolderAt(real, exists) : true;
}

bool SetFileModificationTime(const std::wstring& path, std::int64_t secondsSince1970) {
    struct timeval times[2] = {{static_cast<time_t>(secondsSince1970), 0}, {static_cast<time_t>(secondsSince1970), 0}};
    return utimes(ResolvePath(path).c_str(), times) == 0;
}
}  // namespace gh::platform
