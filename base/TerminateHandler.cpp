// The C++ runtime's default terminate handler, replaced: the runtime's own prints the type of the
// exception that escaped, which brings in its whole symbol demangler (some 45 KB of every program),
// for a message no one sees (our programs are windowed and have no error stream). Ours ends the
// program as it would (abort); the crash handler, once installed, sets a terminate handler of its
// own that records a dump first. Linked in ahead of the runtime's by tessel_base's link options.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
