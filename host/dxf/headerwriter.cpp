#include "writercontext.h"

#include <set>

namespace hostdxf::writing {
namespace {

// A header variable that the database models, from the database; false for the others.
bool writeModeled(TagWriter& out, const AcDbDatabase& db, const std::string& name, std::set<std::string>& written) {
    auto var = [&](const char* n) {
        out.text(9, n);
        written.insert(n);
    };
    if (name == "$ACADVER") { var("$ACADVER"); out.text(1, "AC1032"); return true; }
    if (name == "$DWGCODEPAGE") { var("$DWGCODEPAGE"); out.text(3, "ANSI_1252"); return true; }
    if (name == "$HANDSEED") { var("$HANDSEED"); out.text(5, "@HANDSEED@"); return true; }
    if (name == "$INSBASE") { var("$INSBASE"); const auto p = db.insbase(); out.point(10, p.x, p.y, p.z); return true; }
    if (name == "$INSUNITS") { var("$INSUNITS"); out.integer(70, db.insunits()); return true; }
    if (name == "$CLAYER") { var("$CLAYER"); out.text(8, nameOf(db.clayer()).empty() ? L"0" : nameOf(db.clayer())); return true; }
    if (name == "$TEXTSIZE") { var("$TEXTSIZE"); out.real(40, db.textsize()); return true; }
    if (name == "$DIMSCALE") { var("$DIMSCALE"); out.real(40, db.dimscale()); return true; }
    if (name == "$LUNITS") { var("$LUNITS"); out.integer(70, db.lunits()); return true; }
    if (name == "$LUPREC") { var("$LUPREC"); out.integer(70, db.luprec()); return true; }
    if (name == "$AUNITS") { var("$AUNITS"); out.integer(70, db.aunits()); return true; }
    if (name == "$AUPREC") { var("$AUPREC"); out.integer(70, db.auprec()); return true; }
    if (name == "$TEXTSTYLE" && !db.textstyle().isNull()) { var("$TEXTSTYLE"); out.text(7, nameOf(db.textstyle())); return true; }
    if (name == "$DIMSTYLE" && !db.dimstyle().isNull()) { var("$DIMSTYLE"); out.text(2, nameOf(db.dimstyle())); return true; }
    if (name == "$CELTYPE" && !db.celtype().isNull()) { var("$CELTYPE"); out.text(6, nameOf(db.celtype())); return true; }
    if (name == "$HANDLING") { var("$HANDLING"); out.integer(70, 1); return true; }
    return false;
}

// The custom properties as pairs of $CUSTOMPROPERTYTAG and $CUSTOMPROPERTY, once.
void writeCustomProperties(TagWriter& out, const AcDbDatabase& db, std::set<std::string>& written) {
    if (written.count("$CUSTOMPROPERTYTAG")) return;
    written.insert("$CUSTOMPROPERTYTAG");
    for (const auto& [key, value] : db.customProperties()) {
        out.text(9, "$CUSTOMPROPERTYTAG");
        out.text(1, key);
        out.text(9, "$CUSTOMPROPERTY");
        out.text(1, value);
    }
}

}  // namespace

// The variables in the order read, the modelled ones from the database; then those
// the file did not have. The handle seed is a placeholder until the end of the write.
void writeHeader(WriterContext& ctx) {
    TagWriter& out = ctx.out();
    const AcDbDatabase& db = ctx.db();
    ctx.beginSection("HEADER");
    std::set<std::string> written;
    auto modeled = [&](const std::string& name) { return writeModeled(out, db, name, written); };
    static const char* first[] = {"$ACADVER", "$DWGCODEPAGE"};
    for (const char* name : first) modeled(name);
    for (const auto& v : db.headerVariables()) {
        if (written.count(v.name)) continue;
        if (v.name == "$CUSTOMPROPERTYTAG" || v.name == "$CUSTOMPROPERTY") {
            writeCustomProperties(out, db, written);
            continue;
        }
        if (v.name == "$ACADMAINTVER" || v.name == "$REQUIREDVERSIONS") continue;  // belong to the old release
        if (modeled(v.name)) continue;
        out.text(9, v.name);
        out.items(v.values);
        written.insert(v.name);
    }
    // A file without $INSUNITS (R12 has none) keeps none while the drawing stays
    // unitless: the two mean the same, and leaving it out keeps what was read.
    const bool unitsUnstated = !db.headerVariables().empty() && db.insunits() == AcDb::kUnitsUndefined;
    for (const char* name : {"$INSBASE", "$INSUNITS", "$CLAYER", "$TEXTSIZE", "$DIMSCALE", "$LUNITS", "$LUPREC",
                             "$AUNITS", "$AUPREC", "$TEXTSTYLE", "$DIMSTYLE", "$CELTYPE", "$HANDSEED"})
        if (!written.count(name) && !(unitsUnstated && std::string_view(name) == "$INSUNITS")) modeled(name);
    writeCustomProperties(out, db, written);
    ctx.endSection();
}

}  // namespace hostdxf::writing
