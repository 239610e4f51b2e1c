// The main window worked as a person works it: keys in the command line, clicks and
// drags in the drawing view, tabs of documents. The command loop runs for real; each
// time the input waits, the next step of the person is played.

#include "ap/docmanager.h"
#include "ap/menumodel.h"
#include "db/curves.h"
#include "db/undorecord.h"
#include "ed/adscodes.h"
#include "ed/commandline.h"
#include "ed/editor.h"
#include "ed/entitypicks.h"
#include "ed/jig.h"
#include "ed/prompts.h"
#include "ed/selection.h"
#include "db/blockreference.h"
#include "rx/moduleloader.h"
#include "rx/commandstack.h"
#include "rx/dictionary.h"
#include "testdrawing.h"

#include "app/commandlinewidget.h"
#include "app/guiinput.h"
#include "app/mainwindow.h"
#include "app/scriptrunner.h"
#include "app/viewdragdisplay.h"
#include "ui/framework/keyboard.h"
#include "ui/render/drawingview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace {

using hostapp::MainWindow;
using hosted::Request;

constexpr const ACHAR* kGroup = L"WIDGETTEST";

// What the test commands saw.
struct Seen {
    int rc = RTNONE;
    AcGePoint3d point;
    Adesk::Int32 count = 0;
    int updates = 0;
    std::size_t mostShown = 0;
    std::wstring text;
};
Seen g_seen;

void getPoint() {
    ads_point p = {0, 0, 0};
    g_seen.rc = acedGetPoint(nullptr, L"\nPoint: ", p);
    g_seen.point = AcGePoint3d(p[0], p[1], p[2]);
}

void getText() {
    ACHAR text[512] = {};
    g_seen.rc = acedGetString(1, L"\nText: ", text);
    g_seen.text = text;
}

void pick() {
    ads_name e = {0, 0};
    ads_point p = {0, 0, 0};
    g_seen.rc = acedEntSel(nullptr, e, p);
}

void countSelection() {
    ads_name ss = {0, 0};
    g_seen.rc = acedSSGet(nullptr, nullptr, nullptr, nullptr, ss);
    if (g_seen.rc == RTNORM) {
        acedSSLength(ss, &g_seen.count);
        acedSSFree(ss);
    }
}

// A line from the origin whose end follows the cursor.
class EndPointJig : public AcEdJig {
public:
    EndPointJig() { setDispPrompt(L"\nEnd point: "); }
    DragStatus sampler() override {
        if (auto* w = hostapp::mainWindow())
            g_seen.mostShown = std::max(g_seen.mostShown, w->dragDisplay().shown().size());
        return acquirePoint(m_cursor);
    }
    Adesk::Boolean update() override {
        ++g_seen.updates;
        m_line.setEndPoint(m_cursor);
        return true;
    }
    AcDbEntity* entity() const override { return const_cast<AcDbLine*>(&m_line); }
    AcGePoint3d end() const { return m_line.endPoint(); }

private:
    AcGePoint3d m_cursor;
    AcDbLine m_line{{0, 0, 0}, {0, 0, 0}};
};

void jigLine() {
    EndPointJig jig;
    g_seen.rc = jig.drag();
    g_seen.point = jig.end();
}

AcEdCommandStack* stack() { return AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)); }

class MainWindowInput : public ::testing::Test {
protected:
    using Step = std::function<void()>;

    void SetUp() override {
        g_seen = {};
        AcApDocument* doc = nullptr;
        std::wstring why;
        ASSERT_EQ(acDocManager->openDocument(L"", doc, why), Acad::eOk);
        first = doc;
        appendToModel(*doc->database(), new AcDbLine({0, 0, 0}, {10, 0, 0}));
        appendToModel(*doc->database(), new AcDbLine({20, 0, 0}, {30, 10, 0}));
        window = std::make_unique<MainWindow>();
        window->refresh();
        // Shown and laid out first: the view fits the drawing to its final size, so the
        // zoom a test reads is the one its clicks meet.
        window->show();
        QApplication::processEvents();
        stack()->addCommand(kGroup, L"GETPT", L"GETPT", ACRX_CMD_MODAL, &getPoint);
        stack()->addCommand(kGroup, L"PICK", L"PICK", ACRX_CMD_MODAL, &pick);
        stack()->addCommand(kGroup, L"GETTEXT", L"GETTEXT", ACRX_CMD_MODAL, &getText);
        stack()->addCommand(kGroup, L"SSCOUNT", L"SSCOUNT", ACRX_CMD_MODAL, &countSelection);
        stack()->addCommand(kGroup, L"JIGLINE", L"JIGLINE", ACRX_CMD_MODAL, &jigLine);
        hosted::CommandLine::instance().clear();
    }

