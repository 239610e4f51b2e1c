#pragma once

#include "dbenums.h"
#include "foreigndata.h"
#include "objectid.h"

#include "../rx/errorstatus.h"
#include "../rx/rxobject.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class AcDbDatabase;
class AcDbField;
class AcDbIdMapping;

// Base of every drawing object. An object is either new (owned by the code that
// created it, open for write) or resident in a database, which owns it; resident
// objects are reached by id, opened for read or write, and closed again.
//
// Open protocol: any number of read opens, or write opens, at a time. A second write
// open of an object already open for write is granted (and counted), so that code
// which holds an entity for write can hand its id to a nested step that opens it
// again; a read open of an object open for write, or a write open of one open for
// read, is refused.
class AcDbObject : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbObject)
    ~AcDbObject() override;

    AcDbObjectId objectId() const { return AcDbObjectId(m_slot); }
    AcDbObjectId ownerId() const { return m_ownerId; }
    Acad::ErrorStatus setOwnerId(AcDbObjectId owner);
    AcDbDatabase* database() const { return m_slot ? m_slot->database : nullptr; }
    AcDbHandle handle() const { return m_slot ? m_slot->handle : AcDbHandle(); }
    void getAcDbHandle(AcDbHandle& h) const { h = handle(); }

    Acad::ErrorStatus close();
    Acad::ErrorStatus upgradeOpen();
    Acad::ErrorStatus downgradeOpen();
    // Marks the object erased (or unerased); needs a write open.
    Acad::ErrorStatus erase(bool erasing = true);

    bool isErased() const { return m_erased; }
    bool isWriteEnabled() const { return !m_slot || m_openMode == AcDb::kForWrite; }
    bool isReadEnabled() const { return !m_slot || m_openCount > 0; }
    // True for an object created in this session rather than read from a file.
    bool isNewObject() const { return m_new; }
    int openCount() const { return m_openCount; }

    // Extension dictionary: a dictionary owned by this object, for application data.
    AcDbObjectId extensionDictionary() const { return m_extDictId; }
    Acad::ErrorStatus createExtensionDictionary();
    void setExtensionDictionary(AcDbObjectId id) { m_extDictId = id; }

    // Fields attached under property names ("TEXT"), kept in the "ACAD_FIELD"
    // dictionary of the extension dictionary.
    bool hasFields() const;
    Acad::ErrorStatus getFieldDictionary(AcDbObjectId& dictId) const;
    AcDbObjectId getField(const ACHAR* propertyName) const;
    // Adds the field (new, owned by the caller until then) to the database and attaches it.
    // An object not yet in a database takes a field already posted to the database it
    // will join; the field is attached when the object is added.
    Acad::ErrorStatus setField(const ACHAR* propertyName, AcDbField* field, AcDbObjectId& fieldId);

    AcRxObject* clone() const override;
    // The object's whole state as an object outside any database: its class's members
    // through duplicate() and this base's owner, extension dictionary and erase flag.
    // What the undo record keeps; null for a class that cannot be copied.
    std::unique_ptr<AcDbObject> stateCopy() const;
    // Puts a state copy in the object's place under its id, as the undo record does.
    void takeSlot(hostdb::ObjectSlot* slot) { attachToSlot(slot, m_new); }

    hostdb::ForeignData& foreign();
    const hostdb::ForeignData* foreignData() const { return m_foreign.get(); }

    // Used by the database when the object is added or read; not for module code.
    void attachToSlot(hostdb::ObjectSlot* slot, bool isNew);
    void setOpen(AcDb::OpenMode mode, int count);
    AcDb::OpenMode openMode() const { return m_openMode; }
    void setErasedFlag(bool erased) { m_erased = erased; }
    // Attaches the fields set before the object joined its database.
    void attachPendingFields();
    // Called by deep clone after every object has been copied: translate ids.
    virtual void remapIds(const AcDbIdMapping& map);
    // Ids of objects this one refers to that a deep clone must copy along (hard references).
    virtual void collectReferences(AcDbObjectIdArray& hard) const;

protected:
    AcDbObject();
    AcDbObject(const AcDbObject& other);
    AcDbObject& operator=(const AcDbObject&) = delete;
    Acad::ErrorStatus assertWriteEnabled() const;
    // Tells the drawing's undo record that this resident object is about to change by a
    // way other than a write open (which tells it already).
    void aboutToChange();

private:
    hostdb::ObjectSlot* m_slot = nullptr;
    AcDbObjectId m_ownerId;
    AcDbObjectId m_extDictId;
    std::unique_ptr<hostdb::ForeignData> m_foreign;
    AcDb::OpenMode m_openMode = AcDb::kForWrite;
    int m_openCount = 0;
    bool m_erased = false;
    bool m_new = true;
    std::vector<std::pair<std::wstring, AcDbObjectId>> m_pendingFields;
};

// Opens a resident object by id. Fails with eNullObjectId, eWasErased (unless
// openErased), eWasOpenForWrite / eWasOpenForRead (see the open protocol),
// eOnLockedLayer for a write open of an entity on a locked layer.
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);

// Opens and checks the class: eWrongObjectType when the object is not a T (it is then
// not left open).
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& obj, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
    obj = nullptr;
    AcDbObject* base = nullptr;
    const Acad::ErrorStatus es = acdbOpenAcDbObject(base, id, mode, openErased);
    if (es != Acad::eOk) return es;
    obj = T::cast(base);
    if (!obj) {
        base->close();
        return Acad::eWrongObjectType;
    }
    return Acad::eOk;
}

template <class T>
Acad::ErrorStatus acdbOpenAcDbObject(T*& obj, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false)
    requires(!std::is_same_v<T, AcDbObject>)
{
    return acdbOpenObject(obj, id, mode, openErased);
}

// Closes the object when the guard goes out of scope; for host-side code.
class AcDbObjectCloser {
public:
    explicit AcDbObjectCloser(AcDbObject* obj) : m_obj(obj) {}
    ~AcDbObjectCloser() {
        if (m_obj) m_obj->close();
    }
    AcDbObjectCloser(const AcDbObjectCloser&) = delete;
    AcDbObjectCloser& operator=(const AcDbObjectCloser&) = delete;

private:
    AcDbObject* m_obj;
};
