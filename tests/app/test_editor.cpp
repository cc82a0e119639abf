// The parameter group editor TGroupPrm2 driven as a user drives it (Qt Test, offscreen): Motor FLA
// edited on the snapshot and stored offline, cancel and default leaving the working value alone,
// the L20 confirmation, the key filters, a list parameter, and online against the simulated
// starter: the write sends the limit parameters first and the starter holds the new value.

#include "../comm/DeviceFixture.h"
#include "app/PrmGrp2.h"
#include "param/Catalogue.h"
#include "param/Models.h"
#include "param/NuvShared.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace rv8::app {
namespace {

using comm::PromptAnswer;
using comm::ScriptedPrompts;
using param::PRM_TABLE;

int NumberOf(const std::string& id)
{
    for (int n = 1; n <= PRM_TABLE.Count(); ++n)
        if (PRM_TABLE[n].PARAMETER_ID == id)
            return n;
    return 0;
}

// Text of the working value a few steps above the current one, still inside the range.
std::string OtherValue(int number, int column)
{
    const param::Fixed v = param::GetPrmValue(PRM_TABLE, number, column);
    const param::Fixed step = param::Fx(1);
    const param::Fixed max = param::GetPrmMaximum(PRM_TABLE, number, column);
    const param::Fixed target = v + step <= max ? v + step : v - step;
    return param::FormatPrmNumber(PRM_TABLE, number, target);
}

class EditorOffline : public ::testing::Test {
protected:
    void SetUp() override
    {
        param::ApplyNumberSettings(param::NUMBER_SETTINGS, ".", ",", ":");
        param::SELECTION = {};
        param::SELECTION.CurrentModelCode = 150;
        param::SELECTION.CurrentFlashIndex = param::FlashIndexOfNumber(401);
        param::SELECTION.CurrentFirmwareVersion = 401;
        ASSERT_EQ(param::BuildCatalogue(true), "");
        param::MODIFIED_FLAGS = {};
        fla = NumberOf("F001");
        ASSERT_GT(fla, 0);
        editor = std::make_unique<TGroupPrm2>(EditorServices{&prompts, &options, nullptr, nullptr, nullptr});
    }

    ScriptedPrompts prompts{ScriptedPrompts::Policy::Affirm};
    comm::ProgramOptions options;
    std::unique_ptr<TGroupPrm2> editor;
    int fla = 0;
};

TEST_F(EditorOffline, MotorFlaStoredOfflineAfterEditingOnTheSnapshot)
{
    const param::Fixed before = param::GetPrmValue(fla, param::vcMode1);
    editor->FillControls(fla, false);
    QLineEdit* box = editor->EditBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), QStringLiteral("Edt_%1").arg(fla));
    EXPECT_EQ(box->text().toStdString(), param::FormatPrmValue(fla, param::vcMode1));
    EXPECT_EQ(editor->UnitLabel()->text().toStdString(), param::GetPrmUnits(fla, param::vcMode1));
    EXPECT_EQ(editor->ParameterTabs()->count(), 1);
    EXPECT_EQ(editor->ParameterTabs()->tabText(0), QStringLiteral(" Motor Overload Information "));
    EXPECT_EQ(editor->ParameterTabs()->widget(0)->objectName(), QStringLiteral("GROUP_A1"));
    EXPECT_TRUE(editor->TitleLabel()->text().startsWith(QStringLiteral("F001 ")));

    const std::string wanted = OtherValue(fla, param::vcMode1);
    box->setText(QString::fromStdString(wanted));
    QTest::keyClick(box, Qt::Key_Return);  // the range check
    EXPECT_EQ(param::FormatPrmValue(fla, param::vcSnapshot), wanted);
    EXPECT_EQ(param::GetPrmValue(fla, param::vcMode1), before) << "the working column waits for a save button";
    EXPECT_FALSE(param::MODIFIED_FLAGS.ProjectModified);

    editor->SaveClick();
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_EQ(param::FormatPrmValue(fla, param::vcMode1), wanted);
    EXPECT_TRUE(param::MODIFIED_FLAGS.ProjectModified);
    EXPECT_TRUE(PRM_TABLE[fla].Refresh_Prm);
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(EditorOffline, CancelAndDefaultThenCancelLeaveTheWorkingValue)
{
    param::SetPrmValue(fla, param::vcMode1, false, param::GetPrmMaximum(fla, param::vcMode1));
    const param::Fixed before = param::GetPrmValue(fla, param::vcMode1);
    for (bool useDefault : {false, true}) {
        editor->FillControls(fla, false);
        if (useDefault) {
            editor->DefaultClick();
            EXPECT_EQ(editor->EditBox()->text().toStdString(), param::FormatPrmValue(fla, param::vcDefault));
        } else {
            editor->EditBox()->setText(QString::fromStdString(OtherValue(fla, param::vcMode1)));
            QTest::keyClick(editor->EditBox(), Qt::Key_Return);
        }
        editor->CancelClick();
        EXPECT_EQ(editor->result(), QDialog::Rejected);
        EXPECT_EQ(param::GetPrmValue(fla, param::vcMode1), before) << "default " << useDefault;
        EXPECT_FALSE(param::MODIFIED_FLAGS.ProjectModified);
    }
}

