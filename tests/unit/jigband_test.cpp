#include "db/curves.h"
#include "ed/dragdisplay.h"
#include "ed/editor.h"
#include "ed/inputsource.h"
#include "ed/jig.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

namespace {

// Keeps the ends of every line a drag showed besides its entity.
class BandRecorder : public hosted::DragDisplay {
public:
    void begin() override {}
    void present(const std::vector<const AcDbEntity*>& extra) override {
        for (const AcDbEntity* e : extra)
            if (const auto* line = AcDbLine::cast(e)) bands.emplace_back(line->startPoint(), line->endPoint());
        if (extra.empty()) ++withoutBand;
    }
    void end() override {}

    std::vector<std::pair<AcGePoint3d, AcGePoint3d>> bands;
    int withoutBand = 0;
};

class PointJig : public AcEdJig {
public:
    DragStatus sampler() override { return fromBase ? acquirePoint(point, AcGePoint3d(1, 1, 0)) : acquirePoint(point); }
    AcGePoint3d point;
    bool fromBase = true;
};

TEST(JigRubberBand, ShownFromTheBasePointOnlyWhenThereIsOne) {
    BandRecorder recorder;
    hosted::setDragDisplay(&recorder);
    std::istringstream in("4,5\n6,7\n");
    hosted::ScriptInput input(in, L"band.scr");
    hosted::Editor::instance().setInput(&input);
    PointJig jig;
    EXPECT_EQ(jig.drag(), AcEdJig::kNormal);
    jig.fromBase = false;
    EXPECT_EQ(jig.drag(), AcEdJig::kNormal);
    hosted::Editor::instance().setInput(nullptr);
    hosted::setDragDisplay(nullptr);
    ASSERT_EQ(recorder.bands.size(), 1u);
    EXPECT_TRUE(recorder.bands[0].first.isEqualTo({1, 1, 0}));
    EXPECT_TRUE(recorder.bands[0].second.isEqualTo({4, 5, 0}));
    EXPECT_EQ(recorder.withoutBand, 1) << "a jig without a base point shows no band, nor a stale one";
}

}  // namespace
