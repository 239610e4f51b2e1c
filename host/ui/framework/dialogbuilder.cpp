#include "ui/framework/dialogbuilder.h"

#include "ui/framework/controls.h"
#include "ui/framework/editbrowse.h"
#include "ui/framework/imagelist.h"
#include "ui/framework/listview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QPointer>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QRadioButton>
#include <QToolButton>

#include <cmath>

namespace hostui {

namespace {

constexpr const char* kFallbackFace = "DejaVu Sans";

// Wine's Tahoma is not in the font configuration's folders; it is added by file.
QString loadedFace(const QString& face) {
    static QStringList added;
    if (QFontDatabase::hasFamily(face) || added.contains(face)) return face;
    if (face.compare("Tahoma", Qt::CaseInsensitive) == 0) {
        for (const char* path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/fonts/truetype/wine/tahoma.ttf"}) {
            if (!QFileInfo::exists(path)) continue;
            const int id = QFontDatabase::addApplicationFont(path);
            if (id >= 0) QFontDatabase::addApplicationFont(QString(path).replace("tahoma.ttf", "tahomabd.ttf"));
            if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).isEmpty()) {
                added << face;
                return QFontDatabase::applicationFontFamilies(id).first();
            }
        }
    }
    return kFallbackFace;
}

void notifyCommand(QWidget* control, unsigned code) {
    CWnd* self = CWnd::FromHandle(control);
    CWnd* parent = self ? self->GetParent() : nullptr;
    if (!parent) return;
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(self->GetDlgCtrlID()), code),
                        reinterpret_cast<LPARAM>(control));
}

// A picture control: shows a bitmap centred in a sunken frame and reports double-clicks.
class PictureLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { notifyCommand(this, STN_DBLCLK); }
};

// A static that draws a black frame unless its window draws itself (WM_PAINT), as a
// control subclassed for drawing of its own does.
class BlackFrame : public QFrame {
public:
    explicit BlackFrame(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, Qt::black);
        setPalette(p);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        PaintRequest request(this);
        request.send();
        if (request.defaultWanted()) QFrame::paintEvent(event);
    }
};

// Tells the control's parent when the control (or the edit inside it) gains or loses
// the keyboard focus, as the platform's controls do with their notification codes.
class FocusNotifier : public QObject {
public:
    FocusNotifier(QWidget* control, unsigned gained, unsigned lost) : QObject(control), m_control(control), m_gained(gained), m_lost(lost) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) notifyCommand(m_control, m_gained);
        // A popup (a drop-down's list, a context menu) borrows the focus without taking it.
        else if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            notifyCommand(m_control, m_lost);
        return false;
    }

private:
    QWidget* m_control;
    unsigned m_gained, m_lost;
};

constexpr const char* kRadioGroup = "hostui.radiogroup";

// The platform's radio button. An automatic one is checked by a click and unchecks the
// others of its group (the template's controls from one WS_GROUP to the next); a click on
// any other only tells the parent. Unchecking by the program is always allowed.
class RadioButton : public QRadioButton {
public:
    RadioButton(const QString& text, QWidget* parent, bool automatic) : QRadioButton(text, parent), m_automatic(automatic) {
        setAutoExclusive(false);
        // The platform's circle is 13 pixels with 3 before the text, as for check boxes.
        setStyleSheet("QRadioButton { spacing: 3px; } QRadioButton::indicator { width: 13px; height: 13px; }");
    }

protected:
    void nextCheckState() override {
        if (!m_automatic) return;
        setChecked(true);
        const QVariant group = property(kRadioGroup);
        for (QRadioButton* other : parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
            if (other != this && other->property(kRadioGroup) == group) other->setChecked(false);
    }

private:
    bool m_automatic;
};

// Typing into a drop-down's edit sets nothing off: Enter neither chooses an entry nor adds one.
class QuietComboEdit : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
};

void watchFocus(QWidget* control, QWidget* focused, unsigned gained, unsigned lost) {
    focused->installEventFilter(new FocusNotifier(control, gained, lost));
}

