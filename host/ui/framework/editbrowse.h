#pragma once

#include "ui/framework/controls.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

constexpr DWORD OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4;

namespace hostui {

// An edit with a browse button at its right end. The button stays hidden until the
// window code enables it.
class BrowseEditWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit BrowseEditWidget(QWidget* parent);
    QLineEdit* edit() const { return m_edit; }
    QToolButton* button() const { return m_button; }
    QString text() const;
    void setText(const QString& text);

private:
    QLineEdit* m_edit;
    QToolButton* m_button;
};

}  // namespace hostui

// An edit whose browse button opens a file dialog; the chosen path replaces the edit's
// text, which the parent hears of as a change of the edit.
class CMFCEditBrowseCtrl : public CEdit {
public:
    void EnableFileBrowseButton(LPCTSTR defaultExtension = nullptr, LPCTSTR filter = nullptr,
                                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);

protected:
    void attached() override;

private:
    void browse();

    bool m_enabled = false;
    std::wstring m_extension, m_filter;
};
