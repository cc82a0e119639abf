// The parameter browser and the visual set-up page driven as a user drives them (Qt Test,
// offscreen): the tree, the modified, search and comparison views, advanced parameters, the
// search box and dialog, opening the editor by "&Edit", double-click and Enter, and the
// terminal buttons.

#include "app/ParameterBrowser.h"
#include "app/PrmGrp2.h"
#include "app/SearchDialog.h"
#include "app/VisualSetupPage.h"
#include "param/Catalogue.h"
#include "param/Models.h"
#include "param/NuvShared.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>

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

void Bump(int number, int column)
{
    const param::Fixed v = param::GetPrmValue(PRM_TABLE, number, column);
    const param::Fixed max = param::GetPrmMaximum(PRM_TABLE, number, column);
    param::SetPrmValue(PRM_TABLE, number, column, true, v + param::Fx(1) <= max ? v + param::Fx(1) : v - param::Fx(1));
}

bool Contains(const std::vector<int>& v, int n) { return std::find(v.begin(), v.end(), n) != v.end(); }

class Browser : public ::testing::Test {
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
        for (int n = 1; n <= PRM_TABLE.Count(); ++n)
            param::CopyPrmColumn(n, param::vcMode1, param::vcDrive);
        editor = std::make_unique<TGroupPrm2>(EditorServices{&prompts, &options, nullptr, nullptr, nullptr});
        browser = std::make_unique<TParameterBrowser>(BrowserServices{&prompts, &options, editor.get()});
        browser->resize(1000, 600);
        browser->show();
        browser->Initialize_parameter_tree();
        browser->SetOverviewMode(0);
    }
    void TearDown() override
    {
        browser.reset();
        editor.reset();
        param::SELECTION.AdvancedMode = false;
    }
    int RowOf(int number) const
    {
        QStandardItemModel* m = browser->Model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->item(r, TParameterBrowser::Column("PRMNUM"))->text().toInt() == number)
                return r;
        return -1;
    }
    // Runs fn on the modal editor once it is shown.
    void WhenEditorShows(std::function<void()> fn)
    {
        poll = std::make_unique<QTimer>();
        poll->setInterval(1);
        QObject::connect(poll.get(), &QTimer::timeout, editor.get(), [this, fn] {
            if (!editor->isVisible())
                return;
            poll->stop();
            fn();
        });
        poll->start();
    }
    std::unique_ptr<QTimer> poll;

    ScriptedPrompts prompts{ScriptedPrompts::Policy::Affirm};
    comm::ProgramOptions options;
    std::unique_ptr<TGroupPrm2> editor;
    std::unique_ptr<TParameterBrowser> browser;
};

TEST_F(Browser, TreeColumnsAndTheFirstGroup)
{
    QTreeWidgetItem* root = browser->Tree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), QStringLiteral("RV8 Parameters"));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(root->child(root->childCount() - 1)->text(0), QStringLiteral("Modified"));
    EXPECT_EQ(browser->SelectedNode(), 1);
    EXPECT_EQ(browser->GroupNodePosition(1), 0);
    for (int n : browser->VisibleParameters())
        EXPECT_EQ(PRM_TABLE[n].intTreeMainIndex, 1);
    EXPECT_TRUE(Contains(browser->VisibleParameters(), NumberOf("F001")));

    const QStringList captions = browser->ColumnCaptions();
    QTableView* grid = browser->Grid();
    auto visible = [&](const QString& caption) { return !grid->isColumnHidden(captions.indexOf(caption)); };
    for (const char* c : {"No.", "Parameter", "Program Setting", "Info (Program)", "Default"})
        EXPECT_TRUE(visible(QString::fromLatin1(c))) << c;
    for (const char* c : {"Address", "RV8 Setting", "Info (RV8)", "Conversion Setting", "Info (Conversion)"})
        EXPECT_FALSE(visible(QString::fromLatin1(c))) << c;

    browser->SelectNode(0);  // the root shows every group
    EXPECT_GT(browser->VisibleParameters().size(), 20u);
}

TEST_F(Browser, ModifiedViewListsTheEditedParametersInRed)
{
    const int fla = NumberOf("F001");
    const int accel = NumberOf("F010");
    ASSERT_GT(accel, 0);
    Bump(fla, param::vcMode1);
    Bump(accel, param::vcMode1);
    browser->SetOverviewMode(5);
    EXPECT_EQ(browser->OverviewMode(), 5);
    EXPECT_EQ(browser->SelectedNode(), 29999);
    std::vector<int> expected{fla, accel};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(browser->VisibleParameters(), expected);
    QStandardItem* cell = browser->Model()->item(RowOf(fla), TParameterBrowser::Column("WORKVALUE"));
    EXPECT_EQ(cell->background().color(), QColor(Qt::red));
    EXPECT_EQ(cell->foreground().color(), QColor(Qt::white));
}

