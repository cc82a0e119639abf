#pragma once
// "Project Information": the dialog that shows and edits the project information that goes with
// a project file (project name, user name, up to 20 lines of text). Created once with the main
// window and shown in two uses: editing (Accept / Cancel) and view-only (Close alone). Accept and
// Close store the fields into the information; Cancel, Esc and closing the window store nothing.
//
// The rules live in files::UserInfoForm, which the command line uses without a window.

#include "files/UserInfo.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace rv8::app {

class TUserInformation : public QDialog {
    Q_OBJECT

public:
    using Use = files::UserInfoForm::Use;

    // `info` (the program's project information by default) must outlive the dialog.
    explicit TUserInformation(files::ProjectInformation& info = files::PROJECT_INFORMATION, QWidget* parent = nullptr);

    // Fills the fields from the information and shows the dialog modally. True when it was
    // closed with Accept or Close (the information was stored).
    bool ShowModal(Use use = Use::Edit);
    // The filling step of ShowModal without showing (the window's tests drive the buttons).
    void Prepare(Use use = Use::Edit);

    bool Accepted() const { return m_form.Accepted(); }

    QLineEdit* ProjectNameEdit() const { return m_projectName; }
    QLineEdit* UserNameEdit() const { return m_userName; }
    QPlainTextEdit* InformationMemo() const { return m_memo; }
    QPushButton* AcceptButton() const { return m_accept; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* CloseButton() const { return m_close; }

private:
    void AcceptClick();
    void CancelClick();
    void CloseClick();
    void MemoChange();
    void takeFields();

    files::ProjectInformation* m_info;
    files::UserInfoForm m_form;
    QLineEdit* m_projectName = nullptr;
    QLineEdit* m_userName = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QPushButton* m_accept = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace rv8::app
