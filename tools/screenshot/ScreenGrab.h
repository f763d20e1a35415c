// Reading what the display shows, for the screenshot tool and the tests of
// real windows.
#pragma once

#include <wx/gdicmn.h>
#include <wx/image.h>

namespace gh::tools {

// The pixels of `area` (screen coordinates) as the display shows them now;
// an invalid image when the display cannot be read.
wxImage GrabScreenArea(const wxRect& area);

}  // namespace gh::tools