TEST_F(Browser, SearchBoxFiltersIgnoringCaseAndRefusesWildcards)
{
    QLineEdit* box = browser->SearchBox();
    QTest::keyClicks(box, QStringLiteral("t#i_me"));
    EXPECT_EQ(box->text(), QStringLiteral("time"));
    EXPECT_EQ(browser->OverviewMode(), 9);
    const std::vector<int> lower = browser->VisibleParameters();
    ASSERT_FALSE(lower.empty());
    for (int n : lower) {
        const QString row = browser->Model()->item(RowOf(n), TParameterBrowser::Column("PRMSEARCH"))->text();
        EXPECT_TRUE(row.contains(QStringLiteral("time"), Qt::CaseInsensitive)) << row.toStdString();
    }
    box->clear();
    QTest::keyClicks(box, QStringLiteral("TIME"));
    EXPECT_EQ(browser->VisibleParameters(), lower);
    browser->SearchClearButton()->click();
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_GT(browser->VisibleParameters().size(), lower.size());
}

TEST_F(Browser, SearchDialogSetsTheStoredTextAndTheSearchView)
{
    browser->SetSearchText(QStringLiteral("Relay"));
    QString offered;
    browser->searchDialogHook = [&](const QString& current) -> std::optional<QString> {
        offered = current;
        return QStringLiteral("f001");
    };
    bool shown = false;
    QObject::connect(browser.get(), &TParameterBrowser::showPageRequested, [&] { shown = true; });
    EXPECT_TRUE(browser->RunSearchDialog());
    EXPECT_EQ(offered, QStringLiteral("Relay"));
    EXPECT_EQ(browser->SearchText(), QStringLiteral("f001"));
    EXPECT_EQ(browser->SearchBox()->text(), QStringLiteral("f001"));
    EXPECT_EQ(browser->OverviewMode(), 9);
    EXPECT_EQ(browser->VisibleParameters(), std::vector<int>{NumberOf("F001")});
    EXPECT_TRUE(shown);

    browser->searchDialogHook = [](const QString&) -> std::optional<QString> { return std::nullopt; };
    EXPECT_FALSE(browser->RunSearchDialog());
    EXPECT_EQ(browser->SearchText(), QStringLiteral("f001"));
}

TEST(SearchDialog, OffersTheWordsAndReturnsTheText)
{
    TSearchIt dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Parameter Search"));
    EXPECT_NE(dialog.SearchCombo()->findText(QStringLiteral("Acceleration")), -1);
    EXPECT_EQ(dialog.SearchCombo()->count(), 16);
    dialog.SetSearchText(QStringLiteral("Stall"));
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClicks(dialog.SearchCombo()->lineEdit(), QStringLiteral(" Time"));
        QTest::keyClick(dialog.SearchCombo()->lineEdit(), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.SearchText(), QStringLiteral("Stall Time"));
}

TEST_F(Browser, ComparisonViewMarksExactlyTheDifferingParameters)
{
    const int fla = NumberOf("F001");
    const int relay = NumberOf("F060");
    Bump(fla, param::vcDrive);  // the starter holds another FLA
    const param::DESC_REC& list = PRM_TABLE[relay].ValueSTR;
    param::SetPrmValue(relay, param::vcDrive, false, param::Fixed::FromInt(list.TRVALUE[1]));
    ASSERT_NE(param::GetPrmValue(relay, param::vcDrive), param::GetPrmValue(relay, param::vcMode1));
    browser->SelectNode(0);
    browser->SetOverviewMode(2);
    EXPECT_EQ(browser->OverviewMode(), 2);
    QTableView* grid = browser->Grid();
    EXPECT_FALSE(grid->isColumnHidden(TParameterBrowser::Column("DriveSetting")));
    EXPECT_FALSE(grid->isColumnHidden(TParameterBrowser::Column("Description2")));
    std::vector<int> yellow;
    for (int n : browser->VisibleParameters()) {
        QStandardItem* cell = browser->Model()->item(RowOf(n), TParameterBrowser::Column("DriveSetting"));
        if (cell->background().color() == QColor(Qt::yellow))
            yellow.push_back(n);
    }
    EXPECT_EQ(yellow, (std::vector<int>{fla, relay}));

    browser->SetOverviewMode(0);
    EXPECT_TRUE(grid->isColumnHidden(TParameterBrowser::Column("DriveSetting")));
}

TEST_F(Browser, AdvancedParametersOnlyInFactoryMode)
{
    const int advanced = NumberOf("F010");
    PRM_TABLE[advanced].ADVANCED = 1;
    browser->Initialize_parameter_tree();
    browser->SelectNode(0);
    EXPECT_FALSE(Contains(browser->VisibleParameters(), advanced));
    browser->SetSelectedParameter(advanced);
    browser->EditSelected(true);
    ASSERT_FALSE(prompts.asked().empty());
    EXPECT_EQ(prompts.asked().back().prompt.text, browser_text::kFactoryAccess);

    param::SELECTION.AdvancedMode = true;
    browser->SelectNode(0);
    EXPECT_TRUE(Contains(browser->VisibleParameters(), advanced));
    // Modified advanced parameters show without factory mode.
    param::SELECTION.AdvancedMode = false;
    Bump(advanced, param::vcMode1);
    browser->SetOverviewMode(5);
    EXPECT_TRUE(Contains(browser->VisibleParameters(), advanced));
}

