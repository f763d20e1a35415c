// The start window's status line and progress bar, on a terminal: every
// status text is printed on its own line as it is set; the rotating
// per-file progress line and a progress bar are drawn in place, on the last
// line, and only when the output is a terminal (elsewhere they are left out,
// so that the output is exactly the sequence of status texts).
#pragma once

#include "cli/Console.h"
#include "workshop/SyncView.h"

#include <cstdint>
#include <string>

namespace gh {

class CTerminalSyncView final : public ISyncView {
public:
    // `drawInPlace`: redraw the progress line and bar on the terminal's last
    // line. The console must outlive the view.
    CTerminalSyncView(IConsole& console, bool drawInPlace);

    // Prints the event's status text on a line of its own; for a name that
    // was refused, a second line on standard error says why.
    void OnSyncEvent(const SyncEvent& event) override;
    // Prints the note on standard error.
    void OnSyncNote(const std::wstring& note) override;
    void OnDownloadProgress(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected) override;
    // Prints a status text that is not a sync event's (the client's start failure).
    void SetStatusText(const std::wstring& text);
    void SetProgressRange(int lower, int upper) override;
    void SetProgressPos(int pos) override;
    int GetProgressUpper() const override { return m_upper; }
    void EnablePlayWithMods(bool enable) override { m_playWithModsEnabled = enable; }

    // Clears the line drawn in place, if any; call before printing anything else.
    void Finish();

    bool PlayWithModsEnabled() const { return m_playWithModsEnabled; }
    int ProgressPos() const { return m_pos; }

private:
    std::wstring InPlaceLine() const;
    void Redraw();
    void ClearInPlace();

    IConsole& m_console;
    bool m_drawInPlace;
    std::wstring m_progressLine;
    std::wstring m_drawn;  // what stands on the terminal's last line now
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    bool m_playWithModsEnabled = true;
};

}  // namespace gh
