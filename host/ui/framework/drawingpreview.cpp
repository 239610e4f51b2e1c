#include "ui/framework/drawingpreview.h"

#include "dxf/previewreader.h"
#include "ui/render/dib.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace {

const QString kOverlayName = QStringLiteral("hostui.preview");

// The preview over the window it is a child of. The window is usually a picture
// control whose own drawing is not ours to change, so the picture lies on top of it.
class PreviewOverlay : public QWidget {
public:
    explicit PreviewOverlay(QWidget* window) : QWidget(window) {
        setObjectName(kOverlayName);
        // Clicks and double-clicks are the window's, as if the picture were its own.
        setAttribute(Qt::WA_TransparentForMouseEvents);
        window->installEventFilter(this);
    }

    void present(QImage picture, QColor background) {
        m_picture = std::move(picture);
        m_background = background;
        followWindow();
        raise();
        show();
        update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Resize) followWindow();
        return false;
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), m_background);
        const QSize fitted = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_picture);
    }

private:
    void followWindow() { setGeometry(parentWidget()->contentsRect()); }

    QImage m_picture;
    QColor m_background;
};

QColor backgroundOf(QWidget* window, const Adesk::UInt32* bgColor) {
    if (!bgColor) return window->palette().color(window->backgroundRole());
    const Adesk::UInt32 c = *bgColor;
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace

bool acdbDisplayPreviewFromDwg(const ACHAR* path, HWND window, const Adesk::UInt32* bgColor) {
    if (!window) return false;
    auto* overlay = dynamic_cast<PreviewOverlay*>(window->findChild<QWidget*>(kOverlayName, Qt::FindDirectChildrenOnly));
    QImage picture = path && *path ? hostui::decodeDib(hostdxf::readDrawingPreview(path)) : QImage();
    if (picture.isNull()) {
        // The window owns the overlay; it goes now, not at the next turn of the event
        // loop, so that the window's next picture is already without it.
        delete overlay;
        return false;
    }
    if (!overlay) overlay = new PreviewOverlay(window);
    overlay->present(std::move(picture), backgroundOf(window, bgColor));
    return true;
}
