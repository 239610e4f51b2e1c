#include "blocks/placementjigs.h"

namespace {

// Turns the placed reference; false (and the reference erased) when the user cancels.
bool rotatePlaced(MoveJig& move) {
    RotateJig rotation(move.currentPoint, move.referenceId);
    rotation.open();
    rotation.setDispPrompt(rotation.promptText.c_str());
    if (rotation.opened && rotation.drag() == AcEdJig::kNormal && !move.referenceId.isNull()) {
        rotation.closeReference();
        return true;
    }
    if (move.reference && move.reference->isWriteEnabled()) move.reference->erase();
    rotation.closeReference();
    return false;
}

}  // namespace

std::pair<Acad::ErrorStatus, AcDbObjectId> placeBlockReference(AcDbBlockReference* reference, bool rotate) {
    MoveJig move(reference);
    acedUpdateDisplay();
    move.setDispPrompt(move.promptText.c_str());
    bool placed = move.writable && move.drag() == AcEdJig::kNormal;
    if (placed && move.isNew) {
        move.referenceId = move.append();
        placed = !move.referenceId.isNull();
    }
    if (!placed) {
        acedUpdateDisplay();
        return {Acad::eInvalidInput, move.referenceId};
    }
    if (rotate && !rotatePlaced(move)) return {Acad::eInvalidInput, move.referenceId};
    acedUpdateDisplay();
    return {Acad::eOk, move.referenceId};
}
