// How deeply a JSON text nests, counted before it is parsed, so that the
// readers of outside JSON can refuse inputs nested deeper than they need
// without handing them to the parser.
#pragma once

#include <string_view>

namespace gh {

// Deepest nesting of arrays and objects outside strings and comments (// and
// /* */, which the manifest allows; elsewhere the parser refuses them).
int JsonNestingDepth(std::string_view text);

}  // namespace gh
