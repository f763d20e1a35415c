#include "selection/SelectionTexts.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

std::wstring LimitReachedMessage() { return L"10 mod maximum limit reached!"; }

std::wstring OverLimitMessage(std::size_t count) {
    // A count at or under the limit never reaches this text; the difference
    // is kept from wrapping should a caller pass one anyway.
    const std::size_t excess = count > kSelectionLimit ? count - kSelectionLimit : 0;
    return fmt::format(L"You now have {} mods selected.\n\nPlease remove {} mod before launching Emberwake 2.", count,
                       excess);
}

std::wstring SelectedCountText(std::size_t count) { return fmt::format(L"{} mods selected!", count); }

}  // namespace gh
