#pragma once

// The platform's automation basics, with its names, values and contracts, so that a
// module's automation code reads as it would on the CAD host: statuses, reference-counted
// interfaces, length-prefixed strings and variants.

#include "ap/platform.h"

#include <cstdint>

using HRESULT = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using OLECHAR = wchar_t;
// A string of the automation model: it points at the first character, a length in bytes
// is kept before it and a terminator after it. Only SysAllocString makes one, only
// SysFreeString ends it.
using BSTR = OLECHAR*;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;

constexpr VARIANT_BOOL VARIANT_TRUE = -1, VARIANT_FALSE = 0;

// A status below zero is an error; zero and above are successes, S_OK the plain one and
// S_FALSE a success that did nothing or answered no.
constexpr HRESULT S_OK = 0, S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u), E_NOINTERFACE = static_cast<HRESULT>(0x80004002u),
                  E_POINTER = static_cast<HRESULT>(0x80004003u), E_FAIL = static_cast<HRESULT>(0x80004005u),
                  E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu),
                  E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);

constexpr bool SUCCEEDED(HRESULT status) { return status >= 0; }
constexpr bool FAILED(HRESULT status) { return status < 0; }

// A copy of the text, or nullptr for a null text or when memory runs out.
BSTR SysAllocString(const OLECHAR* text);
// Ends a string of SysAllocString; nullptr is allowed.
void SysFreeString(BSTR text);
// The characters of the string without its terminator; 0 for nullptr.
std::uint32_t SysStringLen(BSTR text);

enum VARENUM : VARTYPE { VT_EMPTY = 0, VT_I2 = 2, VT_I4 = 3, VT_BSTR = 8, VT_DISPATCH = 9, VT_BOOL = 11 };

class IDispatch;

// One value of a stated type. A variant owns the string or the reference it holds;
// VariantClear gives it up.
struct VARIANT {
    VARTYPE vt;
    union {
        LONG lVal;
        std::int16_t iVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IDispatch* pdispVal;
    };
};

void VariantInit(VARIANT* value);
// Frees what the variant owns and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANT* value);

using IID = GUID;
using REFIID = const IID&;

constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

// The root of every automation interface. An object lives while references to it are
// held: whoever receives an interface pointer from a call holds one reference and gives
// it back with Release; AddRef takes another. The count answered is for diagnosis only.
// QueryInterface answers S_OK with a new reference for an interface the object offers,
// else E_NOINTERFACE and nullptr.
class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    // An object is ended by its last Release, never deleted through an interface.
    ~IUnknown() = default;
};

// An interface of the automation model. Callers here bind early: they ask for the
// model's own interfaces with QueryInterface and call them directly; binding by name at
// run time is not offered.
class IDispatch : public IUnknown {
protected:
    ~IDispatch() = default;
};

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
