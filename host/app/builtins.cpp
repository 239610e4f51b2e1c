#include "app/builtins.h"

#include "ap/docmanager.h"
#include "app/mainwindow.h"
#include "app/undocommands.h"
#include "db/field.h"
#include "db/layertable.h"
#include "ed/commandline.h"
#include "ed/prompts.h"
#include "ed/userio.h"
#include "rx/commandstack.h"
#include "rx/dictionary.h"
#include "rx/moduleloader.h"
#include "ui/render/drawingview.h"

namespace hostapp {

namespace {

hostrx::ModuleLoader* g_loader = nullptr;
constexpr const ACHAR* kGroup = L"HOST";

AcEdCommandStack* stack() { return AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)); }

std::wstring currentLayerName(AcDbDatabase& db) {
    AcDbLayerTableRecord* layer = nullptr;
    if (acdbOpenObject(layer, db.clayer(), AcDb::kForRead) != Acad::eOk) return L"";
    std::wstring name = layer->name();
    layer->close();
    return name;
}

AcDbObjectId layerNamed(AcDbDatabase& db, const ACHAR* name) {
    AcDbLayerTable* table = nullptr;
    if (acdbOpenObject(table, db.layerTableId(), AcDb::kForRead) != Acad::eOk) return {};
    AcDbObjectId id;
    table->getAt(name, id);
    table->close();
    return id;
}

void setCurrentLayer() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) return;
    const std::wstring prompt = L"\nEnter new value for CLAYER <" + currentLayerName(*db) + L">: ";
    ACHAR name[133] = {};
    if (acedGetString(1, prompt.c_str(), name) != RTNORM || !*name) return;
    const AcDbObjectId id = layerNamed(*db, name);
    if (id.isNull() || db->setClayer(id) != Acad::eOk) acutPrintf(L"\nLayer \"%s\" not found.", name);
}

// Fields follow the custom properties; the display's regeneration draws them anew.
void regen() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) return;
    acutPrintf(L"\nRegenerating model.");
    // The view's own regeneration evaluates the fields; without a window they are still due.
    if (MainWindow* window = mainWindow(); window && window->view()->database() == db) window->view()->regen();
    else hostdb::evaluateFields(*db);
    acedUpdateDisplay();
}

void unloadModule() {
    std::wstring message;
    if (!g_loader || !g_loader->unload(message)) acutPrintf(L"\nCannot unload: %s.", message.c_str());
    else acutPrintf(L"\nModule unloaded.");
}

// The module unloaded before comes back from where it was loaded.
void loadModule() {
    std::wstring message;
    if (!g_loader || g_loader->lastPath().empty()) message = L"no module was loaded before";
    else if (g_loader->load(g_loader->lastPath(), message)) message.clear();
    else if (message.empty()) message = L"the module would not load";
    if (message.empty()) acutPrintf(L"\nModule loaded.");
    else acutPrintf(L"\nCannot load: %s.", message.c_str());
}

}  // namespace

void registerBuiltinCommands(hostrx::ModuleLoader& loader) {
    g_loader = &loader;
    stack()->addCommand(kGroup, L"CLAYER", L"CLAYER", ACRX_CMD_TRANSPARENT, &setCurrentLayer);
    stack()->addCommand(kGroup, L"REGEN", L"REGEN", ACRX_CMD_MODAL, &regen);
    stack()->addCommand(kGroup, L"UNLOADMODULE", L"UNLOADMODULE", ACRX_CMD_MODAL, &unloadModule);
    stack()->addCommand(kGroup, L"LOADMODULE", L"LOADMODULE", ACRX_CMD_MODAL, &loadModule);
    registerEditCommands();
}

void removeBuiltinCommands() {
    stack()->removeGroup(kGroup);
    g_loader = nullptr;
}

}  // namespace hostapp
