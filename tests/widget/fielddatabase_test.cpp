// The field database: property sets saved to and loaded from "FieldDb.db" (read back with
// the sqlite3 program), and the Table Browser's list, delete, rename and sort.

#include "hostwindow.h"
#include "scripteddriver.h"
#include "tempfolder.h"

#include "fieldtab/dbdialog.h"
#include "fieldtab/fielddatabase.h"
#include "rx/utf8.h"

#include <QHeaderView>
#include <QTableView>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

namespace fs = std::filesystem;

hostui::ListViewWidget& tableList(CAdUiBaseDialog& d) {
    return *dynamic_cast<hostui::ListViewWidget*>(d.GetDlgItem(res::IDC_TB_TABLES)->widget());
}

std::vector<std::wstring> rowsOf(CAdUiBaseDialog& d) {
    std::vector<std::wstring> out;
    for (const hostui::ListItem& item : tableList(d).model().items) out.push_back(item.texts.front().toStdWString());
    return out;
}

void selectRow(CAdUiBaseDialog& d, const std::wstring& name) {
    hostui::ListViewWidget& list = tableList(d);
    const std::vector<std::wstring> rows = rowsOf(d);
    const auto it = std::find(rows.begin(), rows.end(), name);
    ASSERT_NE(it, rows.end()) << "no row " << hostrx::wideToUtf8(name);
    QTest::mouseClick(list.mouseTarget(), Qt::LeftButton, {}, list.itemRect(static_cast<int>(it - rows.begin())).center());
    HostWindow::settle();
}

class FieldDatabase : public ::testing::Test {
protected:
    fs::path dbPath() const { return folder.path() / "FieldDb.db"; }

    // What the sqlite3 program prints for the SQL (list mode, '|' between columns).
    std::string sqlite3(const std::string& sql) const {
        const fs::path script = folder.path() / "query.sql";
        std::ofstream(script) << sql;
        const std::string command =
            std::string(SQLITE3_PROGRAM) + " -batch -list '" + dbPath().string() + "' < '" + script.string() + "' 2>&1";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
        if (!pipe) return "popen failed";
        std::string out;
        char chunk[4096];
        while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe.get())) out.append(chunk, n);
        return out;
    }
    std::string tables() const { return sqlite3("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name;"); }

    void save(const QString& name, const PropertyRows& rows) {
        driver.typeAndOk(name);
        saveToDatabase(nullptr, rows);
    }
    // Loads the named set through the Table Browser, as a person picks it.
    std::optional<PropertyMap> load(const std::wstring& name) {
        driver.dialogs.push_back([name](CAdUiBaseDialog& d) {
            selectRow(d, name);
            ScriptedDriver::click(d, IDOK);
        });
        return getFromDatabase(nullptr);
    }
    // Opens the Table Browser, lets act work it, and closes it with its close box.
    void browse(std::function<void(CAdUiBaseDialog&)> act) {
        driver.dialogs.push_back([act](CAdUiBaseDialog& d) {
            act(d);
            d.widget()->close();
        });
        EXPECT_EQ(getFromDatabase(nullptr), std::nullopt);
    }
    static std::wstring transcript() { return hosted::CommandLine::instance().transcript(); }

    HostWindow host;
    FreshFolder folder;
    TempDirOverride tmp{folder.path().string() + "/"};
    ScriptedDriver driver;
    ModuleResourceScope resources;
};

TEST_F(FieldDatabase, ApostrophesInKeysAndValuesAreSavedAndLoaded) {
    const PropertyRows rows{{L"Owner's name", L"O'Brien"}, {L"Note", L"it's '; DROP TABLE x; --"}, {L"Empty", L""}};
    save("Doors", rows);
    EXPECT_TRUE(driver.shown.empty());
    EXPECT_EQ(sqlite3(".schema Doors\nSELECT Key, FieldName, FieldValue FROM Doors;"),
              "CREATE TABLE Doors (Key INTEGER PRIMARY KEY, FieldName TEXT,FieldValue TEXT);\n"
              "1|Owner's name|O'Brien\n2|Note|it's '; DROP TABLE x; --\n3|Empty|\n");
    EXPECT_EQ(tables(), "Doors\n") << "nothing else in the file";
    EXPECT_EQ(load(L"Doors"), (PropertyMap{{L"Owner's name", L"O'Brien"}, {L"Note", L"it's '; DROP TABLE x; --"}, {L"Empty", L""}}));
}

