// Reading a large library drawing and listing its blocks (names and preview icons), the
// first thing the block library does with a drawing. Measured in the same run against
// two references: ezdxf reading the same file and listing its block names, and reading
// the file's bytes alone. The reader's peak memory is measured in a child process of
// its own (this program run with --peak-child), so that nothing else the benchmark holds
// counts, and is set against the file's size.
//
// The drawing's stored preview is read as the block library shows it, from the file's
// tail alone, set against reading the file's bytes.
//
// The drawing is made by bench/make_library.py into the build folder when missing.

#include "db/database.h"
#include "dxf/dxffiler.h"
#include "dxf/filebytes.h"
#include "dxf/previewreader.h"
#include "benchsupport.h"
#include "rx/utf8.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using namespace bench;

// What the run measured, for the closing summary.
struct Figures {
    double readListSeconds = 0, bytesSeconds = 0, mapSeconds = 0, ezdxfSeconds = 0, previewSeconds = 0;
    double peakBytes = 0, fileBytes = 0;
} g_figures;

double fileMegabytes() { return static_cast<double>(fs::file_size(libraryPath())) / kMegabyte; }

void BM_ReadBytes(benchmark::State& state) {
    if (libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::string bytes;
        if (!hostdxf::readFileBytes(libraryPath(), bytes)) return state.SkipWithError("the drawing cannot be read");
        benchmark::DoNotOptimize(bytes.data());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        total += took.count();
    }
    g_figures.bytesSeconds = total / static_cast<double>(state.iterations());
    state.counters["file_MB"] = fileMegabytes();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(libraryPath())));
}

// The floor under the reader: the file mapped as the reader maps it, every line found.
// Reading into a buffer (above) costs more on a machine where fresh memory is dear.
void BM_MapBytesAndFindLines(benchmark::State& state) {
    if (libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto bytes = hostdxf::FileBytes::open(libraryPath());
        if (!bytes) return state.SkipWithError("the drawing cannot be read");
        const std::string_view text = bytes->view();
        std::size_t lines = 0;
        for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) ++lines;
        benchmark::DoNotOptimize(lines);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        total += took.count();
    }
    g_figures.mapSeconds = total / static_cast<double>(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(libraryPath())));
}

void BM_ReadDrawingPreview(benchmark::State& state) {
    if (libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    const std::wstring path = libraryPath().wstring();
    double total = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto preview = hostdxf::readDrawingPreview(path);
        benchmark::DoNotOptimize(preview.data());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        total += took.count();
        bytes = preview.size();
    }
    // A library made before drawings had previews: make_library.py makes it again once it is deleted.
    if (bytes == 0) return state.SkipWithError("the library drawing holds no preview; delete it to have it made again");
    g_figures.previewSeconds = total / static_cast<double>(state.iterations());
    state.counters["preview_bytes"] = static_cast<double>(bytes);
    state.counters["file_MB"] = fileMegabytes();
}

// The database is destroyed outside the timed part: ezdxf's figure does not include
// tearing its document down either.
void BM_ReadAndListBlocks(benchmark::State& state) {
    if (libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    double total = 0;
    std::size_t blocks = 0, iconBytes = 0;
    for (auto _ : state) {
        const ReadAndList run = readAndListBlocks(libraryPath());
        if (!run.ok) return state.SkipWithError(run.message.c_str());
        state.SetIterationTime(run.seconds);
        total += run.seconds;
        blocks = run.blocks;
        iconBytes = run.iconBytes;
    }
    if (blocks != kLibraryBlocks) return state.SkipWithError("the drawing does not list the blocks it holds");
    g_figures.readListSeconds = total / static_cast<double>(state.iterations());
    state.counters["blocks"] = static_cast<double>(blocks);
    state.counters["icon_bytes"] = static_cast<double>(iconBytes);
    state.counters["file_MB"] = fileMegabytes();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(libraryPath())));
}