    void TearDown() override {
        input.reset();
        window.reset();
        hostap::MenuModel::instance().reset();
        stack()->removeGroup(kGroup);
        hosted::Editor::instance().setInput(nullptr);
        hosted::Editor::instance().clearFailure();
        acDocManager->closeAll();
    }

    // One session: plays one step each time the input waits, then closes the window;
    // answers the command loop's status.
    int play(std::deque<Step> steps) {
        window->show();
        input = std::make_unique<hostapp::GuiInput>(*window);
        input->setWaitObserver([&](Request request) {
            waits.push_back(request);
            QTimer::singleShot(0, window.get(), [&] {
                if (steps.empty()) {
                    window->close();
                    return;
                }
                const Step step = std::move(steps.front());
                steps.pop_front();
                step();
            });
        });
        // A step that gives no input would leave the loop waiting for ever.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            ADD_FAILURE() << "the person's steps ran dry while the input waited";
            window->close();
        });
        watchdog.start(10000);
        std::wstring message;
        const int rc = hostapp::exitCode(hostapp::runCommandLine(*input, message));
        EXPECT_EQ(message, L"");
        return rc;
    }

    hostui::DrawingView* view() const { return window->view(); }
    QLineEdit* line() const { return window->commandLine()->input(); }
    QPoint pixel(double x, double y) const { return view()->toPixel(AcGePoint3d(x, y, 0)).toPoint(); }
    static std::wstring transcript() { return hosted::CommandLine::instance().transcript(); }

    Step type(const QString& text) const {
        return [this, text] {
            QTest::keyClicks(line(), text);
            QTest::keyClick(line(), Qt::Key_Return);
        };
    }
    // Opens a menu of the menu bar with a click and clicks one of its entries.
    Step choose(const QString& menu, const QString& entry) const {
        return [this, menu, entry] {
            QMenuBar* bar = window->menuBar();
            for (QAction* top : bar->actions()) {
                if (top->text().remove('&') != menu) continue;
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
                QMenu* popup = top->menu();
                ASSERT_TRUE(popup->isVisible());
                for (QAction* item : popup->actions())
                    if (item->text() == entry)
                        return QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(item).center());
            }
            ADD_FAILURE() << "no menu entry " << menu.toStdString() << "/" << entry.toStdString();
            window->close();
        };
    }
    Step click(double x, double y) const {
        return [this, x, y] { QTest::mouseClick(view(), Qt::LeftButton, {}, pixel(x, y)); };
    }
    // The move reaches the view as the platform delivers it; QTest's own mouse move goes
    // through the cursor, which the view hides and the offscreen platform does not track.
    Step move(double x, double y) const {
        return [this, x, y] {
            const QPointF at = pixel(x, y);
            QMouseEvent event(QEvent::MouseMove, at, view()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view(), &event);
        };
    }
    Step dragRectangle(double x1, double y1, double x2, double y2) const {
        return [this, x1, y1, x2, y2] {
            QTest::mousePress(view(), Qt::LeftButton, {}, pixel(x1, y1));
            QTest::mouseMove(view(), (pixel(x1, y1) + pixel(x2, y2)) / 2);
            QTest::mouseMove(view(), pixel(x2, y2));
            QTest::mouseRelease(view(), Qt::LeftButton, {}, pixel(x2, y2));
        };
    }

    AcApDocument* first = nullptr;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<hostapp::GuiInput> input;
    std::vector<Request> waits;
};

TEST_F(MainWindowInput, TypedCommandAndPoint) {
    EXPECT_EQ(play({type("getpt"), type("3,4")}), 0);
    EXPECT_EQ(g_seen.rc, RTNORM);
    EXPECT_EQ(g_seen.point, AcGePoint3d(3, 4, 0));
    EXPECT_NE(transcript().find(L"Command: getpt\nPoint: 3,4\nCommand: "), std::wstring::npos) << transcript();
    EXPECT_NE(window->commandLine()->transcript().indexOf("Point: 3,4"), -1);
    EXPECT_EQ(waits, (std::vector<Request>{Request::command, Request::point, Request::command}));
}

