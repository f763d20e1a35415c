// Builds a complete world to try the launcher in:
//   gatehouse_demo FOLDER [STANDIN]
// FOLDER (absent or empty) receives
//   game/Emberwake2.exe     a game file with a version resource (1.25.5.2), no code
//   documents/My Games/Velmora Games/Emberwake 2/
//                           mods in every status, "gatehouse.sch" and a saved set
//   workshop/               a local Workshop: workshop.json, its content files and
//                           item folders; more subscriptions than one page holds
//   runner/                 a copy of STANDIN, the stand-in game, when given
#include "DemoWorld.h"
#include "support/ModFileWriter.h"
#include "support/PeWriter.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Unicode.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace gh;
using namespace gh::demo;

constexpr std::int64_t kDay = 24 * 60 * 60;
constexpr const wchar_t* kUserGameFolder = L"documents/My Games/Velmora Games/Emberwake 2/";

// The local Workshop answers after this delay and sends this many bytes a
// second, so that the progress line and bar are there to be seen.
constexpr int kLatencyMs = 400;
constexpr int kBytesPerSecond = 256 * 1024;

std::filesystem::path FsPath(const std::wstring& path) {
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(WideToUtf8(path));
#endif
}

bool Fail(const std::wstring& what) {
    const std::string text = "gatehouse_demo: " + WideToUtf8(what) + "\n";
    std::fputs(text.c_str(), stderr);
    return false;
}

