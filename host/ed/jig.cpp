#include "ed/jig.h"

#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/entity.h"
#include "ed/dragdisplay.h"
#include "ed/editor.h"

#include <cmath>
#include <numbers>

AcEdJig::~AcEdJig() = default;

AcEdJig::DragStatus AcEdJig::drag() {
    m_finalInput = false;
    m_band.reset();
    hosted::DragSession shown;
    while (true) {
        const DragStatus status = sampler();
        if (status == kNormal && update()) {
            if (AcDbEntity* e = entity()) e->draw();
            if (m_band) shown.present({m_band.get()});
            else shown.present();
        }
        if (status != kNormal && status != kNoChange) return status;
        // A final input that repeats the last sample still places the entity.
        if (m_finalInput) return kNormal;
    }
}

bool AcEdJig::nextInput(std::wstring& text, DragStatus& status) {
    const auto line = hosted::Editor::instance().ask(m_prompt, hosted::Request::drag);
    // A person's cursor moves are samples; every line of a script is a final input,
    // the click that ends the drag.
    m_finalInput = !line || !line->sample;
    if (!line || hosted::Editor::isCancel(*line)) {
        status = kCancel;
        return false;
    }
    text = line->text;
    if (text.empty()) {
        status = kNull;
        return false;
    }
    return true;
}

AcEdJig::DragStatus AcEdJig::acquirePoint(AcGePoint3d& point) {
    std::wstring text;
    DragStatus status = kNormal;
    if (!nextInput(text, status)) return status;
    const auto p = hosted::parsePoint(text);
    if (!p) return kOther;
    point = *p;
    if (!(m_controls & kAccept3dCoordinates)) point.z = 0.0;
    return kNormal;
}

AcEdJig::DragStatus AcEdJig::acquirePoint(AcGePoint3d& point, const AcGePoint3d& basePoint) {
    const DragStatus status = acquirePoint(point);
    if (status != kNormal) return status;
    // The display may hold the line until its next frame: it is changed in place, and
    // freed only when the next drag starts.
    if (!m_band) m_band = std::make_unique<AcDbLine>(basePoint, point);
    m_band->setStartPoint(basePoint);
    m_band->setEndPoint(point);
    return status;
}

AcEdJig::DragStatus AcEdJig::acquireAngle(double& angle) { return acquireAngle(angle, AcGePoint3d::kOrigin); }

namespace {

// A number typed as an angle, in the drawing's angular units: degrees (also for
// degrees-minutes-seconds and surveyor's units typed as decimals), grads or radians.
double angleFromNumber(double value) {
    const AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    switch (db ? db->aunits() : 0) {
        case 2: return value * std::numbers::pi / 200.0;
        case 3: return value;
        default: return value * std::numbers::pi / 180.0;
    }
}

}  // namespace

AcEdJig::DragStatus AcEdJig::acquireAngle(double& angle, const AcGePoint3d& basePoint) {
    std::wstring text;
    DragStatus status = kNormal;
    if (!nextInput(text, status)) return status;
    if (const auto value = hosted::parseReal(text)) {
        angle = angleFromNumber(*value);
        return kNormal;
    }
    const auto p = hosted::parsePoint(text);
    if (!p) return kOther;
    angle = std::atan2(p->y - basePoint.y, p->x - basePoint.x);
    if (angle < 0) angle += 2 * std::numbers::pi;
    return kNormal;
}

AcDbObjectId AcEdJig::append() {
    AcDbEntity* e = entity();
    // The document manager keeps the working database on the current document's, so
    // the editor need not know of documents.
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!e || !db) return {};
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, db->currentSpaceId(), AcDb::kForWrite) != Acad::eOk) return {};
    AcDbObjectId id;
    const Acad::ErrorStatus es = space->appendAcDbEntity(id, e);
    space->close();
    return es == Acad::eOk ? id : AcDbObjectId();
}
