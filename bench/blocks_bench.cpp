// The block engine's two costs a user waits for. Listing a library drawing's blocks with
// their icons (BlockWorker::getBlockInfoFromdDb) on the 5,000-block, 50 MB library,
// against the reader's own read-and-list of the same file (drawing_bench's, which
// leaves the icons in the database and the database standing) and against ezdxf
// reading it and listing its block names. And inserting one
// block of 10,000 entities (BlockWorker::doInsertSubBlock: read, write out, insert,
// place), against reading a drawing of those entities and looking at every one.

#include "benchsupport.h"
#include "blocks/blockworker.h"
#include "dxf/dxffiler.h"
#include "ed/editor.h"
#include "frame/hostapi.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kBigBlockEntities = 10000;

struct Figures {
    double listSeconds = 0, readListSeconds = 0, ezdxfSeconds = 0, readEntitiesSeconds = 0, insertSeconds = 0;
    double medianRatio = 0;  // of getBlockInfoFromdDb to the read-and-list beside it
} g_figures;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A library drawing whose one block "BIG" holds lines, circles and texts.
const fs::path& bigBlockLibrary() {
    static const fs::path path = [] {
        const fs::path target = fs::path(MARVOLT_BENCH_LIBRARY).parent_path() / "bigblock.dxf";
        AcDbDatabase db(true, true);
        AcDbBlockTable* table = nullptr;
        if (acdbOpenObject(table, db.blockTableId(), AcDb::kForWrite) != Acad::eOk) return fs::path();
        auto* block = new AcDbBlockTableRecord();
        block->setName(L"BIG");
        table->add(block);
        for (int i = 0; i < kBigBlockEntities; ++i) {
            const double x = i % 100, y = i / 100;
            AcDbEntity* e = nullptr;
            if (i % 3 == 0) e = new AcDbLine({x, y, 0}, {x + 0.8, y + 0.5, 0});
            else if (i % 3 == 1) e = new AcDbCircle({x, y, 0}, AcGeVector3d::kZAxis, 0.3);
            else e = new AcDbText({x, y, 0}, L"P-101", AcDbObjectId::kNull, 0.2);
            block->appendAcDbEntity(e);
            e->close();
        }
        block->close();
        table->close();
        return db.saveAs(target.wstring().c_str()) == Acad::eOk ? target : fs::path();
    }();
    return path;
}

// Each iteration reads the library twice: the reader's own read-and-list (untimed for
// the benchmark, kept for the summary), then getBlockInfoFromdDb. Paired runs see the
// same load on a shared machine, which two benchmarks run one after the other do not.
void BM_GetBlockInfoFromdDb(benchmark::State& state) {
    if (bench::libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    BlockWorker worker;
    worker.dwgPath = bench::libraryPath().wstring();
    double total = 0, referenceTotal = 0;
    std::vector<double> ratios;
    int listed = 0;
    for (auto _ : state) {
        const bench::ReadAndList reference = bench::readAndListBlocks(bench::libraryPath());
        if (!reference.ok) return state.SkipWithError(reference.message.c_str());
        if (reference.blocks != bench::kLibraryBlocks) return state.SkipWithError("the reader lists another number");
        BlockInfoArray blocks;
        const auto start = Clock::now();
        if (worker.getBlockInfoFromdDb(blocks) != Acad::eOk) return state.SkipWithError("the library was not read");
        const double took = secondsSince(start);
        state.SetIterationTime(took);
        total += took;
        referenceTotal += reference.seconds;
        ratios.push_back(took / reference.seconds);
        listed = blocks.length();
    }
    if (listed != bench::kLibraryBlocks) return state.SkipWithError("the engine lists another number of blocks");
    const double runs = static_cast<double>(state.iterations());
    g_figures.listSeconds = total / runs;
    g_figures.readListSeconds = referenceTotal / runs;
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2), ratios.end());
    g_figures.medianRatio = ratios[ratios.size() / 2];
    state.counters["blocks"] = listed;
    state.counters["read_list_ms"] = g_figures.readListSeconds * 1000.0;
}