TEST_F(EditorOffline, ChangeConfirmationOfOptionL20)
{
    options.L20 = true;
    const param::Fixed before = param::GetPrmValue(fla, param::vcMode1);
    editor->FillControls(fla, false);
    const std::string wanted = OtherValue(fla, param::vcMode1);
    editor->EditBox()->setText(QString::fromStdString(wanted));
    QTest::keyClick(editor->EditBox(), Qt::Key_Return);

    prompts.then(PromptAnswer::Cancel);
    editor->SaveClick();
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].prompt.text, editor_text::kConfirmChange);
    EXPECT_EQ(prompts.asked()[0].prompt.buttons, comm::PromptButtons::YesCancel);
    EXPECT_EQ(param::GetPrmValue(fla, param::vcMode1), before);

    prompts.then(PromptAnswer::Yes);
    editor->SaveClick();
    EXPECT_EQ(param::FormatPrmValue(fla, param::vcMode1), wanted);
    EXPECT_EQ(prompts.scriptErrors(), 0);
}

TEST_F(EditorOffline, KeyFiltersRejectLettersInNumericFields)
{
    editor->FillControls(fla, false);
    QLineEdit* box = editor->EditBox();
    box->clear();
    QTest::keyClicks(box, QStringLiteral("1x2Y.q5#"));
    EXPECT_EQ(box->text(), QStringLiteral("12.5"));

    // A parameter with an Off value takes "O" as the Off text.
    int off = 0;
    for (int n = 1; n <= PRM_TABLE.Count() && off == 0; ++n)
        if (param::HasOffValueType(PRM_TABLE[n].EDIT_TYPE) && !PRM_TABLE[n].MONITOR_ONLY
            && param::IsPrmAvailable(n, param::vcMode1, 2))
            off = n;
    ASSERT_GT(off, 0);
    editor->FillControls(off, false);
    editor->EditBox()->clear();
    QTest::keyClicks(editor->EditBox(), QStringLiteral("o"));
    EXPECT_EQ(editor->EditBox()->text().toStdString(), PRM_TABLE[off].DisabledText);
}

TEST_F(EditorOffline, ListParameterStoresTheChosenItem)
{
    const int relay = NumberOf("F060");
    ASSERT_GT(relay, 0);
    editor->FillControls(relay, true);
    QComboBox* combo = editor->ComboBox();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(editor->EditBox(), nullptr);
    EXPECT_EQ(combo->objectName(), QStringLiteral("Cmb_%1").arg(relay));
    EXPECT_TRUE(editor->TitleLabel()->styleSheet().contains(QStringLiteral("red")));
    ASSERT_GT(combo->count(), 1);
    const int other = combo->currentIndex() == 0 ? 1 : 0;
    const QString text = combo->itemText(other);
    QTest::keyClicks(combo, QStringLiteral("z"));  // typed keys are ignored
    combo->setCurrentIndex(other);
    EXPECT_EQ(combo->toolTip(), text);
    editor->SaveClick();
    EXPECT_EQ(param::GetPrmValue(relay, param::vcMode1).Trunc(), combo->itemData(other).toInt());
}

