#include "SyncWorld.h"

#include <sys/stat.h>
#include <utime.h>

#include <fstream>
#include <sstream>

namespace gh::bench {

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

fs::path GameFolderOf(const fs::path& root) {
    return root / "documents" / "My Games" / "Velmora Games" / "Emberwake 2";
}

void WriteLocalWorkshop(const fs::path& root, const std::vector<BenchFileItem>& files,
                        const std::vector<BenchFolderItem>& folders) {
    const fs::path workshop = root / "workshop";
    std::error_code ec;
    fs::remove_all(workshop, ec);
    std::ostringstream manifest;
    manifest << "{\"items\": [\n";
    const char* separator = "";
    for (std::size_t n = 0; n < files.size(); ++n) {
        const BenchFileItem& item = files[n];
        const std::string content = "files/" + std::to_string(n) + ".bin";
        WriteFile(workshop / content, item.bytes);
        manifest << separator << "{\"id\": " << item.id << ", \"fileName\": \"" << item.name << "\", \"content\": \""
                 << content << "\", \"timeUpdated\": " << item.timeUpdated << "}";
        separator = ",\n";
    }
    for (const BenchFolderItem& item : folders) {
        const std::string folder = "items/" + std::to_string(item.id);
        for (const auto& [name, bytes] : item.files) WriteFile(workshop / folder / name, bytes);
        manifest << separator << "{\"id\": " << item.id << ", \"kind\": \"folder\", \"folder\": \"" << folder
                 << "\", \"timeUpdated\": " << item.timeUpdated << "}";
        separator = ",\n";
    }
    manifest << "\n]}\n";
    WriteFile(workshop / "workshop.json", manifest.str());
}

std::string WriteGameFile(const fs::path& root, const std::string& name, const std::string& bytes, long modified) {
    const fs::path path = GameFolderOf(root) / name;
    WriteFile(path, bytes);
    utimbuf times{};
    times.actime = times.modtime = modified;
    utime(path.c_str(), &times);
    return path.string();
}

std::vector<std::string> SyncCommand(const std::string& gatehouse, const fs::path& root) {
    return {gatehouse,
            "--documents",
            (root / "documents").string(),
            "--game-folder",
            (root / "documents").string(),
            "--workshop",
            (root / "workshop").string(),
            "sync"};
}

}  // namespace gh::bench
