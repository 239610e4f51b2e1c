#pragma once

#include "acarray.h"

#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class AcDbDatabase;
class AcDbObject;
class AcRxClass;

// A drawing object's persistent name within its database: 64 bits, shown as
// upper-case hexadecimal. 0 is the null handle.
class AcDbHandle {
public:
    constexpr AcDbHandle() = default;
    constexpr explicit AcDbHandle(std::uint64_t value) : m_value(value) {}

    constexpr bool isNull() const { return m_value == 0; }
    constexpr std::uint64_t value() const { return m_value; }
    std::string toString() const;  // "1F"; "0" for the null handle
    // Parses hexadecimal digits; false (and the handle unchanged) for anything else.
    bool fromString(std::string_view text);
    AcDbHandle& operator++() {
        ++m_value;
        return *this;
    }
    constexpr auto operator<=>(const AcDbHandle&) const = default;

private:
    std::uint64_t m_value = 0;
};

namespace hostdb {
// What an object id points at: one per object ever added to a database. Slots live as
// long as their database, so an id stays valid (and names an erased object) after the
// object is erased.
struct ObjectSlot {
    AcDbDatabase* database = nullptr;
    AcDbHandle handle;
    AcDbObject* object = nullptr;  // owned by the database
};
}  // namespace hostdb

// The run-time name of a database-resident object. Null for an object outside any
// database. Ids of different databases never compare equal.
class AcDbObjectId {
public:
    constexpr AcDbObjectId() = default;
    explicit AcDbObjectId(hostdb::ObjectSlot* slot) : m_slot(slot) {}

    static const AcDbObjectId kNull;

    bool isNull() const { return m_slot == nullptr; }
    bool isValid() const { return m_slot != nullptr && m_slot->object != nullptr; }
    bool isErased() const;
    AcDbDatabase* database() const { return m_slot ? m_slot->database : nullptr; }
    AcDbHandle handle() const { return m_slot ? m_slot->handle : AcDbHandle(); }
    AcRxClass* objectClass() const;
    hostdb::ObjectSlot* slot() const { return m_slot; }

    auto operator<=>(const AcDbObjectId&) const = default;

private:
    hostdb::ObjectSlot* m_slot = nullptr;
};

inline constexpr AcDbObjectId AcDbObjectId::kNull{};

using AcDbObjectIdArray = AcArray<AcDbObjectId>;

template <>
struct std::hash<AcDbObjectId> {
    std::size_t operator()(const AcDbObjectId& id) const noexcept {
        return std::hash<const void*>()(id.slot());
    }
};