// Edits tell every change of their text, the program's own included, as the platform's do.
void wireEdit(QWidget* control, QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textChanged, control, [control] { notifyCommand(control, EN_CHANGE); });
    watchFocus(control, edit, EN_SETFOCUS, EN_KILLFOCUS);
}

QPixmap bitmapResource(const QString& text) {
    bool ok = false;
    const int id = text.startsWith('#') ? text.mid(1).toInt(&ok) : 0;
    CBitmap bitmap;
    return ok && bitmap.LoadBitmap(static_cast<UINT>(id)) ? QPixmap::fromImage(bitmap.image()) : QPixmap();
}

QWidget* makeWidget(const hostres::ControlTemplate& c, QWidget* parent) {
    using K = hostres::ControlKind;
    const QString text = QString::fromWCharArray(c.text ? c.text : L"");
    switch (c.kind) {
        case K::label: {
            auto* w = new QLabel(text, parent);
            w->setWordWrap(true);
            w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return w;
        }
        case K::picture: {
            auto* w = new PictureLabel(parent);
            w->setAlignment(Qt::AlignCenter);
            w->setPixmap(bitmapResource(text));
            if (c.style & WS_BORDER || c.style & SS_SUNKEN) w->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            return w;
        }
        case K::blackFrame: return new BlackFrame(parent);
        case K::button: {
            auto* w = new QPushButton(text, parent);
            w->setDefault((c.style & BS_DEFPUSHBUTTON) != 0);
            w->setAutoDefault(false);
            QObject::connect(w, &QPushButton::clicked, w, [w] { notifyCommand(w, BN_CLICKED); });
            return w;
        }
        case K::checkBox: {
            auto* w = new QCheckBox(text, parent);
            // The platform's box is 13 pixels with 3 before the text; templates are laid
            // out for that, and Qt's wider default would cut the text.
            w->setStyleSheet("QCheckBox { spacing: 3px; } QCheckBox::indicator { width: 13px; height: 13px; }");
            if (c.style & BS_LEFTTEXT) w->setLayoutDirection(Qt::RightToLeft);
            QObject::connect(w, &QCheckBox::clicked, w, [w] { notifyCommand(w, BN_CLICKED); });
            return w;
        }
        case K::radioButton: {
            auto* w = new RadioButton(text, parent, (c.style & 0xF) == BS_AUTORADIOBUTTON);
            QObject::connect(w, &QRadioButton::clicked, w, [w] { notifyCommand(w, BN_CLICKED); });
            return w;
        }
        case K::groupBox: {
            auto* w = new QGroupBox(text, parent);
            w->setAttribute(Qt::WA_TransparentForMouseEvents);
            return w;
        }
        case K::edit:
        case K::stringEdit:
        case K::numericEdit:
        case K::angleEdit: {
            auto* w = new QLineEdit(text, parent);
            w->setFrame((c.style & WS_BORDER) != 0);
            wireEdit(w, w);
            return w;
        }
        case K::browseEdit: {
            auto* w = new BrowseEditWidget(parent);
            w->edit()->setText(text);
            wireEdit(w, w->edit());
            return w;
        }
        case K::comboBox:
        case K::imageComboBox: {
            auto* w = new QComboBox(parent);
            w->setEditable((c.style & 0x3) == CBS_DROPDOWN);
            if (w->isEditable()) {
                w->setInsertPolicy(QComboBox::NoInsert);
                w->setCompleter(nullptr);
                w->lineEdit()->installEventFilter(new QuietComboEdit(w));
            }
            w->setMaxVisibleItems(std::max(4, c.cy / 10));
            QObject::connect(w, &QComboBox::activated, w, [w] {
                QPointer<QComboBox> alive(w);
                notifyCommand(w, CBN_SELCHANGE);
                if (alive) notifyCommand(w, CBN_SELENDOK);
            });
            watchFocus(w, w, CBN_SETFOCUS, CBN_KILLFOCUS);
            return w;
        }
        case K::tabControl: {
            auto* w = new TabControlWidget(parent);
            w->setTabsOnRight((c.style & TCS_RIGHT) != 0);
            return w;
        }
        case K::listView: return new ListViewWidget(parent, c.style);
    }
    return new QWidget(parent);
}

}  // namespace

