#include "base/ImageFileOffset.h"

namespace tessel {

std::optional<uint64_t> ImageFileOffset(HMODULE module, const void* address, size_t size) {
    if (module == nullptr || address == nullptr) {
        return std::nullopt;
    }
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0) {
        return std::nullopt;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto* bytes = static_cast<const uint8_t*>(address);
    if (nt->Signature != IMAGE_NT_SIGNATURE || bytes < base) {
        return std::nullopt;
    }
    const uint64_t rva = static_cast<uint64_t>(bytes - base);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const uint64_t start = section->VirtualAddress;
        // Past its SizeOfRawData a section is memory the loader filled with zeros.
        const uint64_t inFile = section->SizeOfRawData;
        if (rva >= start && rva - start <= inFile && size <= inFile - (rva - start)) {
            return section->PointerToRawData + (rva - start);
        }
    }
    return std::nullopt;
}

}  // namespace tessel