TEST_F(EditorOffline, ButtonsFollowTheOnlineState)
{
    editor->FillControls(fla, false);
    editor->show();
    EXPECT_TRUE(editor->SaveButton()->isVisible());
    EXPECT_FALSE(editor->WriteButton()->isVisible());
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("RV8 Parameters"));
    editor->hide();
}

// ---- Online -----------------------------------------------------------------------------------

class EditorOnline : public ::testing::Test {
protected:
    void SetUp() override
    {
        param::ApplyNumberSettings(param::NUMBER_SETTINGS, ".", ",", ":");
        param::MODIFIED_FLAGS = {};
        fixture = std::make_unique<comm::test::DeviceFixture>();
        ASSERT_TRUE(fixture->shell.IsOnline);
        param::CTRL_SEL = {};
        EditorServices s{&fixture->prompts, &fixture->options, fixture->session.get(), fixture->transfer.get(),
                         fixture->scan.get()};
        editor = std::make_unique<TGroupPrm2>(s);
    }
    void TearDown() override
    {
        editor.reset();
        fixture.reset();
    }

    std::unique_ptr<comm::test::DeviceFixture> fixture;
    std::unique_ptr<TGroupPrm2> editor;
};

TEST_F(EditorOnline, WriteSendsTheLimitParametersFirstAndTheStarterHoldsTheNewFla)
{
    const int fla = NumberOf("F001");
    editor->FillControls(fla, false);
    editor->show();
    EXPECT_FALSE(editor->SaveButton()->isVisible());
    EXPECT_TRUE(editor->WriteButton()->isVisible());

    const std::string wanted = OtherValue(fla, param::vcMode1);
    editor->EditBox()->setText(QString::fromStdString(wanted));
    QTest::keyClick(editor->EditBox(), Qt::Key_Return);
    fixture->ClearLog();
    editor->WriteClick();
    editor->hide();

    EXPECT_TRUE(editor->LastTransmitSucceeded());
    EXPECT_EQ(param::FormatPrmValue(fla, param::vcMode1), wanted);
    const uint16_t address = PRM_TABLE[fla].PRMADDR;
    EXPECT_EQ(fixture->Register(address), param::PrmValueToRegister(fla, param::vcMode1));

    // Parameter writes (not the unlock) in order: CT value, frame rating, turns, service factor, FLA.
    std::vector<uint16_t> order;
    const uint16_t password = PRM_TABLE[PRM_TABLE.DEPENDENCY_MAP[param::deiFactoryPassword]].PRMADDR;
    for (const sim::LogEntry& e : fixture->Requests(16))
        if (e.address != password)
            order.push_back(e.address);
    std::vector<uint16_t> expected;
    for (param::TDependencyIndex role : {param::deiCtValue, param::deiFrameRating, param::deiNumberOfTurnsThroughCt,
                                         param::deiServiceFactor}) {
        const int n = PRM_TABLE.DEPENDENCY_MAP[role];
        // Read-only parameters are not transmitted.
        if (PRM_TABLE.Exists(n) && !PRM_TABLE[n].MONITOR_ONLY)
            expected.push_back(PRM_TABLE[n].PRMADDR);
    }
    expected.push_back(address);
    EXPECT_EQ(order, expected);
}

TEST_F(EditorOnline, MonitorOnlyParameterIsNotSent)
{
    int ro = 0;
    for (int n = 1; n <= PRM_TABLE.Count() && ro == 0; ++n)
        if (PRM_TABLE[n].MONITOR_ONLY && param::IsEditBoxType(PRM_TABLE[n].EDIT_TYPE))
            ro = n;
    if (ro == 0)
        GTEST_SKIP() << "no monitor-only edit-box parameter in this catalogue";
    editor->FillControls(ro, true);
    fixture->ClearLog();
    fixture->prompts.clearAsked();
    editor->WriteClick();
    EXPECT_TRUE(fixture->Requests(16).empty());
    ASSERT_FALSE(fixture->prompts.asked().empty());
    EXPECT_EQ(fixture->prompts.asked().back().prompt.text, editor_text::kMonitorOnly);
}

}  // namespace
}  // namespace rv8::app