// The selection file format: UTF-16 little-endian with its mark, CR LF.
std::string SelectionFileBytes(const std::vector<std::int64_t>& guids) {
    std::wstring text = L"[MODS]\r\n";
    for (const std::int64_t guid : guids) text += L"\t<INTEGER64>MODGUID:" + std::to_wstring(guid) + L"\r\n";
    text += L"[/MODS]\r\n";
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : WideToUtf16(text)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// A Workshop copy: the mod's header, then padding up to `size` bytes.
test::ModFile Padded(test::ModFile mod, std::size_t size) {
    const std::size_t header = test::EncodeModFile(mod).size();
    if (size > header) mod.content.assign(size - header, '\0');
    return mod;
}

bool WriteGame(const std::wstring& root) {
    const test::VersionParts version{kGameVersion[0], kGameVersion[1], kGameVersion[2], kGameVersion[3]};
    const test::PeImage image = test::WriteVersionedPe(test::PeKind::Pe32Plus, version, version);
    if (!test::WriteFileBytes(root + L"game/Emberwake2.exe", image.bytes)) return Fail(L"cannot write the game file");
    return true;
}

bool WriteDocuments(const std::wstring& root) {
    const std::wstring user = root + kUserGameFolder;
    for (const DemoMod& mod : DemoMods())
        if (!test::WriteModFile(user + L"mods/" + mod.file, mod.header)) return Fail(L"cannot write " + mod.file);
    for (const DemoSet& set : DemoSets())
        if (!test::WriteFileBytes(user + set.file, SelectionFileBytes(set.guids)))
            return Fail(L"cannot write " + set.file);
    platform::CreateFolders(user + L"modsave");
    return true;
}

bool WriteWorkshop(const std::wstring& root) {
    const std::wstring user = root + kUserGameFolder;
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    nlohmann::ordered_json items = nlohmann::ordered_json::array();
    for (const DemoSubscription& sub : DemoSubscriptions()) {
        const std::wstring name = sub.file.substr(sub.file.find_last_of(L'/') + 1);
        const std::wstring content = L"content/" + name;
        if (!test::WriteModFile(root + L"workshop/" + content, Padded(sub.header, sub.size)))
            return Fail(L"cannot write the Workshop copy of " + name);
        std::int64_t updated = now - kDay;
        if (sub.state == DemoSubscriptionState::UpToDate) {
            // Installed with the Workshop's own time: equal times are up to date.
            if (!test::WriteModFile(user + sub.file, Padded(sub.header, sub.size)) ||
                !platform::SetFileModificationTime(user + sub.file, updated))
                return Fail(L"cannot install " + name);
        } else if (sub.state == DemoSubscriptionState::OutOfDate) {
            test::ModFile older = sub.header;
            older.version = static_cast<std::uint16_t>(older.version - 1);
            updated = now - 60 * 60;
            if (!test::WriteModFile(user + sub.file, older) ||
                !platform::SetFileModificationTime(user + sub.file, now - 30 * kDay))
                return Fail(L"cannot install " + name);
        }
        nlohmann::ordered_json item;
        item["id"] = sub.id;
        item["fileName"] = WideToUtf8(sub.file);
        item["content"] = WideToUtf8(content);
        item["timeUpdated"] = updated;
        items.push_back(std::move(item));
    }
    // Items that live in folders: installed by the Steam client, copied
    // by the sync.
    for (const DemoItemFolder& folder : DemoItemFolders()) {
        const std::wstring base = root + L"workshop/items/" + folder.folder + L"/";
        if (!test::WriteModFile(base + folder.modFile, folder.header))
            return Fail(L"cannot write the item folder " + folder.folder);
        for (const auto& [name, bytes] : folder.otherFiles)
            if (!test::WriteFileBytes(base + name, bytes)) return Fail(L"cannot write " + name);
        nlohmann::ordered_json item;
        item["id"] = folder.id;
        item["kind"] = "folder";
        item["folder"] = "items/" + WideToUtf8(folder.folder);
        item["state"] = nlohmann::ordered_json::array({"installed"});
        item["timeUpdated"] = now - kDay;
        items.push_back(std::move(item));
    }
    // Map subscriptions, all up to date: the list runs to a second page.
    for (int i = 1; i <= kDemoMapSubscriptions; ++i) {
        const std::wstring name = L"Map " + std::to_wstring(i) + L".map";
        const std::string bytes = "a map of the demo, number " + std::to_string(i) + "\n";
        const std::int64_t updated = now - 2 * kDay;
        if (!test::WriteFileBytes(root + L"workshop/content/maps/" + name, bytes) ||
            !test::WriteFileBytes(user + L"mods/Workshop/Maps/" + name, bytes) ||
            !platform::SetFileModificationTime(user + L"mods/Workshop/Maps/" + name, updated))
            return Fail(L"cannot write " + name);
        nlohmann::ordered_json item;
        item["id"] = 9100 + i;
        item["fileName"] = "mods/Workshop/Maps/" + WideToUtf8(name);
        item["content"] = "content/maps/" + WideToUtf8(name);
        item["timeUpdated"] = updated;
        items.push_back(std::move(item));
    }
    nlohmann::ordered_json manifest;
    manifest["loggedOn"] = true;
    manifest["latencyMs"] = kLatencyMs;
    manifest["bytesPerSecond"] = kBytesPerSecond;
    manifest["items"] = std::move(items);
    if (!test::WriteFileBytes(root + L"workshop/workshop.json", manifest.dump(2) + "\n"))
        return Fail(L"cannot write workshop.json");
    return true;
}

bool CopyStandIn(const std::wstring& root, const std::wstring& standIn) {
    const std::filesystem::path from = FsPath(standIn);
    std::filesystem::path to = FsPath(root + L"runner");
    std::error_code error;
    std::filesystem::create_directories(to, error);
    to /= std::filesystem::path("standin-game").replace_extension(from.extension());
    if (!std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error))
        return Fail(L"cannot copy the stand-in game " + standIn);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::wstring> args = platform::ProgramArguments(argc, argv);
    if (args.empty() || args.size() > 2 || args[0].empty() || args[0][0] == L'-') {
        std::fputs(
            "Usage: gatehouse_demo FOLDER [STANDIN]\n"
            "Builds a game folder, a documents folder with mods and sets, and a local Workshop in\n"
            "FOLDER (which must be absent or empty); copies the stand-in game STANDIN to FOLDER/runner.\n",
            stderr);
        return 2;
    }
    std::wstring root = args[0];
    if (root.back() != L'/' && root.back() != L'\\') root += L'/';
    std::error_code error;
    const std::filesystem::path rootPath = FsPath(root);
    if (std::filesystem::exists(rootPath, error) && !std::filesystem::is_empty(rootPath, error)) {
        Fail(L"\"" + args[0] + L"\" is not empty; the demo is built only into an empty or new folder");
        return 1;
    }
    if (!WriteGame(root) || !WriteDocuments(root) || !WriteWorkshop(root)) return 1;
    if (args.size() == 2 && !CopyStandIn(root, args[1])) return 1;
    const std::string done = "Demo built in " + WideToUtf8(args[0]) + "\n";
    std::fputs(done.c_str(), stdout);
    return 0;
}
