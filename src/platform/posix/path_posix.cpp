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

}  // namespace gh::platform::posix
