#pragma once
// The Block Manager page as the palette makes it, for the benches that time it.

#include <filesystem>

class CBlockManagerTabDlg;

namespace bench {

// A fresh folder of the bench's own beside the bench library, made the temporary
// directory, so that the page's "iconcache.db" is the bench's alone. Made on the first
// call; later calls give the same folder whatever name they pass.
const std::filesystem::path& pageFolder(const char* name);

// The page, with the module's resources registered; made on the first call.
CBlockManagerTabDlg& blockManagerPage();

// The page goes before the application does.
void dropBlockManagerPage();

// The main of a bench of the page: the application on the offscreen platform, the
// drawing reader, the benchmarks and their summary, then the page dropped.
int runPageBenchmarks(int argc, char** argv, void (*printSummary)());

}  // namespace bench
