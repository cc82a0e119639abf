#include "app/ParameterBrowser.h"

#include "app/PrmGrp2.h"
#include "app/SearchDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstring>
#include <exception>

namespace rv8::app {

using namespace rv8::param;

namespace {

struct ColumnDef {
    const char* name;
    const char* caption;
    bool visible;
};

// Visible columns first, in display order; the rest hidden.
constexpr ColumnDef kColumns[] = {
    {"ParameterNumber", "No.", true},
    {"PrmAddressInfo", "Address", false},
    {"Title", "Parameter", true},
    {"WORKVALUE", "Program Setting", true},
    {"DriveSetting", "RV8 Setting", false},
    {"ConversionSetting", "Conversion Setting", false},
    {"Description", "Info (Program)", true},
    {"Description2", "Info (RV8)", false},
    {"ConversionSettingDescription", "Info (Conversion)", false},
    {"DEFAULTSETTING", "Default", true},
    {"MODIFIED_FLAG_PRM_DEF", "Modified", false},
    {"MODIFIED_FLAG_DRV_DEF", "MODIFIED_FLAG_DRV_DEF", false},
    {"MODIFIED_FLAG_PRM_DRV", "MODIFIED_FLAG_PRM_DRV", false},
    {"PRMNUM", "PRMNUM", false},
    {"PRMSEARCH", "PRMSEARCH", false},
    {"PRMDISPLAYFLAG", "PRMDISPLAYFLAG", false},
    {"CTRLMODE0", "CTRLMODE0", false},
    {"CTRLMODE1", "CTRLMODE1", false},
    {"CTRLMODE2", "CTRLMODE2", false},
    {"CTRLMODE3", "CTRLMODE3", false},
    {"CTRLMODE4", "CTRLMODE4", false},
    {"CTRLMODE5", "CTRLMODE5", false},
    {"CTRLMODE6", "CTRLMODE6", false},
    {"CTRLMODE7", "CTRLMODE7", false},
    {"TreeGroupIndex", "TreeGroupIndex", false},
    {"TreeSubGroupIndex", "TreeSubGroupIndex", false},
    {"ModifiedChecked", "ModifiedChecked", false},
    {"ConversionParameterNumber", "ConversionParameterNumber", false},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

const QColor kRed(Qt::red);
const QColor kYellow(Qt::yellow);
const QColor kGrey(0x80, 0x80, 0x80);

int Col(const char* name) { return TParameterBrowser::Column(name); }

QString Qs(const std::string& s) { return QString::fromStdString(s); }

QWidget* LegendBox(const QColor& colour, QWidget* parent)
{
    auto* box = new QFrame(parent);
    box->setFixedSize(14, 14);
    box->setFrameShape(QFrame::Box);
    box->setAutoFillBackground(true);
    QPalette p = box->palette();
    p.setColor(QPalette::Window, colour);
    box->setPalette(p);
    return box;
}

}  // namespace

TParameterBrowser::TParameterBrowser(BrowserServices services, QWidget* parent)
    : QWidget(parent), m_s(std::move(services))
{
    setObjectName(QStringLiteral("ParameterBrowser"));
    buildUi();
}

TParameterBrowser::~TParameterBrowser() = default;

QStringList TParameterBrowser::ColumnCaptions()
{
    QStringList out;
    for (const ColumnDef& c : kColumns)
        out << QString::fromLatin1(c.caption);
    return out;
}

int TParameterBrowser::Column(const char* name)
{
    for (int i = 0; i < kColumnCount; ++i)
        if (std::strcmp(kColumns[i].name, name) == 0)
            return i;
    return -1;
}

QStandardItemModel* TParameterBrowser::Model() const { return m_model; }

void TParameterBrowser::buildUi()
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("ParameterTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setMinimumWidth(220);

    m_model = new QStandardItemModel(0, kColumnCount, this);
    m_model->setHorizontalHeaderLabels(ColumnCaptions());
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("ParameterGrid"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setSectionsMovable(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    m_grid->setAlternatingRowColors(false);
    for (int c = 0; c < kColumnCount; ++c)
        m_grid->setColumnHidden(c, !kColumns[c].visible);
    m_grid->installEventFilter(this);

    auto* master = new QLabel(QString::fromLatin1(kRootNodeText.data(), static_cast<int>(kRootNodeText.size())), this);
    master->setObjectName(QStringLiteral("MasterRow"));
    QFont bold = master->font();
    bold.setBold(true);
    master->setFont(bold);

    auto* searchLabel = new QLabel(QStringLiteral("Search:"), this);
    m_searchBox = new QLineEdit(this);
    m_searchBox->setObjectName(QStringLiteral("SearchBox"));
    m_searchBox->setMaxLength(60);
    m_searchBox->installEventFilter(this);
    searchLabel->setBuddy(m_searchBox);
    m_searchClear = new QPushButton(QStringLiteral("X"), this);
    m_searchClear->setObjectName(QStringLiteral("SearchClear"));
    m_searchClear->setToolTip(QStringLiteral("Clear search text"));
    m_edit = new QPushButton(QStringLiteral("&Edit"), this);
    m_edit->setObjectName(QStringLiteral("EditB"));
    m_edit->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(searchLabel);
    top->addWidget(m_searchBox, 1);
    top->addWidget(m_searchClear);
    top->addSpacing(12);
    top->addWidget(m_edit);

    auto* legend = new QHBoxLayout;
    legend->addWidget(new QLabel(QStringLiteral("Setting Modified:"), this));
    legend->addWidget(LegendBox(kRed, this));
    legend->addWidget(new QLabel(QStringLiteral("Default"), this));
    legend->addSpacing(8);
    legend->addWidget(LegendBox(kYellow, this));
    legend->addWidget(new QLabel(QStringLiteral("RV8"), this));
    legend->addStretch(1);

    m_exportPanel = new QFrame(this);
    m_exportPanel->setObjectName(QStringLiteral("ExportPanel"));
    m_exportPanel->setFrameShape(QFrame::NoFrame);
    (new QVBoxLayout(m_exportPanel))->setContentsMargins(0, 0, 0, 0);
    m_exportPanel->hide();

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(top);
    rightLayout->addWidget(master);
    rightLayout->addWidget(m_grid, 1);
    rightLayout->addLayout(legend);
    rightLayout->addWidget(m_exportPanel);

    auto* split = new QSplitter(this);
    split->addWidget(m_tree);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &TParameterBrowser::treeSelectionChanged);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this] { treeSelectionChanged(); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) { currentRowChanged(index); });
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex& index) { currentRowChanged(index); });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        currentRowChanged(index);
        EditSelected(false);
    });
    connect(m_edit, &QPushButton::clicked, this, [this] { EditSelected(true); });
    connect(m_searchBox, &QLineEdit::textChanged, this, [this] { searchTextEdited(); });
    connect(m_searchClear, &QPushButton::clicked, m_searchBox, &QLineEdit::clear);
}

