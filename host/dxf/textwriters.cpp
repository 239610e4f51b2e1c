#include "entitywriters.h"
#include "angles.h"

#include "../rx/utf8.h"

#include "../db/mtext.h"
#include "../db/text.h"

#include <string>
#include <type_traits>

namespace hostdxf::writing {
namespace {

// The groups of an MText, in a record of its own or embedded in an attribute's. The
// contents go in pieces of at most 250 bytes, cut between whole characters: groups 3,
// then the last piece in group 1.
void writeMTextGroups(TagWriter& out, const AcDbMText& mt) {
    out.point(10, mt.location().x, mt.location().y, mt.location().z);
    out.real(40, mt.textHeight());
    if (mt.width() > 0.0) out.real(41, mt.width());
    out.integer(71, mt.attachment());
    out.integer(72, mt.flowDirection());
    const std::string contents = hostrx::wideToUtf8(mt.displayText());
    std::size_t pos = 0;
    while (contents.size() - pos > 250) {
        std::size_t cut = pos + 250;
        while (cut > pos && (static_cast<unsigned char>(contents[cut]) & 0xC0) == 0x80) --cut;  // whole characters
        out.text(3, std::string_view(contents).substr(pos, cut - pos));
        pos = cut;
    }
    out.text(1, std::string_view(contents).substr(pos));
    out.text(7, nameOf(mt.textStyle()).empty() ? L"Standard" : nameOf(mt.textStyle()));
    out.point(210, mt.normal().x, mt.normal().y, mt.normal().z);
    out.point(11, mt.direction().x, mt.direction().y, mt.direction().z);
    out.integer(73, mt.lineSpacingStyle());
    out.real(44, mt.lineSpacingFactor());
}

// The text section that texts, attribute definitions and attributes share. A text ends
// it with a second marker and its vertical mode; the attribute kinds state that mode in
// their own section.
void writeTextBody(WriterContext& ctx, const AcDbText& t, bool secondMarker) {
    TagWriter& out = ctx.out();
    const auto f = AcGePlaneFrame::fromNormal(t.normal());
    const AcGePoint3d p = f.toPlane(t.position());
    out.text(100, "AcDbText");
    out.real(39, t.thickness());
    out.point(10, p.x, p.y, p.z);
    out.real(40, t.height());
    out.text(1, t.displayText());
    out.real(50, degreesToWrite(t.rotation()));
    out.real(41, t.widthFactor());
    out.real(51, degreesToWrite(t.oblique()));
    out.text(7, nameOf(t.textStyle()).empty() ? L"Standard" : nameOf(t.textStyle()));
    out.integer(71, t.generationFlags());
    out.integer(72, t.horizontalMode());
    if (!t.isDefaultAlignment() || t.isAlignmentPointStated()) {
        const AcGePoint3d a = f.toPlane(t.alignmentPoint());
        out.point(11, a.x, a.y, a.z);
    }
    const AcGeVector3d n = t.normal();
    out.point(210, n.x, n.y, n.z);
    ctx.chunk(t, "AcDbText");
    if (secondMarker) {
        out.text(100, "AcDbText");
        out.integer(73, t.verticalMode());
    }
}

// The end of a multiline attribute's section: its kind (group 71: 2 an attribute, 4 a
// definition) in place of the kind it was read with, then the MText with what it kept.
void writeEmbeddedMText(WriterContext& ctx, const AcDbText& owner, const std::string& marker, const AcDbMText& mtext,
                        int kind) {
    TagWriter& out = ctx.out();
    if (const auto* f = owner.foreignData())
        if (const auto* items = f->find(marker))
            for (const auto& item : *items)
                if (item.code != 71) out.text(item.code, item.value);
    ctx.chunkWritten(marker);
    out.integer(71, kind);
    out.text(101, "Embedded Object");
    writeMTextGroups(out, mtext);
    if (const auto* f = mtext.foreignData())
        if (const auto* items = f->find("")) out.items(*items);
}

// Attribute definitions and attributes: the text section, then one of their own, where
// only a definition has a prompt.
template <class Attribute>
void writeAttribute(WriterContext& ctx, const Attribute& a, const EntityPlace& at) {
    constexpr bool definition = std::is_same_v<Attribute, AcDbAttributeDefinition>;
    const char* marker = definition ? "AcDbAttributeDefinition" : "AcDbAttribute";
    TagWriter& out = ctx.out();
    writeEntityCommon(ctx, a, definition ? "ATTDEF" : "ATTRIB", at);
    writeTextBody(ctx, a, false);
    out.text(100, marker);
    if constexpr (definition) out.text(3, a.promptConst());
    out.text(2, a.tagConst());
    out.integer(70, a.attributeFlags());
    out.integer(73, a.fieldLength());
    out.integer(74, a.verticalMode());
    const AcDbMText* embedded = nullptr;
    if constexpr (definition) embedded = a.mtextAttributeDefinitionConst();
    else embedded = a.mtextAttributeConst();
    if (embedded) writeEmbeddedMText(ctx, a, marker, *embedded, definition ? 4 : 2);
    else ctx.chunk(a, marker);
}

void writePlainText(WriterContext& ctx, const AcDbText& text, const EntityPlace& at) {
    writeEntityCommon(ctx, text, "TEXT", at);
    writeTextBody(ctx, text, true);
}

void writeMText(WriterContext& ctx, const AcDbMText& mt, const EntityPlace& at) {
    writeEntityCommon(ctx, mt, "MTEXT", at);
    ctx.out().text(100, "AcDbMText");
    writeMTextGroups(ctx.out(), mt);
    ctx.chunk(mt, "AcDbMText");
}

}  // namespace

bool writeText(WriterContext& ctx, const AcDbEntity& ent, const EntityPlace& at) {
    return writeAs(ctx, ent, at, writeAttribute<AcDbAttributeDefinition>) ||
           writeAs(ctx, ent, at, writeAttribute<AcDbAttribute>) || writeAs(ctx, ent, at, writePlainText) ||
           writeAs(ctx, ent, at, writeMText);
}

}  // namespace hostdxf::writing
