#include "ui/ToolkitDifferences.h"

namespace gh {

void KeepScrollBarsVisible(wxWindow&) {}

}  // namespace gh
