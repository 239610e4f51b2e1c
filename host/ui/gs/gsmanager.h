#pragma once

#include "ui/framework/wintypes.h"

class AcGsDevice;
class AcGsModel;
class AcGsView;
struct AcGsClientViewInfo;

// Makes and deletes views.
class AcGsClassFactory {
public:
    // Neither client information nor per-view layer visibility changes what a view draws here.
    AcGsView* createView(const AcGsClientViewInfo* info = nullptr, bool enableLayerVisibilityPerView = false);
    void deleteView(AcGsView* view);
};

// The graphics system of the host: devices bound to windows, models, and the factory of
// views. Every object it makes is given back to it (destroy…, deleteView).
class AcGsManager {
public:
    // Null for no window.
    AcGsDevice* createAutoCADDevice(HWND window);
    void destroyAutoCADDevice(AcGsDevice* device);
    AcGsModel* createAutoCADModel();
    void destroyAutoCADModel(AcGsModel* model);
    AcGsClassFactory* getGSClassFactory() { return &m_factory; }

private:
    AcGsClassFactory m_factory;
};

// The manager of the host's graphics system (the view names none in particular); null
// when the program has no windows to draw in.
AcGsManager* acgsGetGsManager(AcGsView* view = nullptr);
