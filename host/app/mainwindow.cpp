#include "app/mainwindow.h"

#include "ap/docmanager.h"
#include "ap/menumodel.h"
#include "app/commandlinewidget.h"
#include "app/documentfiles.h"
#include "app/viewdragdisplay.h"
#include "db/drawingfiler.h"
#include "db/undorecord.h"
#include "ed/commandline.h"
#include "ed/macro.h"
#include "ed/userio.h"
#include "ui/framework/modal.h"
#include "ui/render/drawingview.h"

#include <QAction>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>

namespace hostapp {

namespace {

MainWindow* g_mainWindow = nullptr;

constexpr int kWidth = 1280, kHeight = 800;
// About six lines of transcript under the view.
constexpr int kCommandLineHeight = 150;

void refreshMainWindow() {
    if (g_mainWindow) g_mainWindow->refresh();
}

QString coordinate(double value) {
    char digits[64];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4);
    return ec == std::errc() ? QString::fromLatin1(digits, end - digits) : QStringLiteral("?");
}

// The host's own questions go through the window layer's modal driver, so that a person
// answers them on the desktop and a script's "@ui answer" lines answer them in a run.
MainWindow::Dialogs standardDialogs(QWidget*) {
    MainWindow::Dialogs d;
    d.chooseFile = [](MainWindow::FileChoice choice, const QString& suggested) {
        hostui::FileRequest request;
        request.open = choice == MainWindow::FileChoice::open;
        request.title = request.open ? L"Open Drawing" : L"Save Drawing As";
        request.filter = L"Drawing files|*.dwg;*.dxf|All files|*||";
        request.defaultExtension = L"dwg";
        request.initialPath = suggested.toStdWString();
        const auto path = hostui::modalDriver().chooseFile(request);
        return path ? QString::fromStdWString(*path) : QString();
    };
    d.askYesNoCancel = [](const QString& title, const QString& text) {
        switch (hostui::modalDriver().messageBox(title.toStdWString(), text.toStdWString(), MB_YESNOCANCEL)) {
            case IDYES: return QMessageBox::Yes;
            case IDNO: return QMessageBox::No;
            default: return QMessageBox::Cancel;
        }
    };
    d.tell = [](const QString& title, const QString& text) {
        hostui::modalDriver().messageBox(title.toStdWString(), text.toStdWString(), MB_OK);
    };
    return d;
}

}  // namespace

MainWindow* mainWindow() { return g_mainWindow; }

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      m_view(new hostui::DrawingView),
      m_commandLine(new CommandLineWidget),
      m_tabs(new QTabBar),
      m_coordinates(new QLabel) {
    setWindowTitle(QStringLiteral("Marvolt Host"));
    resize(kWidth, kHeight);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    m_dialogs = standardDialogs(this);

    m_tabs->setDocumentMode(true);
    m_tabs->setExpanding(false);
    m_tabs->setObjectName(QStringLiteral("documentTabs"));
    m_view->setObjectName(QStringLiteral("drawingView"));
    // An input method types into the view as a keyboard does: its text goes on to the command line.
    m_view->setAttribute(Qt::WA_InputMethodEnabled);
    m_view->installEventFilter(this);
    auto* drawing = new QWidget;
    auto* drawingLayout = new QVBoxLayout(drawing);
    drawingLayout->setContentsMargins(0, 0, 0, 0);
    drawingLayout->setSpacing(0);
    drawingLayout->addWidget(m_tabs);
    drawingLayout->addWidget(m_view, 1);

    // The command line belongs to the central area, so the docks at the sides run the
    // window's full height beside it.
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(drawing);
    split->addWidget(m_commandLine);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setChildrenCollapsible(false);
    split->setSizes({kHeight - kCommandLineHeight, kCommandLineHeight});
    setCentralWidget(split);

    m_coordinates->setMinimumWidth(220);
    statusBar()->addPermanentWidget(m_coordinates);
    connect(m_view, &hostui::DrawingView::cursorMoved, this,
            [this](const AcGePoint3d& p) { m_coordinates->setText(coordinate(p.x) + ", " + coordinate(p.y)); });
    connect(m_tabs, &QTabBar::currentChanged, this, &MainWindow::switchTo);
    buildMenus();

    m_dragDisplay = std::make_unique<ViewDragDisplay>(*m_view);
    hosted::CommandLine::instance().setListener([this](std::wstring_view text) {
        m_commandLine->append(QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size())));
        if (m_echo) m_echo(text);
    });
    g_mainWindow = this;
    hosted::setDisplayUpdater(&refreshMainWindow);
    acDocManager->setDocumentsChangedListener(&refreshMainWindow);
    m_commandLine->input()->setFocus();
    refresh();
}

