#include "palette/palettecommands.h"

#include "frame/moduleresources.h"
#include "palette/zeldockcontrolbar.h"

#include <memory>

namespace {

constexpr DWORD kDockSides = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
constexpr DWORD kBarStyleBits = 0x50001404;

std::unique_ptr<CZelDockControlBar>& palette() {
    static std::unique_ptr<CZelDockControlBar> bar;
    return bar;
}

void createPalette(CFrameWnd* frame) {
    palette() = std::make_unique<CZelDockControlBar>();
    CZelDockControlBar& bar = *palette();
    // A failed creation is not reported: the bar is still set up and shown.
    bar.Create(frame, L"Marvolt");
    bar.EnableDocking(kDockSides);
    bar.SetBarStyle(bar.GetBarStyle() | kBarStyleBits);
    bar.RestoreControlBar(AFX_IDW_DOCKBAR_LEFT, nullptr);
}

}  // namespace

CZelDockControlBar* thePalette() { return palette().get(); }

void marvoltShowPalette() {
    ModuleResourceScope resources;
    CFrameWnd* frame = acedGetAcadFrame();
    if (!palette()) createPalette(frame);
    if (!frame) return;
    frame->ShowControlBar(palette().get(), TRUE, FALSE);
    frame->RecalcLayout();
}

void marvoltTogglePalette() {
    if (CZelDockControlBar* bar = thePalette()) bar->toggle();
}

void destroyPalette() { palette().reset(); }
