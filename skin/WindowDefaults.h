#pragma once

namespace tessel {

class CPaintManagerUI;

// The text defaults every skinned window of the product starts from, before its markup is built:
// link colours, the default text colour and the default font. A `Font` with `default="true"` in
// the markup replaces the font afterwards. Set on the window's own paint manager, never on the
// shared defaults.
void ApplyWindowDefaults(CPaintManagerUI& manager);

}  // namespace tessel
