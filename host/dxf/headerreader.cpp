#include "sectionreaders.h"

#include <functional>

namespace hostdxf::reading {

void prescanHeader(ReaderContext& ctx) {
    TagReader scan(ctx.bytes()->view());
    Tag t;
    std::string version = ctx.version();
    Decoding decoding;
    std::string codePage;
    std::string var;
    while (scan.next(t)) {
        if (t.code == 0 && t.value == "ENDSEC") break;
        if (t.code == 9) var = std::string(t.value);
        else if (var == "$ACADVER" && t.code == 1) version = std::string(t.value);
        else if (var == "$DWGCODEPAGE" && t.code == 3) codePage = std::string(t.value);
        else if (var == "$HANDLING" && t.code == 70) decoding.hasHandles = integer(t.value) != 0;
        else if (var == "$HANDSEED" && t.code == 5) {
            // Objects the reader has to make go above every handle of the file.
            const AcDbHandle seed = handleOf(t.value);
            if (seed.value() > 1) ctx.db().reserveHandle(AcDbHandle(seed.value() - 1));
        }
    }
    if (version < "AC1021") decoding.codePage = codePage.empty() ? "ANSI_1252" : codePage;
    ctx.useDecoding(std::move(version), std::move(decoding));
}

namespace {

// Takes the groups of header variables, one "9 $NAME" group and its values after
// another, into the database.
class HeaderGroups {
public:
    explicit HeaderGroups(ReaderContext& ctx) : m_ctx(ctx), m_vars(ctx.db().headerVariables()) {}

    void name(std::string_view name, bool replace) {
        if (replace && name != "$CUSTOMPROPERTYTAG" && name != "$CUSTOMPROPERTY") {
            for (auto& var : m_vars)
                if (var.name == name) {
                    var.values.clear();
                    m_current = &var;
                    return;
                }
        }
        m_vars.push_back({std::string(name), {}});
        m_current = &m_vars.back();
    }
    bool value(const Tag& t);

private:
    ReaderContext& m_ctx;
    std::vector<hostdb::HeaderVariable>& m_vars;
    hostdb::HeaderVariable* m_current = nullptr;
    std::wstring m_pendingKey;
    bool m_haveKey = false;
};

bool HeaderGroups::value(const Tag& t) {
    if (!m_current) return m_ctx.fail(Acad::eDwgCorrupt, m_ctx.where() + ": a header value comes before any variable name");
    AcDbDatabase& db = m_ctx.db();
    HeaderSymbols& symbols = m_ctx.headerSymbols();
    const std::string& name = m_current->name;
    if (name == "$CUSTOMPROPERTYTAG") {
        m_pendingKey = wide(t.value);
        m_haveKey = true;
    } else if (name == "$CUSTOMPROPERTY" && m_haveKey) {
        auto props = db.customProperties();
        props.emplace_back(m_pendingKey, wide(t.value));
        db.setCustomProperties(std::move(props));
        m_haveKey = false;
    } else if (name == "$INSUNITS") {
        const long long u = integer(t.value);
        db.setInsunits(u >= 0 && u <= 20 ? static_cast<AcDb::UnitsValue>(u) : AcDb::kUnitsUndefined);
    } else if (name == "$TEXTSIZE") {
        db.setTextsize(real(t.value));
    } else if (name == "$DIMSCALE") {
        db.setDimscale(real(t.value));
    } else if (name == "$LUNITS") {
        db.setLunits(static_cast<int>(integer(t.value)));
    } else if (name == "$LUPREC") {
        db.setLuprec(static_cast<int>(integer(t.value)));
    } else if (name == "$AUNITS") {
        db.setAunits(static_cast<int>(integer(t.value)));
    } else if (name == "$AUPREC") {
        db.setAuprec(static_cast<int>(integer(t.value)));
    } else if (name == "$INSBASE") {
        AcGePoint3d p = db.insbase();
        (t.code == 10 ? p.x : t.code == 20 ? p.y : p.z) = real(t.value);
        db.setInsbase(p);
    } else if (name == "$CLAYER") {
        symbols.layer = std::string(t.value);
    } else if (name == "$TEXTSTYLE") {
        symbols.textStyle = std::string(t.value);
    } else if (name == "$DIMSTYLE") {
        symbols.dimStyle = std::string(t.value);
    } else if (name == "$CELTYPE") {
        symbols.linetype = std::string(t.value);
    }
    m_current->values.push_back({t.code, std::string(t.value)});
    return true;
}

}  // namespace

bool readHeader(ReaderContext& ctx) {
    Tag t;
    HeaderGroups groups(ctx);
    while (ctx.nextTag(t)) {
        if (t.code == 0) {
            if (t.value == "ENDSEC" || ctx.sectionEndsEarly(t, "HEADER")) return true;
            return ctx.fail(Acad::eDwgCorrupt, ctx.where() + ": the header ends without ENDSEC");
        }
        if (t.code == 9) groups.name(t.value, false);
        else if (!groups.value(t)) return false;
    }
    return ctx.truncated("the file ends inside the header");
}

bool readStrayHeaderVariables(ReaderContext& ctx, const Tag& first) {
    HeaderGroups groups(ctx);
    std::string names;
    const std::size_t line = ctx.tags().line();
    Tag t = first;
    do {
        if (t.code == 0) {
            ctx.tags().pushBack(t);
            break;
        }
        if (t.code == 9) {
            groups.name(t.value, true);
            names += (names.empty() ? "" : ", ") + std::string(t.value);
        } else if (!groups.value(t)) {
            return false;
        }
    } while (ctx.nextTag(t));
    return ctx.repair("line " + std::to_string(line) + ": header variables (" + names + ") come after the header's end",
                      "they were taken into the header");
}

void setHeaderSymbols(ReaderContext& ctx) {
    AcDbDatabase& db = ctx.db();
    const HeaderSymbols& symbols = ctx.headerSymbols();
    auto setIf = [](const AcDbObjectId& id, const std::function<void(AcDbObjectId)>& set) {
        if (!id.isNull()) set(id);
    };
    if (!symbols.layer.empty()) setIf(ctx.layerId(symbols.layer), [&](AcDbObjectId id) { db.setClayer(id); });
    if (!symbols.textStyle.empty())
        setIf(ctx.symbolId(db.textStyleTableId(), symbols.textStyle), [&](AcDbObjectId id) { db.setTextstyle(id); });
    if (!symbols.dimStyle.empty())
        setIf(ctx.symbolId(db.dimStyleTableId(), symbols.dimStyle), [&](AcDbObjectId id) { db.setDimstyle(id); });
    if (!symbols.linetype.empty())
        setIf(ctx.symbolId(db.linetypeTableId(), symbols.linetype), [&](AcDbObjectId id) { db.setCeltype(id); });
}

}  // namespace hostdxf::reading
