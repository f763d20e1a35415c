#include "DemoWorld.h"

namespace gh::demo {

namespace {

// Identities of the demo's mods.
constexpr std::int64_t kCoreLibrary = 1001;
constexpr std::int64_t kHarborLights = 1002;
constexpr std::int64_t kOldRoads = 1003;
constexpr std::int64_t kBiggerArmies = 1004;
constexpr std::int64_t kSiegeEngines = 1005;
constexpr std::int64_t kBlackPowder = 1006;  // required, never installed
constexpr std::int64_t kNavalOverhaul = 1007;
constexpr std::int64_t kEditor = 1008;
constexpr std::int64_t kMapTools = 1009;
constexpr std::int64_t kWinterCampaign = 1010;
constexpr std::int64_t kTradeRoutes = 1011;
constexpr std::int64_t kBetterInterface = 1012;
constexpr std::int64_t kLegacyBanners = 1013;
constexpr std::int64_t kMusicPack = -4611686018427387904;  // an identity with the top bit set
constexpr std::int64_t kAutumnSkins = 2001;
constexpr std::int64_t kRiverMaps = 2002;
constexpr std::int64_t kNightRaids = 2003;
constexpr std::int64_t kCoastalTowns = 2004;

test::ModFile Mod(const wchar_t* name, std::int64_t guid, std::uint16_t version, const wchar_t* author,
                  const wchar_t* description) {
    test::ModFile mod;
    mod.formatVersion = 4;
    mod.version = version;
    for (int i = 0; i < 4; ++i) mod.gameVersion[i] = kGameVersion[i];
    mod.name = test::Units(name);
    mod.author = test::Units(author);
    mod.description = test::Units(description);
    mod.website = u"https://example.org/emberwake/mods";
    mod.downloadUrl = u"https://example.org/emberwake/mods/download";
    mod.guid = guid;
    return mod;
}

test::ModFile Needs(test::ModFile mod, const wchar_t* name, std::int64_t guid, std::uint16_t version) {
    mod.requirements.push_back({test::Units(name), guid, version});
    return mod;
}

}  // namespace

std::vector<DemoMod> DemoMods() {
    std::vector<DemoMod> mods;
    mods.push_back({L"Core Library.mod",
                    Mod(L"Core Library", kCoreLibrary, 2, L"Ada Forge", L"Shared scripts that other mods build on.")});
    mods.push_back(
        {L"Harbor Lights.mod",
         Needs(Needs(Mod(L"Harbor Lights", kHarborLights, 3, L"Lio Marsh",
                         L"Lit harbours and lighthouses along every coast; needs Core Library and Map Tools."),
                     L"Core Library", kCoreLibrary, 2),
               L"Map Tools", kMapTools, 1)});
    test::ModFile oldRoads = Mod(L"Old Roads", kOldRoads, 1, L"Bram Tull", L"Roads of the first age; built for 1.24.");
    oldRoads.gameVersion[0] = 1;
    oldRoads.gameVersion[1] = 24;
    oldRoads.gameVersion[2] = 0;
    oldRoads.gameVersion[3] = 7;
    mods.push_back({L"Old Roads.mod", oldRoads});
    mods.push_back({L"Bigger Armies.mod",
                    Needs(Mod(L"Bigger Armies", kBiggerArmies, 4, L"Ada Forge", L"Twice the regiments per army."),
                          L"Core Library", kCoreLibrary, 2)});
    mods.push_back({L"Siege Engines.mod",
                    Needs(Mod(L"Siege Engines", kSiegeEngines, 2, L"Kett Varga", L"Trebuchets, rams and towers."),
                          L"Black Powder", kBlackPowder, 1)});
    mods.push_back({L"Naval Overhaul.mod",
                    Needs(Mod(L"Naval Overhaul", kNavalOverhaul, 1, L"Lio Marsh", L"New ships; needs Core Library 5."),
                          L"Core Library", kCoreLibrary, 5)});
    mods.push_back({L"Editor.mod", Mod(L"EDITOR", kEditor, 1, L"Velmora Games", L"The editor's own record.")});
    mods.push_back({L"Map Tools.mod",
                    Needs(Mod(L"Map Tools", kMapTools, 1, L"Ona Pell", L"Extra brushes; needs the editor record."),
                          L"Editor", kEditor, 1)});
    mods.push_back({L"Campaigns/Winter Campaign.mod",
                    Mod(L"Winter Campaign", kWinterCampaign, 2, L"Ona Pell", L"A campaign in the northern snows.")});
    mods.push_back({L"Trade Routes.mod",
                    Needs(Mod(L"Trade Routes", kTradeRoutes, 1, L"Bram Tull", L"Caravans; needs Siege Engines."),
                          L"Siege Engines", kSiegeEngines, 1)});
    mods.push_back({L"Better Interface.mod", Mod(L"Better Interface", kBetterInterface, 6, L"Kett Varga",
                                                 L"Larger fonts and clearer tooltips.")});
    test::ModFile banners = Mod(L"Legacy Banners", kLegacyBanners, 1, L"Bram Tull",
                                L"Banners from an old header format, with no game version.");
    banners.formatVersion = 3;
    mods.push_back({L"Legacy Banners.mod", banners});
    mods.push_back({L"Music Pack.mod",
                    Mod(L"Music Pack", kMusicPack, 2, L"Lio Marsh", L"Twelve new pieces for the campaign map.")});
    return mods;
}

std::vector<DemoSubscription> DemoSubscriptions() {
    std::vector<DemoSubscription> subs;
    subs.push_back({9001, L"mods/Workshop/Autumn Skins.mod",
                    Mod(L"Autumn Skins", kAutumnSkins, 3, L"Ina Wolde", L"Autumn colours for every province."),
                    96 * 1024, DemoSubscriptionState::UpToDate});
    subs.push_back({9002, L"mods/Workshop/River Maps.mod",
                    Mod(L"River Maps", kRiverMaps, 5, L"Ina Wolde", L"Navigable rivers; the Workshop has version 5."),
                    1536 * 1024, DemoSubscriptionState::OutOfDate});
    subs.push_back({9003, L"mods/Workshop/Night Raids.mod",
                    Needs(Mod(L"Night Raids", kNightRaids, 1, L"Kett Varga", L"Raids after dark."), L"Core Library",
                          kCoreLibrary, 2),
                    1024 * 1024, DemoSubscriptionState::Missing});
    return subs;
}

std::vector<DemoItemFolder> DemoItemFolders() {
    DemoItemFolder coastal;
    coastal.id = 9004;
    coastal.folder = L"coastal-towns";
    coastal.header = Needs(Mod(L"Coastal Towns", kCoastalTowns, 2, L"Lio Marsh",
                               L"Harbour towns along the western coast; an item that lives in a folder."),
                           L"Harbor Lights", kHarborLights, 3);
    coastal.modFile = L"Coastal Towns.mod";
    coastal.otherFiles = {{L"maps/west coast.map", std::string(48 * 1024, 'w')},
                          {L"textures/harbour.tex", std::string(200 * 1024, 't')}};
    return {coastal};
}

std::vector<DemoSet> DemoSets() {
    return {
        {L"gatehouse.sch", {kHarborLights, kBiggerArmies, kWinterCampaign}},
        // A blocked mod (Naval Overhaul) in a set is skipped when it loads.
        {L"Favourites.sch", {kCoreLibrary, kMapTools, kNavalOverhaul, kOldRoads, kMusicPack}},
    };
}

}  // namespace gh::demo
