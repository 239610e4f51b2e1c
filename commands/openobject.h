#pragma once

#include "frame/hostapi.h"

// A database object opened by id and closed when the holder goes out of scope, so that
// every path of a command closes what it opened.
template <class T>
class OpenObject {
public:
    OpenObject() = default;
    ~OpenObject() { close(); }
    OpenObject(const OpenObject&) = delete;
    OpenObject& operator=(const OpenObject&) = delete;

    Acad::ErrorStatus open(AcDbObjectId id, AcDb::OpenMode mode) {
        close();
        return acdbOpenObject(m_object, id, mode);
    }
    void close() {
        if (m_object) m_object->close();
        m_object = nullptr;
    }
    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }

private:
    T* m_object = nullptr;
};

// Frees a string that the host handed out.
struct HostStringFree {
    void operator()(ACHAR* text) const { acutDelString(text); }
};
using HostString = std::unique_ptr<ACHAR, HostStringFree>;
