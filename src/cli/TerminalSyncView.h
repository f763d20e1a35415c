// The start window's status line and progress bar, on a terminal: every
// status text is printed on its own line as it is set; the rotating
// per-file progress line and a progress bar are drawn in place, on the last
// line, and only when the output is a terminal (elsewhere they are left out,
// so that the output is exactly the sequence of status texts).
#pragma once

#include "cli/Console.h"
#include "workshop/SyncView.h"

#include <functional>
#include <string>

namespace gh {

class CTerminalSyncView final : public ISyncView {
public:
    // Tells a per-file progress line from the other status texts.
    using ProgressLineTest = std::function<bool(const std::wstring&)>;

    // `drawInPlace`: redraw the progress line and bar on the terminal's last
    // line. The console must outlive the view.
    CTerminalSyncView(IConsole& console, bool drawInPlace);

    void SetProgressLineTest(ProgressLineTest test) { m_isProgressLine = std::move(test); }

    void SetStatusText(std::wstring text) override;
    void SetProgressRange(int lower, int upper) override;
    void SetProgressPos(int pos) override;
    int GetProgressUpper() const override { return m_upper; }
    void EnablePlayWithMods(bool enable) override { m_playWithModsEnabled = enable; }

    // Clears the line drawn in place, if any; call before printing anything else.
    void Finish();

    // The last status text that was not a progress line; empty before the first.
    const std::wstring& LastStatus() const { return m_lastStatus; }
    bool PlayWithModsEnabled() const { return m_playWithModsEnabled; }
    int ProgressPos() const { return m_pos; }

private:
    std::wstring InPlaceLine() const;
    void Redraw();
    void ClearInPlace();

    IConsole& m_console;
    bool m_drawInPlace;
    ProgressLineTest m_isProgressLine;
    std::wstring m_lastStatus;
    std::wstring m_progressLine;
    std::wstring m_drawn;  // what stands on the terminal's last line now
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    bool m_playWithModsEnabled = true;
};

}  // namespace gh
