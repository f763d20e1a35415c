// What the mod manager shows, as plain text and numbers: the info pane's
// fields, the status colours, the version line, the status tooltip that
// names the requirements to install, and which links may be opened. Kept
// apart from the window so that it is tested without one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRecords.h"
#include "catalogue/RequirementGraph.h"
#include "game/GameVersion.h"

namespace gh {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The mod list's text colour for a status: black for StatusOk (and any
// unknown value), dark amber (100, 70, 0) for StatusWrongGameVersion, dark
// red (150, 0, 0) for the two blocked values.
Rgb StatusColour(std::int32_t status);

// The info pane's eight fields for one mod, in the order they are set. The
// mod's texts are shown as EscapedText makes them (the description as
// EscapedLines); the links' addresses stay as the mod gives them, for
// IsWebAddress to judge.
struct ModInfoTexts {
    std::wstring name;
    std::wstring website;  // the link's address
    std::wstring websiteLabel;
    std::wstring downloadUrl;  // likewise
    std::wstring downloadUrlLabel;
    std::wstring description;
    std::wstring author;
    std::wstring version;      // decimal
    std::wstring gameVersion;  // the record's "%d.%d.%d.%d"
    std::wstring status;       // "OK", "Compiled for outdated Game Ver.", ...
};
ModInfoTexts InfoPaneTexts(const ModData& mod);

// The Status field's tooltip: when the mod's file could not be read, first
// "Cannot be read: <reason>"; then, for a blocked mod, one line per mod of its
// requirement report that is not installed ("Needs <name> version <n> or
// later; it is not installed", without the version when none is asked),
// then one per installed mod that is too old ("Needs <name> version <n> or
// later; version <m> is installed"), by the name the first requiring mod
// recorded and the highest least version asked; then one line per file the
// mod hides ("Hides <file> (version <v>): it has the same identity"). Empty
// when there is nothing to say. Names and paths are cut to a bounded length
// and isolated (IsolatedText); the lines are shown as ProblemLinesText
// shows them.
std::wstring StatusTipText(std::span<const RequirementProblem> problems,
                           const std::vector<const HiddenModFile*>& hidden = {}, std::string_view readError = {});

// The most lines a tooltip or message that lists problems shows.
inline constexpr std::size_t kProblemLinesShown = 20;

// `lines`, one per line: the first kProblemLinesShown of them, then, when
// there are more, "and <n> more" for the rest, so that no list runs past
// the screen. `total` counts lines that were not even kept, when there are
// more than `lines` holds.
std::wstring ProblemLinesText(std::span<const std::wstring> lines, std::size_t total = 0);

// "Emberwake II Version a.b.c.d" with the installed game's version, or the
// line as it stands before the version is known, "Emberwake II Version
// x.x.x.x", when it cannot be read.
std::wstring GameVersionLine(const std::optional<GameVersionParts>& gameVersion);

// Whether a link may be handed to the desktop: only "http://" and
// "https://" addresses (scheme in any case) without white space or control
// characters. Anything else (a file path, another scheme) is refused.
bool IsWebAddress(std::wstring_view address);

// A file-dialog filter in the "label|patterns|...||" form as the dialogs
// take it: without the closing empty entries.
std::wstring DialogWildcard(std::wstring_view filter);

// The caption of the manager's messages: the launcher's file name without
// folder and extension.
std::wstring ApplicationName();

}  // namespace gh
