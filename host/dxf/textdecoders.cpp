#include "entitydecoders.h"
#include "angles.h"

#include "../db/mtext.h"
#include "../db/text.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>

namespace hostdxf::reading {
namespace {

// The groups of an MText, in a record of its own or embedded in an attribute's. The
// contents come in pieces: groups 3, then the last in group 1.
struct MTextReading {
    EntityGroups g;
    std::string text;

    bool take(AcDbMText& e, const Tag& t) {
        switch (t.code) {
        case 1: case 3: text.append(t.value); return true;
        case 7: g.styleName = std::string(t.value); return true;
        case 40: e.setTextHeight(real(t.value)); return true;
        case 41: e.setWidth(real(t.value)); return true;
        case 44: e.setLineSpacingFactor(real(t.value)); return true;
        case 50: g.d50 = real(t.value); g.has50 = true; return true;
        case 71: e.setAttachment(static_cast<AcDbMText::AttachmentPoint>(std::clamp(integer(t.value), 1LL, 9LL))); return true;
        case 72: e.setFlowDirection(static_cast<int>(integer(t.value))); return true;
        case 73: e.setLineSpacingStyle(static_cast<int>(integer(t.value))); return true;
        default:
            return g.p10.take(t.code, 10, t.value) || g.p11.take(t.code, 11, t.value) || g.normal.take(t.code, 210, t.value);
        }
    }

    void finish(ReaderContext& ctx, AcDbMText& e) const {
        e.setNormal(g.normal.p.asVector());
        e.setLocation(g.p10.p);
        if (g.p11.seen) e.setDirection(g.p11.p.asVector());
        else if (g.has50) e.setRotation(g.d50);  // radians in this group
        e.setContents(wide(text).c_str());
        e.setTextStyle(ctx.symbolId(ctx.db().textStyleTableId(), g.styleName.empty() ? "Standard" : g.styleName));
    }
};

// The MText that a multiline attribute or definition embeds: every group after the
// "Embedded Object" mark in the attribute's section is the MText's; those it does not
// model are kept with it.
struct EmbeddedReading {
    std::string section;
    std::unique_ptr<AcDbMText> mtext;
    MTextReading reading;

