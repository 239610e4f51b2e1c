#include "ui/framework/editbrowse.h"

#include "ui/framework/modal.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace hostui {

BrowseEditWidget::BrowseEditWidget(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    m_edit = new QLineEdit(this);
    m_button = new QToolButton(this);
    m_button->setText("...");
    m_button->setObjectName("browse");
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->hide();
    row->addWidget(m_edit, 1);
    row->addWidget(m_button);
    setFocusProxy(m_edit);
}

QString BrowseEditWidget::text() const { return m_edit->text(); }

void BrowseEditWidget::setText(const QString& text) { m_edit->setText(text); }

}  // namespace hostui

void CMFCEditBrowseCtrl::EnableFileBrowseButton(LPCTSTR defaultExtension, LPCTSTR filter, DWORD) {
    m_enabled = true;
    m_extension = defaultExtension ? defaultExtension : L"";
    m_filter = filter ? filter : L"";
    if (auto* w = dynamic_cast<hostui::BrowseEditWidget*>(widget())) w->button()->show();
}

void CMFCEditBrowseCtrl::attached() {
    auto* w = dynamic_cast<hostui::BrowseEditWidget*>(widget());
    if (!w) return;
    QObject::connect(w->button(), &QToolButton::clicked, w, [w] {
        if (auto* self = dynamic_cast<CMFCEditBrowseCtrl*>(CWnd::FromHandle(w))) self->browse();
    });
}

void CMFCEditBrowseCtrl::browse() {
    if (!m_enabled) return;
    hostui::FileRequest request;
    request.title = L"Open";
    request.filter = m_filter;
    request.defaultExtension = m_extension;
    request.initialPath = windowText();
    request.open = true;
    const std::optional<std::wstring> path = hostui::modalDriver().chooseFile(request);
    if (!path) return;
    std::wstring chosen = *path;
    // A name typed without extension takes the default one, as the platform's dialog does.
    const auto slash = chosen.find_last_of(L"/\\");
    const std::wstring leaf = slash == std::wstring::npos ? chosen : chosen.substr(slash + 1);
    if (!m_extension.empty() && !leaf.empty() && leaf.find(L'.') == std::wstring::npos) chosen += L"." + m_extension;
    if (auto* w = dynamic_cast<hostui::BrowseEditWidget*>(widget())) {
        w->edit()->setFocus(Qt::OtherFocusReason);
        // The platform's edit tells of a new text even when it equals the old one.
        w->edit()->clear();
        w->setText(QString::fromStdWString(chosen));
    }
}