TEST_F(MainWindowInput, ClickAnswersAPointPrompt) {
    EXPECT_EQ(play({type("GETPT"), click(7, 3)}), 0);
    ASSERT_EQ(g_seen.rc, RTNORM);
    const double pixelSize = view()->unitsPerPixel();
    EXPECT_NEAR(g_seen.point.x, 7, pixelSize);
    EXPECT_NEAR(g_seen.point.y, 3, pixelSize);
}

// The pick box is 3 pixels of the view as it is zoomed, whatever the drawing's extents.
TEST_F(MainWindowInput, ClickPicksWithThreePixelsOfTheView) {
    const double px = view()->unitsPerPixel();
    EXPECT_EQ(play({type("PICK"), click(5, 2 * px)}), 0);
    EXPECT_EQ(g_seen.rc, RTNORM);
    EXPECT_EQ(play({type("PICK"), click(5, 6 * px)}), 0);
    EXPECT_EQ(g_seen.rc, RTERROR);
}

TEST_F(MainWindowInput, DraggedRectanglesSelectByWindowOrCrossing) {
    const struct {
        const char* name;
        double x1, y1, x2, y2;
        const wchar_t* said;
        int found;
    } cases[] = {
        // Wholly inside the box: the first line only.
        {"left to right is a window", -5, -5, 25, 5, L"Select objects: W ", 1},
        // The same box the other way crosses the second line too.
        {"right to left is a crossing", 25, 5, -5, -5, L"Select objects: C ", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        hosted::CommandLine::instance().clear();
        g_seen = {};
        EXPECT_EQ(play({type("SSCOUNT"), dragRectangle(c.x1, c.y1, c.x2, c.y2), type("")}), 0);
        EXPECT_EQ(g_seen.rc, RTNORM);
        EXPECT_EQ(g_seen.count, c.found);
        EXPECT_NE(transcript().find(c.said), std::wstring::npos) << transcript();
    }
}

// A click at "Command: " is no command, and a hand that slipped while clicking at a
// point prompt still gives the point it let go at.
TEST_F(MainWindowInput, MouseAnswersOnlyWhereThePromptTakesThem) {
    EXPECT_EQ(play({[this] {
                        QTest::mouseClick(view(), Qt::LeftButton, {}, pixel(5, 5));
                        QTest::keyClicks(line(), "GETPT");
                        QTest::keyClick(line(), Qt::Key_Return);
                    },
                    dragRectangle(0, 0, 12, 9)}),
              0);
    EXPECT_EQ(transcript().find(L"unknown command"), std::wstring::npos) << transcript();
    ASSERT_EQ(g_seen.rc, RTNORM);
    const double px = view()->unitsPerPixel();
    EXPECT_NEAR(g_seen.point.x, 12, px);
    EXPECT_NEAR(g_seen.point.y, 9, px);
}

TEST_F(MainWindowInput, EscapeCancelsThePrompt) {
    EXPECT_EQ(play({type("GETPT"), [this] { QTest::keyClick(line(), Qt::Key_Escape); }}), 0);
    EXPECT_EQ(g_seen.rc, RTCAN);
    EXPECT_NE(transcript().find(L"Point: ^C"), std::wstring::npos);
}

TEST_F(MainWindowInput, KeysTypedInTheViewGoToTheCommandLine) {
    EXPECT_EQ(play({[this] {
                        view()->setFocus();
                        QTest::keyClicks(view(), "GETPT");
                        QTest::keyClick(view(), Qt::Key_Return);
                    },
                    type("1,1")}),
              0);
    EXPECT_EQ(g_seen.point, AcGePoint3d(1, 1, 0));
}

// A text prompt answered in every script, typed as a keyboard and an input method hand
// the characters over: into the command line, or into the view, which passes them on.
TEST_F(MainWindowInput, TextPromptsTakeEveryScriptFromTheCommandLineAndTheView) {
    const QString texts[] = {QStringLiteral("été Straße"), QStringLiteral("Ωμέγα Привет"), QStringLiteral("项目/北京 😀")};
    for (const QString& text : texts) {
        for (const bool inView : {false, true}) {
            g_seen = {};
            QWidget* target = inView ? static_cast<QWidget*>(view()) : line();
            const auto typed = [target](const QString& t) {
                return [target, t] {
                    target->setFocus();
                    hostui::typeText(target, t);
                    hostui::pressKey(target, Qt::Key_Return);
                };
            };
            EXPECT_EQ(play({typed("GETTEXT"), typed(text)}), 0);
            EXPECT_EQ(g_seen.rc, RTNORM) << text.toStdString() << (inView ? " in the view" : "");
            EXPECT_EQ(g_seen.text, text.toStdWString()) << (inView ? "in the view" : "in the command line");
        }
    }
}

TEST_F(MainWindowInput, MistakesAreSaidAndTheSessionGoesOn) {
    EXPECT_EQ(play({type("GETPT"), type("abc"), type("NOSUCH"), type("GETPT"), type("1,2")}), 0);
    const std::wstring said = transcript();
    EXPECT_NE(said.find(L"Point: abc\nInvalid input: expected a point (x,y or x,y,z).\n*Cancel*"), std::wstring::npos)
        << said;
    EXPECT_NE(said.find(L"unknown command \"NOSUCH\""), std::wstring::npos) << said;
    EXPECT_EQ(g_seen.rc, RTNORM);
    EXPECT_EQ(g_seen.point, AcGePoint3d(1, 2, 0));
}

TEST_F(MainWindowInput, JigFollowsTheCursorAndEndsOnTheClick) {
    EXPECT_EQ(play({type("JIGLINE"), move(1, 1), move(2, 2), move(3, 3), click(4, 5)}), 0);
    EXPECT_EQ(g_seen.rc, AcEdJig::kNormal);
    EXPECT_GE(g_seen.updates, 4);
    // The entity was shown while the cursor moved, and nothing is left after.
    EXPECT_EQ(g_seen.mostShown, 1u);
    EXPECT_TRUE(window->dragDisplay().shown().empty());
    const double px = view()->unitsPerPixel();
    EXPECT_NEAR(g_seen.point.x, 4, px);
    EXPECT_NEAR(g_seen.point.y, 5, px);
    // One prompt and the final point, not a line per cursor move.
    const std::wstring said = transcript();
    const auto prompt = said.find(L"End point: ");
    ASSERT_NE(prompt, std::wstring::npos);
    EXPECT_EQ(said.find(L"End point: ", prompt + 1), std::wstring::npos) << said;
}

TEST_F(MainWindowInput, DocumentsAreSwitchedOnlyWhileNothingRuns) {
    AcApDocument* second = nullptr;
    std::wstring why;
    ASSERT_EQ(acDocManager->openDocument(L"", second, why), Acad::eOk);
    window->refresh();
    window->show();
    QTabBar* tabs = window->documentTabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->currentIndex(), 1);
    // Tabs added while the window was hidden still get their room above the view.
    QCoreApplication::processEvents();
    EXPECT_GT(tabs->height(), 0);
    EXPECT_GE(view()->y(), tabs->height());

    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(curDoc(), first);
    EXPECT_EQ(view()->database(), first->database());
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());

    bool enabledDuringPrompt = true;
    EXPECT_EQ(play({type("GETPT"),
                    [&] {
                        enabledDuringPrompt = tabs->isEnabled();
                        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
                        QTest::keyClicks(line(), "1,1");
                        QTest::keyClick(line(), Qt::Key_Return);
                    }}),
              0);
    EXPECT_FALSE(enabledDuringPrompt);
    EXPECT_EQ(curDoc(), first);
    // The command only asked for a point: neither drawing changed.
    EXPECT_FALSE(first->isModified());
    EXPECT_FALSE(second->isModified());
}

