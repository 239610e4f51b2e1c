// The Block Manager page on real widgets: typing paths, committing scale and rotation,
// the layer chooser, the history's menu, and the icon cache in a real "iconcache.db".

#include "blockmanagerfixture.h"

#include <fstream>
#include <functional>

namespace {

using namespace blockmanagertest;
namespace fs = std::filesystem;

TEST_F(BlockManager, TypingAPathAddsEveryExistingPathOnTheWayKeyByKey) {
    fs::create_directories(folder.path() / "lib");
    const fs::path drawing = library("lib/door.dwg", {L"DOOR"});
    typeInto(res::IDC_BM_PATH, QString::fromStdWString(drawing.wstring()));
    // Each text the edit held on the way that names a file or folder, newest at the top.
    std::vector<std::wstring> expected;
    const std::wstring full = drawing.wstring();
    for (std::size_t n = 1; n <= full.size(); ++n) {
        const std::wstring prefix = full.substr(0, n);
        if (prefix.back() != L'/' && fs::exists(prefix)) expected.insert(expected.begin(), prefix);
    }
    EXPECT_EQ(rows(res::IDC_BM_HISTORY), expected);
    EXPECT_EQ(page().drawingPath, full);
    EXPECT_EQ(list(res::IDC_BM_HISTORY).selectionMark(), 0);
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), std::vector<std::wstring>{L"DOOR"});
    EXPECT_EQ(SQliteUtils::getHistory(), expected);
}

TEST_F(BlockManager, OnlyPathsEndingInDotDwgAreDrawings) {
    const struct {
        const wchar_t* path;
        bool drawing;
    } cases[] = {{L"/a/b.DWG", true}, {L"/a/b.dwg", true}, {L"b.DwG", true}, {L"DWG", false},
                 {L".DWG", true},     {L"/a/bdwg", false}, {L"/a/b.dxf", false}, {L"", false}};
    for (const auto& c : cases) EXPECT_EQ(isDrawingPath(c.path), c.drawing) << std::string(c.path, c.path + std::wcslen(c.path));
}

TEST_F(BlockManager, SelectingAFolderWritesThePathButKeepsTheDrawing) {
    const fs::path drawing = library("door.dwg", {L"DOOR"});
    addToHistory(drawing);
    addToHistory(folder.path());
    EXPECT_EQ(page().drawingPath, folder.path().wstring()) << "typing an existing path sets it";
    select(drawing);
    select(folder.path());
    EXPECT_EQ(page().drawingPath, drawing.wstring());
    EXPECT_EQ(edit(res::IDC_BM_PATH).text().toStdWString(), folder.path().wstring());
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), std::vector<std::wstring>{L"DOOR"});
}

TEST_F(BlockManager, ScaleAndRotationAreCheckedWhenTheFocusLeaves) {
    struct Case {
        int edit;
        const char* typed;
        const char* shown;
        double stored;
        bool alert;
    };
    const Case cases[] = {
        {res::IDC_BM_SCALE, "2.5", "2.5000", 2.5, false},
        {res::IDC_BM_SCALE, "0", "1.0000", 2.5, true},
        {res::IDC_BM_SCALE, "-2", "1.0000", 2.5, true},
        {res::IDC_BM_SCALE, "abc", "1.0000", 2.5, true},
        {res::IDC_BM_SCALE, "1e3", "1000.0000", 1000, false},
        {res::IDC_BM_ROTATION, "450", "90", 450 * 3.14159265358979323846 / 180, false},
        {res::IDC_BM_ROTATION, "-30", "330", -30 * 3.14159265358979323846 / 180, false},
        {res::IDC_BM_ROTATION, "north", "0", -30 * 3.14159265358979323846 / 180, true},
    };
    for (const Case& c : cases) {
        hosted::CommandLine::instance().clear();
        commit(c.edit, c.typed);
        EXPECT_EQ(edit(c.edit).text().toStdString(), c.shown) << c.typed;
        EXPECT_NEAR(c.edit == res::IDC_BM_SCALE ? page().scale : page().rotation, c.stored, 1e-9) << c.typed;
        const std::wstring alert = c.edit == res::IDC_BM_SCALE ? L"Scale out of range, Please check the value"
                                                              : L"Rotation out of range, Please check the value";
        EXPECT_EQ(transcript().find(alert) != std::wstring::npos, c.alert) << c.typed;
    }
}

