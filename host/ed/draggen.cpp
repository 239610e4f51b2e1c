#include "ed/draggen.h"

#include "ed/editor.h"
#include "ed/selection.h"

int acedDragGen(const ads_name ss, const ACHAR* prompt, int /*cursor*/, AcEdDragSampler scnf, ads_point result) {
    Adesk::Int32 length = 0;
    if (!scnf || !result || acedSSLength(ss, &length) != RTNORM) return RTERROR;
    hosted::Editor& editor = hosted::Editor::instance();
    const auto line = editor.ask(prompt ? prompt : L"");
    if (!line || hosted::Editor::isCancel(*line)) return RTCAN;
    if (line->text.empty()) return RTNONE;
    const auto point = hosted::parsePoint(line->text);
    if (!point) {
        editor.reject(*line, L"a point (x,y or x,y,z)");
        return RTCAN;
    }
    ads_point cursorPoint = {point->x, point->y, point->z};
    ads_matrix transform = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const int sampled = scnf(cursorPoint, transform);
    if (sampled != RTNORM && sampled != RTNONE) return RTERROR;
    result[0] = point->x;
    result[1] = point->y;
    result[2] = point->z;
    return RTNORM;
}
