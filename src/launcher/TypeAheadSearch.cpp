#include "launcher/TypeAheadSearch.h"

#include "platform/Text.h"

namespace gh {

namespace {

wchar_t Fold(wchar_t c) { return platform::LowerCaseForSearch(std::wstring_view(&c, 1)).front(); }

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) return false;
    return platform::LowerCaseForSearch(std::wstring_view(text).substr(0, prefix.size())) ==
           platform::LowerCaseForSearch(prefix);
}

}  // namespace

std::optional<std::size_t> CTypeAheadSearch::Type(wchar_t typed, std::int64_t nowMs, std::size_t rowCount,
                                                  std::optional<std::size_t> current, const RowText& textOf) {
    const bool fresh = m_typed.empty() || nowMs - m_lastMs > kPauseMs;
    m_lastMs = nowMs;
    if (fresh) m_typed.clear();
    m_typed += typed;
    if (rowCount == 0) return std::nullopt;

    // A run of one letter ("aaa") steps through the rows that start with it.
    bool oneLetter = true;
    for (wchar_t c : m_typed) oneLetter = oneLetter && Fold(c) == Fold(m_typed.front());
    const std::wstring wanted = oneLetter ? m_typed.substr(0, 1) : m_typed;
    // A longer text may still match the current row; a new search or a
    // repeated letter looks from the next one.
    const bool fromNext = fresh || (oneLetter && m_typed.size() > 1);
    std::size_t start = current.value_or(rowCount - 1);
    if (!current) start = fromNext ? rowCount - 1 : 0;
    if (fromNext) start = (start + 1) % rowCount;
    for (std::size_t i = 0; i < rowCount; ++i) {
        const std::size_t row = (start + i) % rowCount;
        if (StartsWith(textOf(row), wanted)) return row;
    }
    return std::nullopt;
}

}  // namespace gh
