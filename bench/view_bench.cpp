// The drawing view's redraw: a drawing of 100,000 entities (lines, arcs, polylines,
// texts and block references) painted whole at 1600 x 1000 into an image through the
// view's own painting path (display list, grid, QPainter surface), against painting
// the same point lists with bare QPainter calls and nothing in between: the floor the
// view is measured against. Also a window on a tenth of the drawing (the grid's share)
// one frame of a pan (the cached picture moved, overlays on top), and a regen. And the
// view's update after one entity is flipped, and after that step is undone and redone,
// against the regen in the same run; with the memory the undo record keeps for the step
// in a drawing of 1,000 and of 100,000 entities.

#include "benchsupport.h"
#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/curves.h"
#include "db/database.h"
#include "db/text.h"
#include "db/undorecord.h"
#include "ge/line3d.h"
#include "ui/render/displaylist.h"
#include "ui/render/drawingview.h"
#include "ui/render/paintersink.h"
#include "ui/render/textmetrics.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <malloc.h>
#include <new>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kEntities = 100000;
constexpr int kReferences = 200;
constexpr int kWidth = 1600, kHeight = 1000;

struct Figures {
    double viewSeconds = 0, bareSeconds = 0, windowSeconds = 0, panFrameSeconds = 0, regenSeconds = 0;
    double flipSeconds = 0, undoSeconds = 0, redoSeconds = 0;
    long long stepBytesSmall = 0, stepBytesLarge = 0;
    std::size_t primitives = 0;
} g_figures;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void append(AcDbBlockTableRecord* block, AcDbEntity* e) {
    block->appendAcDbEntity(e);
    e->close();
}

// 100,000 entities over 10,000 x 6,000 units, as a floor plan might spread them.
std::unique_ptr<AcDbDatabase> makeDrawing(int entities = kEntities) {
    auto db = std::make_unique<AcDbDatabase>(true, true);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> x(0, 10000), y(0, 6000), len(-25, 25), unit(0, 1);
    AcDbBlockTable* table = nullptr;
    acdbOpenObject(table, db->blockTableId(), AcDb::kForWrite);
    auto* door = new AcDbBlockTableRecord();
    door->setName(L"DOOR");
    AcDbObjectId doorId;
    table->add(doorId, door);
    append(door, new AcDbLine({0, 0, 0}, {0, 9, 0}));
    append(door, new AcDbArc({0, 0, 0}, 9, 0, std::numbers::pi / 2));
    append(door, new AcDbCircle({4, 4, 0}, AcGeVector3d::kZAxis, 0.5));
    door->close();
    table->close();

    AcDbBlockTableRecord* model = nullptr;
    acdbOpenObject(model, db->modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < entities - kReferences; ++i) {
        const AcGePoint3d at(x(random), y(random), 0);
        const int kind = i % 20;
        if (kind < 9) {
            append(model, new AcDbLine(at, {at.x + len(random), at.y + len(random), 0}));
        } else if (kind < 13) {
            const double a = unit(random) * 6.28;
            append(model, new AcDbArc(at, 2 + unit(random) * 18, a, a + 0.5 + unit(random) * 4));
        } else if (kind < 17) {
            auto* p = new AcDbPolyline();
            for (unsigned k = 0; k < 6; ++k) p->addVertexAt(k, {at.x + len(random), at.y + len(random)}, k == 2 ? 0.4 : 0.0);
            p->setClosed(kind == 16);
            append(model, p);
        } else {
            append(model, new AcDbText(at, L"Room 101", AcDbObjectId::kNull, 2.5, unit(random) < 0.2 ? 1.5708 : 0.0));
        }
    }
    for (int i = 0; i < kReferences; ++i) {
        auto* ref = new AcDbBlockReference({x(random), y(random), 0}, doorId);
        ref->setRotation(unit(random) * 6.28);
        ref->setScaleFactors({1.5, 1.5, 1});
        append(model, ref);
    }
    model->close();
    return db;
}