// ---- Tree -----------------------------------------------------------------------------------

void TParameterBrowser::Initialize_parameter_tree()
{
    m_updatingTree = true;
    m_tree->clear();
    m_groupNodes.assign(1, -1);
    const std::vector<TOverviewNode> nodes = BuildOverviewTree(*m_s.Table);
    auto* root = new QTreeWidgetItem(m_tree, QStringList(Qs(nodes.front().Text)));
    root->setData(0, Qt::UserRole, nodes.front().NodeNumber);
    for (std::size_t k = 1; k < nodes.size(); ++k) {
        auto* item = new QTreeWidgetItem(root, QStringList(Qs(nodes[k].Text)));
        item->setData(0, Qt::UserRole, nodes[k].NodeNumber);
        if (nodes[k].NodeNumber != kModifiedNodeNumber)
            m_groupNodes.push_back(root->indexOfChild(item));
    }
    m_updatingTree = false;
    // A rebuilt catalogue: every row anew.
    Update_Parameter_Table(kRootNodeNumber, true, true, m_overviewMode);
    QCoreApplication::processEvents();
    if (root->childCount() > 0)
        m_tree->setCurrentItem(root->child(0));
    root->setExpanded(true);
}

int TParameterBrowser::GroupNodePosition(int ordinal) const
{
    if (ordinal < 1 || ordinal >= static_cast<int>(m_groupNodes.size()))
        return -1;
    return m_groupNodes[static_cast<std::size_t>(ordinal)];
}

int TParameterBrowser::SelectedNode() const
{
    const QList<QTreeWidgetItem*> items = m_tree->selectedItems();
    if (items.isEmpty())
        return -1;
    return items.front()->data(0, Qt::UserRole).toInt();
}

