#pragma once
// TParameterBrowser: the "Parameters" page. A group tree on the left ("RV8 Parameters", one
// node per group, "Modified"), the grid of parameters on the right with its views (program
// memory, comparison, modified, search), the search box, the "&Edit" button, the legend and a
// slot for the export panel. Rows and filters are computed by param/Overview.h; all changes go
// through the group editor (TGroupPrm2).
//
// The main window places it on its parameter page and forwards its requests:
//
//     auto* browser = new TParameterBrowser({&prompts, &options, editor}, parametersPage);
//     connect(mainForm, &TMainForm::overviewRequested, browser, &TParameterBrowser::SetOverviewMode);
//     connect(mainForm, &TMainForm::searchRequested, browser, &TParameterBrowser::RunSearchDialog);
//     connect(browser, &TParameterBrowser::showPageRequested, mainForm, &TMainForm::ShowParameterScreen);
//
// After every catalogue rebuild: Initialize_parameter_tree() then a view (SetOverviewMode(0)).

#include "comm/ProgramOptions.h"
#include "comm/UserPrompts.h"
#include "param/Overview.h"
#include "param/VarDrive.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QFrame;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;
class QModelIndex;

namespace rv8::app {

class TGroupPrm2;
class TSearchIt;

namespace browser_text {
inline const QString kSelectParameter = QStringLiteral("Please select parameter from overview.");
inline const QString kFactoryAccess = QStringLiteral("The selected parameter requires factory access.");
inline const QString kReadOnly = QStringLiteral("The selected parameter is read-only and cannot be modified.");
}  // namespace browser_text

// What the browser works with; everything must outlive it. Prompts and Options are required;
// without an editor "&Edit" does nothing after its checks.
struct BrowserServices {
    comm::UserPrompts* Prompts = nullptr;
    const comm::ProgramOptions* Options = nullptr;
    TGroupPrm2* Editor = nullptr;
    param::PrmTable* Table = &param::PRM_TABLE;
    param::TSelectionState* Selection = &param::SELECTION;
};

class TParameterBrowser : public QWidget {
    Q_OBJECT

public:
    explicit TParameterBrowser(BrowserServices services, QWidget* parent = nullptr);
    ~TParameterBrowser() override;

    // ---- The operations of the page -------------------------------------------------------
    // Rebuilds the group tree from the catalogue, refills the grid and selects the first group.
    void Initialize_parameter_tree();
    // fill false: nothing. refill: every row anew; otherwise only rows flagged Refresh_Prm.
    // Then the filter of `view` for tree node `group`.
    void Update_Parameter_Table(int group, bool fill, bool refill, int view);
    // The filter of the search (9) and modified (5) views.
    void Set_Filter_Overview(int view);
    // OverviewMode 0 and the starter columns ("RV8 Setting", "Info (RV8)") hidden.
    void Clear_drive_setting_overview();
    // The starter columns shown.
    void Show_drive_setting_overview();

    // ---- Views ----------------------------------------------------------------------------
    // 0 program memory, 2 comparison, 5 modified, 9 search (the main window's overviewRequested).
    void SetOverviewMode(int mode);
    void ShowProgramMemory();
    void ShowComparison();
    void ShowModified();
    void ShowSearch();
    // The "Parameter Search" dialog; with a result the search view of SearchText. True when
    // the dialog was accepted.
    bool RunSearchDialog();
    // Refreshes the rows of edited parameters (Refresh_Prm) with the current view.
    void Refresh();
    // Tree node of group ordinal k (1..) selected and handled as a click (the visual page).
    void ShowGroup(int ordinal);
    // Handles a tree node selection (node number as in param/Overview.h).
    void SelectNode(int nodeNumber);

    // ---- Editing --------------------------------------------------------------------------
    // "&Edit": opens the editor for SelectedParameter with its checks. fromButton: the "no
    // parameter selected" message applies (a double-click on no parameter does nothing).
    void EditSelected(bool fromButton = true);
    void SetSelectedParameter(int number);

    // ---- State ----------------------------------------------------------------------------
    int OverviewMode() const { return m_overviewMode; }
    int SelectedParameter() const { return m_selected; }
    // The node number of the selected tree node (-1 when none).
    int SelectedNode() const;
    // The stored search text (the main window loads and saves it).
    const QString& SearchText() const { return m_searchText; }
    void SetSearchText(const QString& text) { m_searchText = text; }
    // Tree selections are ignored until the program runs (AppRunning); true by default.
    void SetAppRunning(bool running) { m_appRunning = running; }
    // Position of group ordinal k's node among the root's children (-1 when none).
    int GroupNodePosition(int ordinal) const;
    // The parameter numbers the grid shows now, in order.
    std::vector<int> VisibleParameters() const;
    // Hook for tests: replaces the search dialog (returns the accepted text, or nothing).
    std::function<std::optional<QString>(const QString& current)> searchDialogHook;

    // ---- Widgets --------------------------------------------------------------------------
    QTreeWidget* Tree() const { return m_tree; }
    QTableView* Grid() const { return m_grid; }
    QLineEdit* SearchBox() const { return m_searchBox; }
    QPushButton* SearchClearButton() const { return m_searchClear; }
    QPushButton* EditButton() const { return m_edit; }
    // The empty frame the report export panel goes into.
    QFrame* ExportPanel() const { return m_exportPanel; }
    // The grid's model: one row per overview row, columns in the order of ColumnCaptions().
    QStandardItemModel* Model() const;
    static QStringList ColumnCaptions();
    // Column index of a column name (ParameterNumber, Title, WORKVALUE, DriveSetting, ...).
    static int Column(const char* name);

signals:
    // The main window shows its parameter page.
    void showPageRequested();
    // The editor closed after a use (values may have changed).
    void editorClosed();
    void overviewModeChanged(int mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void treeSelectionChanged();
    void applyFilter();
    void writeRow(int position, bool refill);
    void searchTextEdited();
    void setOverviewMode(int mode);
    void currentRowChanged(const QModelIndex& index);

    BrowserServices m_s;
    QTreeWidget* m_tree = nullptr;
    QTableView* m_grid = nullptr;
    QStandardItemModel* m_model = nullptr;
    QLineEdit* m_searchBox = nullptr;
    QPushButton* m_searchClear = nullptr;
    QPushButton* m_edit = nullptr;
    QFrame* m_exportPanel = nullptr;
    param::TOverviewRows m_rows;
    param::TOverviewFilter m_filter;
    std::vector<int> m_groupNodes;  // ordinal k -> position of its node under the root
    QString m_searchText;
    int m_overviewMode = param::ovProgramMemory;
    int m_selected = -1;
    bool m_appRunning = true;
    bool m_driveColumns = false;
    bool m_updatingTree = false;
};

}  // namespace rv8::app
