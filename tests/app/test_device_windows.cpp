// The device windows driven as a user drives them (Qt Test, offscreen): the "Selection" dialog's
// Accept question, the "Password Dialog", the "Data Transfer" window, the reset and clock windows
// and the "Network Tree" picking.

#include "app/CtrlSelForm.h"
#include "app/InitF.h"
#include "app/InitF2.h"
#include "app/NetwTree.h"
#include "app/Passw.h"
#include "app/StatusWin.h"
#include "comm/AccessCodes.h"
#include "param/Catalogue.h"
#include "param/Models.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace rv8::app {
namespace {

using comm::PromptAnswer;
using comm::ScriptedPrompts;

class SelectionDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        selection.CurrentModelCode = 150;
        selection.CurrentFlashIndex = param::FlashIndexOfNumber(401);
        selection.CurrentFirmwareVersion = 401;
        flags.ProjectModified = true;
        form = std::make_unique<TCtrlSelForm>(state, prompts, options, shell, nullptr);
        form->SetTargets(selection, flags, [this] {
            ++rebuilds;
            return std::string();
        });
        form->show();
    }

    param::TCtrlSel state;
    param::TSelectionState selection;
    param::TModifiedFlags flags;
    ScriptedPrompts prompts;
    comm::ProgramOptions options;
    comm::ShellState shell;
    int rebuilds = 0;
    std::unique_ptr<TCtrlSelForm> form;
};

TEST_F(SelectionDialog, ShowsTheCurrentSelectionAndHoldsTheBusyCount)
{
    EXPECT_EQ(form->DriveType()->currentText(), QStringLiteral("RV8-150 Soft Starter"));
    EXPECT_EQ(form->DriveType()->currentIndex(), 9);
    EXPECT_EQ(form->FLASHNO()->currentIndex(), param::FlashIndexOfNumber(401));
    EXPECT_EQ(shell.BusyCount.load(), 1);
    QTest::mouseClick(form->Cancel(), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(shell.BusyCount.load(), 0);
    EXPECT_TRUE(state.SelectionCancelled);
}

TEST_F(SelectionDialog, AcceptWithoutChangesKeepsTheValuesAndAsksNothing)
{
    QTest::mouseClick(form->CtrlOK(), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(rebuilds, 0);
    EXPECT_TRUE(flags.ProjectModified);
    EXPECT_FALSE(state.SelectionCancelled);
}

TEST_F(SelectionDialog, AChangedModelIsAskedForAndNoKeepsTheDialogOpen)
{
    form->DriveType()->setCurrentIndex(4);  // RV8-48
    prompts.then(PromptAnswer::No);
    QTest::mouseClick(form->CtrlOK(), Qt::LeftButton);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].prompt.text,
              QStringLiteral("The RV8 model has been changed, the program will now setup the software to work with "
                             "the selected model.\n\nProceed?"));
    EXPECT_EQ(prompts.asked()[0].prompt.kind, comm::PromptKind::Warning);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(rebuilds, 0);

    prompts.then(PromptAnswer::Yes);
    QTest::mouseClick(form->CtrlOK(), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(selection.CurrentModelCode, 48);
    EXPECT_FALSE(flags.ProjectModified);
}

TEST_F(SelectionDialog, ChangingModelAndFirmwareAsksTheFirmwareQuestion)
{
    form->DriveType()->setCurrentIndex(4);
    form->FLASHNO()->setCurrentIndex(param::FlashIndexOfNumber(130));
    prompts.then(PromptAnswer::Yes);
    QTest::mouseClick(form->CtrlOK(), Qt::LeftButton);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].prompt.text.startsWith(QStringLiteral("The RV8 firmware has been changed")));
    EXPECT_EQ(selection.CurrentFirmwareVersion, 130);
    EXPECT_EQ(selection.CurrentFlashIndex, 8);
}

TEST_F(SelectionDialog, ScanWhileOfflineAsksToSetUpCommunication)
{
    bool setupOpened = false;
    form->SetHooks({.openCommunicationSetup = [&] { setupOpened = true; }});
    prompts.then(PromptAnswer::No);
    QTest::mouseClick(form->ScanDrive(), Qt::LeftButton);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].prompt.text.startsWith(QStringLiteral("You are currently not connected to a RV8.")));
    EXPECT_FALSE(setupOpened);
}