void TParameterBrowser::treeSelectionChanged()
{
    if (!m_appRunning || m_updatingTree)
        return;
    const int node = SelectedNode();
    if (node == -1)
        return;
    m_grid->show();
    m_edit->setEnabled(true);
    setOverviewMode(node == kModifiedNodeNumber ? ovModified : ovProgramMemory);
    Update_Parameter_Table(node, true, false, m_overviewMode);
}

void TParameterBrowser::SelectNode(int nodeNumber)
{
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    if (!root)
        return;
    QTreeWidgetItem* target = nullptr;
    if (nodeNumber == kRootNodeNumber)
        target = root;
    for (int i = 0; !target && i < root->childCount(); ++i)
        if (root->child(i)->data(0, Qt::UserRole).toInt() == nodeNumber)
            target = root->child(i);
    if (!target)
        return;
    m_updatingTree = true;
    m_tree->setCurrentItem(target);
    m_updatingTree = false;
    treeSelectionChanged();
}

void TParameterBrowser::ShowGroup(int ordinal)
{
    const int position = GroupNodePosition(ordinal);
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    if (position < 0 || !root || position >= root->childCount())
        return;
    SelectNode(root->child(position)->data(0, Qt::UserRole).toInt());
    emit showPageRequested();
}

// ---- Grid -----------------------------------------------------------------------------------

void TParameterBrowser::Update_Parameter_Table(int group, bool fill, bool refill, int view)
{
    if (!fill)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<int> changed = m_rows.Update(*m_s.Table, refill, *m_s.Selection);
    const int count = static_cast<int>(m_rows.Rows().size());
    m_grid->setUpdatesEnabled(false);
    const bool all = refill || m_model->rowCount() != count || changed.size() == m_rows.Rows().size();
    if (m_model->rowCount() != count)
        m_model->setRowCount(count);
    for (int position : changed)
        writeRow(position, all);

    m_filter = {};
    m_filter.View = view;
    m_filter.GroupNode = group;
    m_filter.AdvancedMode = m_s.Selection->AdvancedMode;
    m_filter.ControlMode = m_s.Selection->CurrentControlMode;
    if (view == ovSearch || view == ovModified)
        Set_Filter_Overview(view);
    else
        applyFilter();
    m_grid->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
}

void TParameterBrowser::writeRow(int position, bool refill)
{
    const TOverviewRow& row = m_rows.Rows()[static_cast<std::size_t>(position)];
    auto set = [&](const char* column, const QString& text) {
        const int c = Col(column);
        QStandardItem* item = m_model->item(position, c);
        if (!item) {
            item = new QStandardItem;
            m_model->setItem(position, c, item);
        }
        item->setText(text);
        item->setData(QVariant(), Qt::BackgroundRole);
        item->setData(QVariant(), Qt::ForegroundRole);
        return item;
    };
    if (refill || !m_model->item(position, Col("PRMNUM"))) {
        set("ParameterNumber", Qs(row.ParameterNumber));
        set("Title", Qs(row.Title));
        set("PrmAddressInfo", Qs(row.PrmAddressInfo));
        set("PRMNUM", QString::number(row.PRMNUM));
    }
    QStandardItem* work = set("WORKVALUE", Qs(row.WORKVALUE));
    QStandardItem* drive = set("DriveSetting", Qs(row.DriveSetting));
    set("Description", Qs(row.Description));
    set("Description2", Qs(row.Description2));
    set("DEFAULTSETTING", Qs(row.DEFAULTSETTING));
    set("MODIFIED_FLAG_PRM_DEF", Qs(row.MODIFIED_FLAG_PRM_DEF));
    set("MODIFIED_FLAG_DRV_DEF", Qs(row.MODIFIED_FLAG_DRV_DEF));
    set("MODIFIED_FLAG_PRM_DRV", Qs(row.MODIFIED_FLAG_PRM_DRV));
    set("PRMSEARCH", Qs(row.PRMSEARCH));
    set("PRMDISPLAYFLAG", QString::number(row.PRMDISPLAYFLAG));
    for (int m = 0; m < 8; ++m) {
        const std::string name = "CTRLMODE" + std::to_string(m);
        set(name.c_str(), QString(QChar::fromLatin1(row.CTRLMODE[static_cast<std::size_t>(m)])));
    }
    set("TreeGroupIndex", QString::number(row.TreeGroupIndex));
    set("TreeSubGroupIndex", QString::number(row.TreeGroupIndex));

    // Cell colours: red for a setting that differs from the default, yellow for a starter
    // setting that differs from the program's, grey for read-only parameters.
    const bool red = row.MODIFIED_FLAG_PRM_DEF == "1";
    if (red) {
        work->setBackground(kRed);
        work->setForeground(QColor(Qt::white));
    }
    if (row.WorkText != row.DriveText) {
        drive->setBackground(kYellow);
        drive->setForeground(QColor(Qt::black));
    }
    if (row.PRMDISPLAYFLAG == 2) {
        QStandardItem* number = m_model->item(position, Col("ParameterNumber"));
        number->setForeground(kGrey);
        if (!red)
            work->setForeground(kGrey);
        m_model->item(position, Col("Title"))->setForeground(kGrey);
    } else if (refill) {
        m_model->item(position, Col("ParameterNumber"))->setData(QVariant(), Qt::ForegroundRole);
        m_model->item(position, Col("Title"))->setData(QVariant(), Qt::ForegroundRole);
    }
}

