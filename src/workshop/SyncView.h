// What the sync needs from the window that shows it (the start window; the
// command line's sync prints instead).
#pragma once

#include <string>

namespace gh {

class ISyncView {
public:
    virtual ~ISyncView() = default;
    virtual void SetStatusText(std::wstring text) = 0;
    virtual void SetProgressRange(int lower, int upper) = 0;
    virtual void SetProgressPos(int pos) = 0;
    virtual int GetProgressUpper() const = 0;
    virtual void EnablePlayWithMods(bool enable) = 0;
};

}  // namespace gh