TEST(SelectionRules, ScannedFirmwareAndModelSelectTheirPositions)
{
    struct Row {
        int firmware;
        int model;
        bool standard;
        param::ScanMatch match;
        int flashPosition;
        int modelPosition;
    };
    const Row rows[] = {
        {130, 150, false, param::ScanMatch::Ok, 8, 9},
        {136, 150, false, param::ScanMatch::FirmwareUnsupported, -1, -1},
        {136, 150, true, param::ScanMatch::Ok, 0, 9},
        {401, 5000, false, param::ScanMatch::ModelUnsupported, -1, -1},
        {-1, -1, false, param::ScanMatch::NotIdentified, -1, -1},
    };
    for (const Row& row : rows) {
        param::TCtrlSel sel;
        EXPECT_EQ(sel.MatchScan(row.firmware, row.model, row.standard, false), row.match) << row.firmware;
        if (row.match == param::ScanMatch::Ok) {
            EXPECT_EQ(sel.ScannedFlashPosition, row.flashPosition);
            EXPECT_EQ(sel.FlashNoIndex, row.flashPosition);
            EXPECT_EQ(sel.ScannedModelPosition, row.modelPosition);
            EXPECT_EQ(sel.DriveTypeIndex, row.modelPosition);
        }
    }
}

TEST(SelectionRules, ASilentScanAppliesTheFirmwareAndShowsTheModel)
{
    param::TSelectionState selection{150, param::FlashIndexOfNumber(401), 401, 0, false};
    param::TModifiedFlags flags;
    param::TCtrlSel sel;
    sel.FormShow(selection, false);
    ASSERT_EQ(sel.MatchScan(130, 48, false, true), param::ScanMatch::Ok);
    int rebuilds = 0;
    bool rebuilt = false;
    sel.Transfer_ScanData_to_Table(selection, flags, [&] { ++rebuilds; return std::string(); }, &rebuilt);
    EXPECT_TRUE(rebuilt);
    EXPECT_EQ(selection.CurrentFirmwareVersion, 130);
    EXPECT_EQ(selection.CurrentModelCode, 150);  // the model stays as chosen
    EXPECT_EQ(sel.DriveTypeIndex, 4);            // but the list shows the scanned one
}

TEST(PasswordDialog, AnEmptyEntryDoesNotOpenCustomModeButOpensFactoryMode)
{
    struct Row {
        comm::TPasswordMode mode;
        QString typed;
        bool passed;
    };
    const QString custom = QString::fromLatin1(comm::kCustomModeAccessCode.data(), comm::kCustomModeAccessCode.size());
    const Row rows[] = {
        {comm::TPasswordMode::Custom, QString(), false},
        {comm::TPasswordMode::Custom, custom, true},
        {comm::TPasswordMode::Test, QString(), false},
        {comm::TPasswordMode::Factory, QString(), true},
        {comm::TPasswordMode::Factory, QStringLiteral("secret"), false},
    };
    for (const Row& row : rows) {
        ScriptedPrompts prompts;
        TPasswordDlg dialog(row.mode, prompts);
        dialog.show();
        QTest::keyClicks(dialog.Password(), row.typed);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.PasswordPassed(), row.passed) << row.typed.toStdString();
        EXPECT_EQ(dialog.isVisible(), !row.passed);
        if (!row.passed) {
            ASSERT_EQ(prompts.asked().size(), 1u);
            EXPECT_EQ(prompts.asked()[0].prompt.text, comm::kWrongPassword);
        }
    }
}

