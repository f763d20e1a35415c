#include "launcher/WindowSyncTexts.h"

#include "game/PathText.h"
#include "launcher/OutsideText.h"
#include "workshop/WorkshopText.h"

namespace gh {

namespace {

// `name` escaped, cut as FitBeforeTail cuts it so that the line stays
// within kStatusTextMax with the two isolate marks, and isolated, then `tail`.
std::wstring NamedText(const std::wstring& name, const std::wstring& tail) {
    const std::wstring fitted = FitBeforeTail(EscapedText(name), tail, kStatusTextMax - 2);
    const std::size_t nameEnd = fitted.size() - std::min(tail.size(), fitted.size());
    if (nameEnd == 0) return fitted;
    return kFirstStrongIsolate + fitted.substr(0, nameEnd) + kPopDirectionalIsolate + fitted.substr(nameEnd);
}

}  // namespace

// A status text about one file is its name followed by the text the same
// event makes without a name (NameStatusText).
std::wstring WindowSyncEventText(const SyncEvent& event) {
    if (event.fileName.empty()) return SyncEventText(event);
    SyncEvent unnamed = event;
    unnamed.fileName.clear();
    return NamedText(AnsiToWide(event.fileName), SyncEventText(unnamed));
}

std::wstring WindowProgressLineText(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected) {
    return NamedText(fileName, ProgressLineText(std::wstring(), downloaded, expected));
}

}  // namespace gh
