#include "rx/dictionary.h"

#include "rx/commandstack.h"
#include "rx/dynamiclinker.h"

ACRX_DEFINE_MEMBERS(AcRxDictionary, AcRxObject, "")

AcRxObject* AcRxDictionary::at(const ACHAR* key) const {
    if (!key) return nullptr;
    const auto it = m_entries.find(std::wstring_view(key));
    return it == m_entries.end() ? nullptr : it->second.get();
}

void AcRxDictionary::atPut(const ACHAR* key, std::unique_ptr<AcRxObject> obj) {
    m_entries[key] = std::move(obj);
}

AcRxDictionary* acrxSysRegistry() {
    static AcRxDictionary* registry = [] {
        static AcRxDictionary instance;
        instance.atPut(ACRX_DYNAMIC_LINKER, std::make_unique<AcRxDynamicLinker>());
        instance.atPut(ACRX_COMMAND_DOCK, std::make_unique<AcEdCommandStack>());
        return &instance;
    }();
    return registry;
}