void TParameterBrowser::Set_Filter_Overview(int view)
{
    try {
        m_filter.View = view;
        m_filter.SearchText = m_searchBox->text().toStdString();
        m_filter.AdvancedMode = m_s.Selection->AdvancedMode;
        m_filter.ControlMode = m_s.Selection->CurrentControlMode;
        applyFilter();
    } catch (const std::exception&) {
        // A filter that cannot be built leaves the previous one.
    }
}

void TParameterBrowser::applyFilter()
{
    const auto& rows = m_rows.Rows();
    for (int k = 0; k < static_cast<int>(rows.size()) && k < m_model->rowCount(); ++k)
        m_grid->setRowHidden(k, !m_filter.Accepts(rows[static_cast<std::size_t>(k)]));
}

std::vector<int> TParameterBrowser::VisibleParameters() const
{
    std::vector<int> out;
    const auto& rows = m_rows.Rows();
    for (int k = 0; k < static_cast<int>(rows.size()) && k < m_model->rowCount(); ++k)
        if (!m_grid->isRowHidden(k))
            out.push_back(rows[static_cast<std::size_t>(k)].PRMNUM);
    return out;
}

void TParameterBrowser::Clear_drive_setting_overview()
{
    setOverviewMode(ovProgramMemory);
    m_driveColumns = false;
    for (const char* c : {"DriveSetting", "Description2", "ConversionSetting", "ConversionSettingDescription",
                          "ConversionParameterNumber"})
        m_grid->setColumnHidden(Col(c), true);
}

void TParameterBrowser::Show_drive_setting_overview()
{
    m_driveColumns = true;
    m_grid->setColumnHidden(Col("DriveSetting"), false);
    m_grid->setColumnHidden(Col("Description2"), false);
    for (const char* c : {"ConversionSetting", "ConversionSettingDescription", "ConversionParameterNumber"})
        m_grid->setColumnHidden(Col(c), true);
}

// ---- Views ----------------------------------------------------------------------------------

void TParameterBrowser::setOverviewMode(int mode)
{
    if (m_overviewMode == mode)
        return;
    m_overviewMode = mode;
    emit overviewModeChanged(mode);
}

void TParameterBrowser::SetOverviewMode(int mode)
{
    switch (mode) {
    case ovComparison: ShowComparison(); break;
    case ovModified: ShowModified(); break;
    case ovSearch: ShowSearch(); break;
    default: ShowProgramMemory(); break;
    }
}

void TParameterBrowser::ShowProgramMemory()
{
    // After a catalogue rebuild the tree may describe other groups: rebuild it first.
    const std::vector<TOverviewNode> nodes = BuildOverviewTree(*m_s.Table);
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    bool same = root && root->childCount() == static_cast<int>(nodes.size()) - 1;
    for (int i = 0; same && i < root->childCount(); ++i)
        same = root->child(i)->text(0) == Qs(nodes[static_cast<std::size_t>(i) + 1].Text);
    if (!same)
        Initialize_parameter_tree();

    Clear_drive_setting_overview();
    // Values may have come from a read, a file or a restore: every row anew.
    Update_Parameter_Table(SelectedNode() < 0 ? kRootNodeNumber : SelectedNode(), true, true, ovProgramMemory);
    root = m_tree->topLevelItem(0);
    if (root && root->childCount() > 0) {
        root->setExpanded(true);
        SelectNode(root->child(0)->data(0, Qt::UserRole).toInt());
    }
}

