#include "ap/resources.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<void*>& modules() {
    static std::vector<void*> all;
    return all;
}
int& uiInits() {
    static int count = 0;
    return count;
}
}  // namespace

bool acRegisterResourceModule(void* library) {
    if (!library || acIsResourceModule(library)) return false;
    modules().push_back(library);
    return true;
}

void acUnregisterResourceModule(void* library) { std::erase(modules(), library); }

bool acIsResourceModule(void* library) {
    return std::find(modules().begin(), modules().end(), library) != modules().end();
}

void InitAcUiDLL() { ++uiInits(); }

int acUiInitCount() { return uiInits(); }
