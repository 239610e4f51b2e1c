#pragma once

#include "rxobject.h"

#include <map>
#include <memory>
#include <string>

// A dictionary of run-time services by name. The system registry is one: the host
// places its services there ("DynamicLinker", "ACAD_REGISTERED_COMMANDS") and modules
// look them up. The dictionary owns what is placed in it.
class AcRxDictionary : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxDictionary)
    AcRxDictionary() = default;
    AcRxDictionary(const AcRxDictionary&) = delete;
    AcRxDictionary& operator=(const AcRxDictionary&) = delete;

    // The entry under key, or null.
    AcRxObject* at(const ACHAR* key) const;
    // Places obj under key, replacing (and destroying) an earlier entry.
    void atPut(const ACHAR* key, std::unique_ptr<AcRxObject> obj);
    bool has(const ACHAR* key) const { return at(key) != nullptr; }

private:
    std::map<std::wstring, std::unique_ptr<AcRxObject>, std::less<>> m_entries;
};

// The process-wide system registry, holding the host's services from first use on.
AcRxDictionary* acrxSysRegistry();
