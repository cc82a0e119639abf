#pragma once
// "Backup Parameters": the question whether to make a recovery backup before going on, shown
// after going online (option L26). Created for one question and destroyed afterwards; its answer
// is BackupRequested (false until "&Yes" is pressed; "&No", Esc and closing the window leave it
// false). The rule lives in files::BackupView; files::SaveDriveBackup makes the backup.

#include "files/Backup.h"

#include <QDialog>

class QPushButton;

namespace rv8::app {

class TBackupForm : public QDialog {
    Q_OBJECT

public:
    explicit TBackupForm(QWidget* parent = nullptr);

    // Shows the view modally and returns BackupRequested.
    bool ShowModal();
    // The showing step of ShowModal without the modal loop (tests drive the buttons).
    void FormShow();

    bool BackupRequested() const { return m_view.BackupRequested; }
    QPushButton* YesButton() const { return m_yes; }
    QPushButton* NoButton() const { return m_no; }

private:
    files::BackupView m_view;
    QPushButton* m_yes = nullptr;
    QPushButton* m_no = nullptr;
};

// Creates the view, asks, destroys it: true when the user asked for a backup.
bool AskForBackup(QWidget* parent = nullptr);

}  // namespace rv8::app
