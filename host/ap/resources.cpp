#include "ap/resources.h"

#include <algorithm>
#include <utility>

namespace {

struct Registered {
    void* library;
    const hostres::ResourceTable* resources;
};

std::vector<Registered>& modules() {
    static std::vector<Registered> all;
    return all;
}
int& uiInits() {
    static int count = 0;
    return count;
}
void*& current() {
    static void* library = nullptr;
    return library;
}

const hostres::ResourceTable* currentTable() {
    const auto& all = modules();
    const auto it = std::find_if(all.begin(), all.end(), [](const Registered& r) { return r.library == current(); });
    return it == all.end() || !current() ? nullptr : it->resources;
}

template <class Item>
const Item* byId(const std::vector<Item>& items, int id) {
    const auto it = std::find_if(items.begin(), items.end(), [id](const Item& i) { return i.id == id; });
    return it == items.end() ? nullptr : &*it;
}

}  // namespace

namespace hostres {

const DialogTemplate* findDialogTemplate(int id) {
    const ResourceTable* table = currentTable();
    return table ? byId(table->dialogs, id) : nullptr;
}

const ImageResource* findBitmap(int id) {
    const ResourceTable* table = currentTable();
    return table ? byId(table->bitmaps, id) : nullptr;
}

const ImageResource* findIcon(int id) {
    const ResourceTable* table = currentTable();
    return table ? byId(table->icons, id) : nullptr;
}

}  // namespace hostres

bool acRegisterResourceModule(void* library, const hostres::ResourceTable* resources) {
    if (!library || acIsResourceModule(library)) return false;
    modules().push_back({library, resources});
    return true;
}

void acUnregisterResourceModule(void* library) {
    std::erase_if(modules(), [library](const Registered& r) { return r.library == library; });
    if (current() == library) current() = nullptr;
}

bool acIsResourceModule(void* library) {
    const auto& all = modules();
    return std::any_of(all.begin(), all.end(), [library](const Registered& r) { return r.library == library; });
}

void InitAcUiDLL() { ++uiInits(); }

int acUiInitCount() { return uiInits(); }

void* acCurrentResourceModule() { return current(); }

CAcModuleResourceOverride::CAcModuleResourceOverride(void* library)
    : m_previous(std::exchange(current(), library)) {}

CAcModuleResourceOverride::~CAcModuleResourceOverride() { current() = m_previous; }
