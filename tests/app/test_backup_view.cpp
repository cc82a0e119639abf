// "Backup Parameters" driven as the user drives it: "&Yes" asks for the backup; "&No", Esc and
// closing the window do not; every showing starts unanswered.
#include "app/BackupView.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using rv8::app::TBackupForm;

namespace {

// Shows the view modally and lets `act` answer it once the modal loop runs.
bool AnswerModal(TBackupForm& view, const std::function<void()>& act)
{
    QTimer::singleShot(0, &view, act);
    return view.ShowModal();
}

}  // namespace

TEST(BackupView, TextsAndButtons)
{
    TBackupForm view;
    EXPECT_EQ(view.windowTitle(), "Backup Parameters");
    QStringList texts;
    for (const QLabel* label : view.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("Would you like to make a backup copy of the RV8 parameters before continuing?"));
    EXPECT_TRUE(texts.contains("A backup can help you recover your setup in case of system failure."));
    EXPECT_EQ(view.YesButton()->text(), "&Yes");
    EXPECT_EQ(view.NoButton()->text(), "&No");
}

TEST(BackupView, OnlyYesAsksForTheBackup)
{
    TBackupForm view;
    const struct {
        const char* name;
        std::function<void()> act;
        bool requested;
    } rows[] = {
        {"Yes", [&] { QTest::mouseClick(view.YesButton(), Qt::LeftButton); }, true},
        {"No", [&] { QTest::mouseClick(view.NoButton(), Qt::LeftButton); }, false},
        {"Esc", [&] { QTest::keyClick(&view, Qt::Key_Escape); }, false},
        {"closed", [&] { view.close(); }, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // A previous "Yes" does not carry over: the showing starts unanswered.
        EXPECT_EQ(AnswerModal(view, row.act), row.requested);
        EXPECT_EQ(view.BackupRequested(), row.requested);
    }
}
