#pragma once

#include "adesk.h"

#include <cstddef>
#include <string>

// The run-time module protocol: the object a module hands the host from
// odrxCreateModuleObject. The host counts references on it, asks it to load and
// unload, and finally deletes it through deleteModule.
class OdRxModule {
public:
    virtual void addRef() = 0;
    virtual void release() = 0;
    virtual long numRefs() const = 0;
    virtual void* sysData() = 0;
    virtual void deleteModule() = 0;
    virtual void onInitModule() = 0;
    virtual void onUninitModule() = 0;
    virtual std::wstring moduleName() const = 0;

protected:
    OdRxModule() = default;
    ~OdRxModule() = default;
    OdRxModule(const OdRxModule&) = delete;
    OdRxModule& operator=(const OdRxModule&) = delete;
};

// The run-time allocator that module objects are created with.
void* odrxAlloc(std::size_t size);
void odrxFree(void* block);
