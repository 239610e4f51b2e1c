#include "benchsupport.h"

#include "db/blocktable.h"
#include "db/database.h"
#include "rx/utf8.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace bench {

namespace fs = std::filesystem;

const char* const kPython = "/usr/bin/python3";  // Debian's, which sees python3-ezdxf

std::optional<ChildResult> runChild(const std::vector<std::string>& args, const char* stdoutPath) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutPath) posix_spawn_file_actions_addopen(&actions, 1, stdoutPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return std::nullopt;
    ChildResult result;
    if (::wait4(pid, &result.status, 0, &result.usage) != pid) return std::nullopt;
    return result;
}

bool exitedCleanly(const ChildResult& r) { return WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0; }

const fs::path& libraryPath() {
    static const fs::path path = [] {
        const fs::path target = MARVOLT_BENCH_LIBRARY;
        if (fs::exists(target)) return target;
        const fs::path partial = target.string() + ".partial";
        const auto made = runChild({kPython, std::string(MARVOLT_BENCH_DIR) + "/make_library.py", partial.string(),
                                    "--blocks", std::to_string(kLibraryBlocks), "--min-mb",
                                    std::to_string(kLibraryMegabytes)});
        std::error_code ec;
        if (!made || !exitedCleanly(*made)) return fs::path();
        fs::rename(partial, target, ec);
        return ec ? fs::path() : target;
    }();
    return path;
}

std::optional<EzdxfListing> ezdxfListBlocks(const fs::path& drawing) {
    const fs::path out = drawing.string() + ".ezdxf.json";
    const auto run =
        runChild({kPython, std::string(MARVOLT_BENCH_DIR) + "/ezdxf_list_blocks.py", drawing.string()}, out.c_str());
    if (!run || !exitedCleanly(*run)) return std::nullopt;
    EzdxfListing listing;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(out.c_str(), "r"), &std::fclose);
    if (!f || std::fscanf(f.get(), "{\"blocks\": %d, \"seconds\": %lf}", &listing.blocks, &listing.seconds) != 2)
        return std::nullopt;
    return listing;
}

std::vector<BlockEntry> listBlocks(const AcDbDatabase& db) {
    std::vector<BlockEntry> out;
    const auto* table = AcDbBlockTable::cast(db.blockTableId().slot()->object);
    out.reserve(table->recordIds().size());
    for (AcDbObjectId id : table->recordIds()) {
        const auto* rec = AcDbBlockTableRecord::cast(id.slot()->object);
        if (!rec || rec->isLayout() || rec->isAnonymous() || rec->isFromExternalReference()) continue;
        out.push_back({rec->name(), &rec->previewBytes()});
    }
    return out;
}

ReadAndList readAndListBlocks(const fs::path& drawing) {
    ReadAndList result;
    const std::wstring path = drawing.wstring();
    auto db = std::make_unique<AcDbDatabase>(false, true);
    const auto start = std::chrono::steady_clock::now();
    if (db->readDwgFile(path.c_str(), _SH_DENYNO) != Acad::eOk) {
        result.message = hostrx::wideToUtf8(db->readReport().message);
        return result;
    }
    const auto list = listBlocks(*db);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.ok = true;
    result.blocks = list.size();
    for (const auto& entry : list) result.iconBytes += entry.icon->size();
    return result;
}

int runBenchmarks(int argc, char** argv, void (*printSummary)()) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}

}  // namespace bench