// A command of the application context (a palette's) is no edit of the drawing, nor is
// a drawing command that changed nothing; one that changed it makes it modified, and
// undoing that makes it unmodified again.
TEST_F(MainWindowInput, OnlyRealChangesMakeTheDrawingModified) {
    stack()->addCommand(kGroup, L"SHOWPANEL", L"SHOWPANEL", ACRX_CMD_SESSION, [] {});
    stack()->addCommand(kGroup, L"ADDLINE", L"ADDLINE", ACRX_CMD_MODAL, [] {
        AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
        AcDbBlockTableRecord* space = nullptr;
        if (acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite) != Acad::eOk) return;
        auto* line = new AcDbLine({0, 0, 0}, {1, 1, 0});
        if (space->appendAcDbEntity(line) == Acad::eOk) line->close();
        else delete line;
        space->close();
    });
    first->setModified(false);
    EXPECT_EQ(play({type("SHOWPANEL")}), 0);
    EXPECT_FALSE(first->isModified());
    EXPECT_EQ(play({type("GETPT"), type("1,1")}), 0);
    EXPECT_FALSE(first->isModified());
    EXPECT_EQ(play({type("ADDLINE")}), 0);
    EXPECT_TRUE(first->isModified());
    std::wstring undone;
    EXPECT_EQ(first->database()->undoRecord().undo(undone), Acad::eOk);
    EXPECT_EQ(undone, L"ADDLINE");
    EXPECT_FALSE(first->isModified());
}

