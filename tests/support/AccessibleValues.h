#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

// What a test needs to talk to an IAccessible: a child id as the VARIANT the interface takes, and
// a BSTR it hands out turned into a string (and freed).
namespace tessel::testing_support {

inline VARIANT ChildVariant(long id) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

inline std::wstring TakeText(BSTR text) {
    std::wstring copy = text != nullptr ? std::wstring(text, ::SysStringLen(text)) : L"";
    ::SysFreeString(text);
    return copy;
}

}  // namespace tessel::testing_support
