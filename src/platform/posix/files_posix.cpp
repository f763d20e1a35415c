#include "platform/Files.h"
#include "platform/Unicode.h"
#include "platform/Wildcard.h"
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
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace gh::platform {

namespace posix {

namespace {

struct Listing {
    std::unordered_map<std::string, std::string> byFolded;  // first real name per folded name
    std::unordered_map<std::string, bool> exact;            // every real name
};

std::mutex g_mutex;
std::unordered_map<std::string, std::shared_ptr<const Listing>> g_listings;

std::shared_ptr<const Listing> ReadListing(const std::string& folder) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return nullptr;
    auto listing = std::make_shared<Listing>();
    std::vector<std::string> names;
    while (dirent* e = readdir(dir)) names.emplace_back(e->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());  // a stable choice among names equal without case
    for (auto& n : names) {
        listing->exact.emplace(n, true);
        listing->byFolded.emplace(FoldCase(n), n);
    }
    return listing;
}

std::shared_ptr<const Listing> GetListing(const std::string& folder, bool fresh) {
    std::lock_guard lock(g_mutex);
    if (!fresh) {
        auto it = g_listings.find(folder);
        if (it != g_listings.end()) return it->second;
    }
    auto listing = ReadListing(folder);
    if (listing)
        g_listings[folder] = listing;
    else
        g_listings.erase(folder);
    return listing;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

}  // namespace

std::string ToNativeText(const std::wstring& path) {
    std::string native = WideToUtf8(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

std::string FoldCase(const std::string& name) {
    std::string out = name;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string ResolvePath(const std::wstring& path) {
    const std::string native = ToNativeText(path);
    struct stat st {};
    if (native.empty() || lstat(native.c_str(), &st) == 0) return native;

    std::string current = native.front() == '/' ? "/" : "";
    std::size_t pos = 0;
    bool matching = true;
    while (pos <= native.size()) {
        std::size_t end = native.find('/', pos);
        if (end == std::string::npos) end = native.size();
        std::string component = native.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty()) continue;
        if (!matching || component == "." || component == "..") {
            current = Join(current, component);
            continue;
        }
        std::string real;
        for (bool fresh : {false, true}) {
            auto listing = GetListing(current, fresh);
            if (!listing) break;
            if (listing->exact.count(component)) {
                real = component;
                break;
            }
            auto it = listing->byFolded.find(FoldCase(component));
            if (it != listing->byFolded.end()) {
                real = it->second;
                break;
            }
        }
        if (real.empty()) {
            matching = false;  // the rest does not exist; keep it as given
            real = component;
        }
        current = Join(current, real);
    }
    return current;
}

void ForgetFolder(const std::string& nativePath) {
    std::lock_guard lock(g_mutex);
    g_listings.erase(nativePath);
    auto slash = nativePath.find_last_of('/');
    if (slash == std::string::npos)
        g_listings.erase("");
    else
        g_listings.erase(slash == 0 ? "/" : nativePath.substr(0, slash));
}

void ForgetAllFolders() {
    std::lock_guard lock(g_mutex);
    g_listings.clear();
}

}  // namespace posix

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

std::string ParentOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

bool ListFolder(const std::wstring& folder, const std::wstring& pattern, std::vector<FolderEntry>& out) {
    const std::string real = ResolvePath(folder);
    DIR* dir = opendir(real.empty() ? "." : real.c_str());
    if (!dir) return false;
    std::vector<std::pair<std::u16string, FolderEntry>> found;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        std::wstring wideName = Utf8ToWide(name);
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

std::wstring ExactCasePath(const std::wstring& path) { return Utf8ToWide(ResolvePath(path)); }

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
    struct stat st {};
    if (stat(ResolvePath(path).c_str(), &st) != 0) return false;
    return (st.st_mode & 0222) == 0;
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
    while (pos <= real.size()) {
        std::size_t end = real.find('/', pos);
        if (end == std::string::npos) end = real.size();
        const std::string component = real.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty()) continue;
        if (!current.empty() && current.back() != '/') current += '/';
        current += component;
        if (mkdir(current.c_str(), 0777) == 0)
            posix::ForgetFolder(current);
        else if (errno != EEXIST)
            return false;
    }
    struct stat st {};
    return stat(real.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SetFileModificationTime(const std::wstring& path, std::int64_t secondsSince1970) {
    struct timeval times[2] = {{static_cast<time_t>(secondsSince1970), 0}, {static_cast<time_t>(secondsSince1970), 0}};
    return utimes(ResolvePath(path).c_str(), times) == 0;
}

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::wstring& path) {
    Close();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::string real = ResolvePath(path);
        const int fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            struct stat st {};
            if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
                ::close(fd);
                return false;
            }
            m_handle = fd;
            return true;
        }
        if (errno != ENOENT) return false;
        posix::ForgetAllFolders();  // a cached listing may be stale; look once more
    }
    return false;
}

