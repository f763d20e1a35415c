#include "StressTree.h"

#include "support/ModFileWriter.h"
#include "support/PeWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace gh::bench {

namespace {

namespace fs = std::filesystem;

constexpr int kLayout = 1;  // bump when the tree's content changes, so old trees are written anew
constexpr std::int64_t kFirstGuid = 700000;
constexpr std::int64_t kFirstMissingGuid = 900000;  // no mod has these
constexpr int kChainLength = 10;
constexpr int kRingLength = 5;

enum class Kind { Usable, WrongGame, Missing, Outdated, Both, Chain, Ring };

struct Plan {
    Kind kind = Kind::Usable;
    test::ModFile file;
};

std::u16string U(const std::wstring& text) { return test::Units(text); }

std::wstring Number(int i) {
    std::wstring digits = std::to_wstring(i);
    return std::wstring(digits.size() < 5 ? 5 - digits.size() : 0, L'0') + digits;
}

const wchar_t* const kWords[] = {L"ember", L"wake",    L"forge", L"tower", L"river", L"ashen", L"crown", L"valley",
                                 L"storm", L"lantern", L"moss",  L"iron",  L"siege", L"glade", L"rune",  L"harbor"};

std::wstring Prose(int seed, std::size_t length) {
    std::wstring text;
    for (int w = seed; text.size() < length; ++w) {
        if (!text.empty()) text += L' ';
        text += kWords[static_cast<unsigned>(w * 7 + seed) % std::size(kWords)];
    }
    text.resize(length);
    return text;
}

test::ModFile BaseMod(int i) {
    test::ModFile mod;
    mod.formatVersion = 4;
    mod.version = static_cast<std::uint16_t>(1 + i % 5);
    mod.gameVersion[0] = 1;
    mod.gameVersion[1] = 25;
    mod.gameVersion[2] = 5;
    mod.gameVersion[3] = 2;
    std::wstring name = L"Stress " + std::wstring(kWords[i % std::size(kWords)]) + L" mod " + Number(i);
    if (i % 500 == 7) {
        // Every kind of text the JSON writer must escape or replace.
        name += L" \"quoted\" back\\slash\ttab \u00e9 \u6f22";
        std::u16string units = U(name);
        units += u"\U0001F600";
        units.push_back(char16_t{0xD800});  // unpaired
        units += u" end";
        mod.name = units;
    } else {
        mod.name = U(name);
    }
    mod.author = U(L"Author " + std::to_wstring(i % 97));
    mod.description = U(Prose(i, 80 + static_cast<std::size_t>(i * 37 % 320)) + (i % 50 == 3 ? L"\nSecond line" : L""));
    mod.website = U(L"https://example.org/mods/" + std::to_wstring(i));
    mod.downloadUrl = U(L"https://example.org/download/" + std::to_wstring(i) + L".zip");
    mod.guid = kFirstGuid + i;
    if (i % 3 == 0) mod.headerStrings = {u"tag", u"another tag"};
    return mod;
}

void Need(test::ModFile& mod, const test::ModFile& target, std::uint16_t version) {
    mod.requirements.push_back({target.name, target.guid, version});
}

void NeedMissing(test::ModFile& mod, int k) {
    const std::int64_t guid = kFirstMissingGuid + k % 97;
    mod.requirements.push_back({U(L"Missing mod " + std::to_wstring(guid)), guid, 2});
}

// What every mod of the tree is, in index order.
std::vector<Plan> PlanTree(int count, StressCounts& counts) {
    const int blocked = count * 15 / 100;
    const int wrong = count * 3 / 100;
    const int chainMods = count * 4 / 100 / kChainLength * kChainLength;
    const int ringMods = count * 3 / 100 / kRingLength * kRingLength;
    const int outdated = count * 2 / 100;
    const int both = count / 100;
    const int missing = std::max(0, blocked - wrong - chainMods - ringMods - outdated - both);
    const int usable = count - wrong - chainMods - ringMods - outdated - both - missing;

    std::vector<Plan> plan(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) plan[i].file = BaseMod(i);
    int next = 0;
    const auto take = [&](Kind kind, int n) {
        const int first = next;
        for (int i = 0; i < n; ++i) plan[next++].kind = kind;
        return first;
    };
    const int firstUsable = take(Kind::Usable, usable);
    const int firstWrong = take(Kind::WrongGame, wrong);
    const int firstMissing = take(Kind::Missing, missing);
    const int firstOutdated = take(Kind::Outdated, outdated);
    const int firstBoth = take(Kind::Both, both);
    const int firstChain = take(Kind::Chain, chainMods);
    const int firstRing = take(Kind::Ring, ringMods);

    // A usable mod that a requirement asks for in a version it does not have.
    const auto outdatedTarget = [&](int k) -> const test::ModFile& {
        return plan[firstUsable + (k * 13) % usable].file;
    };
    const auto tooNew = [&](const test::ModFile& target) { return static_cast<std::uint16_t>(target.version + 4); };

    for (int k = 0; k < usable; ++k) {
        test::ModFile& mod = plan[firstUsable + k].file;
        if (k % 100 < 3 && k - k % 100 + 2 < usable) {
            // Rings of three usable mods that need each other: whole, so still usable.
            const int ring = k - k % 100;
            Need(mod, plan[firstUsable + ring + (k - ring + 1) % 3].file, 1);
        } else if (k % 10 < 6 && k > 0) {
            for (int r = 0; r <= k % 3; ++r) Need(mod, plan[firstUsable + (k * 7 + r * 31) % k].file, 1);
        }
    }
    for (int k = 0; k < wrong; ++k) {
        test::ModFile& mod = plan[firstWrong + k].file;
        switch (k % 6) {
            case 0:
            case 1:
            case 2: mod.gameVersion[3] = 1; break;
            case 3: mod.gameVersion[1] = 24; break;
            case 4: mod.formatVersion = 3; break;  // names no game version
            default: mod.formatVersion = static_cast<std::uint16_t>(1 + k % 2); break;
        }
        if (k % 2 == 0 && usable > 0) Need(mod, plan[firstUsable + k % usable].file, 1);
    }
    for (int k = 0; k < missing; ++k) NeedMissing(plan[firstMissing + k].file, k);
    for (int k = 0; k < outdated && usable > 0; ++k) {
        const test::ModFile& target = outdatedTarget(k);
        Need(plan[firstOutdated + k].file, target, tooNew(target));
    }
    for (int k = 0; k < both && usable > 0; ++k) {
        test::ModFile& mod = plan[firstBoth + k].file;
        NeedMissing(mod, k + 11);
        const test::ModFile& target = outdatedTarget(k + 5);
        Need(mod, target, tooNew(target));
    }
    for (int c = 0; c < chainMods / kChainLength; ++c) {
        const int first = firstChain + c * kChainLength;
        for (int j = 0; j + 1 < kChainLength; ++j) Need(plan[first + j].file, plan[first + j + 1].file, 1);
        test::ModFile& last = plan[first + kChainLength - 1].file;
        if (c % 2 == 0 || usable == 0) {
            NeedMissing(last, c + 23);
        } else {
            const test::ModFile& target = outdatedTarget(c + 17);
            Need(last, target, tooNew(target));
        }
    }
    for (int r = 0; r < ringMods / kRingLength; ++r) {
        const int first = firstRing + r * kRingLength;
        for (int j = 0; j < kRingLength; ++j) Need(plan[first + j].file, plan[first + (j + 1) % kRingLength].file, 1);
        test::ModFile& entry = plan[first].file;
        if (r % 2 == 0 || usable == 0) {
            NeedMissing(entry, r + 41);
        } else {
            const test::ModFile& target = outdatedTarget(r + 29);
            Need(entry, target, tooNew(target));
        }
    }

    counts.mods = count;
    counts.usable = usable;
    counts.wrongGameVersion = wrong;
    counts.requirements = 0;
    counts.missing = 0;
    counts.outdated = 0;
    // A missing requirement anywhere below a mod outranks an outdated one.
    counts.missing = missing + both + (chainMods / kChainLength + 1) / 2 * kChainLength +
                     (ringMods / kRingLength + 1) / 2 * kRingLength;
    if (usable == 0) counts.missing = blocked - wrong;
    counts.outdated = count - usable - wrong - counts.missing;
    for (const Plan& p : plan) counts.requirements += static_cast<std::int64_t>(p.file.requirements.size());
    return plan;
}

std::string Stamp(const StressCounts& counts) {
    std::ostringstream out;
    out << "layout=" << kLayout << " mods=" << counts.mods << " folders=" << counts.folders
        << " usable=" << counts.usable << " requirements=" << counts.requirements << "\n";
    return out.str();
}

}  // namespace

