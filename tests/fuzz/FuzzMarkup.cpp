// The markup reader on any bytes (read as UTF-8), then a walk over every element and attribute.
#include <cstddef>
#include <cstdint>

#include "ui/MarkupDocument.h"

namespace {

void Walk(tessel::CMarkupElement element, int depth) {
    for (; element.IsValid() && depth < 300; element = element.NextSibling()) {
        (void)element.Name();
        (void)element.Data();
        for (size_t i = 0; i <= element.AttributeCount(); ++i) {
            (void)element.AttributeName(i);
            (void)element.AttributeValue(i);
        }
        (void)element.AttributeValue(L"name");
        Walk(element.FirstChild(), depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tessel::CMarkupDocument document;
    if (document.LoadFromMemory(data, size)) {
        Walk(document.Root(), 0);
    }
    return 0;
}
