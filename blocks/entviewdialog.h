#pragma once

#include "blocks/gspreviewctrl.h"

#include <string>

// The block icon renderer's window (template 153): shown modally for one block, it draws
// the block with the host's graphics system, and at its first timer message, about
// 100 ms later, stores the top-left 32 × 32 pixels as the block's preview icon and ends
// itself: with OK when it got that far, with Cancel when the block could not be shown
// (no database, no such block, no graphics system, nothing to draw).
class CEntViewDialog : public CAcUiDialog {
public:
    static constexpr UINT_PTR kTimerId = 1224;
    static constexpr UINT kTimerMs = 100;

    explicit CEntViewDialog(CWnd* parent = nullptr);

    CGsPreviewCtrl preview;
    AcDbDatabase* database = nullptr;  // set by the caller before DoModal
    AcDbObjectId blockId;
    std::wstring blockName;  // set by the caller before DoModal
    bool ready = false;

    // Shows the block named blockName of database in the preview control, fitted to its
    // extents; answers a non-zero status when it cannot.
    Acad::ErrorStatus setupPreviewView();

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT OnAcadKeepFocus(WPARAM wParam, LPARAM lParam) override;

private:
    bool hasNamedBlock() const;
    void storeIcon();
};