    bool begins(const std::string& sub, const std::string& type, const Tag& t) {
        if (type == "TEXT" || sub.empty() || mtext || t.value != "Embedded Object") return false;
        section = sub;
        mtext = std::make_unique<AcDbMText>();
        return true;
    }
    bool takes(const std::string& sub, const Tag& t) {
        if (!mtext || sub != section) return false;
        if (!reading.take(*mtext, t)) mtext->foreign().chunk("").push_back({t.code, std::string(t.value)});
        return true;
    }
    const AcDbMText* finished(ReaderContext& ctx) {
        if (mtext) reading.finish(ctx, *mtext);
        return mtext.get();
    }
};

// Texts, attribute definitions and attributes share the text groups; the attribute
// groups come under their own class marker, or before any marker in an R12 file.
void decodeTextLike(ReaderContext& ctx, const std::string& type, EntityGroups& g, EntityDecoder& d) {
    AcDbText* e = type == "TEXT" ? new AcDbText() : type == "ATTDEF" ? static_cast<AcDbText*>(new AcDbAttributeDefinition())
                                                                    : new AcDbAttribute();
    d.entity.reset(e);
    auto attrFlags = std::make_shared<std::tuple<long long, long long, std::wstring, std::wstring>>();
    auto embedded = std::make_shared<EmbeddedReading>();
    d.take = [&g, &type, attrFlags, embedded](const std::string& sub, const Tag& t) {
        if (embedded->takes(sub, t)) return true;
        const bool attrPart = sub == "AcDbAttribute" || sub == "AcDbAttributeDefinition" ||
                              (sub.empty() && type != "TEXT");
        if (attrPart) {
            // Attribute groups: 2 tag, 3 prompt, 70 flags, 73 field length, 74 vertical mode.
            switch (t.code) {
            case 2: std::get<2>(*attrFlags) = wide(t.value); return true;
            case 3: if (type == "ATTDEF") { std::get<3>(*attrFlags) = wide(t.value); return true; } break;
            case 70: std::get<0>(*attrFlags) = integer(t.value); return true;
            case 73: std::get<1>(*attrFlags) = integer(t.value); return true;
            case 74: g.i73 = integer(t.value); return true;
            case 101: if (embedded->begins(sub, type, t)) return true; break;
            default: break;
            }
            if (sub == "AcDbAttribute" || sub == "AcDbAttributeDefinition") return false;
        }
        switch (t.code) {
        case 1: g.s1 = wide(t.value); return true;
        case 7: g.styleName = std::string(t.value); return true;
        case 39: g.d39 = real(t.value); return true;
        case 40: g.d40 = real(t.value); return true;
        case 41: g.d41 = real(t.value); g.has41 = true; return true;
        case 50: g.d50 = real(t.value); return true;
        case 51: g.d51 = real(t.value); return true;
        case 71: g.i71 = integer(t.value); return true;
        case 72: g.i72 = integer(t.value); return true;
        case 73: if (type == "TEXT") { g.i73 = integer(t.value); return true; } return false;
        default:
            return g.p10.take(t.code, 10, t.value) || g.p11.take(t.code, 11, t.value) || g.normal.take(t.code, 210, t.value);
        }
    };
    d.finish = [&ctx, &g, e, attrFlags, embedded] {
        const auto f = AcGePlaneFrame::fromNormal(g.normal.p.asVector());
        e->setNormal(g.normal.p.asVector());
        e->setPosition(f.toWorld(g.p10.p));
        e->setAlignmentPoint(g.p11.seen ? f.toWorld(g.p11.p) : f.toWorld(g.p10.p));
        e->setAlignmentPointStated(g.p11.seen);
        e->setTextString(g.s1.c_str());
        e->setHeight(g.d40);
        e->setWidthFactor(g.has41 ? g.d41 : 1.0);
        e->setRotation(radiansFromDegrees(g.d50));
        e->setOblique(radiansFromDegrees(g.d51));
        e->setThickness(g.d39);
        e->setGenerationFlags(static_cast<int>(g.i71));
        e->setHorizontalMode(static_cast<AcDb::TextHorzMode>(std::clamp(g.i72, 0LL, 5LL)));
        e->setVerticalMode(static_cast<AcDb::TextVertMode>(std::clamp(g.i73, 0LL, 3LL)));
        e->setTextStyle(ctx.symbolId(ctx.db().textStyleTableId(), g.styleName.empty() ? "Standard" : g.styleName));
        const auto& [flags, length, tagText, promptText] = *attrFlags;
        if (auto* def = AcDbAttributeDefinition::cast(e)) {
            def->setTag(tagText.c_str());
            def->setPrompt(promptText.c_str());
            def->setAttributeFlags(static_cast<int>(flags));
            def->setFieldLength(static_cast<Adesk::UInt16>(length));
            def->setMTextAttributeDefinition(embedded->finished(ctx));
        } else if (auto* att = AcDbAttribute::cast(e)) {
            att->setTag(tagText.c_str());
            att->setAttributeFlags(static_cast<int>(flags));
            att->setFieldLength(static_cast<Adesk::UInt16>(length));
            att->setMTextAttribute(embedded->finished(ctx));
        }
    };
}

void decodeMText(ReaderContext& ctx, EntityDecoder& d) {
    auto* e = new AcDbMText();
    d.entity.reset(e);
    auto reading = std::make_shared<MTextReading>();
    d.take = [e, reading](const std::string&, const Tag& t) { return reading->take(*e, t); };
    d.finish = [&ctx, e, reading] { reading->finish(ctx, *e); };
}

}  // namespace

bool decodeText(ReaderContext& ctx, const std::string& type, EntityGroups& g, EntityDecoder& d) {
    if (type == "TEXT" || type == "ATTDEF" || type == "ATTRIB") decodeTextLike(ctx, type, g, d);
    else if (type == "MTEXT") decodeMText(ctx, d);
    else return false;
    return true;
}

}  // namespace hostdxf::reading
