#include "ui/framework/dialogbuilder.h"

#include "ui/framework/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
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

// An edit with a file-browse button at its right end.
class BrowseEdit : public QWidget {
public:
    explicit BrowseEdit(QWidget* parent) : QWidget(parent) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(1);
        m_edit = new QLineEdit(this);
        m_button = new QToolButton(this);
        m_button->setText("...");
        m_button->setObjectName("browse");
        row->addWidget(m_edit, 1);
        row->addWidget(m_button);
        setFocusProxy(m_edit);
    }
    QLineEdit* edit() const { return m_edit; }
    QToolButton* button() const { return m_button; }

private:
    QLineEdit* m_edit;
    QToolButton* m_button;
};

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
            if (c.style & WS_BORDER || c.style & SS_SUNKEN) w->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            return w;
        }
        case K::button: {
            auto* w = new QPushButton(text, parent);
            w->setDefault((c.style & BS_DEFPUSHBUTTON) != 0);
            w->setAutoDefault(false);
            QObject::connect(w, &QPushButton::clicked, w, [w] { notifyCommand(w, BN_CLICKED); });
            return w;
        }
        case K::checkBox: {
            auto* w = new QCheckBox(text, parent);
            if (c.style & BS_LEFTTEXT) w->setLayoutDirection(Qt::RightToLeft);
            QObject::connect(w, &QCheckBox::clicked, w, [w] { notifyCommand(w, BN_CLICKED); });
            return w;
        }
        case K::radioButton: {
            auto* w = new QRadioButton(text, parent);
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
            QObject::connect(w, &QLineEdit::textEdited, w, [w] { notifyCommand(w, EN_CHANGE); });
            return w;
        }
        case K::browseEdit: {
            auto* w = new BrowseEdit(parent);
            w->edit()->setText(text);
            return w;
        }
        case K::comboBox:
        case K::imageComboBox: {
            auto* w = new QComboBox(parent);
            w->setEditable((c.style & 0x3) == CBS_DROPDOWN);
            QObject::connect(w, &QComboBox::activated, w, [w] { notifyCommand(w, CBN_SELCHANGE); });
            return w;
        }
        case K::tabControl: {
            auto* w = new TabControlWidget(parent);
            w->setTabsOnRight((c.style & TCS_RIGHT) != 0);
            return w;
        }
        case K::listView: return new QWidget(parent);
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

void buildControls(const hostres::DialogTemplate& tmpl, QWidget* parent, const DialogUnits& units,
                   std::vector<std::unique_ptr<CWnd>>& controls) {
    for (const hostres::ControlTemplate& c : tmpl.controls) {
        QWidget* w = makeWidget(c, parent);
        w->setGeometry(units.x(c.x), units.y(c.y), units.x(c.cx), units.y(c.cy));
        w->setEnabled((c.style & WS_DISABLED) == 0);
        w->setVisible((c.style & WS_VISIBLE) != 0 || c.style == 0 || (c.style & WS_CHILD) != 0);
        auto wnd = std::make_unique<CGenericControl>();
        wnd->attachWidget(w, false);
        wnd->setControlId(c.id);
        wnd->setStyleBits(c.style);
        if (auto* browse = dynamic_cast<BrowseEdit*>(w)) {
            // The edit answers as the control; the button reports a browse request.
            browse->edit()->setProperty("hostui.browseedit", true);
            QObject::connect(browse->button(), &QToolButton::clicked, browse,
                             [browse] { notifyCommand(browse, BN_CLICKED); });
        }
        controls.push_back(std::move(wnd));
    }
}

}  // namespace hostui