TEST(DataTransferWindow, BarLabelAbortAndClose)
{
    ScriptedPrompts prompts;
    bool abort = false;
    TStatusWin win(abort, prompts);
    win.SetStatusMinMax(0);
    win.SetBar(3);
    EXPECT_EQ(win.Bar()->value(), 0);  // nothing while the maximum is 0
    win.SetStatusMinMax(8);
    win.SetBar(3);
    EXPECT_EQ(win.Bar()->value(), 38);
    win.SetInfo(comm::transfer_text::kReceiving);
    EXPECT_EQ(win.Transfer_Label()->text(), QStringLiteral("Receiving data from the RV8"));
    win.ShowProgress();
    EXPECT_TRUE(win.isVisible());
    EXPECT_FALSE(win.HiddenByProgram());
    QTest::mouseClick(win.AbortButton(), Qt::LeftButton);
    EXPECT_TRUE(abort);

    abort = false;
    win.close();
    EXPECT_TRUE(abort);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].prompt.text, QStringLiteral("Data Transfer Aborted"));

    // Losing the focus asks; "Yes" aborts and hides.
    abort = false;
    prompts.then(PromptAnswer::Yes);
    win.ShowProgress();
    win.FormDeactivate();
    EXPECT_TRUE(abort);
    EXPECT_TRUE(win.HiddenByProgram());
    EXPECT_FALSE(win.isVisible());
}

TEST(ResetWindow, NoResetAsksNothingAndNoToTheQuestionChoosesNothing)
{
    ScriptedPrompts prompts;
    TInitMode win(prompts);
    win.show();
    EXPECT_TRUE(win.OptionButton(comm::rcNone)->isChecked());
    QTest::mouseClick(win.AcceptButton(), Qt::LeftButton);
    EXPECT_EQ(win.Choice(), comm::rcNone);
    EXPECT_TRUE(prompts.asked().empty());

    win.show();
    win.OptionButton(comm::rcClearKwh)->setChecked(true);
    prompts.then(PromptAnswer::No);
    QTest::mouseClick(win.AcceptButton(), Qt::LeftButton);
    EXPECT_EQ(win.Choice(), comm::rcNone);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].prompt.text, QStringLiteral("Clear kWH?"));
}

TEST(ClockWindow, AYearOutOfRangeKeepsTheWindowOpen)
{
    ScriptedPrompts prompts;
    TInitMode2 win(prompts);
    win.show();
    win.DateEdit()->setDate(QDate(2048, 5, 1));
    QTest::mouseClick(win.SetButton(), Qt::LeftButton);
    EXPECT_TRUE(win.isVisible());
    EXPECT_TRUE(win.ClockCancelled());
    ASSERT_EQ(prompts.asked().size(), 1u);
    QTest::mouseClick(win.CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(win.ClockCancelled());

    win.show();
    win.DateEdit()->setDate(QDate(2030, 2, 3));
    win.TimeEdit()->setTime(QTime(4, 5, 6));
    QTest::mouseClick(win.SetButton(), Qt::LeftButton);
    EXPECT_FALSE(win.ClockCancelled());
    EXPECT_EQ(win.Values().Year, 2030);
    EXPECT_EQ(win.Values().Minute, 5);
}

TEST(NetworkTreeWindow, PickingOnTheRootGivesNoAddress)
{
    comm::TNetworkNodes nodes;
    nodes[5] = {true, 401, "RV8-150"};
    ScriptedPrompts prompts;
    TNwT win(prompts, nodes);
    win.FormShow();
    QTreeWidgetItem* root = win.Tree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), QStringLiteral("RV8 Network"));
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("005 : RV8-150"));
    EXPECT_EQ(root->child(0)->child(0)->text(0), QStringLiteral("005: Firmware: 4.01"));

    // Picking: a press on the root picks nothing and "&Select node" asks for a node first; a
    // press on the node picks its address.
    QTimer::singleShot(0, &win, [&] {
        QTreeWidgetItem* r = win.Tree()->topLevelItem(0);
        win.TreeMouseDown(r);
        win.SelectBClick();
        win.TreeMouseDown(r->child(0)->child(0));
        win.SelectBClick();
    });
    EXPECT_EQ(win.PickNetworkNode(), 5);
    EXPECT_EQ(win.windowTitle(), QStringLiteral("Select Network Node"));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].prompt.text, QStringLiteral("Please select Network node first!"));
}

}  // namespace
}  // namespace rv8::app
