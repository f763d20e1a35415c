#include "cli/TerminalSyncView.h"

#include "cli/TerminalText.h"
#include "workshop/WorkshopText.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>

namespace gh {

namespace {

constexpr int kBarWidth = 20;
// One column short of an 80-column terminal, so that drawing the line never
// wraps it onto a second line that "\r" cannot reach.
constexpr std::size_t kLineWidth = 79;

}  // namespace

CTerminalSyncView::CTerminalSyncView(IConsole& console, bool drawInPlace)
    : m_console(console), m_drawInPlace(drawInPlace) {}

void CTerminalSyncView::OnSyncEvent(const SyncEvent& event) {
    SetStatusText(SyncEventText(event));
    if (event.kind == SyncEventKind::CopyError && event.refusal != WorkshopNameProblem::None) {
        // The status line says only that the file was not written; a script
        // or a player reading the error stream learns why.
        ClearInPlace();
        m_console.Err(L"gatehouse: " + TerminalSafe(RefusedNameText(event.fileName, event.refusal)) + L"\n");
        Redraw();
    }
}

void CTerminalSyncView::OnSyncNote(const std::wstring& note) {
    ClearInPlace();
    m_console.Err(L"gatehouse: " + TerminalSafe(note) + L"\n");
    Redraw();
}

void CTerminalSyncView::OnDownloadProgress(const std::wstring& fileName, std::int64_t downloaded,
                                           std::int64_t expected) {
    m_progressLine = ProgressLineText(fileName, downloaded, expected);
    Redraw();
}

void CTerminalSyncView::SetStatusText(const std::wstring& text) {
    ClearInPlace();
    m_console.Out(TerminalSafe(text) + L"\n");
    // A status text replaces the per-file line in the status line, as in the start window.
    m_progressLine.clear();
    Redraw();
}

void CTerminalSyncView::SetProgressRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    Redraw();
}

void CTerminalSyncView::SetProgressPos(int pos) {
    m_pos = pos;
    Redraw();
}

void CTerminalSyncView::Finish() { ClearInPlace(); }

std::wstring CTerminalSyncView::InPlaceLine() const {
    // The bar shows the position within the range as the control would:
    // clamped to the range, empty for an empty range.
    const long long span = static_cast<long long>(m_upper) - m_lower;
    const long long done = std::clamp(static_cast<long long>(m_pos) - m_lower, 0LL, std::max(span, 0LL));
    const int filled = span > 0 ? static_cast<int>(done * kBarWidth / span) : 0;
    const int percent = span > 0 ? static_cast<int>(done * 100 / span) : 0;
    std::wstring line = L"[" + std::wstring(static_cast<std::size_t>(filled), L'#') +
                        std::wstring(static_cast<std::size_t>(kBarWidth - filled), L'.') + L"] " +
                        fmt::format(L"{:3}%", percent);
    if (!m_progressLine.empty()) {
        // The sizes stand at the end: a long name loses its beginning instead.
        const std::size_t room = kLineWidth > line.size() + 2 ? kLineWidth - line.size() - 2 : 0;
        line += L"  " + KeepEnd(TerminalSafe(m_progressLine), room);
    }
    return line;
}

void CTerminalSyncView::Redraw() {
    if (!m_drawInPlace) return;
    const std::wstring line = InPlaceLine();
    if (line == m_drawn) return;
    std::wstring out = L"\r" + line;
    if (line.size() < m_drawn.size()) {
        // Blank what the longer previous line left, then come back.
        out += std::wstring(m_drawn.size() - line.size(), L' ');
        out += L"\r" + line;
    }
    m_console.Out(out);
    m_drawn = line;
}

void CTerminalSyncView::ClearInPlace() {
    if (!m_drawInPlace || m_drawn.empty()) return;
    m_console.Out(L"\r" + std::wstring(m_drawn.size(), L' ') + L"\r");
    m_drawn.clear();
}

}  // namespace gh