TEST_F(Browser, EditOpensTheEditorAndTheRowIsRefreshedAfterASave)
{
    browser->SelectNode(0);
    browser->EditButton()->click();
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].prompt.text, browser_text::kSelectParameter);

    const int fla = NumberOf("F001");
    const int row = RowOf(fla);
    QTableView* grid = browser->Grid();
    const QModelIndex index = browser->Model()->index(row, TParameterBrowser::Column("Title"));
    grid->setCurrentIndex(index);
    EXPECT_EQ(browser->SelectedParameter(), fla);

    std::string wanted;
    WhenEditorShows([&] {
        EXPECT_EQ(editor->ParameterNumber(), fla);
        const param::Fixed v = param::GetPrmValue(fla, param::vcMode1);
        wanted = param::FormatPrmNumber(PRM_TABLE, fla, v + param::Fx(1));
        editor->EditBox()->setText(QString::fromStdString(wanted));
        QTest::keyClick(editor->EditBox(), Qt::Key_Return);
        editor->SaveButton()->click();
    });
    // Double-click on the row.
    emit grid->doubleClicked(index);
    ASSERT_FALSE(wanted.empty()) << "the editor did not open";
    const QString cell = browser->Model()->item(row, TParameterBrowser::Column("WORKVALUE"))->text();
    EXPECT_TRUE(cell.startsWith(QString::fromStdString(wanted))) << cell.toStdString();
    EXPECT_EQ(browser->Model()->item(row, TParameterBrowser::Column("MODIFIED_FLAG_PRM_DEF"))->text(), "1");

    // Enter opens it too; cancel leaves the value.
    bool opened = false;
    WhenEditorShows([&] {
        opened = true;
        editor->CancelButton()->click();
    });
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_TRUE(opened);
    EXPECT_EQ(param::FormatPrmValue(fla, param::vcMode1), wanted);
}

TEST_F(Browser, ReadOnlyParameterIsRefused)
{
    int ro = 0;
    for (int n = 1; n <= PRM_TABLE.Count() && ro == 0; ++n)
        if (PRM_TABLE[n].MONITOR_ONLY && param::IsPrmAvailable(n, param::vcMode1, 2) && param::IsOverviewRow(PRM_TABLE, n))
            ro = n;
    if (ro == 0)
        GTEST_SKIP() << "no monitor-only parameter in this catalogue";
    browser->SelectNode(0);
    browser->SetSelectedParameter(ro);
    browser->EditSelected(true);
    ASSERT_FALSE(prompts.asked().empty());
    EXPECT_EQ(prompts.asked().back().prompt.text, browser_text::kReadOnly);
    EXPECT_EQ(browser->Model()->item(RowOf(ro), TParameterBrowser::Column("DEFAULTSETTING"))->text(), "--");
}

TEST_F(Browser, VisualPageTerminalsAndGroups)
{
    TVisualSetupPage page({&prompts, editor.get(), browser.get()});
    page.RefreshHints();
    const int fla = NumberOf("F001");
    {
        param::parameter_info info;
        param::FillParameterInfo(fla, 0, info);
        EXPECT_EQ(page.Button(QStringLiteral("Fla"))->toolTip().toStdString(),
                  "F001 = " + info.Prm_Value + info.Prm_Unit_wSp);
    }
    const TTerminalInfo input = page.InfoOf(QStringLiteral("InputPower"));
    EXPECT_EQ(input.Title, QStringLiteral("Input Power"));
    EXPECT_EQ(input.Setting, QStringLiteral("N/A"));
    EXPECT_FALSE(input.CanModify);
    const TTerminalInfo relay = page.InfoOf(QStringLiteral("Relay3"));
    EXPECT_EQ(relay.Title, QStringLiteral("Relay Output 3"));
    EXPECT_TRUE(relay.Setting.startsWith(QStringLiteral("F062 = ")));
    EXPECT_TRUE(relay.CanModify);
    EXPECT_EQ(page.InfoOf(QStringLiteral("Fla")).Title, QStringLiteral("F01 Motor FLA"));

    // "Modify Setting" opens the editor on the parameter, highlighted.
    page.dialogHook = [](const TTerminalInfo&) { return int(TDlg1::Modify); };
    bool opened = false;
    WhenEditorShows([&] {
        opened = editor->ParameterNumber() == fla
                 && editor->TitleLabel()->styleSheet().contains(QStringLiteral("red"));
        editor->CancelClick();
    });
    page.Click(QStringLiteral("Fla"));
    EXPECT_TRUE(opened);

    bool shown = false;
    QObject::connect(&page, &TVisualSetupPage::showParametersRequested, [&] { shown = true; });
    page.Click(QStringLiteral("Group3"));
    EXPECT_TRUE(shown);
    EXPECT_EQ(browser->SelectedNode(), 3);
    for (int n : browser->VisibleParameters())
        EXPECT_EQ(PRM_TABLE[n].intTreeMainIndex, 3);
}

}  // namespace
}  // namespace rv8::app