void TParameterBrowser::ShowComparison()
{
    setOverviewMode(ovComparison);
    Show_drive_setting_overview();
    const int node = SelectedNode();
    // The starter column changed everywhere: every row anew.
    Update_Parameter_Table(node < 0 || node == kModifiedNodeNumber ? kRootNodeNumber : node, true, true, ovComparison);
}

void TParameterBrowser::ShowModified()
{
    SelectNode(kModifiedNodeNumber);
    setOverviewMode(ovModified);
    Update_Parameter_Table(kModifiedNodeNumber, true, true, ovModified);
}

void TParameterBrowser::ShowSearch()
{
    setOverviewMode(ovSearch);
    Update_Parameter_Table(SelectedNode(), true, false, ovSearch);
}

bool TParameterBrowser::RunSearchDialog()
{
    std::optional<QString> text;
    if (searchDialogHook) {
        text = searchDialogHook(m_searchText);
    } else {
        TSearchIt dialog(this);
        dialog.SetSearchText(m_searchText);
        if (dialog.exec() == QDialog::Accepted)
            text = dialog.SearchText();
    }
    if (!text)
        return false;
    m_searchText = *text;
    // The box refuses the filter's wildcard characters; so does a text from the dialog.
    QString boxText = m_searchText;
    boxText.remove(QLatin1Char('#')).remove(QLatin1Char('_'));
    m_searchBox->setText(boxText.left(m_searchBox->maxLength()));
    setOverviewMode(ovSearch);
    Set_Filter_Overview(ovSearch);
    emit showPageRequested();
    return true;
}

void TParameterBrowser::searchTextEdited()
{
    // Pasted text may carry the filter's wildcard characters, which typing cannot.
    const QString text = m_searchBox->text();
    if (text.contains(QLatin1Char('#')) || text.contains(QLatin1Char('_'))) {
        QString clean = text;
        clean.remove(QLatin1Char('#')).remove(QLatin1Char('_'));
        m_searchBox->setText(clean);  // runs this handler again with the clean text
        return;
    }
    setOverviewMode(ovSearch);
    Set_Filter_Overview(ovSearch);
}

void TParameterBrowser::Refresh() { Update_Parameter_Table(SelectedNode(), true, false, m_overviewMode); }

// ---- Selecting and editing ------------------------------------------------------------------

void TParameterBrowser::currentRowChanged(const QModelIndex& index)
{
    int number = -1;
    if (index.isValid() && index.row() < static_cast<int>(m_rows.Rows().size()))
        number = m_rows.Rows()[static_cast<std::size_t>(index.row())].PRMNUM;
    m_selected = number > 0 ? number : -1;
}

void TParameterBrowser::SetSelectedParameter(int number)
{
    const int position = m_rows.PositionOf(number);
    if (position < 0) {
        m_selected = -1;
        return;
    }
    m_grid->setCurrentIndex(m_model->index(position, Col("ParameterNumber")));
    m_selected = number;
}

void TParameterBrowser::EditSelected(bool fromButton)
{
    PrmTable& t = *m_s.Table;
    const int n = m_selected;
    if (n <= 0 || !t.Exists(n)) {
        if (fromButton)
            m_s.Prompts->information({}, browser_text::kSelectParameter);
        return;
    }
    if (!IsPrmAvailable(t, n, m_s.Selection->CurrentControlMode, 2, *m_s.Selection)) {
        m_s.Prompts->information({}, browser_text::kFactoryAccess);
        return;
    }
    if (t[n].MONITOR_ONLY) {
        m_s.Prompts->information({}, browser_text::kReadOnly);
        return;
    }
    if (!m_s.Editor)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_s.Editor->FillControls(n, false);
    QApplication::restoreOverrideCursor();
    m_s.Editor->Execute();
    Update_Parameter_Table(SelectedNode(), true, false, m_overviewMode);
    emit editorClosed();
}

bool TParameterBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_searchBox) {
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (!text.isEmpty() && IsRefusedSearchCharacter(text.at(0).unicode()))
                return true;
        } else if (event->type() == QEvent::MouseButtonPress) {
            setOverviewMode(ovSearch);
            Set_Filter_Overview(ovSearch);
        } else if (event->type() == QEvent::FocusOut) {
            Update_Parameter_Table(SelectedNode(), true, false, m_overviewMode);
        }
    } else if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditSelected(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace rv8::app
