#include "ui/framework/modal.h"

#include "ui/framework/boxbuttons.h"
#include "ui/framework/dialog.h"
#include "ui/framework/frame.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace hostui {

namespace {

// "Drawing files|*.DWG||" to Qt's "Drawing files (*.DWG)".
QString qtFilter(const std::wstring& filter) {
    const QStringList parts = QString::fromStdWString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty()) out << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return out.join(";;");
}

QMessageBox::StandardButton qtButton(int id) {
    switch (id) {
        case IDYES: return QMessageBox::Yes;
        case IDNO: return QMessageBox::No;
        case IDCANCEL: return QMessageBox::Cancel;
        default: return QMessageBox::Ok;
    }
}

// A person answers on the desktop.
class DesktopDriver : public ModalDriver {
public:
    void runDialog(CAdUiBaseDialog& dialog) override {
        QEventLoop loop;
        dialog.setEndListener([&loop] { loop.quit(); });
        if (!dialog.hasEnded()) loop.exec(QEventLoop::DialogExec);
        dialog.setEndListener({});
    }

    int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) override {
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdWString(caption), QString::fromStdWString(text),
                        QMessageBox::NoButton, modalParent());
        QMessageBox::StandardButtons buttons;
        for (const BoxButton& b : messageBoxButtons(type)) buttons |= qtButton(b.id);
        box.setStandardButtons(buttons);
        switch (box.exec()) {
            case QMessageBox::Yes: return IDYES;
            case QMessageBox::No: return IDNO;
            case QMessageBox::Cancel: return IDCANCEL;
            default: return (type & 0xF) == MB_OKCANCEL || (type & 0xF) == MB_OK ? IDOK : IDCANCEL;
        }
    }

    std::optional<std::wstring> chooseFile(const FileRequest& r) override {
        const QString title = QString::fromStdWString(r.title);
        const QString initial = QString::fromStdWString(r.initialPath);
        const QString path = r.open ? QFileDialog::getOpenFileName(modalParent(), title, initial, qtFilter(r.filter))
                                    : QFileDialog::getSaveFileName(modalParent(), title, initial, qtFilter(r.filter));
        if (path.isEmpty()) return std::nullopt;
        return path.toStdWString();
    }

    int popupMenu(const std::vector<std::wstring>& entries, int x, int y) override {
        QMenu menu(modalParent());
        std::vector<QAction*> actions;
        for (const std::wstring& e : entries)
            actions.push_back(e.empty() ? menu.addSeparator() : menu.addAction(QString::fromStdWString(e)));
        QAction* chosen = menu.exec(QPoint(x, y));
        const auto it = std::find(actions.begin(), actions.end(), chosen);
        return chosen && it != actions.end() ? static_cast<int>(it - actions.begin()) : -1;
    }
};

// Looks again this often whether a timed dialog's timers are still running.
constexpr int kTimerWatchMs = 20;

ModalDriver*& current() {
    static ModalDriver* driver = nullptr;
    return driver;
}

}  // namespace

ModalDriver& modalDriver() {
    static DesktopDriver desktop;
    return current() ? *current() : desktop;
}

void setModalDriver(ModalDriver* driver) { current() = driver; }

bool runWhileTimed(CAdUiBaseDialog& dialog) {
    if (dialog.hasEnded() || !dialog.hasRunningTimers()) return dialog.hasEnded();
    QEventLoop loop;
    dialog.setEndListener([&loop] { loop.quit(); });
    // A dialog that stops its timers without ending waits for its answer after all.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (!dialog.hasRunningTimers() || !dialog.widget()) loop.quit();
    });
    watch.start(kTimerWatchMs);
    loop.exec(QEventLoop::DialogExec);
    dialog.setEndListener({});
    return dialog.hasEnded();
}

const wchar_t* applicationName() { return L"Marvolt Host"; }

QWidget* modalParent() {
    if (QWidget* main = mainFrameWidget()) return main;
    return QApplication::activeWindow();
}

std::optional<std::wstring> chooseFileForEditor(const hosted::FileChoice& choice) {
    FileRequest request;
    request.title = choice.title;
    if (!choice.extension.empty()) {
        // Both spellings: a platform dialog may match names with regard to case.
        const QString ext = QString::fromStdWString(choice.extension);
        QString patterns = "*." + ext.toUpper();
        if (ext.toLower() != ext.toUpper()) patterns += ";*." + ext.toLower();
        request.filter = choice.extension + L" files|" + patterns.toStdWString() + L"|All files|*||";
    }
    request.defaultExtension = choice.extension;
    request.initialPath = choice.defaultName;
    request.open = choice.existing;
    return modalDriver().chooseFile(request);
}

}  // namespace hostui

int MessageBoxW(HWND, LPCTSTR text, LPCTSTR caption, UINT type) {
    return hostui::modalDriver().messageBox(caption ? caption : L"Error", text ? text : L"", type);
}

int AfxMessageBox(LPCTSTR text, UINT type) {
    return hostui::modalDriver().messageBox(hostui::applicationName(), text ? text : L"", type);
}