QFont templateFont(const wchar_t* face, int points) {
    QFont font(loadedFace(QString::fromWCharArray(face ? face : L"Tahoma")));
    // The platform's point-to-pixel rule at 96 dots per inch, rounded up as it does.
    font.setPixelSize((points * 96 + 71) / 72);
    return font;
}

namespace {

unsigned bigEndian16(const QByteArray& table, int at) {
    return (static_cast<unsigned>(static_cast<unsigned char>(table[at])) << 8) |
           static_cast<unsigned>(static_cast<unsigned char>(table[at + 1]));
}

// The character height the platform gives a font: its Windows ascent and descent from
// the font's OS/2 table, each rounded at the pixel size. Qt measures by the typographic
// ascent instead, which for Tahoma is two pixels less and would squeeze every dialog.
int platformCharacterHeight(const QFont& font, int fallback) {
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    if (os2.size() < 78 || head.size() < 20 || font.pixelSize() <= 0) return fallback;
    const double unitsPerEm = bigEndian16(head, 18);
    if (unitsPerEm <= 0) return fallback;
    const double scale = font.pixelSize() / unitsPerEm;
    const auto ascent = static_cast<int>(std::lround(bigEndian16(os2, 74) * scale));
    const auto descent = static_cast<int>(std::lround(bigEndian16(os2, 76) * scale));
    return ascent + descent > 0 ? ascent + descent : fallback;
}

}  // namespace

DialogUnits dialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    const int letters = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {(letters / 26 + 1) / 2, platformCharacterHeight(font, fm.height())};
}

namespace {

// A static text's underlined letter (`&` in its caption) leads to the control after it, as
// on the platform; Qt shows the letter underlined and watches for it only with a buddy.
void giveLabelsTheirControls(QWidget* parent) {
    QWidget* pending = nullptr;
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w) continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->text().contains('&')) {
            pending = label;
            continue;
        }
        if (pending && (w->focusPolicy() & Qt::TabFocus)) {
            static_cast<QLabel*>(pending)->setBuddy(w);
            pending = nullptr;
        }
    }
}

}  // namespace

void buildControls(const hostres::DialogTemplate& tmpl, QWidget* parent, const DialogUnits& units,
                   std::vector<std::unique_ptr<CWnd>>& controls) {
    int group = 0;
    for (const hostres::ControlTemplate& c : tmpl.controls) {
        QWidget* w = makeWidget(c, parent);
        if (c.style & WS_GROUP) ++group;
        if (c.kind == hostres::ControlKind::radioButton) w->setProperty(kRadioGroup, group);
        // A drop-down's height in a template is its dropped height; the box is one line.
        const bool dropDown = c.kind == hostres::ControlKind::comboBox || c.kind == hostres::ControlKind::imageComboBox;
        w->setGeometry(units.x(c.x), units.y(c.y), units.x(c.cx), dropDown ? w->sizeHint().height() : units.y(c.cy));
        w->setEnabled((c.style & WS_DISABLED) == 0);
        w->setVisible((c.style & WS_VISIBLE) != 0 || c.style == 0 || (c.style & WS_CHILD) != 0);
        // Tab visits the controls with a tab stop, in the template's order (the order of
        // creation is Qt's focus chain); the others take the focus by a click only.
        if (!(c.style & WS_TABSTOP) && (w->focusPolicy() & Qt::TabFocus)) w->setFocusPolicy(Qt::ClickFocus);
        auto wnd = std::make_unique<CGenericControl>();
        wnd->attachWidget(w, false);
        wnd->setControlId(c.id);
        wnd->setStyleBits(c.style);
        controls.push_back(std::move(wnd));
    }
    giveLabelsTheirControls(parent);
}

}  // namespace hostui
