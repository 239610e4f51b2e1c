#include "ui/gs/gsmanager.h"

#include "ui/gs/gsdevice.h"
#include "ui/gs/gsview.h"

#include <QApplication>

AcGsView* AcGsClassFactory::createView(const AcGsClientViewInfo*, bool) { return new AcGsView(); }

void AcGsClassFactory::deleteView(AcGsView* view) { delete view; }

AcGsDevice* AcGsManager::createAutoCADDevice(HWND window) { return window ? new AcGsDevice(window) : nullptr; }

void AcGsManager::destroyAutoCADDevice(AcGsDevice* device) { delete device; }

AcGsModel* AcGsManager::createAutoCADModel() { return new AcGsModel(); }

void AcGsManager::destroyAutoCADModel(AcGsModel* model) { delete model; }

AcGsManager* acgsGetGsManager(AcGsView*) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    static AcGsManager manager;
    return &manager;
}
