// Path resolution for the POSIX sources (see PosixPath.h).
#include "platform/Text.h"
#include "platform/posix/PosixPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace gh::platform::posix {

namespace {

struct Listing {
    std::unordered_map<std::string, std::string> byFolded;  // first real name per folded name
    std::unordered_map<std::string, unsigned char> exact;   // every real name, with its d_type
    std::uint64_t snapshot = 0;                             // the snapshot it was read in, 0 for none
};

std::mutex g_mutex;
std::unordered_map<std::string, std::shared_ptr<const Listing>> g_listings;
std::uint64_t g_snapshot = 0;  // the snapshot in force, 0 for none
std::uint64_t g_lastSnapshot = 0;
int g_snapshotDepth = 0;

// The name kept for a folded name among several: the least, so the choice
// does not depend on the listing order.
void AddName(Listing& listing, const std::string& name, unsigned char type) {
    listing.exact[name] = type;
    auto [it, inserted] = listing.byFolded.emplace(FoldCase(name), name);
    if (!inserted && name < it->second) it->second = name;
}

std::shared_ptr<const Listing> ReadListing(const std::string& folder) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return nullptr;
    auto listing = std::make_shared<Listing>();
    while (dirent* e = readdir(dir)) AddName(*listing, e->d_name, e->d_type);
    closedir(dir);
    listing->snapshot = g_snapshot;
    return listing;
}

// The listing of `folder`, read again when `fresh` or when it was read
// outside the snapshot in force. Called with g_mutex held.
std::shared_ptr<const Listing> GetListingLocked(const std::string& folder, bool fresh) {
    if (!fresh) {
        auto it = g_listings.find(folder);
        if (it != g_listings.end() && (g_snapshot == 0 || it->second->snapshot == g_snapshot)) return it->second;
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

// The real name of `component` in `folder`, or empty when there is none.
std::string MatchComponent(const std::string& folder, const std::string& component) {
    std::lock_guard lock(g_mutex);
    for (bool fresh : {false, true}) {
        auto listing = GetListingLocked(folder, fresh);
        if (!listing) break;
        if (listing->exact.count(component)) return component;
        auto it = listing->byFolded.find(FoldCase(component));
        if (it != listing->byFolded.end()) return it->second;
        // A name not found is looked for in a new listing, in case another
        // process made it since; within a snapshot the listing read in it
        // is taken as complete.
        if (g_snapshot != 0 && listing->snapshot == g_snapshot) break;
    }
    return {};
}

}  // namespace

std::string ToNativeText(const std::wstring& path) {
    std::string native = WideToSystemName(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

std::string ParentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string FoldCase(const std::string& name) {
    std::string out = name;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool InSnapshot() {
    std::lock_guard lock(g_mutex);
    return g_snapshot != 0;
}

std::string ResolveComponents(const std::string& native, bool* missing) {
    if (missing) *missing = false;
    if (native.empty()) return native;
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
        std::string real = MatchComponent(current, component);
        if (real.empty()) {
            matching = false;  // the rest does not exist; keep it as given
            if (missing) *missing = true;
            real = component;
        }
        current = Join(current, real);
    }
    return current;
}

std::string ResolvePath(const std::wstring& path, bool* missing) {
    const std::string native = ToNativeText(path);
    // Outside a snapshot the path as spelled is tried first: in a scan most
    // paths are spelled as the files are. Within one, the cached listings
    // answer without any call.
    if (!InSnapshot()) {
        struct stat st {};
        if (missing) *missing = false;
        if (native.empty() || lstat(native.c_str(), &st) == 0) return native;
    }
    return ResolveComponents(native, missing);
}

void NoteNewName(const std::string& nativePath, bool isFolder) {
    std::lock_guard lock(g_mutex);
    g_listings.erase(nativePath);
    const std::string folder = nativePath.find('/') == std::string::npos ? std::string() : ParentOf(nativePath);
    auto it = g_listings.find(folder);
    if (it == g_listings.end()) return;
    auto updated = std::make_shared<Listing>(*it->second);
    const auto slash = nativePath.find_last_of('/');
    AddName(*updated, slash == std::string::npos ? nativePath : nativePath.substr(slash + 1),
            isFolder ? DT_DIR : DT_REG);
    it->second = std::move(updated);
}

std::optional<bool> KnownFolder(const std::string& nativePath) {
    std::lock_guard lock(g_mutex);
    if (g_snapshot == 0) return std::nullopt;
    const auto slash = nativePath.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == nativePath.size()) return std::nullopt;
    auto it = g_listings.find(ParentOf(nativePath));
    if (it == g_listings.end() || it->second->snapshot != g_snapshot) return std::nullopt;
    const auto entry = it->second->exact.find(nativePath.substr(slash + 1));
    if (entry == it->second->exact.end()) return false;
    if (entry->second == DT_DIR) return true;
    return std::nullopt;  // a file, a link or a type the listing does not give: ask the system
}

std::vector<std::string> ListedNames(const std::string& folder) {
    std::lock_guard lock(g_mutex);
    std::vector<std::string> names;
    if (auto listing = GetListingLocked(folder, g_snapshot == 0)) {
        names.reserve(listing->exact.size());
        for (const auto& [name, type] : listing->exact) names.push_back(name);
    }
    return names;
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

void BeginSnapshot() {
    std::lock_guard lock(g_mutex);
    if (g_snapshotDepth++ == 0) g_snapshot = ++g_lastSnapshot;
}

void EndSnapshot() {
    std::lock_guard lock(g_mutex);
    if (g_snapshotDepth > 0 && --g_snapshotDepth == 0) g_snapshot = 0;
}

}  // namespace gh::platform::posix
