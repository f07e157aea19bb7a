#pragma once

#include <windows.h>
// <delayimp.h> has no include guard: include it through this header only.
#include <delayimp.h>

// The delay-load notify hook this program was linked with; null when it is the runtime's default.
PfnDliHook LinkedDelayLoadHook();
