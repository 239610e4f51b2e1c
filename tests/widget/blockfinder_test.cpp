// Finding a block in the Block Manager page: the filter over the block list, the search
// over every cached library, and the keys of the icon list.

#include "blockmanagerfixture.h"
#include "modelspace.h"

#include "ed/editor.h"
#include "ed/inputsource.h"
#include "storage/blocklibrarycache.h"
#include "storage/blocknameindex.h"

#include <fstream>
#include <map>
#include <sstream>

namespace {

using namespace blockmanagertest;
namespace fs = std::filesystem;

class BlockFinder : public BlockManager {
protected:
    // Key by key; Qt's test keys know ASCII alone, so every character is put in as an
    // input method hands it over.
    static void filter(const QString& text) {
        QLineEdit& e = edit(res::IDC_BM_FILTER);
        e.setFocus();
        e.clear();
        for (const QChar c : text) e.insert(QString(c));
        HostWindow::settle();
    }
    static std::vector<std::wstring> selectedRows() {
        std::vector<std::wstring> out;
        for (const hostui::ListItem& item : list(res::IDC_BM_BLOCKS).model().items)
            if (item.state & LVIS_SELECTED) out.push_back(item.texts.front().toStdWString());
        return out;
    }
    static int rowOf(const std::wstring& label) {
        const std::vector<std::wstring> shown = rows(res::IDC_BM_BLOCKS);
        const auto at = std::find(shown.begin(), shown.end(), label);
        return at == shown.end() ? -1 : static_cast<int>(at - shown.begin());
    }
};

TEST_F(BlockFinder, TheFilterEditSitsAboveTheBlockListWithItsCue) {
    EXPECT_EQ(edit(res::IDC_BM_FILTER).placeholderText(), "Filter blocks");
    EXPECT_TRUE(edit(res::IDC_BM_FILTER).text().isEmpty());
    const QRect filterBox = control(res::IDC_BM_FILTER)->geometry();
    const QRect blocks = control(res::IDC_BM_BLOCKS)->geometry();
    EXPECT_EQ(filterBox.left(), blocks.left());
    EXPECT_EQ(filterBox.right(), blocks.right()) << "the edit spans the list's column";
    const QRect box = control(res::IDC_BM_ALL_LIBRARIES)->geometry();
    EXPECT_GT(box.top(), filterBox.bottom()) << "the check box has the row under the edit";
    EXPECT_LT(box.bottom(), blocks.top());
    EXPECT_GE(box.width(), control(res::IDC_BM_ALL_LIBRARIES)->sizeHint().width()) << "\"All libraries\" shows whole";
}

TEST_F(BlockFinder, FilterMatchesSubstringsAndPatternsByUnicodeCase) {
    const fs::path drawing = library("mixed.dwg", {L"Door-1", L"DOOR_2", L"window", L"\u039F\u0394\u039F\u03A3",
                                                   L"Stra\u00DFe", L"STRASSE", L"T\u00FCrgriff"});
    addToHistory(drawing);
    const struct {
        const char* name;
        QString typed;
        std::vector<std::wstring> shown;  // in the list's order
    } cases[] = {
        {"empty: every block", "", {L"Door-1", L"DOOR_2", L"STRASSE", L"Stra\u00DFe", L"T\u00FCrgriff", L"window", L"\u039F\u0394\u039F\u03A3"}},
        {"substring in any case", "door", {L"Door-1", L"DOOR_2"}},
        {"substring inside the name", "OR_", {L"DOOR_2"}},
        {"no match", "xyz", {}},
        {"a star is a pattern over the whole name", "d*1", {L"Door-1"}},
        {"a pattern that does not span the name", "d*", {L"Door-1", L"DOOR_2"}},
        {"a question mark", "?INDOW", {L"window"}},
        {"the host's character classes", "[dw]*", {L"Door-1", L"DOOR_2", L"window"}},
        {"the host's digit class", "*#", {L"Door-1", L"DOOR_2"}},
        {"Greek small sigma", "\u03BF\u03B4\u03BF\u03C3", {L"\u039F\u0394\u039F\u03A3"}},
        {"Greek final sigma", "\u03BF\u03B4\u03BF\u03C2", {L"\u039F\u0394\u039F\u03A3"}},
        {"umlaut", "T\u00DCR", {L"T\u00FCrgriff"}},
        // The host's letter case maps one letter to one letter: sharp s is not SS.
        {"sharp s finds sharp s in any case", "STRA\u00DF", {L"Stra\u00DFe"}},
        {"SS does not find sharp s", "strass", {L"STRASSE"}},
    };
    for (const auto& c : cases) {
        filter(c.typed);
        EXPECT_EQ(rows(res::IDC_BM_BLOCKS), c.shown) << c.name;
    }
}

TEST_F(BlockFinder, RowsKeepTheirIconsAndSortUnderTheFilter) {
    const fs::path drawing = library("icons.dwg", {L"B2", L"A1", L"B1", L"C1"});
    addToHistory(drawing);
    const hostui::ListModel& model = list(res::IDC_BM_BLOCKS).model();
    std::map<std::wstring, int> images;
    for (const hostui::ListItem& item : model.items) images[item.texts.front().toStdWString()] = item.image;
    filter("b");
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), (std::vector<std::wstring>{L"B1", L"B2"}));
    for (const hostui::ListItem& item : model.items) EXPECT_EQ(item.image, images[item.texts.front().toStdWString()]);
    filter("");
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), (std::vector<std::wstring>{L"A1", L"B1", L"B2", L"C1"}));
}