// ezdxf's own timing of readfile plus the listing, without the interpreter's start-up.
void BM_EzdxfReadAndListBlocks(benchmark::State& state) {
    if (libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    for (auto _ : state) {
        const auto listing = ezdxfListBlocks(libraryPath());
        if (!listing) return state.SkipWithError("ezdxf_list_blocks.py failed");
        if (listing->blocks != kLibraryBlocks) return state.SkipWithError("ezdxf lists another number of blocks");
        state.SetIterationTime(listing->seconds);
        g_figures.ezdxfSeconds = listing->seconds;
    }
    if (g_figures.readListSeconds > 0) state.counters["x_ours_faster"] = g_figures.ezdxfSeconds / g_figures.readListSeconds;
}

// This program again, reading and listing and nothing else. The child tells its own
// peak (VmHWM): the kernel's account of a spawned child's largest resident set
// (ru_maxrss) starts from the parent's, which shares its memory until the exec, and so
// tells the benchmark's own peak once that is the larger.
void BM_ReaderPeakMemory(benchmark::State& state) {
    if (libraryPath().empty()) return state.SkipWithError("the library drawing could not be made");
    const fs::path report = libraryPath().string() + ".peak";
    for (auto _ : state) {
        const auto run = runChild({"/proc/self/exe", "--peak-child", libraryPath().string()}, report.c_str());
        if (!run || !exitedCleanly(*run)) return state.SkipWithError("the reading child failed");
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(report.c_str(), "r"), &std::fclose);
        double kilobytes = 0;
        if (!f || std::fscanf(f.get(), "%lf", &kilobytes) != 1) return state.SkipWithError("the child told no peak");
        g_figures.peakBytes = kilobytes * 1024.0;
        state.SetIterationTime(0);
    }
    g_figures.fileBytes = static_cast<double>(fs::file_size(libraryPath()));
    state.counters["peak_MB"] = g_figures.peakBytes / kMegabyte;
    state.counters["file_MB"] = g_figures.fileBytes / kMegabyte;
    state.counters["peak_per_file_size"] = g_figures.peakBytes / g_figures.fileBytes;
}

// The largest resident set of this process since its exec, in kilobytes, from the
// kernel's status of it; 0 when it cannot be read.
long peakKilobytes() {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen("/proc/self/status", "r"), &std::fclose);
    char line[256];
    long kilobytes = 0;
    while (f && std::fgets(line, sizeof line, f.get()))
        if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) break;
    return kilobytes;
}

int peakChild(const char* path) {
    AcDbDatabase db(false, true);
    const std::wstring wide = hostrx::utf8ToWide(path);
    if (db.readDwgFile(wide.c_str(), _SH_DENYNO) != Acad::eOk) return 1;
    if (listBlocks(db).size() != kLibraryBlocks) return 1;
    const long kilobytes = peakKilobytes();
    if (kilobytes <= 0) return 1;
    std::printf("%ld\n", kilobytes);
    return 0;
}

void printSummary() {
    const auto& f = g_figures;
    if (f.readListSeconds > 0 && f.ezdxfSeconds > 0)
        std::printf("read+list %.3f s, ezdxf %.3f s: %.1fx faster (target at least 100x)\n", f.readListSeconds, f.ezdxfSeconds,
                    f.ezdxfSeconds / f.readListSeconds);
    if (f.readListSeconds > 0 && f.bytesSeconds > 0)
        std::printf("reading the bytes alone into memory %.3f s: read+list takes %.1fx as long\n", f.bytesSeconds,
                    f.readListSeconds / f.bytesSeconds);
    if (f.readListSeconds > 0 && f.mapSeconds > 0)
        std::printf("mapping the bytes and finding every line %.3f s: read+list takes %.1fx as long (target at most 2.5x)\n", f.mapSeconds,
                    f.readListSeconds / f.mapSeconds);
    if (f.previewSeconds > 0 && f.bytesSeconds > 0)
        std::printf("reading the drawing's preview %.3f ms, reading the bytes alone %.1f ms: %.0fx faster\n",
                    f.previewSeconds * 1e3, f.bytesSeconds * 1e3, f.bytesSeconds / f.previewSeconds);
    if (f.peakBytes > 0)
        std::printf("peak memory %.1f MB for a %.1f MB file: %.2fx its size (target at most 1.25x)\n",
                    f.peakBytes / kMegabyte, f.fileBytes / kMegabyte, f.peakBytes / f.fileBytes);
}

}  // namespace

BENCHMARK(BM_ReadBytes)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapBytesAndFindLines)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDrawingPreview)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadAndListBlocks)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EzdxfReadAndListBlocks)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaderPeakMemory)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    if (argc == 3 && std::string(argv[1]) == "--peak-child") return peakChild(argv[2]);
    return bench::runBenchmarks(argc, argv, printSummary);
}
