#include "ed/sysvars.h"

#include "db/database.h"
#include "rx/textcase.h"

#include <functional>
#include <utility>

namespace {

using Reader = std::function<void(const AcDbDatabase&, resbuf&)>;

Reader real(double (AcDbDatabase::*get)() const) {
    return [get](const AcDbDatabase& db, resbuf& rb) {
        rb.restype = RTREAL;
        rb.resval.rreal = (db.*get)();
    };
}

Reader shortInt(std::function<int(const AcDbDatabase&)> get) {
    return [get = std::move(get)](const AcDbDatabase& db, resbuf& rb) {
        rb.restype = RTSHORT;
        rb.resval.rint = static_cast<short>(get(db));
    };
}

const std::pair<const wchar_t*, Reader>* findVariable(const ACHAR* name) {
    static const std::pair<const wchar_t*, Reader> variables[] = {
        {L"DIMSCALE", real(&AcDbDatabase::dimscale)},
        {L"TEXTSIZE", real(&AcDbDatabase::textsize)},
        {L"INSUNITS", shortInt([](const AcDbDatabase& db) { return static_cast<int>(db.insunits()); })},
        {L"LUNITS", shortInt([](const AcDbDatabase& db) { return db.lunits(); })},
        {L"LUPREC", shortInt([](const AcDbDatabase& db) { return db.luprec(); })},
        {L"AUNITS", shortInt([](const AcDbDatabase& db) { return db.aunits(); })},
        {L"AUPREC", shortInt([](const AcDbDatabase& db) { return db.auprec(); })},
    };
    for (const auto& v : variables)
        if (hostrx::equalsNoCase(v.first, name)) return &v;
    return nullptr;
}

}  // namespace

int acedGetVar(const ACHAR* name, resbuf* result) {
    const AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    const auto* variable = name ? findVariable(name) : nullptr;
    if (!result || !db || !variable) return RTERROR;
    result->rbnext = nullptr;
    variable->second(*db, *result);
    return RTNORM;
}

Adesk::Boolean acdbUcs2Wcs(const ads_point from, ads_point to, Adesk::Boolean) {
    if (!from || !to) return Adesk::kFalse;
    for (int i = 0; i < 3; ++i) to[i] = from[i];
    return Adesk::kTrue;
}