// The module's nested copy with the mouse alone: a click picks the line inside a block
// reference, a click gives the base point, the copy follows the cursor and a click
// places it.
TEST_F(MainWindowInput, ModuleNestedCopyByMouse) {
    AcDbDatabase& db = *first->database();
    const AcDbObjectId leaf = addBlock(db, L"LEAF");
    appendTo(leaf, new AcDbLine({0, 0, 0}, {2, 0, 0}));
    auto* ref = new AcDbBlockReference({20, 20, 0}, leaf);
    ref->setScaleFactors(AcGeVector3d(2, 2, 2));
    appendToModel(db, ref);
    window->refresh();

    hostrx::ModuleLoader loader;
    std::wstring message;
    ASSERT_TRUE(loader.load(MARVOLT_MODULE_PATH, message));
    const std::size_t before = hosted::currentSpaceEntities().size();
    EXPECT_EQ(play({type("zelncopy"), click(22, 20), click(20, 20), move(25, 25), move(28, 28), click(30, 30)}), 0);
    EXPECT_GT(window->dragDisplay().framesShown(), 0);
    EXPECT_TRUE(window->dragDisplay().shown().empty());
    loader.unload(message);

    const auto after = hosted::currentSpaceEntities();
    ASSERT_EQ(after.size(), before + 1) << transcript();
    const auto* copy = AcDbLine::cast(hosted::liveEntity(after.back()));
    ASSERT_NE(copy, nullptr);
    const double px = view()->unitsPerPixel();
    EXPECT_NEAR(copy->startPoint().x, 30, 2 * px);
    EXPECT_NEAR(copy->startPoint().y, 30, 2 * px);
    EXPECT_NEAR(copy->endPoint().x, 34, 2 * px);
    // The drag's samples are not in the transcript: one prompt, one point.
    const std::wstring said = transcript();
    EXPECT_EQ(said.find(L"Enter second point:"), said.rfind(L"Enter second point:")) << said;
}

std::vector<QString> menuBarTexts(MainWindow& window) {
    std::vector<QString> texts;
    for (QAction* top : window.menuBar()->actions()) texts.push_back(top->text());
    return texts;
}

// A pull-down put on the host's menu bar through the menu model shows in the window at
// its place; chosen with the mouse, an item types its macro at the command line as the
// person would: a command name at "Command: ", an answer at a waiting prompt.
TEST_F(MainWindowInput, AMenuItemChosenWithTheMouseTypesItsMacro) {
    hostap::MenuModel& model = hostap::MenuModel::instance();
    EXPECT_EQ(menuBarTexts(*window), (std::vector<QString>{"&File", "&Edit", "&View"}));
    auto tools = model.addMenu(model.hostGroup(), L"Tools");
    model.addEntry(*tools, -1, {L"Point", L"getpt ", false});
    model.addEntry(*tools, -1, {L"", L"", true});
    model.addEntry(*tools, -1, {L"Here", L"3,4 ", false});
    model.insertInMenuBar(tools, 1);
    EXPECT_EQ(menuBarTexts(*window), (std::vector<QString>{"&File", "Tools", "&Edit", "&View"}));

    EXPECT_EQ(play({choose("Tools", "Point"), choose("Tools", "Here")}), 0);
    EXPECT_EQ(g_seen.rc, RTNORM);
    EXPECT_EQ(g_seen.point, AcGePoint3d(3, 4, 0));
    EXPECT_NE(transcript().find(L"Command: getpt\nPoint: 3,4\nCommand: "), std::wstring::npos) << transcript();

    model.removeFromMenuBar(*tools);
    EXPECT_EQ(menuBarTexts(*window), (std::vector<QString>{"&File", "&Edit", "&View"}));
}