void BM_EzdxfListBlocks(benchmark::State& state) {
    if (bench::libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    for (auto _ : state) {
        const auto listing = bench::ezdxfListBlocks(bench::libraryPath());
        if (!listing || listing->blocks != bench::kLibraryBlocks) return state.SkipWithError("ezdxf failed");
        state.SetIterationTime(listing->seconds);
        g_figures.ezdxfSeconds = listing->seconds;
    }
}

// The reference for an insertion: the drawing read and each of the block's entities
// opened and closed once, as a clone must at least do.
void BM_ReadBigBlockEntities(benchmark::State& state) {
    if (bigBlockLibrary().empty()) return state.SkipWithError("the big block could not be written");
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        AcDbDatabase db(false, true);
        if (db.readDwgFile(bigBlockLibrary().wstring().c_str(), _SH_DENYNO) != Acad::eOk)
            return state.SkipWithError("the big block drawing was not read");
        AcDbBlockTableRecord* block = nullptr;
        AcDbBlockTable* table = nullptr;
        acdbOpenObject(table, db.blockTableId(), AcDb::kForRead);
        table->getAt(L"BIG", block, AcDb::kForRead);
        table->close();
        int seen = 0;
        for (AcDbObjectId id : block->entityIds()) {
            AcDbEntity* e = nullptr;
            if (acdbOpenObject(e, id, AcDb::kForRead) == Acad::eOk) {
                ++seen;
                e->close();
            }
        }
        block->close();
        benchmark::DoNotOptimize(seen);
        const double took = secondsSince(start);
        state.SetIterationTime(took);
        total += took;
    }
    g_figures.readEntitiesSeconds = total / static_cast<double>(state.iterations());
}

void BM_DoInsertSubBlock(benchmark::State& state) {
    if (bigBlockLibrary().empty()) return state.SkipWithError("the big block could not be written");
    double total = 0;
    for (auto _ : state) {
        AcApDocument* doc = nullptr;
        std::wstring why;
        acDocManager->openDocument(L"", doc, why);
        std::istringstream answers("10,10\n");
        hosted::ScriptInput input(answers, L"bench");
        hosted::Editor::instance().setInput(&input);
        BlockWorker worker;
        worker.dwgPath = bigBlockLibrary().wstring();
        worker.targetDb = doc->database();
        const auto start = Clock::now();
        worker.doInsertSubBlock(1.0, 0.0, L"BIG");
        const double took = secondsSince(start);
        state.SetIterationTime(took);
        total += took;
        hosted::Editor::instance().setInput(nullptr);
        acDocManager->closeAll();
    }
    g_figures.insertSeconds = total / static_cast<double>(state.iterations());
}

void printSummary() {
    const auto& f = g_figures;
    if (f.listSeconds > 0 && f.readListSeconds > 0)
        std::printf("getBlockInfoFromdDb %.3f s, the reader's read+list %.3f s: %.2fx as long, %.2fx in the median "
                    "pair (target at most 1.1x)\n",
                    f.listSeconds, f.readListSeconds, f.listSeconds / f.readListSeconds, f.medianRatio);
    if (f.listSeconds > 0 && f.ezdxfSeconds > 0)
        std::printf("getBlockInfoFromdDb %.3f s, ezdxf %.3f s: %.1fx faster (target 50x)\n", f.listSeconds,
                    f.ezdxfSeconds, f.ezdxfSeconds / f.listSeconds);
    if (f.insertSeconds > 0 && f.readEntitiesSeconds > 0)
        std::printf("doInsertSubBlock of %d entities %.3f s, reading them %.3f s: the insertion beyond the read "
                    "costs %.2fx the read (target at most 2x)\n",
                    kBigBlockEntities, f.insertSeconds, f.readEntitiesSeconds,
                    (f.insertSeconds - f.readEntitiesSeconds) / f.readEntitiesSeconds);
}

}  // namespace

// Long enough for a dozen pairs: their ratio is the figure.
BENCHMARK(BM_GetBlockInfoFromdDb)->UseManualTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EzdxfListBlocks)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBigBlockEntities)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoInsertSubBlock)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    return bench::runBenchmarks(argc, argv, printSummary);
}