bool InputFile::OpenAndReadStart(const std::wstring& path, void* buffer, std::size_t size, std::size_t& got) {
    Close();
    got = 0;
    // The path as spelled first, and no status call: a folder shows itself
    // when it is read (EISDIR). Anything else goes the way of Open. Not
    // blocking, so a pipe in a scanned folder cannot stall the scan.
    const int fd = ::open(posix::ToNativeText(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (!Open(path)) return false;
        got = ReadAt(0, buffer, size);
        return true;
    }
    m_handle = fd;
    auto* bytes = static_cast<char*>(buffer);
    while (got < size) {
        const ssize_t n = ::pread(fd, bytes + got, size - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EISDIR) {
            Close();
            got = 0;
            return false;
        }
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

std::size_t InputFile::Read(void* buffer, std::size_t size) {
    if (m_handle == kNone) return 0;
    std::size_t total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < size) {
        const ssize_t n = ::read(static_cast<int>(m_handle), bytes + total, size - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<std::size_t>(n);
    }
    return total;
}

std::size_t InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (m_handle == kNone) return 0;
    std::size_t total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < size) {
        const ssize_t n =
            ::pread(static_cast<int>(m_handle), bytes + total, size - total, static_cast<off_t>(offset + total));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<std::size_t>(n);
    }
    return total;
}

std::optional<std::uint64_t> InputFile::Size() {
    struct stat st {};
    if (m_handle == kNone || fstat(static_cast<int>(m_handle), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

void InputFile::Close() {
    if (m_handle != kNone) ::close(static_cast<int>(m_handle));
    m_handle = kNone;
}

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Open(const std::wstring& target) {
    Abort();
    const std::string real = ResolvePath(target);
    struct stat st {};
    if (stat(real.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0)) return false;
    std::string pattern = ParentOf(real) + "/.gatehouse-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    m_handle = fd;
    m_target = Utf8ToWide(real);
    m_temp = Utf8ToWide(name.data());
    m_failed = false;
    return true;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (m_handle < 0 || m_failed) return false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(static_cast<int>(m_handle), bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_failed = true;
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFile::Commit() {
    if (m_handle < 0 || m_failed) {
        Abort();
        return false;
    }
    const int fd = static_cast<int>(m_handle);
    m_handle = -1;
    const bool synced = fdatasync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    const std::string temp = WideToUtf8(m_temp);
    const std::string target = WideToUtf8(m_target);
    if (!synced || !closed || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        m_temp.clear();
        return false;
    }
    posix::ForgetFolder(target);
    m_temp.clear();
    return true;
}

void AtomicFile::Abort() {
    if (m_handle >= 0) ::close(static_cast<int>(m_handle));
    m_handle = -1;
    if (!m_temp.empty()) unlink(WideToUtf8(m_temp).c_str());
    m_temp.clear();
}

}  // namespace gh::platform