TEST_F(BlockManager, LayerChooserListsLayersSortedAndResetsWhenFocused) {
    AcDbDatabase* db = acDocManager->curDocument()->database();
    for (const wchar_t* name : {L"walls", L"Doors", L"b-2", L"a"}) {
        AcDbLayerTable* layers = nullptr;
        ASSERT_EQ(acdbOpenObject(layers, db->layerTableId(), AcDb::kForWrite), Acad::eOk);
        auto* layer = new AcDbLayerTableRecord();
        layer->setName(name);
        layer->setColor(AcCmColor::fromIndex(3));
        layers->add(layer);
        layer->close();
        layers->close();
    }
    auto* combo = dynamic_cast<QComboBox*>(control(res::IDC_BM_LAYERS));
    combo->setFocus();
    HostWindow::settle();
    std::vector<std::wstring> shown;
    for (int i = 0; i < combo->count(); ++i) shown.push_back(combo->itemText(i).toStdWString());
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"*Active Layer*", L"0", L"A", L"B-2", L"DOORS", L"WALLS"}));
    combo->setCurrentIndex(4);
    emit combo->activated(4);
    HostWindow::settle();
    EXPECT_EQ(page().layerName, L"DOORS");
    EXPECT_TRUE(list(res::IDC_BM_BLOCKS).view()->hasFocus());
    combo->setFocus();
    HostWindow::settle();
    EXPECT_EQ(page().layerName, L"");
    EXPECT_EQ(combo->currentIndex(), 0);
}

TEST_F(BlockManager, AShortPageGivesTheListsWhatIsLeftDownToNothing) {
    QWidget* pageWidget = page().widget();
    const int historyTop = list(res::IDC_BM_HISTORY).geometry().top();
    const int blocksTop = list(res::IDC_BM_BLOCKS).geometry().top();
    const int historyWidth = list(res::IDC_BM_HISTORY).width();
    for (const int height : {600, historyTop + 10, 40}) {
        pageWidget->resize(pageWidget->width(), height);
        HostWindow::settle();
        EXPECT_EQ(list(res::IDC_BM_HISTORY).height(), std::max(0, height - historyTop - 20)) << height;
        EXPECT_EQ(list(res::IDC_BM_BLOCKS).height(), std::max(0, height - blocksTop - 20)) << height;
        EXPECT_EQ(list(res::IDC_BM_HISTORY).width(), historyWidth);
    }
}

TEST_F(BlockManager, ACurrentCacheEntryIsShownWithoutReadingTheDrawing) {
    const fs::path drawing = library("valves.dwg", {L"VALVE", L"GATE"});
    setModifiedTime(drawing, 1700000000);
    addToHistory(drawing);
    EXPECT_NE(transcript().find(L"\nDone Caching " + drawing.wstring()), std::wstring::npos);
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), (std::vector<std::wstring>{L"GATE", L"VALVE"}));

    // Other bytes under the same time: the cache is trusted and the old blocks show.
    library("valves.dwg", {L"PUMP"});
    setModifiedTime(drawing, 1700000000);
    hosted::CommandLine::instance().clear();
    addToHistory(drawing);
    EXPECT_EQ(transcript().find(L"Done Caching"), std::wstring::npos);
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), (std::vector<std::wstring>{L"GATE", L"VALVE"}));

    // Only the time changes, even backwards: stale, read again.
    setModifiedTime(drawing, 1600000000);
    addToHistory(drawing);
    EXPECT_NE(transcript().find(L"\nDone Caching " + drawing.wstring()), std::wstring::npos);
    EXPECT_EQ(rows(res::IDC_BM_BLOCKS), std::vector<std::wstring>{L"PUMP"});
    EXPECT_EQ(SQliteUtils::getIconCacheDateRecord(drawing.wstring()), 1600000000);
}

