#pragma once

#include "adesk.h"

#include <string>
#include <type_traits>

// Run-time class descriptions: every host class that takes part in isA/isKindOf
// has one static AcRxClass naming its parent, so that a class test is a walk up
// a short chain of pointers.
class AcRxClass {
public:
    AcRxClass(const ACHAR* name, const AcRxClass* parent, const char* dxfName = "")
        : m_name(name), m_parent(parent), m_dxfName(dxfName) {}
    AcRxClass(const AcRxClass&) = delete;
    AcRxClass& operator=(const AcRxClass&) = delete;

    const ACHAR* name() const { return m_name; }
    const char* dxfName() const { return m_dxfName; }
    const AcRxClass* myParent() const { return m_parent; }
    bool isDerivedFrom(const AcRxClass* other) const {
        for (const AcRxClass* c = this; c; c = c->m_parent)
            if (c == other) return true;
        return false;
    }

private:
    const ACHAR* m_name;
    const AcRxClass* m_parent;
    const char* m_dxfName;
};

class AcRxObject {
public:
    virtual ~AcRxObject() = default;

    static AcRxClass* desc();
    virtual AcRxClass* isA() const { return desc(); }
    bool isKindOf(const AcRxClass* cls) const { return isA()->isDerivedFrom(cls); }
    // A shallow copy of the same class, owned by the caller; null for classes that
    // cannot be copied.
    virtual AcRxObject* clone() const { return nullptr; }
    // A copy made by the class's own copy constructor, every member as it is, owned by
    // the caller; null for a class that cannot be copied. Where clone() makes a new
    // object in the original's likeness, this keeps the state whole, so that an undo
    // record can give an object back as it was without knowing its members.
    virtual AcRxObject* duplicate() const { return nullptr; }

    static AcRxObject* cast(AcRxObject* obj) { return obj; }

protected:
    AcRxObject() = default;
    AcRxObject(const AcRxObject&) = default;
    AcRxObject& operator=(const AcRxObject&) = default;
};

// Declares the class-description members of a host class, and its duplicate(): the
// generic lambda keeps the copy out of classes that have none (abstract ones, or with the
// copy deleted), and being inside the class it may use a protected copy constructor.
#define ACRX_DECLARE_MEMBERS(CLASS)                                                               \
    static AcRxClass* desc();                                                                     \
    AcRxClass* isA() const override { return desc(); }                                            \
    AcRxObject* duplicate() const override {                                                      \
        return [](const auto& self) -> AcRxObject* {                                              \
            using Self = std::remove_cvref_t<decltype(self)>;                                     \
            if constexpr (requires { new Self(self); }) return new Self(self);                    \
            else return nullptr;                                                                  \
        }(*this);                                                                                 \
    }                                                                                             \
    static CLASS* cast(const AcRxObject* obj) {                                                   \
        return obj && obj->isKindOf(desc()) ? const_cast<CLASS*>(static_cast<const CLASS*>(obj)) \
                                            : nullptr;                                            \
    }

// Defines the class description of CLASS, derived from PARENT, with its DXF type name.
#define ACRX_DEFINE_MEMBERS(CLASS, PARENT, DXFNAME)                \
    AcRxClass* CLASS::desc() {                                     \
        static AcRxClass cls(L## #CLASS, PARENT::desc(), DXFNAME); \
        return &cls;                                               \
    }
