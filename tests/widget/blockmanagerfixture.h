#pragma once

// The Block Manager page on real widgets, in a fresh temporary folder of its own (so its
// own "iconcache.db"), with helpers that work its controls as a person does.

#include "hostwindow.h"
#include "librarydrawing.h"
#include "tempfolder.h"

#include "blocktab/blockmanagertabdlg.h"
#include "frame/moduleresources.h"
#include "palette/palettecommands.h"
#include "palette/zeldockcontrolbar.h"
#include "storage/sqliteutils.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <filesystem>
#include <optional>
#include <string>
#include <utime.h>
#include <vector>

namespace blockmanagertest {

namespace fs = std::filesystem;

// Answers message boxes with a fixed button and counts them.
class AnsweringDriver : public hostui::ModalDriver {
public:
    explicit AnsweringDriver(int answer) : m_answer(answer) { hostui::setModalDriver(this); }
    ~AnsweringDriver() override { hostui::setModalDriver(nullptr); }
    void runDialog(CAdUiBaseDialog& dialog) override { dialog.EndDialog(IDCANCEL); }
    int messageBox(const std::wstring& caption, const std::wstring& text, UINT) override {
        boxes.push_back(L"[" + caption + L"] " + text);
        return m_answer;
    }
    std::optional<std::wstring> chooseFile(const hostui::FileRequest&) override { return std::nullopt; }
    int popupMenu(const std::vector<std::wstring>& entries, int, int) override {
        const auto it = std::find(entries.begin(), entries.end(), menuChoice);
        return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
    }

    std::vector<std::wstring> boxes;
    std::wstring menuChoice;

private:
    int m_answer;
};

inline void setModifiedTime(const fs::path& path, std::int64_t seconds) {
    const utimbuf times{static_cast<time_t>(seconds), static_cast<time_t>(seconds)};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

class BlockManager : public ::testing::Test {
protected:
    void SetUp() override {
        AcApDocument* doc = nullptr;
        std::wstring why;
        ASSERT_EQ(acDocManager->openDocument(L"", doc, why), Acad::eOk);
        hosted::CommandLine::instance().clear();
        marvoltShowPalette();
        HostWindow::settle();
    }
    void TearDown() override {
        destroyPalette();
        acDocManager->closeAll();
        HostWindow::settle();
    }

    static CBlockManagerTabDlg& page() { return thePalette()->tabHost().blockPage(); }
    static QWidget* control(int id) { return page().GetDlgItem(id)->widget(); }
    static hostui::ListViewWidget& list(int id) { return *dynamic_cast<hostui::ListViewWidget*>(control(id)); }
    static QLineEdit& edit(int id) {
        QWidget* w = control(id);
        auto* e = dynamic_cast<QLineEdit*>(w);
        return e ? *e : *w->findChild<QLineEdit*>();
    }
    static std::vector<std::wstring> rows(int id) {
        std::vector<std::wstring> out;
        for (const hostui::ListItem& item : list(id).model().items) out.push_back(item.texts.front().toStdWString());
        return out;
    }
    static std::wstring transcript() { return hosted::CommandLine::instance().transcript(); }

    static void typeInto(int id, const QString& text) {
        QLineEdit& e = edit(id);
        e.setFocus();
        e.clear();
        QTest::keyClicks(&e, text);
        HostWindow::settle();
    }
    // Typing, then moving on to another control, as a person does.
    static void commit(int id, const QString& text) {
        typeInto(id, text);
        edit(res::IDC_BM_PATH).setFocus();
        HostWindow::settle();
    }
    static void clickRow(int id, int row, Qt::MouseButton button = Qt::LeftButton) {
        hostui::ListViewWidget& l = list(id);
        QTest::mouseClick(l.mouseTarget(), button, {}, l.itemRect(row).center());
        HostWindow::settle();
    }

    // A library drawing with the named blocks, each with an icon, saved in the folder.
    fs::path library(const std::string& name, const std::vector<std::wstring>& blocks) {
        LibraryBuilder builder;
        for (const std::wstring& b : blocks) builder.addBlock(b.c_str());
        const fs::path path = folder.path() / name;
        builder.save(path.wstring());
        return path;
    }
    void select(const fs::path& path) {
        hostui::ListViewWidget& h = list(res::IDC_BM_HISTORY);
        const auto& items = h.model().items;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].texts.front().toStdWString() == path.wstring()) {
                clickRow(res::IDC_BM_HISTORY, static_cast<int>(i));
                return;
            }
        ADD_FAILURE() << "no history entry " << path;
    }
    // The path put into the edit at once, as the browse button does.
    static void addToHistory(const fs::path& path) {
        edit(res::IDC_BM_PATH).clear();
        edit(res::IDC_BM_PATH).setText(QString::fromStdWString(path.wstring()));
        HostWindow::settle();
    }

    HostWindow host;
    FreshFolder folder;
    TempDirOverride tmp{folder.path().string()};
};

}  // namespace blockmanagertest
