#include "ap/oleauto.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// The byte length kept before the characters, as the platform keeps it.
using Prefix = std::uint32_t;
static_assert(alignof(Prefix) <= alignof(OLECHAR), "the characters follow the prefix without padding");

Prefix* prefixOf(BSTR text) { return reinterpret_cast<Prefix*>(text) - 1; }

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
    if (!text) return nullptr;
    const std::size_t length = std::wcslen(text);
    if (length > (Prefix(-1) / sizeof(OLECHAR)) - 1) return nullptr;
    void* block = std::malloc(sizeof(Prefix) + (length + 1) * sizeof(OLECHAR));
    if (!block) return nullptr;
    auto* prefix = static_cast<Prefix*>(block);
    *prefix = static_cast<Prefix>(length * sizeof(OLECHAR));
    auto* chars = reinterpret_cast<OLECHAR*>(prefix + 1);
    std::memcpy(chars, text, (length + 1) * sizeof(OLECHAR));
    return chars;
}

void SysFreeString(BSTR text) {
    if (text) std::free(prefixOf(text));
}

std::uint32_t SysStringLen(BSTR text) {
    return text ? static_cast<std::uint32_t>(*prefixOf(text) / sizeof(OLECHAR)) : 0;
}

void VariantInit(VARIANT* value) {
    value->vt = VT_EMPTY;
    value->lVal = 0;
}

HRESULT VariantClear(VARIANT* value) {
    if (!value) return E_POINTER;
    if (value->vt == VT_BSTR) SysFreeString(value->bstrVal);
    else if (value->vt == VT_DISPATCH && value->pdispVal) value->pdispVal->Release();
    VariantInit(value);
    return S_OK;
}
