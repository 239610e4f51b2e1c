#include "frame/datapaths.h"
#include "frame/hostapi.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path freshFolder(const char* name) {
    const fs::path dir = fs::temp_directory_path() / "marvolt-datapaths" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(DataPaths, MissingFileStillSetsThePath) {
    const fs::path dir = freshFolder("missing");
    TempDirOverride tmp(dir.string());
    std::wstring path;
    EXPECT_FALSE(getIconCachePath(path));
    EXPECT_EQ(path, dir.wstring() + L"/iconcache.db");
    EXPECT_FALSE(getFieldDbPath(path));
    EXPECT_EQ(path, dir.wstring() + L"/FieldDb.db");
}

TEST(DataPaths, ExistingFileIsReportedAndTrailingSeparatorKeptOnce) {
    const fs::path dir = freshFolder("existing");
    TempDirOverride tmp(dir.string() + "/");
    std::ofstream(dir / "iconcache.db") << "x";
    std::wstring path;
    EXPECT_TRUE(getIconCachePath(path));
    EXPECT_EQ(path, dir.wstring() + L"/iconcache.db");
}

TEST(DataPaths, OverlongTempDirectoryLeavesThePathUnchanged) {
    TempDirOverride tmp("/" + std::string(300, 'a'));
    std::wstring path = L"unchanged";
    EXPECT_FALSE(getIconCachePath(path));
    EXPECT_EQ(path, L"unchanged");
}

struct SplitCase {
    const wchar_t* path;
    const wchar_t* dir;
    const wchar_t* name;
    const wchar_t* ext;
};

TEST(Platform, SplitPathAsTheModuleExpects) {
    const SplitCase cases[] = {
        {L"/lib/parts/valve.dwg", L"/lib/parts/", L"valve", L".dwg"},
        {L"valve.DWG", L"", L"valve", L".DWG"},
        {L"/lib/a.b/valve", L"/lib/a.b/", L"valve", L""},
        {L"/lib/archive.tar.gz", L"/lib/", L"archive.tar", L".gz"},
        {L"/lib/parts/", L"/lib/parts/", L"", L""},
    };
    for (const SplitCase& c : cases) {
        wchar_t drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
        _wsplitpath(c.path, drive, dir, name, ext);
        EXPECT_STREQ(drive, L"");
        EXPECT_STREQ(dir, c.dir);
        EXPECT_STREQ(name, c.name);
        EXPECT_STREQ(ext, c.ext);
    }
}

}  // namespace