TEST_F(MainWindowInput, ClosingAsksAboutUnsavedDrawingsOfAPerson) {
    const struct {
        const char* name;
        bool interactive;
        QMessageBox::StandardButton answer;
        int questions;
        bool closes;
    } cases[] = {
        {"cancel keeps the window", true, QMessageBox::Cancel, 1, false},
        {"no closes without saving", true, QMessageBox::No, 1, true},
        {"a script is never asked", false, QMessageBox::Cancel, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        first->setModified(true);
        window->setInteractive(c.interactive);
        int questions = 0;
        window->setDialogs({{}, [&](const QString&, const QString& text) {
                                ++questions;
                                EXPECT_TRUE(text.contains("Drawing1")) << text.toStdString();
                                return c.answer;
                            },
                            {}});
        window->show();
        bool closed = false;
        const auto connection = QObject::connect(window.get(), &MainWindow::closed, [&] { closed = true; });
        window->close();
        QObject::disconnect(connection);
        EXPECT_EQ(questions, c.questions);
        EXPECT_EQ(closed, c.closes);
        EXPECT_EQ(window->isVisible(), !c.closes);
    }
}

TEST_F(MainWindowInput, SaveAsThenOpenGivesATabNamedAfterTheFile) {
    const QString path = QDir::temp().filePath(QStringLiteral("mainwin-%1.dwg").arg(QCoreApplication::applicationPid()));
    window->setDialogs({[&](MainWindow::FileChoice, const QString&) { return path; }, {}, {}});
    first->setModified(true);
    ASSERT_TRUE(window->saveDocumentAs());
    EXPECT_FALSE(first->isModified());
    EXPECT_EQ(window->documentTabs()->tabText(0), QFileInfo(path).fileName());

    ASSERT_TRUE(window->openDocument());
    EXPECT_EQ(acDocManager->documentCount(), 2);
    EXPECT_EQ(window->documentTabs()->count(), 2);
    EXPECT_EQ(window->documentTabs()->currentIndex(), 1);
    EXPECT_EQ(view()->database(), curDoc()->database());
    EXPECT_NE(curDoc(), first);
    EXPECT_EQ(std::wstring(curDoc()->fileName()), path.toStdWString());
    QFile::remove(path);
}

TEST(CommandInputLine, UpAndDownWalkTheHistory) {
    hostapp::CommandInputLine line;
    QStringList submitted;
    QObject::connect(&line, &hostapp::CommandInputLine::submitted, [&](const QString& t) { submitted << t; });
    for (const char* typed : {"LINE", "3,4", "3,4", ""}) {
        QTest::keyClicks(&line, typed);
        QTest::keyClick(&line, Qt::Key_Return);
    }
    EXPECT_EQ(submitted, (QStringList{"LINE", "3,4", "3,4", ""}));
    // Repeats and empty lines are not kept twice.
    EXPECT_EQ(line.history(), (QStringList{"LINE", "3,4"}));

    QTest::keyClicks(&line, "ZO");
    const struct {
        Qt::Key key;
        const char* shown;
    } walk[] = {
        {Qt::Key_Up, "3,4"}, {Qt::Key_Up, "LINE"}, {Qt::Key_Up, "LINE"},
        {Qt::Key_Down, "3,4"}, {Qt::Key_Down, "ZO"}, {Qt::Key_Down, "ZO"},
    };
    for (const auto& w : walk) {
        QTest::keyClick(&line, w.key);
        EXPECT_EQ(line.text(), QString(w.shown));
    }
    int cancels = 0;
    QObject::connect(&line, &hostapp::CommandInputLine::cancelled, [&] { ++cancels; });
    QTest::keyClick(&line, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(line.text().isEmpty());
}

}  // namespace