TEST_F(BlockManager, ClearItemAsksThenClearsTheRightClickedEntry) {
    const fs::path a = library("a.dwg", {L"A1"});
    const fs::path b = library("b.dwg", {L"B1"});
    addToHistory(a);
    addToHistory(b);
    ASSERT_EQ(rows(res::IDC_BM_HISTORY), (std::vector<std::wstring>{b.wstring(), a.wstring()}));
    {
        AnsweringDriver no(IDNO);
        no.menuChoice = L"Clear Item";
        clickRow(res::IDC_BM_HISTORY, 1, Qt::RightButton);
        ASSERT_EQ(no.boxes.size(), 1u);
        EXPECT_EQ(no.boxes[0], L"[Cache] This will clear the Icon cache for this drawing\n\t do you wish Continue?");
        EXPECT_EQ(rows(res::IDC_BM_HISTORY).size(), 2u);
    }
    AnsweringDriver yes(IDYES);
    yes.menuChoice = L"Clear Item";
    hosted::CommandLine::instance().clear();
    clickRow(res::IDC_BM_HISTORY, 1, Qt::RightButton);
    // The entry under the pointer was selected first: its cache and its row are gone.
    EXPECT_EQ(rows(res::IDC_BM_HISTORY), std::vector<std::wstring>{b.wstring()});
    std::vector<BlockInfo> records;
    EXPECT_FALSE(SQliteUtils::getIconCacheRecords(records, a.wstring()));
    EXPECT_TRUE(SQliteUtils::getIconCacheRecords(records, b.wstring()));
    EXPECT_EQ(SQliteUtils::getHistory(), std::vector<std::wstring>{b.wstring()});
    EXPECT_NE(transcript().find(L"\nDone deleting Cache "), std::wstring::npos);

    yes.menuChoice = L"Clear All Items";
    clickRow(res::IDC_BM_HISTORY, 0, Qt::RightButton);
    EXPECT_EQ(yes.boxes.back(), L"[Cache] This will clear the Icon cache, do you wish Continue?");
    EXPECT_TRUE(rows(res::IDC_BM_HISTORY).empty());
    EXPECT_TRUE(SQliteUtils::getHistory().empty());
    EXPECT_FALSE(SQliteUtils::getIconCacheRecords(records, b.wstring()));
}

TEST_F(BlockManager, UndecodableIconsShowBlankAndLaterBlocksTheirOwn) {
    std::vector<Adesk::UInt8> good(2088, 0);
    good[0] = 40;
    good[4] = good[8] = 32;
    good[12] = 1;
    good[14] = 8;
    good[40 + 4 * 1 + 2] = 200;  // colour 1 is red
    std::fill(good.begin() + 40 + 1024, good.end(), 1);
    std::vector<Adesk::UInt8> cut(good.begin(), good.begin() + 1000);
    BlockInfoArray records;
    for (const auto& [name, icon] : {std::pair{L"A", std::vector<Adesk::UInt8>{}}, {L"B", cut}, {L"C", good}}) {
        BlockInfo info;
        info.name = name;
        for (Adesk::UInt8 byte : icon) info.previewIcon.append(byte);
        records.append(info);
    }
    page().fillBlockList(records);
    const hostui::ListModel& model = list(res::IDC_BM_BLOCKS).model();
    ASSERT_EQ(model.items.size(), 3u);
    ASSERT_TRUE(model.images);
    EXPECT_TRUE(model.images->isBlank(model.items[0].image));
    EXPECT_TRUE(model.images->isBlank(model.items[1].image));
    EXPECT_EQ(model.images->image(model.items[2].image).pixel(5, 5), qRgb(200, 0, 0));
}

}  // namespace
