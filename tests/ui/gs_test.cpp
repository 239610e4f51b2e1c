// The graphics system and the device contexts on real widgets: a view's camera decides
// where a drawable lands in its window, and a window's pixels are read back as an 8-bit
// bitmap with the drawing colours, rows in the order the header asks for. Window timers
// run on the event loop.

#include "db/curves.h"

#include "ui/framework/gdi.h"
#include "ui/framework/wnd.h"
#include "ui/gs/gsdevice.h"
#include "ui/gs/gsmanager.h"
#include "ui/gs/gsview.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// Four quadrants: red, green on top; blue, white below.
class Quadrants : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int w = width() / 2, h = height() / 2;
        p.fillRect(0, 0, w, h, Qt::red);
        p.fillRect(w, 0, w, h, Qt::green);
        p.fillRect(0, h, w, h, Qt::blue);
        p.fillRect(w, h, w, h, Qt::white);
    }
};

struct Info8 {
    BITMAPINFOHEADER header;
    std::array<RGBQUAD, 256> table;
};

// The window's top-left side × side pixels as 8-bit indices, in the DIB's row order.
std::vector<BYTE> readBack(QWidget* window, int side, LONG height, Info8& info) {
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, side, side);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(memory, 0, 0, side, side, dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(DeleteObject(bitmap)) << "a bitmap held by a context is not deleted";
    info = {};
    info.header = {40, side, height, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> pixels(static_cast<std::size_t>(side * side));
    EXPECT_EQ(GetDIBits(memory, bitmap, 0, static_cast<UINT>(side), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                        DIB_RGB_COLORS),
              side);
    EXPECT_EQ(info.header.biSizeImage, 0u) << "the caller's header is left as it was";
    SelectObject(memory, old);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    return pixels;
}

TEST(DeviceContext, WindowPixelsReadBackAsNearestDrawingColoursInRowOrder) {
    Quadrants window;
    window.resize(8, 8);
    window.show();
    Info8 info;
    const std::vector<BYTE> bottomUp = readBack(&window, 8, 8, info);
    EXPECT_EQ(info.table[0].rgbRed + info.table[0].rgbGreen + info.table[0].rgbBlue, 0) << "entry 0 is black";
    EXPECT_EQ(info.table[1].rgbRed, 255);
    EXPECT_EQ(info.table[1].rgbGreen, 0);
    // Row 0 of a bottom-up bitmap is the window's bottom row: blue (5), white (7).
    EXPECT_EQ(bottomUp[0], 5);
    EXPECT_EQ(bottomUp[7], 7);
    // Its last row is the top: red (1), green (3).
    EXPECT_EQ(bottomUp[56], 1);
    EXPECT_EQ(bottomUp[63], 3);
    const std::vector<BYTE> topDown = readBack(&window, 8, -8, info);
    EXPECT_EQ(topDown[0], 1);
    EXPECT_EQ(topDown[63], 7);
}

TEST(DeviceContext, WrongHandlesAndUnsupportedCopiesFail) {
    QWidget window;
    HDC dc = GetDC(&window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    SelectObject(memory, bitmap);
    EXPECT_FALSE(BitBlt(memory, 0, 0, 4, 4, dc, 0, 0, 0x00EE0086)) << "only plain copies";
    EXPECT_FALSE(BitBlt(dc, 0, 0, 4, 4, memory, 0, 0, SRCCOPY)) << "a window is no destination";
    EXPECT_EQ(SelectObject(memory, nullptr), nullptr) << "nothing is no bitmap";
    EXPECT_FALSE(DeleteDC(dc)) << "a window's context is released, not deleted";
    EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 4), nullptr);
    DeleteDC(memory);
    EXPECT_TRUE(DeleteObject(bitmap));
    ReleaseDC(&window, dc);
}

// Where a line of the drawing lands: the ink pixels' box in the window.
QRect inkBox(QWidget& window) {
    const QImage shown = window.grab().toImage();
    QRect box;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
    return box;
}

TEST(GraphicsSystem, CameraPlacesTheDrawableInTheDevice) {
    AcGsManager* manager = acgsGetGsManager();
    ASSERT_NE(manager, nullptr);
    QWidget window;
    window.resize(40, 40);
    window.show();
    AcGsDevice* device = manager->createAutoCADDevice(&window);
    ASSERT_NE(device, nullptr);
    device->onSize(40, 40);
    AcGsView* view = manager->getGSClassFactory()->createView();
    AcGsModel* model = manager->createAutoCADModel();
    device->add(view);
    AcDbLine line({0, 0, 0}, {10, 0, 0});
    ASSERT_TRUE(view->add(&line, model));
    struct Case {
        const char* what;
        AcGePoint3d eye, target;
        AcGeVector3d up;
        double field;
        QRect expected;
    } cases[] = {
        // 2 pixels a unit, the target (5,0) in the middle: x 10 .. 30 on row 20.
        {"plan view", {5, 0, 10}, {5, 0, 0}, {0, 1, 0}, 20, QRect(QPoint(10, 20), QPoint(30, 20))},
        // +X up: the line runs up the window from the target at its centre.
        {"turned", {5, 0, 10}, {5, 0, 0}, {1, 0, 0}, 20, QRect(QPoint(20, 10), QPoint(20, 30))},
        // The target at the line's start, 4 pixels a unit.
        {"zoomed", {0, 0, 3}, {0, 0, 0}, {0, 1, 0}, 10, QRect(QPoint(20, 20), QPoint(40, 20))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view->setView(c.eye, c.target, c.up, c.field, c.field);
        view->update();
        const QRect box = inkBox(window);
        EXPECT_LE(std::abs(box.left() - c.expected.left()), 1) << box.left();
        EXPECT_LE(std::abs(box.top() - c.expected.top()), 1) << box.top();
        EXPECT_LE(std::abs(box.right() - std::min(c.expected.right(), 39)), 1) << box.right();
        EXPECT_LE(std::abs(box.bottom() - c.expected.bottom()), 1) << box.bottom();
    }
    view->eraseAll();
    EXPECT_TRUE(inkBox(window).isEmpty()) << "an emptied view draws nothing";
    view->add(&line, model);
    manager->destroyAutoCADModel(model);
    EXPECT_TRUE(inkBox(window).isEmpty()) << "a destroyed model takes its drawables along";
    device->erase(view);
    manager->getGSClassFactory()->deleteView(view);
    manager->destroyAutoCADDevice(device);
    EXPECT_EQ(window.findChildren<QWidget*>().size(), 0) << "the device leaves nothing on the window";
}

class TimedWindow : public CWnd {
public:
    TimedWindow() { attachWidget(new QWidget, true); }
    int ticks = 0;

protected:
    void OnTimer(UINT_PTR id) override {
        if (id == 7 && ++ticks == 3) KillTimer(7);
    }
};

TEST(WindowTimers, TimerTicksOnTheEventLoopUntilKilled) {
    TimedWindow window;
    EXPECT_FALSE(window.hasRunningTimers());
    EXPECT_EQ(window.SetTimer(7, 5), 7u);
    EXPECT_TRUE(window.hasRunningTimers());
    QElapsedTimer clock;
    clock.start();
    while (window.hasRunningTimers() && clock.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(window.ticks, 3);
    EXPECT_FALSE(window.hasRunningTimers());
    EXPECT_FALSE(window.KillTimer(7)) << "a stopped timer is not killed twice";
    EXPECT_FALSE(window.KillTimer(99));
}

}  // namespace