bool MakeStressTree(const std::wstring& root, int mods, int folders, StressTree& tree) {
    folders = std::max(1, std::min(folders, mods));
    tree.root = root;
    if (tree.root.empty() || tree.root.back() != L'/') tree.root += L'/';
    tree.game = tree.root + L"game/";
    tree.documents = tree.root + L"Documents/";
    tree.mods = tree.documents + L"My Games/Velmora Games/Emberwake 2/mods/";

    std::vector<Plan> plan = PlanTree(mods, tree.expected);
    tree.expected.folders = folders;
    const fs::path stampPath = fs::path(tree.root) / "stress-tree.txt";
    const std::string stamp = Stamp(tree.expected);
    {
        std::ifstream in(stampPath);
        std::string line;
        if (std::getline(in, line) && line + "\n" == stamp) return true;
    }

    std::error_code ec;
    fs::remove_all(fs::path(tree.root), ec);
    fs::create_directories(fs::path(tree.game), ec);
    {
        const std::string exe = test::WriteVersionedPe(test::PeKind::Pe32Plus, {1, 25, 5, 2}).bytes;
        if (!test::WriteFileBytes(tree.game + L"Emberwake2.exe", exe)) return false;
    }
    std::string content;
    for (int i = 0; i < mods; ++i) {
        // Folders get the mods in turn, so each holds every kind and the
        // members of a chain or ring lie in different folders.
        const int folder = i % folders;
        const std::wstring path = tree.mods + L"Pack " + Number(folder) + L"/" +
                                  std::wstring(kWords[i % std::size(kWords)]) + L"_" + Number(i) +
                                  (i % 4 == 0 ? L".MOD" : L".mod");
        test::ModFile& file = plan[i].file;
        file.content.assign(1024 + static_cast<std::size_t>(i) * 2654435761u % 7168, static_cast<char>('a' + i % 26));
        if (!test::WriteModFile(path, file)) return false;
        file.content.clear();
    }
    std::ofstream(stampPath) << stamp;
    return true;
}

}  // namespace gh::bench