struct Scene {
    std::unique_ptr<AcDbDatabase> db = makeDrawing();
    hostui::DrawingView view;
    Scene() {
        view.resize(kWidth, kHeight);
        view.setDatabase(db.get());
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

hostui::ViewMapping mappingOf(const hostui::DrawingView& view) {
    hostui::ViewMapping m;
    m.scale = 1.0 / view.unitsPerPixel();
    const QPointF origin = view.toPixel({0, 0, 0});
    m.originX = origin.x();
    m.originY = origin.y();
    return m;
}

// The display list's primitives as pixel point lists with their colours: what bare
// QPainter calls would be given by a program that already had its lines in pixels.
// A text too small to read is the line along its baseline that the view draws for it.
class PixelLists : public hostui::GraphicsSink {
public:
    explicit PixelLists(const hostui::ViewMapping& m) : m_map(m) {}
    struct Run {
        QRgb color;
        std::vector<QPointF> points;
        bool pairs;
    };
    std::vector<Run> runs;

    void polyline(std::span<const QPointF> points, bool closed, const hostui::Stroke& s) override {
        Run r{s.color, {}, false};
        for (const auto& p : points) r.points.push_back(m_map.toPixel(p));
        if (closed) r.points.push_back(r.points.front());
        runs.push_back(std::move(r));
    }
    void segments(std::span<const QPointF> points, const hostui::Stroke& s) override {
        Run r{s.color, {}, true};
        for (const auto& p : points) r.points.push_back(m_map.toPixel(p));
        runs.push_back(std::move(r));
    }
    void fill(std::span<const std::vector<QPointF>>, QRgb) override {}
    void text(const hostui::TextRun& t) override {
        const double advance = hostui::textAdvance(t.family, t.text) * t.height * t.widthFactor;
        const QPointF a = m_map.toPixel(t.anchor);
        const double c = std::cos(t.rotation), s = -std::sin(t.rotation);
        const QPointF along(c, s), down(-s, c);
        const QPointF start = a + down * (-t.height * m_map.scale / 2);
        runs.push_back({t.color, {start, start + along * std::max(advance * m_map.scale, 1.0)}, true});
    }
    void point(QPointF, QRgb) override {}

private:
    hostui::ViewMapping m_map;
};

void BM_ViewFullRedraw(benchmark::State& state) {
    Scene& s = scene();
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        QPainter painter(&image);
        s.view.paintDrawing(painter);
        painter.end();
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    g_figures.viewSeconds = total / static_cast<double>(state.iterations());
    g_figures.primitives = s.view.displayList().size();
    image.save(QStringLiteral("view_bench.png"));
    state.counters["entities"] = s.view.entityCount();
}

void BM_BareQPainter(benchmark::State& state) {
    Scene& s = scene();
    PixelLists lists(mappingOf(s.view));
    s.view.displayList().replayAll(lists);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        QPainter painter(&image);
        painter.fillRect(image.rect(), hostui::DrawingView::backgroundColor());
        QRgb current = 0;
        for (const auto& run : lists.runs) {
            if (run.color != current) {
                painter.setPen(QPen(QColor::fromRgba(run.color), 0));
                current = run.color;
            }
            if (run.pairs)
                for (std::size_t i = 0; i + 1 < run.points.size(); i += 2) painter.drawLine(run.points[i], run.points[i + 1]);
            else
                painter.drawPolyline(run.points.data(), static_cast<int>(run.points.size()));
        }
        painter.end();
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    g_figures.bareSeconds = total / static_cast<double>(state.iterations());
    image.save(QStringLiteral("view_bench_bare.png"));
}

// The view zoomed in to a tenth of the drawing's width: the grid leaves out the rest.
void BM_ViewWindowRedraw(benchmark::State& state) {
    Scene& s = scene();
    hostui::DrawingView view;
    view.resize(kWidth, kHeight);
    view.setDatabase(s.db.get());
    QWheelEvent zoom(QPointF(kWidth / 2.0, kHeight / 2.0), QPointF(), QPoint(), QPoint(0, 1535), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &zoom);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        QPainter painter(&image);
        view.paintDrawing(painter);
        painter.end();
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    g_figures.windowSeconds = total / static_cast<double>(state.iterations());
    image.save(QStringLiteral("view_bench_window.png"));
}

// One frame of a pan with the middle button: a move event, then the widget painted.
void BM_PanFrame(benchmark::State& state) {
    Scene& s = scene();
    QPointF at(800, 500);
    QMouseEvent press(QEvent::MouseButtonPress, at, s.view.mapToGlobal(at), Qt::MiddleButton, Qt::MiddleButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&s.view, &press);
    QPixmap frame(kWidth, kHeight);
    s.view.render(&frame);
    double total = 0;
    int step = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        at += (++step % 2) ? QPointF(3, 2) : QPointF(-3, -2);
        QMouseEvent move(QEvent::MouseMove, at, s.view.mapToGlobal(at), Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(&s.view, &move);
        s.view.render(&frame);
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    g_figures.panFrameSeconds = total / static_cast<double>(state.iterations());
    frame.save(QStringLiteral("view_bench_pan.png"));
    QMouseEvent release(QEvent::MouseButtonRelease, at, s.view.mapToGlobal(at), Qt::MiddleButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&s.view, &release);
}

// Building the display list again from the database, as after an edit.
void BM_Regen(benchmark::State& state) {
    Scene& s = scene();
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        s.view.regen();
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    g_figures.regenSeconds = total / static_cast<double>(state.iterations());
}

// One user step: the first line of the model space mirrored about its own start point,
// as "flipx" does.
AcDbObjectId flipFirstLine(AcDbDatabase& db) {
    AcDbBlockTableRecord* model = nullptr;
    acdbOpenObject(model, db.modelSpaceId(), AcDb::kForRead);
    const AcDbObjectId id = model->entityIds().front();
    model->close();
    const hostdb::UndoStep step(&db, L"FLIPX");
    AcDbEntity* e = nullptr;
    if (acdbOpenObject(e, id, AcDb::kForWrite) == Acad::eOk) {
        AcGePoint3d start;
        if (const auto* line = AcDbLine::cast(e)) start = line->startPoint();
        e->transformBy(AcGeMatrix3d::mirroring(AcGeLine3d(start, AcGeVector3d::kYAxis)));
        e->close();
    }
    return id;
}

// The view's update after a flip, its undo and its redo, each with the repaint of the
// region it touched in the view's cached picture.
void BM_StepUpdates(benchmark::State& state) {
    Scene& s = scene();
    QImage shown(kWidth, kHeight, QImage::Format_RGB32);
    s.view.render(&shown);  // the cached picture the updates paint into
    double flip = 0, undo = 0, redo = 0;
    for (auto _ : state) {
        flipFirstLine(*s.db);
        auto start = Clock::now();
        s.view.applyChanges();
        const double a = secondsSince(start);
        std::wstring name;
        s.db->undoRecord().undo(name);
        start = Clock::now();
        s.view.applyChanges();
        const double b = secondsSince(start);
        s.db->undoRecord().redo(name);
        start = Clock::now();
        s.view.applyChanges();
        const double c = secondsSince(start);
        state.SetIterationTime(a + b + c);
        flip += a;
        undo += b;
        redo += c;
    }
    const auto n = static_cast<double>(state.iterations());
    g_figures.flipSeconds = flip / n;
    g_figures.undoSeconds = undo / n;
    g_figures.redoSeconds = redo / n;
}

}  // namespace

// Bytes held on the heap, for what the undo record keeps of one step.
std::atomic<long long> g_liveBytes{0};

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    g_liveBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    g_liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

long long stepBytes(int entities) {
    const auto db = makeDrawing(entities);
    db->undoRecord().beginStep(L"WARM");  // the record's own first allocations
    db->undoRecord().endStep();
    db->takeChanges();  // the journal of the drawing's making, which no view took
    const long long before = g_liveBytes;
    flipFirstLine(*db);
    db->takeChanges();
    return g_liveBytes - before;
}

void BM_UndoStepMemory(benchmark::State& state) {
    for (auto _ : state) {
        g_figures.stepBytesSmall = stepBytes(1000);
        g_figures.stepBytesLarge = stepBytes(kEntities);
        state.SetIterationTime(1e-3);
    }
}

void printSummary() {
    const auto& f = g_figures;
    if (f.viewSeconds > 0 && f.bareSeconds > 0)
        std::printf("view redraw of %d entities (%zu primitives) at %dx%d %.1f ms, bare QPainter %.1f ms: %.2fx the bare "
                    "calls (target within 2x)\n",
                    kEntities, f.primitives, kWidth, kHeight, f.viewSeconds * 1e3, f.bareSeconds * 1e3,
                    f.viewSeconds / f.bareSeconds);
    if (f.windowSeconds > 0)
        std::printf("redraw of a window on a tenth of the drawing's width %.2f ms\n", f.windowSeconds * 1e3);
    if (f.regenSeconds > 0) std::printf("regen of the display list %.1f ms\n", f.regenSeconds * 1e3);
    if (f.panFrameSeconds > 0) std::printf("one pan frame (cached picture moved) %.2f ms\n", f.panFrameSeconds * 1e3);
    if (f.flipSeconds > 0 && f.regenSeconds > 0)
        std::printf("view update after one flip %.3f ms, its undo %.3f ms, its redo %.3f ms: 1/%.0f, 1/%.0f, 1/%.0f of "
                    "the regen (targets within 5 ms and 1/20)\n",
                    f.flipSeconds * 1e3, f.undoSeconds * 1e3, f.redoSeconds * 1e3, f.regenSeconds / f.flipSeconds,
                    f.regenSeconds / f.undoSeconds, f.regenSeconds / f.redoSeconds);
    if (f.stepBytesLarge > 0)
        std::printf("undo record for one flip: %lld bytes in a drawing of 1,000 entities, %lld bytes in one of %d\n",
                    f.stepBytesSmall, f.stepBytesLarge, kEntities);
}

}  // namespace

BENCHMARK(BM_ViewFullRedraw)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareQPainter)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ViewWindowRedraw)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Regen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanFrame)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepUpdates)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoStepMemory)->UseManualTime()->Iterations(1);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv, printSummary);
}
