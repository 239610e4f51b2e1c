#pragma once

#include "object.h"

#include <string>
#include <vector>

// A named (or unnamed) selection of entities, kept in the group dictionary.
class AcDbGroup : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbGroup)
    AcDbGroup() = default;
    explicit AcDbGroup(const ACHAR* description, bool selectable = true);
    AcRxObject* clone() const override { return new AcDbGroup(*this); }

    // Members that still exist: erased entities are no longer counted.
    Adesk::UInt32 numEntities() const;
    Adesk::UInt32 allEntityIds(AcDbObjectIdArray& ids) const;
    Acad::ErrorStatus append(AcDbObjectId id);
    Acad::ErrorStatus remove(AcDbObjectId id);
    Acad::ErrorStatus clear();
    bool has(AcDbObjectId id) const;

    const std::wstring& description() const { return m_description; }
    Acad::ErrorStatus setDescription(const ACHAR* text);
    bool isSelectable() const { return m_selectable; }
    Acad::ErrorStatus setSelectable(bool v);
    bool isAnonymous() const { return m_anonymous; }
    void setAnonymous(bool v) { m_anonymous = v; }
    // The group's key in the group dictionary.
    std::wstring name() const;

    const std::vector<AcDbObjectId>& memberIds() const { return m_members; }
    void appendMemberId(AcDbObjectId id) { m_members.push_back(id); }

    void remapIds(const AcDbIdMapping& map) override;

private:
    std::wstring m_description;
    bool m_selectable = true;
    bool m_anonymous = false;
    std::vector<AcDbObjectId> m_members;
};
