#include "blockmanagerpage.h"

#include "benchsupport.h"
#include "blocktab/blockmanagertabdlg.h"
#include "dxf/dxffiler.h"
#include "frame/moduleresources.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

namespace bench {

namespace {
std::unique_ptr<CBlockManagerTabDlg> g_page;
}  // namespace

const std::filesystem::path& pageFolder(const char* name) {
    static const std::filesystem::path folder = [name] {
        const std::filesystem::path f = libraryPath().parent_path() / name;
        std::filesystem::remove_all(f);
        std::filesystem::create_directories(f);
        ::setenv("TMPDIR", f.c_str(), 1);
        return f;
    }();
    return folder;
}

CBlockManagerTabDlg& blockManagerPage() {
    static int token = 0;
    if (!g_page) {
        acRegisterResourceModule(&token, &moduleResources());
        setModuleLibrary(&token);
        CAcModuleResourceOverride resources(&token);
        g_page = std::make_unique<CBlockManagerTabDlg>();
        g_page->Create(res::IDD_BLOCK_MANAGER, nullptr);
    }
    return *g_page;
}

void dropBlockManagerPage() { g_page.reset(); }

int runPageBenchmarks(int argc, char** argv, void (*printSummary)()) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    hostdb::setDrawingFiler(&hostdxf::dxfFiler());
    const int rc = runBenchmarks(argc, argv, printSummary);
    dropBlockManagerPage();
    return rc;
}

}  // namespace bench
