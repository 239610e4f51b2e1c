#pragma once

#include <QMainWindow>
#include <QMessageBox>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class AcApDocument;
class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QTabBar;

namespace hostap {
class PullDownMenu;
}

namespace hostui {
class DrawingView;
}

namespace hostapp {

class CommandLineWidget;
class ViewDragDisplay;

// The host's main window: the menu bar, a tab per open document over the
// drawing view of the current one, the command line at the foot and the cursor's
// drawing coordinates in the status bar. The left and right dock areas are free for the
// module's palette.
//
// There is one at a time (mainWindow()); while it lives it is the host's display: the
// command-line transcript goes to it, acedUpdateDisplay refreshes it and drags are shown
// in its view. It shows the documents of acDocManager and never owns them: documents
// opened elsewhere (a script's @open) appear on refresh().
//
// The menu bar shows the host's menu model (ap/menumodel.h) as it changes: the window's
// own File, Edit and View menus are pull-downs of the host's menu group, and any other
// pull-down on the model's bar (a module's) gets a menu whose items type their macros
// at the command line (QAction::data holds the macro).
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    enum class FileChoice { open, saveAs };
    // What the window asks of a person. The defaults go through the window framework's
    // modal driver (hostui::modalDriver): Qt's dialogs on the desktop, the script's next
    // lines in a script. A test may replace any of them; an empty one keeps the default.
    struct Dialogs {
        // A path, or empty when cancelled.
        std::function<QString(FileChoice, const QString& suggested)> chooseFile;
        std::function<QMessageBox::StandardButton(const QString& title, const QString& text)> askYesNoCancel;
        std::function<void(const QString& title, const QString& text)> tell;
    };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    hostui::DrawingView* view() const { return m_view; }
    CommandLineWidget* commandLine() const { return m_commandLine; }
    QTabBar* documentTabs() const { return m_tabs; }
    const ViewDragDisplay& dragDisplay() const { return *m_dragDisplay; }
    void addPaletteDock(QDockWidget* dock, Qt::DockWidgetArea area);

    // Shows the documents as acDocManager has them now — a tab each, the current one in
    // the view — and what changed in the drawing since (a new current drawing is
    // regenerated whole).
    void refresh();

    // A person works the window: closing it or a document asks about unsaved changes.
    // Off for scripts, which save with @save.
    void setInteractive(bool interactive) { m_interactive = interactive; }
    bool isInteractive() const { return m_interactive; }
    // Nothing runs, so documents may be switched, opened, saved and closed.
    void setIdle(bool idle);
    void setDialogs(Dialogs dialogs);
    // Also called with every piece of the transcript (the script runner's standard
    // output); empty for none.
    void setEcho(std::function<void(std::wstring_view)> echo) { m_echo = std::move(echo); }

    // The File menu's actions; false when cancelled or failed (the person was told).
    bool newDocument();
    bool openDocument();
    bool saveDocument();
    bool saveDocumentAs();
    bool closeDocument();

signals:
    // The window has closed: the session is over.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    // The window's own menus as pull-downs of the host's group, made there if missing.
    void adoptOwnMenus();
    void mirrorMenuBar();
    QMenu* menuOf(const hostap::PullDownMenu& pullDown);
    void switchTo(int tab);
    QString documentLabel(AcApDocument* doc);
    bool saveTo(AcApDocument* doc, const QString& path);
    bool saveOrAsk(AcApDocument* doc);
    // Answers false when the person cancelled.
    bool settleUnsaved(AcApDocument* doc);
    // Undo and Redo name the step they would take back or bring back, and are enabled
    // only when there is one and nothing runs.
    void updateEditMenu();

    hostui::DrawingView* m_view;
    CommandLineWidget* m_commandLine;
    QTabBar* m_tabs;
    QLabel* m_coordinates;
    std::unique_ptr<ViewDragDisplay> m_dragDisplay;
    std::vector<QAction*> m_documentActions;  // enabled only while nothing runs
    QAction* m_closeAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_eraseAction = nullptr;
    // Held, so that no other pull-down can come to stand at the same address.
    std::vector<std::pair<std::shared_ptr<const hostap::PullDownMenu>, QMenu*>> m_ownMenus;
    std::vector<QMenu*> m_madeMenus;  // for the other pull-downs, made anew on every change
    std::vector<AcApDocument*> m_tabDocuments;
    std::vector<std::pair<AcApDocument*, QString>> m_untitled;
    int m_untitledCount = 0;
    bool m_syncing = false;
    bool m_idle = true;
    bool m_interactive = false;
    Dialogs m_dialogs;
    std::function<void(std::wstring_view)> m_echo;
};

// The main window while one exists, else nullptr.
MainWindow* mainWindow();

}  // namespace hostapp