TEST_F(BlockFinder, TheFilterStaysWhenAnotherDrawingIsSelected) {
    const fs::path doors = library("doors.dwg", {L"DOOR", L"FRAME"});
    const fs::path valves = library("valves.dwg", {L"VALVE", L"GATE", L"FRAME_V"});
    addToHistory(doors);
    addToHistory(valves);
    filter("frame");
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), std::vector<std::wstring>{L"FRAME_V"});
    select(doors);
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), std::vector<std::wstring>{L"FRAME"});
    EXPECT_EQ(edit(res::IDC_BM_FILTER).text(), "frame");
}

TEST_F(BlockFinder, TheSelectionStaysWhileItsBlockStillMatches) {
    addToHistory(library("doors.dwg", {L"DOOR_A", L"DOOR_B", L"WINDOW"}));
    clickRow(res::IDC_BM_BLOCKS, rowOf(L"DOOR_B"));
    filter("door");
    EXPECT_EQ(selectedRows(), std::vector<std::wstring>{L"DOOR_B"});
    filter("door_b");
    EXPECT_EQ(selectedRows(), std::vector<std::wstring>{L"DOOR_B"});
    filter("win");
    EXPECT_TRUE(selectedRows().empty());
    filter("");
    EXPECT_TRUE(selectedRows().empty()) << "a selection dropped by the filter does not come back";
}

class LibrarySearch : public BlockFinder {
protected:
    void search(bool on) {
        auto* box = dynamic_cast<QAbstractButton*>(control(res::IDC_BM_ALL_LIBRARIES));
        if (box->isChecked() != on) QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        HostWindow::settle();
    }
    static std::wstring tip() { return hostui::toolTipText(control(res::IDC_BM_ALL_LIBRARIES)).toStdWString(); }
    // Runs what a double-click or Enter sets off, answering its prompts with the lines.
    template <class Act>
    static void withInput(const std::string& lines, Act act) {
        std::istringstream in(lines);
        hosted::ScriptInput input(in, L"test.scr");
        hosted::Editor::instance().setInput(&input);
        act();
        hosted::Editor::instance().setInput(nullptr);
    }
};

