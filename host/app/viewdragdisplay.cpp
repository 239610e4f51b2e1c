#include "app/viewdragdisplay.h"

#include "db/entity.h"
#include "ui/render/drawingview.h"

namespace hostapp {

ViewDragDisplay::ViewDragDisplay(hostui::DrawingView& view) : m_view(&view) {
    m_previousHook = AcDbEntity::drawHook();
    AcDbEntity::drawHook() = [this](AcDbEntity* e) {
        if (m_depth > 0 && e) m_drawn.push_back(e);
        if (m_previousHook) m_previousHook(e);
    };
    hosted::setDragDisplay(this);
}

ViewDragDisplay::~ViewDragDisplay() {
    hosted::setDragDisplay(nullptr);
    AcDbEntity::drawHook() = m_previousHook;
}

void ViewDragDisplay::begin() {
    ++m_depth;
    m_drawn.clear();
}

void ViewDragDisplay::present(const std::vector<const AcDbEntity*>& extra) {
    if (m_depth == 0) return;
    m_shown = std::move(m_drawn);
    m_drawn.clear();
    m_shown.insert(m_shown.end(), extra.begin(), extra.end());
    ++m_frames;
    if (m_view) m_view->setTransients(m_shown);
}

void ViewDragDisplay::end() {
    if (m_depth == 0) return;
    --m_depth;
    m_drawn.clear();
    m_shown.clear();
    if (m_view) m_view->setTransients({});
}

}  // namespace hostapp
