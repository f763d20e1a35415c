#include "workshop/WorkshopManifest.h"

#include "platform/Unicode.h"
#include "workshop/JsonDepth.h"

#include <nlohmann/json.hpp>

#include <fmt/format.h>

#include <limits>

namespace gh {

namespace {

using nlohmann::json;

// Reads an integer in [low, high] from `value`; false when it is of another
// type or out of range.
bool ReadInteger(const json& value, std::uint64_t low, std::uint64_t high, std::uint64_t& out) {
    if (value.is_number_unsigned()) {
        out = value.get<std::uint64_t>();
    } else if (value.is_number_integer()) {
        const auto v = value.get<std::int64_t>();
        if (v < 0) return false;
        out = static_cast<std::uint64_t>(v);
    } else {
        return false;
    }
    return out >= low && out <= high;
}

class CManifestReader {
public:
    explicit CManifestReader(std::string& error) : m_error(error) {}

    bool Read(const json& root, WorkshopManifest& out) {
        if (!root.is_object()) return Fail("the manifest must be a JSON object");
        if (auto it = root.find("loggedOn"); it != root.end()) {
            if (!it->is_boolean()) return Fail("\"loggedOn\" must be true or false");
            out.loggedOn = it->get<bool>();
        }
        std::uint64_t number = 0;
        if (auto it = root.find("latencyMs"); it != root.end()) {
            if (!ReadInteger(*it, 0, kManifestMaxLatencyMs, number))
                return Fail(fmt::format("\"latencyMs\" must be a whole number from 0 to {}", kManifestMaxLatencyMs));
            out.latencyMs = static_cast<std::int64_t>(number);
        }
        if (auto it = root.find("bytesPerSecond"); it != root.end()) {
            if (!ReadInteger(*it, 0, std::numeric_limits<std::int64_t>::max(), number))
                return Fail("\"bytesPerSecond\" must be a whole number of 0 or more");
            out.bytesPerSecond = static_cast<std::int64_t>(number);
        }
        if (auto it = root.find("appId"); it != root.end()) {
            if (!ReadInteger(*it, 1, std::numeric_limits<std::uint32_t>::max(), number))
                return Fail("\"appId\" must be a whole number from 1 to 4294967295");
            out.appId = static_cast<std::uint32_t>(number);
        }
        if (auto it = root.find("pageSize"); it != root.end()) {
            if (!ReadInteger(*it, 1, kManifestMaxPageSize, number))
                return Fail(fmt::format("\"pageSize\" must be a whole number from 1 to {}", kManifestMaxPageSize));
            out.pageSize = static_cast<int>(number);
        }
        if (auto it = root.find("totalCount"); it != root.end()) {
            if (!ReadInteger(*it, 0, std::numeric_limits<std::int32_t>::max(), number))
                return Fail("\"totalCount\" must be a whole number from 0 to 2147483647");
            out.totalCount = static_cast<std::int32_t>(number);
        }
        for (const auto& [key, slot] :
             {std::pair{"repeatPage", &out.repeatPage}, std::pair{"failPage", &out.failPage}}) {
            if (auto it = root.find(key); it != root.end()) {
                if (!ReadInteger(*it, 0, std::numeric_limits<std::uint32_t>::max(), number))
                    return Fail(fmt::format("\"{}\" must be a whole number of 0 or more (a page's index)", key));
                *slot = static_cast<std::uint32_t>(number);
            }
        }
        if (auto it = root.find("items"); it != root.end()) {
            if (!it->is_array()) return Fail("\"items\" must be an array");
            for (std::size_t i = 0; i < it->size(); ++i) {
                WorkshopItem item;
                if (!ReadItem((*it)[i], i, item)) return false;
                out.items.push_back(std::move(item));
            }
        }
        return true;
    }

private:
    bool Fail(std::string message) {
        m_error = std::move(message);
        return false;
    }

    bool FailItem(std::size_t index, std::string_view message) {
        return Fail(fmt::format("item {}: {}", index, message));
    }