// Four drawings in the history: two cached and current, one changed since it was
// cached, one whose cache was cleared.
TEST_F(LibrarySearch, FindsTheBlocksOfEveryCurrentLibraryAndCountsTheRest) {
    const fs::path a = library("a.dwg", {L"DOOR_A", L"VALVE"});
    const fs::path b = library("b.dwg", {L"DOOR_B"});
    const fs::path stale = library("stale.dwg", {L"DOOR_S"});
    const fs::path cleared = library("cleared.dwg", {L"DOOR_C"});
    for (const fs::path& p : {a, b, stale, cleared}) {
        setModifiedTime(p, 1700000000);
        addToHistory(p);
    }
    setModifiedTime(stale, 1700000100);
    BlockLibraryCache::deleteDrawingCache(cleared.wstring());
    EXPECT_EQ(tip(), L"2 libraries are not cached yet: select them once to include them");

    search(true);
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS),
              (std::vector<std::wstring>{L"DOOR_A (a.dwg)", L"DOOR_B (b.dwg)", L"VALVE (a.dwg)"}));
    // Only the cache is read: a library whose bytes are gone but whose time is kept still shows.
    std::ofstream(a, std::ios::trunc) << "not a drawing";
    setModifiedTime(a, 1700000000);
    hosted::CommandLine::instance().clear();
    filter("door");
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), (std::vector<std::wstring>{L"DOOR_A (a.dwg)", L"DOOR_B (b.dwg)"}));
    filter("*_b");
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), std::vector<std::wstring>{L"DOOR_B (b.dwg)"});
    EXPECT_EQ(transcript(), L"") << "nothing was read or printed while typing";

    // Selecting the stale drawing reads it again and takes it in.
    filter("door");
    select(stale);
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS),
              (std::vector<std::wstring>{L"DOOR_A (a.dwg)", L"DOOR_B (b.dwg)", L"DOOR_S (stale.dwg)"}));
    EXPECT_EQ(tip(), L"1 library is not cached yet: select it once to include it");

    search(false);
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), std::vector<std::wstring>{L"DOOR_S"}) << "the selected drawing's, filtered";
}

