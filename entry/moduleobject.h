#pragma once

#include "frame/hostapi.h"

#include <atomic>

// The module object the host runtime asks for: one per process, reference counted
// (a release never deletes it), deleted only through deleteModule.
class CDrxModule final : public OdRxModule {
public:
    explicit CDrxModule(HINSTANCE library) : m_library(library) {}

    void addRef() override { ++m_refs; }
    void release() override { --m_refs; }
    long numRefs() const override { return m_refs.load(); }
    void* sysData() override { return m_library; }
    void deleteModule() override;
    void onInitModule() override;
    void onUninitModule() override;
    std::wstring moduleName() const override;

    // The single instance, created on the first call; the caller's handle is cleared
    // when the instance is made. Throws std::bad_alloc when it cannot be allocated.
    static CDrxModule* instance(HINSTANCE& library);
    static CDrxModule* existing();

private:
    ~CDrxModule() = default;

    std::atomic<Adesk::Int32> m_refs{0};
    HINSTANCE m_library;
};
