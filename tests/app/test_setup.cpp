// The "Program Properties" dialog driven as the user drives it: options stored on "&Accept" and
// kept on "&Cancel", the node count field's rule, the two welcome-screen messages, the guarded
// mode boxes, the Standard-software question and the page buttons.
#include "app/Setup.h"
#include "files/RegValues.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace rv8;
using app::TPSetup;
using comm::ProgramOptions;
using comm::PromptAnswer;
using comm::PromptButtons;
using comm::PromptKind;
using comm::ScriptedPrompts;

namespace {

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("RV8.conf"));
        location = files::SettingsLocation::File(path);
    }

    QVariant stored(const QString& name)
    {
        return QSettings(path, QSettings::IniFormat).value(QStringLiteral("SETUP/PRG/") + name);
    }
    void store(const QString& key, const QString& value)
    {
        QSettings s(path, QSettings::IniFormat);
        s.setValue(key, value);
        s.sync();
    }

    // Creates the dialog (which reads the options) and shows it (which fills the boxes).
    TPSetup& open()
    {
        dialog = std::make_unique<TPSetup>(options, prompts, location);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }

    // Clicks a shown box the way the user does: bring its tab forward, then click it.
    void click(QCheckBox* box)
    {
        ASSERT_NE(box, nullptr);
        QTabWidget* pages = dialog->PageControl();
        for (int i = 0; i < pages->count(); ++i) {
            if (pages->widget(i)->isAncestorOf(box))
                pages->setCurrentIndex(i);
        }
        ASSERT_TRUE(box->isVisible());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }

    QCheckBox* box(bool ProgramOptions::*member) { return dialog->OptionBox(member); }

    QTemporaryDir dir;
    QString path;
    files::SettingsLocation location;
    ProgramOptions options;
    ScriptedPrompts prompts;
    std::unique_ptr<TPSetup> dialog;
};

TEST_F(SetupTest, CreationReadsTheStoredOptionsIntoTheProgram)
{
    store(QStringLiteral("SETUP/PRG/L22"), QStringLiteral("1"));
    store(QStringLiteral("SETUP/PRG/L4"), QStringLiteral("0"));
    store(QStringLiteral("SETUP/PRG/NSC"), QStringLiteral("500"));
    store(QStringLiteral("SETUP/PRG/L27"), QStringLiteral("yes"));
    TPSetup dlg(options, prompts, location);
    EXPECT_TRUE(options.L22);
    EXPECT_FALSE(options.L4);
    EXPECT_EQ(options.NSC, 254);
    EXPECT_FALSE(options.L27) << "unreadable text gives the default";
}

TEST_F(SetupTest, ShowingFillsEveryBoxFromTheStoreWithItsDefault)
{
    store(QStringLiteral("SETUP/PRG/NSC"), QStringLiteral("0"));
    TPSetup& dlg = open();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Program Properties"));
    for (const auto& row : files::reg::setup::Options()) {
        SCOPED_TRACE(row.value.Value.KeyName.toStdString());
        ASSERT_NE(dlg.OptionBox(row.member), nullptr);
        EXPECT_EQ(dlg.OptionBox(row.member)->isChecked(), row.value.Value.DefaultValue);
    }
    EXPECT_EQ(dlg.NodeCountEdit()->text(), QStringLiteral("1"));
    EXPECT_TRUE(dlg.CheckForUpdatesBox()->isChecked()) << "update notification is on when nothing is stored";
    EXPECT_EQ(prompts.asked().size(), 0u) << "filling the boxes asks nothing";

    // Tabs: three shown, opening on the first; three hidden.
    QTabWidget* pages = dlg.PageControl();
    ASSERT_EQ(pages->count(), 6);
    EXPECT_EQ(pages->currentIndex(), 0);
    const char* captions[] = {"RV8 Software/Network", "Program Startup", "Parameter Edit/Overview",
                              "Keypad Control", "Program Layout", "Keypad/Operator"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pages->tabText(i), QString::fromLatin1(captions[i]));
        EXPECT_EQ(pages->isTabVisible(i), i < 3) << captions[i];
    }
    // Boxes that exist but are not shown.
    for (auto member : {&ProgramOptions::L9, &ProgramOptions::L14, &ProgramOptions::L15, &ProgramOptions::L30,
                        &ProgramOptions::L31})
        EXPECT_TRUE(box(member)->isHidden());
    EXPECT_EQ(box(&ProgramOptions::L22)->text(), QStringLiteral("Ignore parameter communication errors"));
}