MainWindow::~MainWindow() {
    hostap::MenuModel::instance().setListener({});
    hosted::setDisplayUpdater(nullptr);
    acDocManager->setDocumentsChangedListener({});
    hosted::CommandLine::instance().setListener({});
    g_mainWindow = nullptr;
    // The view goes with the window; its drag display first.
    m_dragDisplay.reset();
}

void MainWindow::buildMenus() {
    auto* file = new QMenu(tr("&File"), this);
    const auto add = [&](QMenu* menu, const QString& label, QKeySequence key, auto slot) {
        QAction* action = menu->addAction(label);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_documentActions = {
        add(file, tr("&New"), QKeySequence::New, [this] { newDocument(); }),
        add(file, tr("&Open..."), QKeySequence::Open, [this] { openDocument(); }),
        add(file, tr("&Save"), QKeySequence::Save, [this] { saveDocument(); }),
        add(file, tr("Save &As..."), QKeySequence::SaveAs, [this] { saveDocumentAs(); }),
    };
    m_closeAction = add(file, tr("&Close"), QKeySequence::Close, [this] { closeDocument(); });
    file->addSeparator();
    add(file, tr("E&xit"), QKeySequence::Quit, [this] { close(); });

    // Typed at the command line, so that the command line says what was undone, as if
    // the person had typed the command.
    auto* edit = new QMenu(tr("&Edit"), this);
    m_undoAction = add(edit, tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), [] { hosted::typeMacro(L"_U "); });
    m_redoAction = add(edit, tr("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y), [] { hosted::typeMacro(L"_REDO "); });
    m_eraseAction = add(edit, tr("&Erase"), QKeySequence(Qt::Key_Delete), [] { hosted::typeMacro(L"_ERASE "); });
    // Delete erases in the drawing view alone: in a list or an edit the key is theirs.
    m_eraseAction->setShortcutContext(Qt::WidgetShortcut);
    m_view->addAction(m_eraseAction);

    auto* view = new QMenu(tr("&View"), this);
    add(view, tr("Zoom &Extents"), QKeySequence(), [this] { m_view->zoomExtents(); });
    add(view, tr("&Regen"), QKeySequence(), [this] { m_view->regen(); });
    m_ownMenus = {{nullptr, file}, {nullptr, edit}, {nullptr, view}};
    adoptOwnMenus();
    hostap::MenuModel::instance().setListener([this] { mirrorMenuBar(); });
    mirrorMenuBar();
}

void MainWindow::adoptOwnMenus() {
    hostap::MenuModel& model = hostap::MenuModel::instance();
    hostap::MenuGroup& group = model.hostGroup();
    for (auto& [pullDown, menu] : m_ownMenus) {
        const std::wstring name = menu->title().toStdWString();
        std::shared_ptr<hostap::PullDownMenu> found = model.findMenu(group, name);
        // A window made after another finds the menus in the model as the first left them.
        if (!found) {
            found = model.addMenu(group, name);
            for (QAction* action : menu->actions())
                model.addEntry(*found, -1, {action->text().toStdWString(), L"", action->isSeparator()});
            model.insertInMenuBar(found, -1);
        }
        pullDown = found;
    }
}

void MainWindow::mirrorMenuBar() {
    for (QAction* shown : menuBar()->actions()) menuBar()->removeAction(shown);
    // A menu's own signal may be what changed the model: it goes once control is back.
    for (QMenu* made : m_madeMenus) made->deleteLater();
    m_madeMenus.clear();
    for (const auto& pullDown : hostap::MenuModel::instance().menuBar()) {
        const auto own = std::find_if(m_ownMenus.begin(), m_ownMenus.end(),
                                      [&](const auto& o) { return o.first == pullDown; });
        menuBar()->addMenu(own != m_ownMenus.end() ? own->second : menuOf(*pullDown));
    }
}

QMenu* MainWindow::menuOf(const hostap::PullDownMenu& pullDown) {
    auto* menu = new QMenu(QString::fromStdWString(pullDown.name()), this);
    for (const hostap::MenuEntry& entry : pullDown.entries()) {
        if (entry.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromStdWString(entry.label));
        action->setData(QString::fromStdWString(entry.macro));
        // Typed at the command line as a person would type it; with no session under way
        // nobody takes input, and the choice does nothing.
        connect(action, &QAction::triggered, this, [macro = entry.macro] { hosted::typeMacro(macro); });
    }
    m_madeMenus.push_back(menu);
    return menu;
}

void MainWindow::addPaletteDock(QDockWidget* dock, Qt::DockWidgetArea area) { addDockWidget(area, dock); }

void MainWindow::setDialogs(Dialogs dialogs) {
    const Dialogs standard = standardDialogs(this);
    m_dialogs.chooseFile = dialogs.chooseFile ? std::move(dialogs.chooseFile) : standard.chooseFile;
    m_dialogs.askYesNoCancel = dialogs.askYesNoCancel ? std::move(dialogs.askYesNoCancel) : standard.askYesNoCancel;
    m_dialogs.tell = dialogs.tell ? std::move(dialogs.tell) : standard.tell;
}

void MainWindow::setIdle(bool idle) {
    m_idle = idle;
    m_tabs->setEnabled(idle);
    for (QAction* action : m_documentActions) action->setEnabled(idle);
    m_closeAction->setEnabled(idle && acDocManager->documentCount() > 1);
    updateEditMenu();
}

namespace {
// A step as the Edit menu names it: a command's name as a word ("Zelburst"), any other
// step as it is called ("Block Manager insertion").
QString stepLabel(const std::wstring& name) {
    QString label = QString::fromStdWString(name);
    if (label.isEmpty() || label != label.toUpper()) return label;
    return label.left(1) + label.mid(1).toLower();
}
}  // namespace

void MainWindow::updateEditMenu() {
    AcApDocument* doc = curDoc();
    const hostdb::UndoRecord* record = doc ? &doc->database()->undoRecord() : nullptr;
    const bool canUndo = record && record->canUndo(), canRedo = record && record->canRedo();
    m_undoAction->setText(canUndo ? tr("&Undo %1").arg(stepLabel(record->undoName())) : tr("&Undo"));
    m_redoAction->setText(canRedo ? tr("&Redo %1").arg(stepLabel(record->redoName())) : tr("&Redo"));
    m_undoAction->setEnabled(m_idle && canUndo);
    m_redoAction->setEnabled(m_idle && canRedo);
    m_eraseAction->setEnabled(m_idle && doc);
}

QString MainWindow::documentLabel(AcApDocument* doc) {
    const QString path = QString::fromWCharArray(doc->fileName());
    QString label;
    if (!path.isEmpty()) {
        label = QFileInfo(path).fileName();
    } else {
        auto it = std::find_if(m_untitled.begin(), m_untitled.end(), [&](const auto& u) { return u.first == doc; });
        if (it == m_untitled.end()) {
            m_untitled.emplace_back(doc, QStringLiteral("Drawing%1").arg(++m_untitledCount));
            it = std::prev(m_untitled.end());
        }
        label = it->second;
    }
    return doc->isModified() ? label + QStringLiteral("*") : label;
}

void MainWindow::refresh() {
    std::vector<AcApDocument*> docs;
    for (int i = 0; i < acDocManager->documentCount(); ++i) docs.push_back(acDocManager->document(i));
    std::erase_if(m_untitled, [&](const auto& u) { return std::find(docs.begin(), docs.end(), u.first) == docs.end(); });

    m_syncing = true;
    if (docs != m_tabDocuments) {
        while (m_tabs->count() > 0) m_tabs->removeTab(0);
        for (AcApDocument* doc : docs) m_tabs->addTab(documentLabel(doc));
        m_tabDocuments = docs;
        // A hidden tab bar does not tell the layout that it grew.
        m_tabs->updateGeometry();
    } else {
        for (int i = 0; i < m_tabs->count(); ++i)
            m_tabs->setTabText(i, documentLabel(m_tabDocuments[static_cast<std::size_t>(i)]));
    }
    AcApDocument* current = curDoc();
    const auto at = std::find(docs.begin(), docs.end(), current);
    if (at != docs.end()) m_tabs->setCurrentIndex(static_cast<int>(at - docs.begin()));
    m_syncing = false;
    setIdle(m_idle);

    AcDbDatabase* db = current ? current->database() : nullptr;
    if (m_view->database() != db) m_view->setDatabase(db);
    else m_view->applyChanges();
    setWindowTitle(current ? QStringLiteral("Marvolt Host - ") + documentLabel(current) : QStringLiteral("Marvolt Host"));
}

void MainWindow::switchTo(int tab) {
    if (m_syncing || tab < 0 || static_cast<std::size_t>(tab) >= m_tabDocuments.size()) return;
    acDocManager->setCurDocument(m_tabDocuments[static_cast<std::size_t>(tab)]);
    refresh();
}

bool MainWindow::newDocument() {
    std::wstring message;
    const bool opened = openDrawing(L"", message) == ExitStatus::done;
    if (!opened) m_dialogs.tell(tr("New Drawing"), QString::fromStdWString(message));
    refresh();
    return opened;
}

bool MainWindow::openDocument() {
    const QString path = m_dialogs.chooseFile(FileChoice::open, QString());
    if (path.isEmpty()) return false;
    std::wstring message;
    const bool opened = openDrawing(path.toStdWString(), message) == ExitStatus::done;
    if (!opened) m_dialogs.tell(tr("Open Drawing"), QString::fromStdWString(message));
    refresh();
    return opened;
}

bool MainWindow::saveTo(AcApDocument* doc, const QString& path) {
    std::wstring message;
    const bool saved = hostapp::saveDocument(*doc, path.toStdWString(), message) == ExitStatus::done;
    if (!saved) m_dialogs.tell(tr("Save Drawing"), QString::fromStdWString(message));
    refresh();
    return saved;
}

bool MainWindow::saveOrAsk(AcApDocument* doc) {
    QString path = QString::fromWCharArray(doc->fileName());
    // A drawing recovered from a damaged file never goes back over it: Save asks for a
    // new name, as for a drawing without one.
    const auto& report = doc->database()->readReport();
    if (report.recovered() && hostdb::sameFile(path.toStdWString(), report.recoveredFrom)) {
        const QFileInfo damaged(path);
        path = m_dialogs.chooseFile(FileChoice::saveAs, damaged.dir().filePath(damaged.completeBaseName() +
                                                                               QStringLiteral("-recovered.") +
                                                                               damaged.suffix()));
        return !path.isEmpty() && saveTo(doc, path);
    }
    if (path.isEmpty()) path = m_dialogs.chooseFile(FileChoice::saveAs, documentLabel(doc).remove('*') + ".dwg");
    return !path.isEmpty() && saveTo(doc, path);
}

bool MainWindow::saveDocument() {
    AcApDocument* doc = curDoc();
    return doc && saveOrAsk(doc);
}

bool MainWindow::saveDocumentAs() {
    AcApDocument* doc = curDoc();
    if (!doc) return false;
    const QString path = m_dialogs.chooseFile(FileChoice::saveAs, QString::fromWCharArray(doc->fileName()));
    return !path.isEmpty() && saveTo(doc, path);
}

bool MainWindow::settleUnsaved(AcApDocument* doc) {
    if (!m_interactive || !doc->isModified()) return true;
    QString name = documentLabel(doc);
    name.chop(1);
    switch (m_dialogs.askYesNoCancel(tr("Marvolt Host"), tr("Save changes to %1?").arg(name))) {
        case QMessageBox::Yes: return saveOrAsk(doc);
        case QMessageBox::No: return true;
        default: return false;
    }
}

bool MainWindow::closeDocument() {
    AcApDocument* doc = curDoc();
    // The host always keeps one drawing open for commands to work on.
    if (!doc || acDocManager->documentCount() < 2 || !settleUnsaved(doc)) return false;
    acDocManager->closeDocument(doc);
    refresh();
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    for (int i = 0; i < acDocManager->documentCount(); ++i) {
        AcApDocument* doc = acDocManager->document(i);
        if (!settleUnsaved(doc)) {
            event->ignore();
            return;
        }
    }
    event->accept();
    emit closed();
}

// Typing while the view has the focus goes to the command line, as a person expects
// after a click in the drawing.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            m_commandLine->input()->setFocus();
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                           static_cast<quint16>(key->count()));
            QCoreApplication::sendEvent(m_commandLine->input(), &copy);
            return true;
        }
    }
    if (watched == m_view && event->type() == QEvent::InputMethod) {
        m_commandLine->input()->setFocus();
        const auto* typed = static_cast<QInputMethodEvent*>(event);
        QInputMethodEvent copy(typed->preeditString(), typed->attributes());
        copy.setCommitString(typed->commitString(), typed->replacementStart(), typed->replacementLength());
        QCoreApplication::sendEvent(m_commandLine->input(), &copy);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace hostapp