TEST_F(LibrarySearch, FoundRowsShowTheirCachedIcons) {
    std::vector<Adesk::UInt8> red(2088, 0);
    red[0] = 40;
    red[4] = red[8] = 32;
    red[12] = 1;
    red[14] = 8;
    red[40 + 4 + 2] = 200;
    std::fill(red.begin() + 40 + 1024, red.end(), 1);
    LibraryBuilder builder;
    builder.addBlock(L"ICON", 0, AcDb::kUnitsUndefined, red);
    builder.addBlock(L"PLAIN");
    const fs::path path = folder.path() / "icons.dwg";
    builder.save(path.wstring());
    addToHistory(path);
    search(true);
    hostui::ListViewWidget& l = list(res::IDC_BM_BLOCKS);
    ASSERT_EQ(rows(res::IDC_BM_BLOCKS), (std::vector<std::wstring>{L"ICON (icons.dwg)", L"PLAIN (icons.dwg)"}));
    const int icon = l.imageOf(0), plain = l.imageOf(1);
    ASSERT_TRUE(l.model().images);
    EXPECT_EQ(l.model().images->image(icon).pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_TRUE(l.model().images->isBlank(plain));
    EXPECT_EQ(l.imageOf(0), icon) << "a row's icon is read once";
}

// The same block name in two libraries: the row says which, and the definition comes
// from that drawing.
TEST_F(LibrarySearch, InsertionFromAFoundRowTakesTheBlockFromItsOwnDrawing) {
    LibraryBuilder one;
    one.addBlock(L"DOOR");
    one.save((folder.path() / "one.dwg").wstring());
    LibraryBuilder two;
    const AcDbObjectId door = two.addBlock(L"DOOR");
    two.addAttributeDefinition(door, L"TAG", L"Tag", L"from two", {0, 0, 0});
    two.save((folder.path() / "two.dwg").wstring());
    addToHistory(folder.path() / "two.dwg");
    addToHistory(folder.path() / "one.dwg");
    search(true);
    filter("DOOR");
    ASSERT_EQ(rows(res::IDC_BM_BLOCKS), (std::vector<std::wstring>{L"DOOR (one.dwg)", L"DOOR (two.dwg)"}));
    const QPoint at = list(res::IDC_BM_BLOCKS).itemRect(1).center();
    withInput("4,5\n", [&] {
        QTest::mouseDClick(list(res::IDC_BM_BLOCKS).mouseTarget(), Qt::LeftButton, {}, at);
        HostWindow::settle();
    });
    AcDbDatabase* db = acDocManager->curDocument()->database();
    const auto refs = modelSpaceEntities<AcDbBlockReference>(*db);
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_TRUE(refs[0]->position().isEqualTo({4, 5, 0}));
    AcDbBlockTableRecord* def = nullptr;
    ASSERT_EQ(acdbOpenObject(def, refs[0]->blockTableRecord(), AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(def->hasAttributeDefinitions()) << "the definition of two.dwg";
    def->close();
    EXPECT_EQ(page().drawingPath, (folder.path() / "one.dwg").wstring()) << "the selected drawing stays";
}

TEST_F(LibrarySearch, TypeAheadMovesTheSelectionAndEnterInsertsIt) {
    addToHistory(library("keys.dwg", {L"ALPHA", L"BETA", L"BOLT", L"BRACKET", L"GAMMA"}));
    hostui::ListViewWidget& l = list(res::IDC_BM_BLOCKS);
    l.view()->setFocus();
    const struct {
        const char* typed;
        bool pause;  // a new search, as after a pause
        const wchar_t* selected;
    } steps[] = {
        {"br", true, L"BRACKET"},   // letters in quick succession spell the start
        {"b", true, L"BETA"},       // one letter searches on from the selected row, round the end
        {"b", false, L"BOLT"},      // the same letter again: the next row starting with it
        {"g", true, L"GAMMA"},
        {"xyz", true, L"GAMMA"},    // nothing starts so: the selection stays
        {"alp", true, L"ALPHA"},
    };
    for (const auto& step : steps) {
        if (step.pause) l.resetTypeAhead();
        QTest::keyClicks(l.view(), step.typed);
        HostWindow::settle();
        EXPECT_EQ(selectedRows(), std::vector<std::wstring>{step.selected}) << step.typed;
    }
    QTest::keyClick(l.view(), Qt::Key_End);
    EXPECT_EQ(selectedRows(), std::vector<std::wstring>{L"GAMMA"});
    QTest::keyClick(l.view(), Qt::Key_Home);
    EXPECT_EQ(selectedRows(), std::vector<std::wstring>{L"ALPHA"});
    QTest::keyClick(l.view(), Qt::Key_Down);
    withInput("1,2\n", [&] { QTest::keyClick(l.view(), Qt::Key_Return); });
    const auto refs = modelSpaceEntities<AcDbBlockReference>(*acDocManager->curDocument()->database());
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_TRUE(refs[0]->position().isEqualTo({1, 2, 0}));
    AcDbBlockTableRecord* def = nullptr;
    ASSERT_EQ(acdbOpenObject(def, refs[0]->blockTableRecord(), AcDb::kForRead), Acad::eOk);
    const ACHAR* name = nullptr;
    def->getName(name);
    EXPECT_EQ(std::wstring(name), L"BETA");
    def->close();
}

TEST_F(BlockFinder, PageKeysMoveByWhatTheListShows) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 40; ++i) names.push_back(L"B" + std::to_wstring(100 + i));
    addToHistory(library("many.dwg", names));
    hostui::ListViewWidget& l = list(res::IDC_BM_BLOCKS);
    l.view()->setFocus();
    const auto selectedIndex = [&] { return rowOf(selectedRows().at(0)); };
    QTest::keyClick(l.view(), Qt::Key_Home);
    QTest::keyClick(l.view(), Qt::Key_PageDown);
    const int page = selectedIndex();
    EXPECT_GT(page, 1);
    EXPECT_LT(page, 39);
    QTest::keyClick(l.view(), Qt::Key_PageDown);
    EXPECT_EQ(selectedIndex(), std::min(39, 2 * page));
    QTest::keyClick(l.view(), Qt::Key_PageUp);
    EXPECT_EQ(selectedIndex(), std::min(39, 2 * page) - page);
    for (int i = 0; i < 10; ++i) QTest::keyClick(l.view(), Qt::Key_PageDown);
    EXPECT_EQ(selectedIndex(), 39) << "no further than the last row";
    for (int i = 0; i < 10; ++i) QTest::keyClick(l.view(), Qt::Key_PageUp);
    EXPECT_EQ(selectedIndex(), 0);
}

}  // namespace
