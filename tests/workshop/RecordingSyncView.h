// A view that remembers what the sync showed, as the start window would.
#pragma once

#include "workshop/SyncView.h"

#include <string>
#include <vector>

namespace gh::test {

class CRecordingSyncView final : public ISyncView {
public:
    void SetStatusText(std::wstring text) override { texts.push_back(std::move(text)); }
    void SetProgressRange(int low, int high) override {
        lower = low;
        upper = high;
    }
    void SetProgressPos(int p) override { pos = p; }
    int GetProgressUpper() const override { return upper; }
    void EnablePlayWithMods(bool enable) override { playWithModsEnabled = enable; }

    std::wstring LastText() const { return texts.empty() ? std::wstring() : texts.back(); }

    std::vector<std::wstring> texts;
    int lower = 0;
    int upper = 100;  // a progress control's own default range
    int pos = 0;
    bool playWithModsEnabled = true;
};

}  // namespace gh::test