// Every refused name leaves the file as it was and says why; SQLite's refusals come with
// SQLite's own words.
TEST_F(FieldDatabase, RefusedNamesChangeNothing) {
    save("Doors", {{L"Width", L"900"}});
    const std::string before = sqlite3(".dump");
    struct Case {
        QString name;
        std::wstring message;
    };
    const Case cases[] = {
        {"", L"Error: Value cannot be empty or null"},
        {"1st", L"Error: Invalid Table name"},
        {"_set", L"Error: Invalid Table name"},
        {QString::fromUtf8("Ärger"), L"Error: Invalid Table name"},
        {"doors", L"SQLite returned an error\nSQLITE_ERROR[1]: table doors already exists"},
        {"DOORS", L"SQLite returned an error\nSQLITE_ERROR[1]: table DOORS already exists"},
        {"Door set", L"SQLite returned an error\nSQLITE_ERROR[1]: near \"set\": syntax error"},
        {"select", L"SQLite returned an error\nSQLITE_ERROR[1]: near \"select\": syntax error"},
        {"Windows AS SELECT 1 --", L"SQLite returned an error\nSQLITE_ERROR[1]: near \"SELECT\": syntax error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        driver.shown.clear();
        save(c.name, {{L"Width", L"1200"}, {L"Height", L"2100"}});
        EXPECT_EQ(driver.shown, (std::vector<std::wstring>{L"[Marvolt Host] " + c.message}));
        EXPECT_EQ(sqlite3(".dump"), before);
    }
    driver.shown.clear();
    driver.dialogs.push_back([](CAdUiBaseDialog& d) { ScriptedDriver::click(d, IDCANCEL); });
    saveToDatabase(nullptr, {{L"a", L"b"}});
    EXPECT_TRUE(driver.shown.empty()) << "a cancelled prompt ends quietly";
    EXPECT_EQ(sqlite3(".dump"), before);
}

TEST_F(FieldDatabase, AnEmptyListGivesAnEmptySet) {
    ASSERT_FALSE(fs::exists(dbPath()));
    save("Spare", {});
    EXPECT_EQ(tables(), "Spare\n") << "the file is made on the way";
    EXPECT_EQ(sqlite3("SELECT count(*) FROM Spare;"), "0\n");
    EXPECT_EQ(load(L"Spare"), PropertyMap{});
}

TEST_F(FieldDatabase, AFileThatCannotBeMadeIsReportedWithSQLitesMessage) {
    TempDirOverride missing{(folder.path() / "no such folder").string() + "/"};
    save("Doors", {{L"Width", L"900"}});
    EXPECT_EQ(driver.shown, (std::vector<std::wstring>{
                                L"[Marvolt Host] SQLite returned an error\nSQLITE_CANTOPEN[14]: unable to open database file"}));
    EXPECT_FALSE(fs::exists(folder.path() / "no such folder"));
}

TEST_F(FieldDatabase, WithoutTheFileTheBrowserSaysSoAndMakesNone) {
    std::vector<std::wstring> rows{L"not looked at"};
    driver.dialogs.push_back([&rows](CAdUiBaseDialog& d) {
        rows = rowsOf(d);
        ScriptedDriver::click(d, IDOK);
    });
    EXPECT_EQ(getFromDatabase(nullptr), std::nullopt);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(driver.shown, (std::vector<std::wstring>{L"[Marvolt Host] Error: Can't find file FieldDb.db"}));
    EXPECT_FALSE(fs::exists(dbPath()));
}

TEST_F(FieldDatabase, ASetTheBrowserCannotFindAnyMoreShowsSQLitesMessage) {
    save("Doors", {{L"Width", L"900"}});
    driver.dialogs.push_back([this](CAdUiBaseDialog& d) {
        selectRow(d, L"Doors");
        sqlite3("DROP TABLE Doors;");
        ScriptedDriver::click(d, IDOK);
    });
    EXPECT_EQ(getFromDatabase(nullptr), std::nullopt);
    EXPECT_EQ(driver.shown,
              (std::vector<std::wstring>{L"[Marvolt Host] SQLite returned an error\nSQLITE_ERROR[1]: no such table: Doors"}));
}

TEST_F(FieldDatabase, BrowserListsDeletesAndKeepsTheFocus) {
    save("Doors", {{L"Width", L"900"}});
    save("Windows", {{L"Width", L"1200"}});
    browse([this](CAdUiBaseDialog& d) {
        EXPECT_EQ(d.dialogName(), L"Quarrow:DialogBd");
        EXPECT_EQ(d.SendMessage(WM_ACAD_KEEPFOCUS), TRUE);
        EXPECT_EQ(tableList(d).model().columns, (std::vector<QString>{"DB Entry"}));
        EXPECT_EQ(rowsOf(d), (std::vector<std::wstring>{L"Doors", L"Windows"}));
        ScriptedDriver::click(d, res::IDC_TB_DELETE);
        EXPECT_EQ(rowsOf(d), (std::vector<std::wstring>{L"Doors", L"Windows"})) << "nothing selected, nothing deleted";
        selectRow(d, L"Doors");
        ScriptedDriver::click(d, res::IDC_TB_DELETE);
        EXPECT_EQ(rowsOf(d), (std::vector<std::wstring>{L"Windows"}));
    });
    EXPECT_EQ(tables(), "Windows\n");
    EXPECT_TRUE(driver.shown.empty()) << "no confirmation";
}

TEST_F(FieldDatabase, RenameRefusesInvalidNames) {
    save("Doors", {{L"Width", L"900"}});
    for (const QString name : {"", "9doors", " "}) {
        driver.shown.clear();
        browse([this, name](CAdUiBaseDialog& d) {
            selectRow(d, L"Doors");
            driver.typeAndOk(name);
            ScriptedDriver::click(d, res::IDC_TB_RENAME);
            EXPECT_EQ(rowsOf(d), (std::vector<std::wstring>{L"Doors"}));
        });
        EXPECT_EQ(driver.shown, (std::vector<std::wstring>{L"[Marvolt Host] Error: Invalid Table name"}));
        EXPECT_EQ(tables(), "Doors\n");
    }
}

// A name with a blank, which only Rename gives, is quoted wherever it goes into SQL: the
// set loads, renames and deletes as any other.
TEST_F(FieldDatabase, ASetRenamedToANameWithABlankLoadsRenamesAndDeletes) {
    save("Doors", {{L"Width", L"900"}});
    std::wstring caption;
    browse([this, &caption](CAdUiBaseDialog& d) {
        selectRow(d, L"Doors");
        driver.dialogs.push_back([&caption](CAdUiBaseDialog& prompt) {
            caption = prompt.GetDlgItem(res::IDC_TEXTBOX_CAPTION)->windowText();
            QTest::keyClicks(dynamic_cast<QLineEdit*>(prompt.GetDlgItem(res::IDC_TEXTBOX_EDIT)->widget()), "Door \"set\"'s");
            ScriptedDriver::click(prompt, IDOK);
        });
        ScriptedDriver::click(d, res::IDC_TB_RENAME);
        EXPECT_EQ(rowsOf(d), (std::vector<std::wstring>{L"Door \"set\"'s"}));
    });
    EXPECT_EQ(caption, L"Rename Table Doors Name to");
    EXPECT_EQ(tables(), "Door \"set\"'s\n");
    EXPECT_EQ(load(L"Door \"set\"'s"), (PropertyMap{{L"Width", L"900"}}));

    browse([this](CAdUiBaseDialog& d) {
        selectRow(d, L"Door \"set\"'s");
        driver.typeAndOk("Door set");
        ScriptedDriver::click(d, res::IDC_TB_RENAME);
        selectRow(d, L"Door set");
        ScriptedDriver::click(d, res::IDC_TB_DELETE);
        EXPECT_TRUE(rowsOf(d).empty());
    });
    EXPECT_EQ(tables(), "") << "the set is gone from the file, not only from the list";
    EXPECT_TRUE(driver.shown.empty());
}

TEST_F(FieldDatabase, RenameOntoAnotherSetsNameIsRefusedOnTheCommandLine) {
    save("Doors", {{L"Width", L"900"}});
    save("Windows", {{L"Width", L"1200"}});
    hosted::CommandLine::instance().clear();
    browse([this](CAdUiBaseDialog& d) {
        selectRow(d, L"Doors");
        driver.typeAndOk("WINDOWS");
        ScriptedDriver::click(d, res::IDC_TB_RENAME);
        EXPECT_EQ(rowsOf(d), (std::vector<std::wstring>{L"Doors", L"Windows"}));
    });
    EXPECT_NE(transcript().find(L"SQliteUtils::RenameTable"), std::wstring::npos) << hostrx::wideToUtf8(transcript());
    EXPECT_EQ(tables(), "Doors\nWindows\n");
}

TEST_F(FieldDatabase, HeaderClicksSortDescendingFirstThenAscending) {
    for (const char* name : {"beta", "Alpha", "gamma"}) save(name, {});
    browse([](CAdUiBaseDialog& d) {
        hostui::ListViewWidget& list = tableList(d);
        QHeaderView* header = qobject_cast<QTableView*>(list.view())->horizontalHeader();
        const auto clickHeader = [header] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
            HostWindow::settle();
        };
        selectRow(d, L"gamma");
        clickHeader();
        EXPECT_EQ(rowsOf(d), (std::vector<std::wstring>{L"gamma", L"beta", L"Alpha"}));
        EXPECT_EQ(list.sortMark(0), -1);
        clickHeader();
        EXPECT_EQ(rowsOf(d), (std::vector<std::wstring>{L"Alpha", L"beta", L"gamma"}));
        EXPECT_EQ(list.sortMark(0), 1);
        EXPECT_EQ(list.model().items[2].state & LVIS_SELECTED, LVIS_SELECTED) << "the selection moves with its row";
    });
}

}  // namespace
