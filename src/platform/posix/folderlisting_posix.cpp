#include "platform/FolderListing.h"
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

}  // namespace gh::platform