    bool ReadItem(const json& value, std::size_t index, WorkshopItem& item) {
        if (!value.is_object()) return FailItem(index, "must be a JSON object");
        std::uint64_t number = 0;

        auto it = value.find("id");
        if (it == value.end()) return FailItem(index, "\"id\" is missing");
        if (!ReadInteger(*it, 0, std::numeric_limits<std::uint64_t>::max(), number))
            return FailItem(index, "\"id\" must be a whole number of 0 or more");
        item.id = number;

        if (it = value.find("kind"); it != value.end()) {
            const std::string kind = it->is_string() ? it->get<std::string>() : std::string();
            if (kind == "folder")
                item.kind = WorkshopItemKind::Folder;
            else if (kind != "file")
                return FailItem(index, "\"kind\" must be \"file\" or \"folder\"");
        }
        const bool folder = item.kind == WorkshopItemKind::Folder;
        item.legacy = !folder;

        if (it = value.find("fail"); it != value.end()) {
            const std::string kind = it->is_string() ? it->get<std::string>() : std::string();
            if (kind == "details")
                item.fail = WorkshopFailure::Details;
            else if (kind == "download")
                item.fail = WorkshopFailure::Download;
            else if (kind == "never")
                item.fail = WorkshopFailure::Never;
            else if (kind == "downloadItem")
                item.fail = WorkshopFailure::DownloadItem;
            else if (kind == "downloadResult")
                item.fail = WorkshopFailure::DownloadResult;
            else
                return FailItem(index,
                                "\"fail\" must be \"details\", \"download\", \"never\", \"downloadItem\" "
                                "or \"downloadResult\"");
        }

        it = value.find("fileName");
        if (it == value.end() && !folder) return FailItem(index, "\"fileName\" is missing");
        if (it != value.end()) {
            if (!it->is_string()) return FailItem(index, "\"fileName\" must be a string");
            item.fileName = it->get<std::string>();
            if (item.fileName.size() >= kFileNameFieldSize)
                return FailItem(index, fmt::format("\"fileName\" is longer than {} bytes", kFileNameFieldSize - 1));
            if (item.fileName.find('\0') != std::string::npos)
                return FailItem(index, "\"fileName\" holds a zero character");
        }

        const bool needsContent =
            !folder && item.fail != WorkshopFailure::Details && item.fail != WorkshopFailure::Never;
        if (!ReadPath(value, "content", needsContent, index, item.content)) return false;
        if (!ReadPath(value, "folder", folder, index, item.folder)) return false;

        if (it = value.find("state"); it != value.end()) {
            if (!it->is_array()) return FailItem(index, "\"state\" must be an array");
            item.state = 0;
            for (const json& flag : *it) {
                const std::string name = flag.is_string() ? flag.get<std::string>() : std::string();
                if (name == "installed")
                    item.state |= kItemInstalled;
                else if (name == "needsUpdate")
                    item.state |= kItemNeedsUpdate;
                else if (name == "downloading")
                    item.state |= kItemDownloading;
                else if (name == "disabled")
                    item.state |= kItemDisabledLocally;
                else
                    return FailItem(index,
                                    "\"state\" may hold only \"installed\", \"needsUpdate\", "
                                    "\"downloading\" and \"disabled\"");
            }
        }
        if (it = value.find("legacy"); it != value.end()) {
            if (!it->is_boolean()) return FailItem(index, "\"legacy\" must be true or false");
            item.legacy = it->get<bool>();
        }
        if (it = value.find("listedBy"); it != value.end()) {
            if (!it->is_array() || it->empty()) return FailItem(index, "\"listedBy\" must be an array of lists");
            item.listedByRemoteStorage = item.listedByItemInterface = false;
            for (const json& list : *it) {
                const std::string name = list.is_string() ? list.get<std::string>() : std::string();
                if (name == "remoteStorage")
                    item.listedByRemoteStorage = true;
                else if (name == "ugc")
                    item.listedByItemInterface = true;
                else
                    return FailItem(index, "\"listedBy\" may hold only \"remoteStorage\" and \"ugc\"");
            }
        }
        if (it = value.find("resultAppId"); it != value.end()) {
            if (!ReadInteger(*it, 0, std::numeric_limits<std::uint32_t>::max(), number))
                return FailItem(index, "\"resultAppId\" must be a whole number from 0 to 4294967295");
            item.resultAppId = static_cast<std::uint32_t>(number);
        }

        if (it = value.find("timeUpdated"); it != value.end()) {
            if (!ReadInteger(*it, 0, std::numeric_limits<std::uint32_t>::max(), number))
                return FailItem(index, "\"timeUpdated\" must be a whole number of seconds from 0 to 4294967295");
            item.timeUpdated = static_cast<std::uint32_t>(number);
        }
        if (it = value.find("contentHandle"); it != value.end()) {
            if (!ReadInteger(*it, 1, kInvalidUGCHandle - 1, number))
                return FailItem(index, "\"contentHandle\" must be a whole number from 1 to 18446744073709551614");
            item.contentHandle = number;
        }
        if (it = value.find("latencyMs"); it != value.end()) {
            if (!ReadInteger(*it, 0, kManifestMaxLatencyMs, number))
                return FailItem(
                    index, fmt::format("\"latencyMs\" must be a whole number from 0 to {}", kManifestMaxLatencyMs));
            item.latencyMs = static_cast<std::int64_t>(number);
        }
        return true;
    }

    // A file or folder name in the Workshop folder under `key`; false (with
    // the fault) when it is malformed, or missing though `required`.
    bool ReadPath(const json& value, const char* key, bool required, std::size_t index, std::string& out) {
        const auto it = value.find(key);
        if (it == value.end()) return !required || FailItem(index, fmt::format("\"{}\" is missing", key));
        if (!it->is_string() || it->get<std::string>().empty())
            return FailItem(index, fmt::format("\"{}\" must be a name in the Workshop folder", key));
        out = it->get<std::string>();
        if (out.find('\0') != std::string::npos)
            return FailItem(index, fmt::format("\"{}\" holds a zero character", key));
        return true;
    }

    std::string& m_error;
};

}  // namespace

Result<WorkshopManifest> ParseWorkshopManifest(std::string_view text) {
    const auto bad = [](const std::string& problem) { return Status(StatusKind::BadData, Utf8ToWide(problem)); };
    if (text.size() > kManifestMaxBytes)
        return bad(fmt::format("the manifest is larger than {} bytes", kManifestMaxBytes));
    if (JsonNestingDepth(text) > kManifestMaxDepth)
        return bad(fmt::format("the manifest nests deeper than {} levels", kManifestMaxDepth));
    json root;
    // The JSON library reports a fault only by an exception, which goes no
    // further than here.
    try {
        root = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/true, /*ignore_comments=*/true);
    } catch (const json::exception& e) {
        // The message names the line and column of the fault; its
        // "[json.exception...] " prefix says nothing to a reader.
        std::string_view message = e.what();
        if (const auto close = message.find("] "); message.rfind("[json.", 0) == 0 && close != std::string_view::npos)
            message.remove_prefix(close + 2);
        return bad(fmt::format("not valid JSON: {}", message));
    }
    std::string problem;
    CManifestReader reader(problem);
    WorkshopManifest manifest;
    if (!reader.Read(root, manifest)) return bad(problem);
    return manifest;
}

}  // namespace gh