TEST_F(SetupTest, AcceptStoresTheOptionsAndReadsThemBack)
{
    TPSetup& dlg = open();
    QSignalSpy applied(&dlg, &TPSetup::optionsApplied);
    click(box(&ProgramOptions::L22));  // off -> on
    click(box(&ProgramOptions::L7));   // on -> off
    click(box(&ProgramOptions::L27));
    dlg.NodeCountEdit()->setText(QStringLiteral("32"));
    click(dlg.CheckForUpdatesBox());
    QTest::mouseClick(dlg.AcceptButton(), Qt::LeftButton);

    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(stored(QStringLiteral("L22")), QVariant(QStringLiteral("1")));
    EXPECT_EQ(stored(QStringLiteral("L7")), QVariant(QStringLiteral("0")));
    EXPECT_EQ(stored(QStringLiteral("L27")), QVariant(QStringLiteral("1")));
    EXPECT_EQ(stored(QStringLiteral("L4")), QVariant(QStringLiteral("1"))) << "every option is stored";
    EXPECT_EQ(stored(QStringLiteral("NSC")), QVariant(QStringLiteral("32")));
    EXPECT_EQ(QSettings(path, QSettings::IniFormat)
                  .value(QStringLiteral("SETUP/AutomaticUpdate/UpdateNotification/UpdateNotification")),
              QVariant(QStringLiteral("0")));
    EXPECT_TRUE(options.L22);
    EXPECT_FALSE(options.L7);
    EXPECT_TRUE(options.L27);
    EXPECT_EQ(options.NSC, 32);
    EXPECT_EQ(prompts.asked().size(), 0u) << "Standard software unchanged: no question";

    // Shown again, the dialog shows what was stored.
    dlg.show();
    EXPECT_TRUE(box(&ProgramOptions::L22)->isChecked());
    EXPECT_FALSE(box(&ProgramOptions::L7)->isChecked());
    EXPECT_EQ(dlg.NodeCountEdit()->text(), QStringLiteral("32"));
    EXPECT_FALSE(dlg.CheckForUpdatesBox()->isChecked());
}

TEST_F(SetupTest, CancelKeepsTheOldValues)
{
    store(QStringLiteral("SETUP/PRG/L2"), QStringLiteral("1"));
    TPSetup& dlg = open();
    const ProgramOptions before = options;
    click(box(&ProgramOptions::L2));
    click(box(&ProgramOptions::L22));
    dlg.NodeCountEdit()->setText(QStringLiteral("99"));
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);

    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(options, before);
    EXPECT_EQ(stored(QStringLiteral("L2")), QVariant(QStringLiteral("1")));
    EXPECT_FALSE(stored(QStringLiteral("L22")).isValid());
    EXPECT_FALSE(stored(QStringLiteral("NSC")).isValid());

    // Esc is Cancel as well.
    dlg.show();
    click(box(&ProgramOptions::L22));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(stored(QStringLiteral("L22")).isValid());
    dlg.show();
    EXPECT_FALSE(box(&ProgramOptions::L22)->isChecked());
}

TEST_F(SetupTest, NodeCountFieldRule)
{
    TPSetup& dlg = open();
    QLineEdit* field = dlg.NodeCountEdit();
    const struct {
        const char* typed;
        const char* after;
    } rows[] = {
        {"500", "254"}, {"255", "254"}, {"254", "254"}, {"0", "1"},  {"000", "1"},
        {"", "1"},      {"1", "1"},     {"007", "7"},   {"1a2", "12"}, {"-5", "5"},
        {"99999999999999999999999", "254"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        dlg.PageControl()->setCurrentIndex(0);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);  // select all, then type over it
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, QString::fromLatin1(row.typed));  // the field takes digits only
        click(box(&ProgramOptions::L3));                          // leave the field
        EXPECT_EQ(field->text(), QString::fromLatin1(row.after));
    }
    EXPECT_EQ(TPSetup::NormalizeNodeCount(QStringLiteral("12x")), QStringLiteral("1"));

    // "&Accept" with the field still focused stores the clamped figure.
    field->setFocus();
    field->setText(QStringLiteral("300"));
    QTest::mouseClick(dlg.AcceptButton(), Qt::LeftButton);
    EXPECT_EQ(stored(QStringLiteral("NSC")), QVariant(QStringLiteral("254")));
    EXPECT_EQ(options.NSC, 254);
}

