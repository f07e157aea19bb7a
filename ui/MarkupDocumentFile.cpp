// Loading a markup document from the skin: kept apart from the reader itself, which works on bytes
// and text only and so builds and is fuzzed without Windows.
#include "ui/MarkupDocument.h"
#include "ui/ResourceLocation.h"

namespace tessel {

bool CMarkupDocument::LoadFromFile(std::wstring_view name, int encoding) {
    SkinFileResult file = ReadSkinFile(name);
    if (!file.error.empty()) {
        Release();
        m_errorMessage = file.error;
        m_errorLocation = std::wstring(name.substr(0, 49));
        return false;
    }
    return LoadFromMemory(file.bytes.data(), file.bytes.size(), encoding);
}

}  // namespace tessel
