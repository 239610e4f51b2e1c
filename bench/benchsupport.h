#pragma once

// What the benchmark programs share: running a helper program, the generated library
// drawing, ezdxf's reference timing and the reader's own read-and-list.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <vector>

class AcDbDatabase;

namespace bench {

constexpr int kLibraryBlocks = 5000;
constexpr int kLibraryMegabytes = 50;
constexpr double kMegabyte = 1024.0 * 1024.0;

// A finished child program: its wait status and resource use.
struct ChildResult {
    int status = 0;
    rusage usage{};
};
// Runs a program (standard output to stdoutPath when given) and waits for it; nullopt
// when it could not be started.
std::optional<ChildResult> runChild(const std::vector<std::string>& args, const char* stdoutPath = nullptr);
bool exitedCleanly(const ChildResult& r);

// The 5,000-block, 50 MB library drawing, made by make_library.py into the build folder
// on first use; empty when it cannot be made.
const std::filesystem::path& libraryPath();

// ezdxf's own time for reading the drawing and listing its block names, without the
// interpreter's start-up, and the number of blocks it listed; nullopt when it failed.
struct EzdxfListing {
    int blocks = 0;
    double seconds = 0;
};
std::optional<EzdxfListing> ezdxfListBlocks(const std::filesystem::path& drawing);

// A block as the reader's own listing sees it: the icon stays in the database.
struct BlockEntry {
    std::wstring name;
    const std::vector<std::uint8_t>* icon;
};

// The user blocks of a drawing, as the block library lists them: no layouts, no
// anonymous blocks, no external references. Reads the database's records in place,
// without opening them: the floor under any listing through the host's calls.
std::vector<BlockEntry> listBlocks(const AcDbDatabase& db);

// One timed read of the drawing into a fresh database and its listing, the database
// destroyed after the clock stops (ezdxf's figure leaves its document standing too).
struct ReadAndList {
    bool ok = false;
    std::string message;  // why the read failed
    double seconds = 0;
    std::size_t blocks = 0, iconBytes = 0;
};
ReadAndList readAndListBlocks(const std::filesystem::path& drawing);

// Runs the registered benchmarks, then prints the program's summary of its figures.
int runBenchmarks(int argc, char** argv, void (*printSummary)());

}  // namespace bench
