// Custom properties between the Field Manager's list and drawings: the current drawing
// in memory, and other drawing files on disk, read back by ezdxf after every change.

#include "hostwindow.h"
#include "scripteddriver.h"
#include "tempfolder.h"

#include "fieldtab/propertyexchange.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

namespace fs = std::filesystem;
using Entries = AcDbDatabase::CustomProperties;

const std::wstring kOverwrite = L"[Marvolt Host] Warning! This will overwrite existing data\nDo you want to continue?";
const std::wstring kEraseThis = L"[Marvolt Host] Warning! This will Erase existing data\nDo you want to continue?";
const std::wstring kEraseOther = L"[Marvolt Host] Warning! This will erase existing data\nDo you want to continue?";
const std::wstring kFileDialog = L"[Select DWG file] file dialog";

void setEntries(AcDbDatabase* db, const Entries& entries) {
    AcDbDatabaseSummaryInfo* info = nullptr;
    ASSERT_EQ(acdbGetSummaryInfo(db, info), Acad::eOk);
    const std::unique_ptr<AcDbDatabaseSummaryInfo> owned(info);
    for (const auto& [key, value] : entries) ASSERT_EQ(info->addCustomSummaryInfo(key.c_str(), value.c_str()), Acad::eOk);
    ASSERT_EQ(acdbPutSummaryInfo(info, db), Acad::eOk);
}

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The custom properties as ezdxf reads them from the file, in file order, as JSON.
std::string ezdxfCustomProperties(const fs::path& drawing) {
    const std::string command = "/usr/bin/python3 -c \"import sys, json, ezdxf; "
                                "print(json.dumps(list(ezdxf.readfile(sys.argv[1]).header.custom_vars)))\" '" +
                                drawing.string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return "popen failed";
    std::string out;
    char chunk[4096];
    while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe.get())) out.append(chunk, n);
    return out;
}

class PropertyExchange : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring why;
        ASSERT_EQ(acDocManager->openDocument(L"", document, why), Acad::eOk);
    }
    void TearDown() override {
        acDocManager->closeAll();
        HostWindow::settle();
    }

    AcDbDatabase* current() const { return document->database(); }
    // A drawing file holding the entries, saved by the host.
    fs::path drawing(const std::string& name, const Entries& entries) {
        AcDbDatabase db(true, true);
        setEntries(&db, entries);
        const fs::path path = folder.path() / name;
        EXPECT_EQ(db.saveAs(path.wstring().c_str()), Acad::eOk);
        return path;
    }
    // The entries of a drawing file as the host reads them.
    static Entries entriesOf(const fs::path& path) {
        AcDbDatabase db(false, true);
        EXPECT_EQ(db.readDwgFile(path.wstring().c_str(), _SH_DENYNO), Acad::eOk);
        return db.customProperties();
    }

    HostWindow host;
    FreshFolder folder;
    TempDirOverride tmp{folder.path().string()};
    ScriptedDriver driver;
    AcApDocument* document = nullptr;
};

TEST_F(PropertyExchange, SummaryOperationsReadMergeAndClear) {
    setEntries(current(), {{L"Client", L"Old"}, {L"Sheet", L"1"}});
    PropertyMap read{{L"Kept", L"in the map"}};
    readCustomProperties(current(), read);
    EXPECT_EQ(read, (PropertyMap{{L"Kept", L"in the map"}, {L"Client", L"Old"}, {L"Sheet", L"1"}}));

    writeCustomProperties(current(), {{L"Client", L"New"}, {L"Scale", L"1:50"}});
    EXPECT_EQ(current()->customProperties(), (Entries{{L"Client", L"New"}, {L"Sheet", L"1"}, {L"Scale", L"1:50"}}))
        << "values replaced in place, new keys after the drawing's own";

    writeCustomProperties(current(), {});
    EXPECT_EQ(current()->customProperties().size(), 3u) << "an empty map removes nothing";

    clearCustomProperties(current());
    EXPECT_TRUE(current()->customProperties().empty());

    PropertyMap none;
    readCustomProperties(nullptr, none);
    writeCustomProperties(nullptr, {{L"a", L"b"}});
    clearCustomProperties(nullptr);
    EXPECT_TRUE(none.empty()) << "without a summary nothing happens";
}