TEST_F(SetupTest, WelcomeScreenMessages)
{
    const QString questionsText = QStringLiteral("Uncheck the welcome screen option for the startup questions to work!");
    const QString visualText = QStringLiteral("Please uncheck the welcome screen option for this option to work!");
    TPSetup& dlg = open();
    ASSERT_TRUE(box(&ProgramOptions::L4)->isChecked());

    click(box(&ProgramOptions::L5));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].prompt.text, questionsText);
    EXPECT_EQ(prompts.asked()[0].prompt.kind, PromptKind::Information);
    EXPECT_EQ(prompts.asked()[0].prompt.buttons, PromptButtons::Ok);
    EXPECT_TRUE(box(&ProgramOptions::L5)->isChecked()) << "the message changes no box";
    EXPECT_TRUE(box(&ProgramOptions::L4)->isChecked());

    click(box(&ProgramOptions::L6));
    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_EQ(prompts.asked()[1].prompt.text, visualText);
    EXPECT_EQ(prompts.asked()[1].prompt.kind, PromptKind::Information);
    EXPECT_TRUE(box(&ProgramOptions::L6)->isChecked());

    // Unticking says nothing; neither does ticking without the welcome screen.
    click(box(&ProgramOptions::L5));
    click(box(&ProgramOptions::L6));
    click(box(&ProgramOptions::L4));
    click(box(&ProgramOptions::L5));
    click(box(&ProgramOptions::L6));
    EXPECT_EQ(prompts.asked().size(), 2u);
    EXPECT_TRUE(box(&ProgramOptions::L5)->isChecked());
    (void)dlg;
}

TEST_F(SetupTest, StandardSoftwareChangeAsksAndOpensTheSelectionOnYes)
{
    const QString question = QStringLiteral(
        "Standard software setup has been changed, to activate this function select RV8 model. Proceed?");
    for (const PromptAnswer answer : {PromptAnswer::Yes, PromptAnswer::No}) {
        SCOPED_TRACE(answer == PromptAnswer::Yes ? "Yes" : "No");
        QSettings(path, QSettings::IniFormat).clear();
        options = {};
        prompts.clearAsked();
        TPSetup& dlg = open();
        int selections = 0;
        dlg.SetHooks({.showStarterSelection = [&] { ++selections; }});
        EXPECT_FALSE(box(&ProgramOptions::L9)->isEnabled()) << "Transparent Software needs Standard software";
        click(box(&ProgramOptions::L1A));
        EXPECT_TRUE(box(&ProgramOptions::L9)->isEnabled());
        prompts.then(answer);
        QTest::mouseClick(dlg.AcceptButton(), Qt::LeftButton);

        ASSERT_EQ(prompts.asked().size(), 1u);
        EXPECT_EQ(prompts.asked()[0].prompt.text, question);
        EXPECT_EQ(prompts.asked()[0].prompt.kind, PromptKind::Warning);
        EXPECT_EQ(prompts.asked()[0].prompt.buttons, PromptButtons::YesNo);
        EXPECT_EQ(selections, answer == PromptAnswer::Yes ? 1 : 0);
        EXPECT_EQ(stored(QStringLiteral("L1A")), QVariant(QStringLiteral("1"))) << "stored either way";
        EXPECT_TRUE(options.StandardSoftware());
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(prompts.scriptErrors(), 0);
    }
}

TEST_F(SetupTest, ShowingStoresTheProgramsStandardSoftwareFlagFirst)
{
    store(QStringLiteral("SETUP/PRG/L1A"), QStringLiteral("1"));
    dialog = std::make_unique<TPSetup>(options, prompts, location);
    EXPECT_TRUE(options.L1A);
    options.L1A = false;  // the program changed its flag meanwhile
    dialog->show();
    EXPECT_EQ(stored(QStringLiteral("L1A")), QVariant(QStringLiteral("0")));
    EXPECT_FALSE(box(&ProgramOptions::L1A)->isChecked());
    QTest::mouseClick(dialog->AcceptButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.asked().size(), 0u) << "no change against the state shown";
}

