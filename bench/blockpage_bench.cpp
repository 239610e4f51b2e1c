// What a user waits for when selecting a library drawing in the Block Manager page,
// each against the bare work it needs, in one run:
// - a 1,000-block drawing whose icon cache entry is current: the page's selection (file
//   status, two reads from "iconcache.db", decoding, filling the list) against the same
//   SQLite reads and icon decoding done with bare SQLite calls;
// - the 5,000-block, 50 MB library without a cache entry: reading it, decoding its icons
//   and filling the list, against the reader's own read-and-list of the same file.
//
// The page runs on Qt's offscreen platform; the drawings are made by make_library.py
// into the build folder when missing.

#include "benchsupport.h"
#include "blockmanagerpage.h"
#include "blocks/blockworker.h"
#include "blocktab/blockmanagertabdlg.h"
#include "blocktab/icondecoder.h"
#include "frame/moduleresources.h"
#include "storage/sqliteutils.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kCachedBlocks = 1000;

struct Figures {
    double cachedSelect = 0, bareCached = 0, uncachedSelect = 0, readerListing = 0;
} g_figures;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

const fs::path& workFolder() { return bench::pageFolder("blockpage-bench"); }

// A 1,000-block library with an icon per block.
const fs::path& cachedLibrary() {
    static const fs::path path = [] {
        // Named as a drawing, or the page would not read and cache it.
        const fs::path target = bench::libraryPath().parent_path() / "library1000.dwg";
        if (fs::exists(target)) return target;
        const auto run = bench::runChild({"/usr/bin/python3", std::string(MARVOLT_BENCH_DIR) + "/make_library.py",
                                          target.string(), "--blocks", std::to_string(kCachedBlocks), "--min-mb", "1"});
        return run && bench::exitedCleanly(*run) ? target : fs::path();
    }();
    return path;
}

CBlockManagerTabDlg& page() {
    workFolder();
    return bench::blockManagerPage();
}

void BM_SelectCachedDrawing(benchmark::State& state) {
    if (cachedLibrary().empty()) return state.SkipWithError("the 1,000-block library could not be made");
    CBlockManagerTabDlg& p = page();
    p.drawingPath = cachedLibrary().wstring();
    p.loadDrawingBlocks();  // caches it
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        p.loadDrawingBlocks();
        const double took = secondsSince(start);
        state.SetIterationTime(took);
        total += took;
    }
    g_figures.cachedSelect = total / static_cast<double>(state.iterations());
}

// The same reads and decoding with bare SQLite calls: the file's status, the stamp and
// every row, each read on a connection of its own as the store's operations are, and
// every icon decoded.
void BM_BareCachedReadsAndDecoding(benchmark::State& state) {
    if (cachedLibrary().empty()) return state.SkipWithError("the 1,000-block library could not be made");
    const std::string table = fs::path(SQliteUtils::cleanTableName(cachedLibrary().wstring())).string();
    const std::string file = (workFolder() / "iconcache.db").string();
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(fs::last_write_time(cachedLibrary()));
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_stmt* rows = nullptr;
        const std::string select = "SELECT name, icon FROM '" + table + "';";
        sqlite3_prepare_v2(db, select.c_str(), -1, &rows, nullptr);
        int decoded = 0;
        while (sqlite3_step(rows) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text16(rows, 0));
            const auto* icon = static_cast<const std::uint8_t*>(sqlite3_column_blob(rows, 1));
            decoded += decodePreviewIcon(icon, static_cast<std::size_t>(sqlite3_column_bytes(rows, 1))) ? 1 : 0;
        }
        sqlite3_finalize(rows);
        sqlite3_close(db);
        sqlite3_open(file.c_str(), &db);
        sqlite3_stmt* stamp = nullptr;
        sqlite3_prepare_v2(db, "SELECT cachedate FROM CacheDateStamp WHERE name=?;", -1, &stamp, nullptr);
        sqlite3_bind_text(stamp, 1, table.c_str(), -1, SQLITE_STATIC);
        while (sqlite3_step(stamp) == SQLITE_ROW) benchmark::DoNotOptimize(sqlite3_column_text(stamp, 0));
        sqlite3_finalize(stamp);
        sqlite3_close(db);
        const double took = secondsSince(start);
        if (decoded != kCachedBlocks) return state.SkipWithError("the cache does not hold every block");
        state.SetIterationTime(took);
        total += took;
    }
    g_figures.bareCached = total / static_cast<double>(state.iterations());
}

void BM_SelectUncachedLibrary(benchmark::State& state) {
    if (bench::libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    CBlockManagerTabDlg& p = page();
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        BlockWorker worker;
        worker.dwgPath = bench::libraryPath().wstring();
        BlockInfoArray blocks;
        if (worker.getBlockInfoFromdDb(blocks) != Acad::eOk) return state.SkipWithError("the library was not read");
        p.fillBlockList(blocks);
        const double took = secondsSince(start);
        state.SetIterationTime(took);
        total += took;
    }
    g_figures.uncachedSelect = total / static_cast<double>(state.iterations());
}

void BM_ReaderListing(benchmark::State& state) {
    if (bench::libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    double total = 0;
    for (auto _ : state) {
        const bench::ReadAndList listed = bench::readAndListBlocks(bench::libraryPath());
        if (!listed.ok || listed.blocks != static_cast<std::size_t>(bench::kLibraryBlocks))
            return state.SkipWithError("the library was not listed");
        state.SetIterationTime(listed.seconds);
        total += listed.seconds;
    }
    g_figures.readerListing = total / static_cast<double>(state.iterations());
}

void printSummary() {
    const Figures& f = g_figures;
    if (f.cachedSelect > 0 && f.bareCached > 0)
        std::printf("selecting a cached 1,000-block drawing %.2f ms, bare reads and decoding %.2f ms: %.2fx (target 1.2x)\n",
                    f.cachedSelect * 1e3, f.bareCached * 1e3, f.cachedSelect / f.bareCached);
    if (f.uncachedSelect > 0 && f.readerListing > 0)
        std::printf("selecting the 5,000-block library uncached %.3f s, the reader's listing %.3f s: %.2fx (target 1.5x)\n",
                    f.uncachedSelect, f.readerListing, f.uncachedSelect / f.readerListing);
}

}  // namespace

BENCHMARK(BM_SelectCachedDrawing)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCachedReadsAndDecoding)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectUncachedLibrary)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaderListing)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return bench::runPageBenchmarks(argc, argv, printSummary); }