TEST_F(PropertyExchange, GetFromThisDrawingUnderALockThatIsGivenBack) {
    setEntries(current(), {{L"Client", L"ACME"}});
    EXPECT_EQ(getFromThisDrawing(), (PropertyMap{{L"Client", L"ACME"}}));
    EXPECT_EQ(document->lockCount(), 0);
    EXPECT_TRUE(driver.shown.empty());

    acDocManager->closeAll();
    EXPECT_EQ(getFromThisDrawing(), std::nullopt) << "no current drawing";
}

TEST_F(PropertyExchange, SaveToThisDrawingAsksFirst) {
    setEntries(current(), {{L"Client", L"Old"}, {L"Drawn", L"JS"}});
    driver.buttons = {IDNO, IDYES};
    saveToThisDrawing(nullptr, {{L"Client", L"New"}});
    EXPECT_EQ(current()->customProperties(), (Entries{{L"Client", L"Old"}, {L"Drawn", L"JS"}})) << "No keeps the drawing";
    saveToThisDrawing(nullptr, {{L"Client", L"New"}, {L"Sheet", L"2"}});
    EXPECT_EQ(current()->customProperties(), (Entries{{L"Client", L"New"}, {L"Drawn", L"JS"}, {L"Sheet", L"2"}}));
    EXPECT_EQ(driver.shown, (std::vector<std::wstring>{kOverwrite, kOverwrite}));
    EXPECT_EQ(document->lockCount(), 0);

    acDocManager->closeAll();
    saveToThisDrawing(nullptr, {{L"a", L"b"}});
    EXPECT_EQ(driver.shown.size(), 2u) << "without a current drawing nothing is asked";
}

TEST_F(PropertyExchange, ClearThisDrawingAsksWithItsOwnText) {
    setEntries(current(), {{L"Client", L"ACME"}, {L"Sheet", L"2"}});
    driver.buttons = {IDNO, IDYES};
    clearThisDrawing(nullptr);
    EXPECT_EQ(current()->customProperties().size(), 2u);
    clearThisDrawing(nullptr);
    EXPECT_TRUE(current()->customProperties().empty());
    EXPECT_EQ(driver.shown, (std::vector<std::wstring>{kEraseThis, kEraseThis}));
}

TEST_F(PropertyExchange, GetFromOtherDrawingReadsTheChosenFile) {
    const fs::path other = drawing("other.dwg", {{L"Client", L"ACME"}, {L"Owner's", L"O'Brien"}});
    driver.files = {other.wstring(), std::nullopt};
    EXPECT_EQ(getFromOtherDrawing(nullptr), (PropertyMap{{L"Client", L"ACME"}, {L"Owner's", L"O'Brien"}}));
    EXPECT_TRUE(driver.lastFileRequest.open) << "an existing file is chosen";
    EXPECT_EQ(driver.lastFileRequest.filter, L"DWG files|*.DWG;*.dwg|All files|*||");
    EXPECT_EQ(getFromOtherDrawing(nullptr), std::nullopt) << "a cancelled file dialog";
    EXPECT_EQ(driver.shown, (std::vector<std::wstring>{kFileDialog, kFileDialog}));
}

