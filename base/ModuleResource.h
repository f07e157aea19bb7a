#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

namespace tessel {

// The bytes of a resource of `module` (null: the running executable). They stay valid, read-only,
// for as long as the module is loaded.
inline std::optional<std::span<const uint8_t>> FindModuleResource(HMODULE module,
                                                                  const wchar_t* type,
                                                                  const wchar_t* name) {
    if (module == nullptr) {
        module = ::GetModuleHandleW(nullptr);
    }
    HRSRC info = ::FindResourceW(module, name, type);
    HGLOBAL loaded = info != nullptr ? ::LoadResource(module, info) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return std::nullopt;
    }
    return std::span<const uint8_t>(static_cast<const uint8_t*>(data),
                                    ::SizeofResource(module, info));
}

}  // namespace tessel
