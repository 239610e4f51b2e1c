#pragma once

#include "frame/hostapi.h"
#include "frame/moduleresources.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Answers the modal windows of one test in the order the test queued the answers, as
// a person would, and keeps what was shown ("[CAPTION] TEXT", "[TITLE] file dialog").
// A window that opens with no answer queued fails the test and is cancelled.
class ScriptedDriver : public hostui::ModalDriver {
public:
    using DialogAct = std::function<void(CAdUiBaseDialog&)>;

    ScriptedDriver() { hostui::setModalDriver(this); }
    ~ScriptedDriver() override {
        hostui::setModalDriver(nullptr);
        EXPECT_TRUE(buttons.empty() && files.empty() && dialogs.empty()) << "answers left unused";
    }
    ScriptedDriver(const ScriptedDriver&) = delete;
    ScriptedDriver& operator=(const ScriptedDriver&) = delete;

    void runDialog(CAdUiBaseDialog& dialog) override {
        if (dialogs.empty()) {
            ADD_FAILURE() << "a dialog opened unexpectedly";
            dialog.EndDialog(IDCANCEL);
            return;
        }
        // Taken first: what the act opens in turn takes the next answer.
        const DialogAct act = std::move(dialogs.front());
        dialogs.pop_front();
        act(dialog);
        if (!dialog.hasEnded()) dialog.EndDialog(IDCANCEL);
    }
    int messageBox(const std::wstring& caption, const std::wstring& text, UINT type) override {
        shown.push_back(L"[" + caption + L"] " + text);
        if ((type & 0xF) == MB_OK) return IDOK;
        if (buttons.empty()) {
            ADD_FAILURE() << "a question was asked unexpectedly";
            return IDNO;
        }
        const int answer = buttons.front();
        buttons.pop_front();
        return answer;
    }
    std::optional<std::wstring> chooseFile(const hostui::FileRequest& request) override {
        shown.push_back(L"[" + request.title + L"] file dialog");
        lastFileRequest = request;
        if (files.empty()) {
            ADD_FAILURE() << "a file dialog opened unexpectedly";
            return std::nullopt;
        }
        std::optional<std::wstring> answer = files.front();
        files.pop_front();
        return answer;
    }

    // The text prompt answered with a text and OK.
    void typeAndOk(const QString& text) {
        dialogs.push_back([text](CAdUiBaseDialog& d) {
            auto* edit = dynamic_cast<QLineEdit*>(d.GetDlgItem(res::IDC_TEXTBOX_EDIT)->widget());
            edit->clear();
            QTest::keyClicks(edit, text);
            click(d, IDOK);
        });
    }
    static void click(CAdUiBaseDialog& dialog, int id) {
        QTest::mouseClick(dynamic_cast<QAbstractButton*>(dialog.GetDlgItem(id)->widget()), Qt::LeftButton);
    }

    std::deque<int> buttons;                         // IDYES / IDNO for questions
    std::deque<std::optional<std::wstring>> files;   // a path, or nullopt to cancel
    std::deque<DialogAct> dialogs;
    std::vector<std::wstring> shown;
    hostui::FileRequest lastFileRequest;
};