TEST_F(PropertyExchange, SaveToOtherDrawingWritesTheFileAndLeavesTheWorkingDatabase) {
    const fs::path other = drawing("other.dwg", {{L"Client", L"Old"}, {L"Sheet", L"1"}});
    const std::string before = bytesOf(other);
    driver.files = {other.wstring(), other.wstring(), std::nullopt};
    driver.buttons = {IDNO, IDYES};
    saveToOtherDrawing(nullptr, {{L"Client", L"New"}});
    EXPECT_EQ(bytesOf(other), before) << "No leaves the file as it was";
    saveToOtherDrawing(nullptr, {{L"Client", L"New"}, {L"Scale", L"1:50"}});
    EXPECT_EQ(ezdxfCustomProperties(other), "[[\"Client\", \"New\"], [\"Sheet\", \"1\"], [\"Scale\", \"1:50\"]]\n");
    saveToOtherDrawing(nullptr, {{L"x", L"y"}});
    EXPECT_EQ(driver.shown, (std::vector<std::wstring>{kFileDialog, kOverwrite, kFileDialog, kOverwrite, kFileDialog}));
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), current());
}

TEST_F(PropertyExchange, ClearOtherDrawingEmptiesTheFilesProperties) {
    const fs::path other = drawing("other.dwg", {{L"Client", L"ACME"}, {L"Sheet", L"1"}});
    driver.files = {other.wstring()};
    driver.buttons = {IDYES};
    clearOtherDrawing(nullptr);
    EXPECT_EQ(ezdxfCustomProperties(other), "[]\n");
    EXPECT_EQ(driver.shown, (std::vector<std::wstring>{kFileDialog, kEraseOther}));
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), current());
}

// A file that cannot be read is never merged from nor saved over: the user is told which
// file and why, and it stays as it was, byte for byte.
TEST_F(PropertyExchange, UnreadableFilesAreLeftAsTheyWereWithAMessage) {
    const fs::path good = drawing("good.dwg", {{L"Client", L"ACME"}});
    const std::string dxf = bytesOf(good);
    struct Case {
        const char* name;
        std::string bytes;  // empty: no file at all
        const wchar_t* reason;
    };
    const Case cases[] = {
        {"binary.dwg", std::string("AC1032\0\x01\x02\xff\xfe binary", 18), L"binary DWG"},
        {"truncated.dwg", dxf.substr(0, dxf.size() / 2), L"truncated"},
        {"missing.dwg", "", L"does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = folder.path() / c.name;
        if (!c.bytes.empty()) std::ofstream(path, std::ios::binary) << c.bytes;
        const std::wstring header = L"[Marvolt Host] Error: Can't read the drawing " + path.wstring() + L"\n";
        driver.shown.clear();
        driver.files = {path.wstring(), path.wstring(), path.wstring()};
        driver.buttons = {IDYES, IDYES};
        EXPECT_EQ(getFromOtherDrawing(nullptr), std::nullopt);
        saveToOtherDrawing(nullptr, {{L"Client", L"New"}});
        clearOtherDrawing(nullptr);
        ASSERT_EQ(driver.shown.size(), 8u) << ::testing::PrintToString(driver.shown);
        for (const std::size_t i : {1u, 4u, 7u}) {
            EXPECT_EQ(driver.shown[i].substr(0, header.size()), header);
            EXPECT_GT(driver.shown[i].size(), header.size()) << "a reason follows the name";
            EXPECT_NE(driver.shown[i].find(c.reason), std::wstring::npos) << driver.shown[i];
        }
        if (c.bytes.empty()) EXPECT_FALSE(fs::exists(path));
        else EXPECT_EQ(bytesOf(path), c.bytes);
        EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), current());
    }
}

TEST_F(PropertyExchange, AFileAnotherDrawingHoldsIsNotSavedOver) {
    const fs::path other = drawing("held.dwg", {{L"Client", L"ACME"}});
    const std::string before = bytesOf(other);
    AcDbDatabase holder(false, true);
    ASSERT_EQ(holder.readDwgFile(other.wstring().c_str(), _SH_DENYRW), Acad::eOk);
    driver.files = {other.wstring()};
    driver.buttons = {IDYES};
    saveToOtherDrawing(nullptr, {{L"Client", L"New"}});
    ASSERT_EQ(driver.shown.size(), 3u);
    EXPECT_NE(driver.shown[2].find(L"in use"), std::wstring::npos) << driver.shown[2];
    EXPECT_EQ(bytesOf(other), before);
}

}  // namespace
