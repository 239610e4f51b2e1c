#include "ed/adscodes.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>

namespace {

bool isTextCode(int code) { return code == RTSTR || code == RTDXF0 || (code >= 0 && code <= 9); }

void fillValue(resbuf& rb, va_list& args) {
    const int code = rb.restype;
    if (isTextCode(code)) {
        const ACHAR* text = va_arg(args, const ACHAR*);
        const std::size_t n = text ? std::wcslen(text) : 0;
        rb.resval.rstring = new ACHAR[n + 1];
        if (text) std::wmemcpy(rb.resval.rstring, text, n);
        rb.resval.rstring[n] = L'\0';
    } else if (code == RTSHORT) {
        rb.resval.rint = static_cast<short>(va_arg(args, int));
    } else if (code == RTLONG) {
        rb.resval.rlong = va_arg(args, Adesk::Int32);
    } else if (code == RTREAL || code == RTANG) {
        rb.resval.rreal = va_arg(args, double);
    } else if (code == RTPOINT || code == RT3DPOINT) {
        const ads_real* p = va_arg(args, const ads_real*);
        std::memcpy(rb.resval.rpoint, p, sizeof rb.resval.rpoint);
    }
}

bool knownCode(int code) {
    return isTextCode(code) || code == RTSHORT || code == RTLONG || code == RTREAL || code == RTANG ||
           code == RTPOINT || code == RT3DPOINT;
}

}  // namespace

resbuf* acutNewRb(int typeCode) {
    auto* rb = new resbuf{};
    rb->restype = static_cast<short>(typeCode);
    return rb;
}

resbuf* acutBuildList(int typeCode, ...) {
    va_list args;
    va_start(args, typeCode);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (int code = typeCode; code != 0; code = va_arg(args, int)) {
        if (!knownCode(code)) {
            acutRelRb(head);
            head = nullptr;
            break;
        }
        *tail = acutNewRb(code);
        fillValue(**tail, args);
        tail = &(*tail)->rbnext;
    }
    va_end(args);
    return head;
}

int acutRelRb(resbuf* list) {
    while (list) {
        resbuf* next = list->rbnext;
        if (isTextCode(list->restype)) delete[] list->resval.rstring;
        delete list;
        list = next;
    }
    return RTNORM;
}
