// Reads the delay-load notify hook from a library the linker reaches only after the framework's: a
// reference from the test's own objects would pull the framework's hook in by itself, whereas a
// real program never names it and gets it only through the framework's link option.
#include "tests/ui/DelayLoadHookProbe.h"

PfnDliHook LinkedDelayLoadHook() {
    return __pfnDliNotifyHook2;
}
