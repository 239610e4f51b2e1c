#include "writercontext.h"

#include "../db/symboltable.h"

namespace hostdxf::writing {

std::wstring nameOf(AcDbObjectId id) {
    if (id.isNull() || !id.slot()->object) return {};
    const auto* rec = AcDbSymbolTableRecord::cast(id.slot()->object);
    return rec ? rec->name() : std::wstring();
}

void WriterContext::begin(const AcDbObject& obj, std::string_view type, std::uint64_t handle, std::uint64_t owner) {
    m_chunkDone.clear();
    m_w.text(0, type);
    m_w.handle(type == "DIMSTYLE" ? 105 : 5, handle);
    if (const auto* f = obj.foreignData())
        if (const auto* head = f->find("")) m_w.items(*head);
    m_chunkDone.insert("");
    if (!obj.extensionDictionary().isNull() && !obj.extensionDictionary().isErased()) {
        m_w.text(102, "{ACAD_XDICTIONARY");
        m_w.handle(360, handleOf(obj.extensionDictionary()));
        m_w.text(102, "}");
    }
    m_w.handle(330, owner);
}

void WriterContext::chunk(const AcDbObject& obj, const std::string& subclass) {
    m_chunkDone.insert(subclass);
    if (const auto* f = obj.foreignData())
        if (const auto* items = f->find(subclass)) m_w.items(*items);
}

void WriterContext::endRecord(const AcDbObject& obj) {
    if (const auto* f = obj.foreignData()) {
        for (const auto& c : f->chunks()) {
            if (m_chunkDone.count(c.subclass)) continue;
            m_w.text(100, c.subclass);
            m_w.items(c.items);
        }
        m_w.items(f->xdata());
    }
}

}  // namespace hostdxf::writing
