#pragma once

#include <objbase.h>

#include "base/UniqueResource.h"

namespace tessel {

// A COM interface pointer released exactly once.
template <typename Interface>
struct ComTraits {
    using Type = Interface*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type object) noexcept { object->Release(); }
};
template <typename Interface>
using UniqueCom = UniqueResource<ComTraits<Interface>>;

// COM for the current thread (a single-threaded apartment, as the shell's objects and dialogs
// want it), for the lifetime of this object; uninitialised only when the initialisation counted.
// Whoever uses it links ole32.
class ComApartment {
public:
    ComApartment()
        : m_initialized(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (m_initialized) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_initialized;
};

}  // namespace tessel