TEST_F(SetupTest, GuardedModesNeedThePassword)
{
    const struct {
        const char* what;
        bool ProgramOptions::*member;
        bool custom;
        bool test;
    } rows[] = {
        {"factory", &ProgramOptions::L15, false, false},
        {"custom", &ProgramOptions::L30, true, false},
        {"test", &ProgramOptions::L31, false, true},
    };
    TPSetup& dlg = open();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        QCheckBox* guarded = box(row.member);
        // No password dialog at all: the box does not stay ticked.
        dlg.SetHooks({});
        guarded->click();
        EXPECT_FALSE(guarded->isChecked());

        std::vector<std::pair<bool, bool>> asked;
        bool pass = false;
        dlg.SetHooks({.askPassword = [&](bool custom, bool test) {
            asked.emplace_back(custom, test);
            return pass;
        }});
        guarded->click();
        EXPECT_FALSE(guarded->isChecked()) << "wrong password";
        pass = true;
        guarded->click();
        EXPECT_TRUE(guarded->isChecked());
        guarded->click();  // unticking asks nothing
        EXPECT_FALSE(guarded->isChecked());
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0], std::make_pair(row.custom, row.test));
    }

    // Factory mode accepted and stored becomes AdvancedMode; showing it again asks nothing.
    int asks = 0;
    dlg.SetHooks({.askPassword = [&](bool, bool) { return ++asks, true; }});
    box(&ProgramOptions::L15)->click();
    QTest::mouseClick(dlg.AcceptButton(), Qt::LeftButton);
    EXPECT_TRUE(options.AdvancedMode());
    dlg.show();
    EXPECT_TRUE(box(&ProgramOptions::L15)->isChecked());
    EXPECT_EQ(asks, 1);
}

TEST_F(SetupTest, PageButtonsReachEveryShownTabBothWays)
{
    TPSetup& dlg = open();
    QTabWidget* pages = dlg.PageControl();
    std::vector<int> forward, backward;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(dlg.NextPageButton(), Qt::LeftButton);
        forward.push_back(pages->currentIndex());
    }
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(dlg.PreviousPageButton(), Qt::LeftButton);
        backward.push_back(pages->currentIndex());
    }
    EXPECT_EQ(forward, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(backward, (std::vector<int>{0, 2, 1, 0}));
    EXPECT_EQ(dlg.NextPageButton()->text(), QStringLiteral("P&age"));
    EXPECT_EQ(dlg.PreviousPageButton()->text(), QStringLiteral("&Page"));
}

TEST_F(SetupTest, UpdateDialogHooksHelpAndProxyLink)
{
    TPSetup& dlg = open();
    bool notification = false;
    int proxyShown = 0;
    QString helpTopic;
    std::vector<bool> handed;
    dlg.SetHooks({.updateNotification = [&] { return notification; },
                  .setUpdateNotification = [&](bool on) { handed.push_back(on); },
                  .showProxySettings = [&] { ++proxyShown, notification = true; },
                  .showHelp = [&](const QString& topic) { helpTopic = topic; }});

    QTest::mouseClick(dlg.HelpButton(), Qt::LeftButton);
    EXPECT_EQ(helpTopic, QStringLiteral("Program_Setup"));

    dlg.CheckForUpdatesBox()->setChecked(false);
    QTest::mouseClick(dlg.ProxyLink(), Qt::LeftButton);
    EXPECT_EQ(proxyShown, 1);
    EXPECT_TRUE(dlg.CheckForUpdatesBox()->isChecked()) << "refreshed from the update dialog afterwards";

    QTest::mouseClick(dlg.AcceptButton(), Qt::LeftButton);
    EXPECT_EQ(handed, std::vector<bool>{true});
    EXPECT_FALSE(QSettings(path, QSettings::IniFormat)
                     .value(QStringLiteral("SETUP/AutomaticUpdate/UpdateNotification/UpdateNotification"))
                     .isValid())
        << "the update dialog stores its own flag";
}

}  // namespace
