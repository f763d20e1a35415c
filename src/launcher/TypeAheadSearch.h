// Finding a row of a long list by typing the start of its text, as native
// list boxes do: each letter typed within a short pause of the last one
// lengthens the text searched for; after the pause a new search begins.
// Typing the same letter again moves on to the next row that starts with
// it. Letters compare without regard to case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace gh {

class CTypeAheadSearch {
public:
    // Typed characters further apart than this start a new search.
    static constexpr std::int64_t kPauseMs = 1000;

    using RowText = std::function<std::wstring(std::size_t row)>;

    // Takes the character `typed` at `nowMs` (any monotonic clock) and
    // returns the row to highlight: the first row from the current one on
    // (after it, for a new search or a repeated letter) whose text starts with
    // what was typed, going round to the top; none when no row does.
    std::optional<std::size_t> Type(wchar_t typed, std::int64_t nowMs, std::size_t rowCount,
                                    std::optional<std::size_t> current, const RowText& textOf);

    const std::wstring& Typed() const { return m_typed; }

private:
    std::wstring m_typed;
    std::int64_t m_lastMs = 0;
};

}  // namespace gh
