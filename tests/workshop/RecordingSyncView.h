// A view that remembers what the sync showed, as the start window would: the
// status line's texts (each event's and each progress line's) and the events.
#pragma once

#include "workshop/SyncView.h"
#include "workshop/WorkshopText.h"

#include <string>
#include <vector>

namespace gh::test {

class CRecordingSyncView final : public ISyncView {
public:
    void OnSyncEvent(const SyncEvent& event) override {
        events.push_back(event);
        texts.push_back(SyncEventText(event));
    }
    void OnSyncNote(const std::wstring& note) override { notes.push_back(note); }
    void OnDownloadProgress(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected) override {
        texts.push_back(ProgressLineText(fileName, downloaded, expected));
    }
    void SetProgressRange(int low, int high) override {
        lower = low;
        upper = high;
    }
    void SetProgressPos(int p) override { pos = p; }
    int GetProgressUpper() const override { return upper; }
    void EnablePlayWithMods(bool enable) override { playWithModsEnabled = enable; }

    std::wstring LastText() const { return texts.empty() ? std::wstring() : texts.back(); }

    std::vector<std::wstring> texts;
    std::vector<SyncEvent> events;
    std::vector<std::wstring> notes;
    int lower = 0;
    int upper = 100;  // a progress control's own default range
    int pos = 0;
    bool playWithModsEnabled = true;
};

}  // namespace gh::test
