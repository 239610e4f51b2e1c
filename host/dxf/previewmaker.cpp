#include "previewmaker.h"

#include <atomic>

namespace hostdxf {
namespace {
std::atomic<DrawingPreviewMaker> g_maker{nullptr};
}

void setDrawingPreviewMaker(DrawingPreviewMaker maker) { g_maker = maker; }

DrawingPreviewMaker drawingPreviewMaker() { return g_maker; }

}  // namespace hostdxf
