#pragma once

// How GoogleTest prints the framework's geometry types in failure messages. Free of <windows.h>:
// the pure tests use it in the native build too.
#include <ostream>

#include "ui/Geometry.h"

namespace tessel {

inline void PrintTo(const UiRect& r, std::ostream* os) {
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
inline void PrintTo(const UiSize& s, std::ostream* os) {
    *os << "{" << s.cx << "," << s.cy << "}";
}

}  // namespace tessel
