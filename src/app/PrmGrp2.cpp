#include "app/PrmGrp2.h"

#include "comm/Selection.h"
#include "comm/ShellState.h"
#include "param/Catalogue.h"
#include "param/NuvShared.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

namespace rv8::app {

using namespace rv8::param;

namespace {

std::string Std(const QString& s) { return s.toStdString(); }
QString Qs(const std::string& s) { return QString::fromStdString(s); }

// The Qt widgets seen through the parameter model's control interfaces.
template <typename Base, typename Widget>
class WidgetControl : public Base {
public:
    WidgetControl(Widget* widget, int tag) : m_w(widget), m_tag(tag) {}
    bool enabled() const override { return m_w->isEnabled(); }
    void setEnabled(bool enabled) override { m_w->setEnabled(enabled); }
    bool visible() const override { return m_w->isVisible(); }
    void setVisible(bool visible) override { m_w->setVisible(visible); }
    std::string hint() const override { return Std(m_w->toolTip()); }
    void setHint(const std::string& hint) override { m_w->setToolTip(Qs(hint)); }
    int tag() const override { return m_tag; }

protected:
    Widget* m_w;
    int m_tag;
};

class EditControl final : public WidgetControl<IEditControl, QLineEdit> {
public:
    using WidgetControl::WidgetControl;
    std::string text() const override { return Std(m_w->text()); }
    void setText(const std::string& text) override { m_w->setText(Qs(text)); }
};

class LabelControl final : public WidgetControl<ILabelControl, QLabel> {
public:
    using WidgetControl::WidgetControl;
    std::string text() const override { return Std(m_w->text()); }
    void setText(const std::string& text) override { m_w->setText(Qs(text)); }
};

class ComboControl final : public WidgetControl<IComboControl, QComboBox> {
public:
    using WidgetControl::WidgetControl;
    int count() const override { return m_w->count(); }
    std::string itemText(int position) const override { return Std(m_w->itemText(position)); }
    int itemValue(int position) const override { return m_w->itemData(position).toInt(); }
    void addItem(const std::string& text, int value) override { m_w->addItem(Qs(text), value); }
    void clear() override { m_w->clear(); }
    int selectedIndex() const override { return m_w->currentIndex(); }
    void setSelectedIndex(int position) override { m_w->setCurrentIndex(position); }
    void setDropDownCount(int rows) override { m_w->setMaxVisibleItems(rows); }
};

// Routes the value model's warnings (step adjustment, clamping, a disabled list value) to the
// user while the editor checks an input.
class PromptWarningSink final : public IWarningSink {
public:
    explicit PromptWarningSink(comm::UserPrompts* prompts) : m_prompts(prompts), m_previous(SetWarningSink(this)) {}
    ~PromptWarningSink() override { SetWarningSink(m_previous); }
    void ShowWarning(const std::string& text) override
    {
        if (m_prompts)
            m_prompts->warning({}, Qs(text));
    }

private:
    comm::UserPrompts* m_prompts;
    IWarningSink* m_previous;
};

// The roles whose values the Motor FLA limits follow, in the order the dependency refresh reads them.
constexpr TDependencyIndex kRefreshRoles[] = {deiCtValue,   deiFrameRating,          deiMotorFla,
                                              deiMotorFla2, deiNumberOfTurnsThroughCt, deiServiceFactor};
// The roles whose working values seed the snapshot when the editor is filled.
constexpr TDependencyIndex kSeedRoles[] = {deiCtValue, deiFrameRating, deiNumberOfTurnsThroughCt, deiServiceFactor,
                                           deiTemperatureUnits};
// Sent before Motor FLA, in this order.
constexpr TDependencyIndex kFlaPrerequisites[] = {deiCtValue, deiFrameRating, deiNumberOfTurnsThroughCt,
                                                  deiServiceFactor};

// Celsius / Fahrenheit of a list item's extension text; 0 when it names neither.
int TemperatureUnitOf(const std::string& ext)
{
    if (ext.find('F') != std::string::npos)
        return 2;
    if (ext.find('C') != std::string::npos)
        return 1;
    return 0;
}

}  // namespace

class TGroupPrm2::Binding {
public:
    int number = 0;
    QLineEdit* edit = nullptr;
    QComboBox* combo = nullptr;
    QLabel* unit = nullptr;
    std::unique_ptr<EditControl> editControl;
    std::unique_ptr<ComboControl> comboControl;
    std::unique_ptr<LabelControl> unitControl;
    TPrmEdit prm;
};

TGroupPrm2::TGroupPrm2(EditorServices services, QWidget* parent) : QDialog(parent), m_s(std::move(services))
{
    setObjectName(QStringLiteral("GroupPrm2"));
    setWindowTitle(editor_text::kCaption);
    setModal(true);
    resize(820, 240);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("ParameterTabs"));

    auto makeButton = [this](const QString& name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    m_default = makeButton(QStringLiteral("DefaultB"), QStringLiteral("&Default"),
                           QStringLiteral("Set parameter back to default value"));
    m_save = makeButton(QStringLiteral("SaveB"), QStringLiteral("&Save Working Value"), QStringLiteral("Accept"));
    m_write = makeButton(QStringLiteral("WriteB"), QStringLiteral("&Write to RV8 and Save Working Value"),
                         QStringLiteral("Save working value and all dependencies to the RV8 and project"));
    m_cancel = makeButton(QStringLiteral("CancelB"), QStringLiteral("&Cancel"), QStringLiteral("Discard changes"));
    m_helpText = makeButton(QStringLiteral("HelpB"), QStringLiteral("&Help"), {});
    m_print = makeButton(QStringLiteral("PrintB"), QStringLiteral("Print"), QStringLiteral("Print page contents"));
    m_help = makeButton(QStringLiteral("HelpIconB"), QStringLiteral("?"), QStringLiteral("Get Help !"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_print);
    bar->addWidget(m_help);
    bar->addStretch(1);
    bar->addWidget(m_default);
    bar->addWidget(m_save);
    bar->addWidget(m_write);
    bar->addWidget(m_cancel);
    bar->addWidget(m_helpText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bar);

    connect(m_default, &QPushButton::clicked, this, &TGroupPrm2::DefaultClick);
    connect(m_save, &QPushButton::clicked, this, &TGroupPrm2::SaveClick);
    connect(m_write, &QPushButton::clicked, this, &TGroupPrm2::WriteClick);
    connect(m_cancel, &QPushButton::clicked, this, &TGroupPrm2::CancelClick);
    connect(m_print, &QPushButton::clicked, this, &TGroupPrm2::printPage);
    auto help = [this] {
        if (m_s.showHelp)
            m_s.showHelp(editor_text::kHelpTopic);
    };
    connect(m_helpText, &QPushButton::clicked, this, help);
    connect(m_help, &QPushButton::clicked, this, help);
}

TGroupPrm2::~TGroupPrm2() = default;

PrmTable& TGroupPrm2::table() const { return *m_s.Table; }

void TGroupPrm2::clearPages()
{
    m_bindings.clear();
    m_titleLabel = nullptr;
    while (m_tabs->count() > 0) {
        QWidget* page = m_tabs->widget(0);
        m_tabs->removeTab(0);
        delete page;
    }
}

void TGroupPrm2::FillControls(int number, bool highlight)
{
    clearPages();
    PrmTable& t = table();
    m_parameter = number;
    m_pageIndex = 0;
    if (!t.Exists(number))
        return;
    const int working = SELECTION.CurrentControlMode;
    const PRM_REC& requested = t[number];
    const std::string key{requested.Menu, requested.Menu_Sub};

    // The row is the first parameter of the group with the same PRMNUM that is available and
    // not a continuation record (with the built-in catalogue: the requested one).
    int p = number;
    for (int n = 1; n <= t.Count(); ++n) {
        const PRM_REC& r = t[n];
        if (std::string{r.Menu, r.Menu_Sub} == key && r.PRMNUM == requested.PRMNUM && !r.IsContinuation
            && IsPrmAvailable(t, n, working, 2)) {
            p = n;
            break;
        }
    }
    const PRM_REC& r = t[p];

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("GROUP_") + Qs(key));
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QStringLiteral("SCROLLBOX_") + Qs(key));
    scroll->setWidgetResizable(true);
    auto* box = new QWidget;
    box->setMinimumSize(780, 80);
    scroll->setWidget(box);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(scroll);
    m_tabs->addTab(page, QStringLiteral(" ") + Qs(GroupTitle(key)) + QStringLiteral(" "));

    m_titleLabel = new QLabel(Qs(r.PARAMETER_ID + " " + r.Title), box);
    m_titleLabel->setObjectName(QStringLiteral("Lbl_") + QString::number(p));
    m_titleLabel->move(8, 20);
    m_titleLabel->setStyleSheet(highlight ? QStringLiteral("color: red;") : QStringLiteral("color: black;"));
    m_titleLabel->adjustSize();

    auto b = std::make_unique<Binding>();
    b->number = p;
    b->prm.Index = p;
    if (IsListEditType(r.EDIT_TYPE)) {
        b->combo = new QComboBox(box);
        b->combo->setObjectName(QStringLiteral("Cmb_") + QString::number(p));
        b->combo->setGeometry(350, 17, 400, b->combo->sizeHint().height());
        b->combo->installEventFilter(this);
        b->comboControl = std::make_unique<ComboControl>(b->combo, p);
        b->prm.ComboBox = b->comboControl.get();
        b->prm.Name = Std(b->combo->objectName());
        QComboBox* combo = b->combo;
        connect(combo, &QComboBox::currentIndexChanged, this, [combo] { combo->setToolTip(combo->currentText()); });
    } else if (IsEditBoxType(r.EDIT_TYPE)) {
        const bool text = IsTextType(r.EDIT_TYPE);
        b->edit = new QLineEdit(box);
        b->edit->setObjectName(QStringLiteral("Edt_") + QString::number(p));
        b->edit->setGeometry(350, 17, text ? 150 : 100, b->edit->sizeHint().height());
        b->edit->setMaxLength(text ? 15 : 6);
        b->edit->installEventFilter(this);
        b->unit = new QLabel(box);
        b->unit->setObjectName(QStringLiteral("Ext_") + QString::number(p));
        b->unit->move(b->edit->geometry().right() + 1 + 5, 20);
        b->editControl = std::make_unique<EditControl>(b->edit, p);
        b->unitControl = std::make_unique<LabelControl>(b->unit, r.ENGINEERING);
        b->prm.EditBox = b->editControl.get();
        b->prm.Units = b->unitControl.get();
        b->prm.Name = Std(b->edit->objectName());
    }
    if (b->combo || b->edit) {
        PromptWarningSink sink(m_s.Prompts);
        InitializePrmEdit(t, working, b->prm, true, iemPrmToEdit);
        if (b->unit)
            b->unit->adjustSize();
        CopyPrmColumn(t, p, working, vcSnapshot);
        m_bindings.push_back(std::move(b));
    }
    for (TDependencyIndex role : kSeedRoles) {
        const int n = t.DEPENDENCY_MAP[role];
        if (t.Exists(n))
            CopyPrmColumn(t, n, working, vcSnapshot);
    }
}

int TGroupPrm2::Execute()
{
    comm::BusyBracket busy(m_s.Session ? m_s.Session->Shell() : comm::SHELL);
    setWindowTitle(editor_text::kCaption);
    updateButtons();
    m_tabs->setCurrentIndex(m_pageIndex);
    raise();
    activateWindow();
    return exec();
}

void TGroupPrm2::showEvent(QShowEvent* event)
{
    updateButtons();
    QDialog::showEvent(event);
}

void TGroupPrm2::updateButtons()
{
    const bool online = m_s.Session && m_s.Session->Shell().IsOnline;
    m_save->setVisible(!online);
    m_write->setVisible(online);
    m_write->setProperty("tag", m_parameter);
}

QLineEdit* TGroupPrm2::EditBox() const { return m_bindings.empty() ? nullptr : m_bindings.front()->edit; }
QComboBox* TGroupPrm2::ComboBox() const { return m_bindings.empty() ? nullptr : m_bindings.front()->combo; }
QLabel* TGroupPrm2::UnitLabel() const { return m_bindings.empty() ? nullptr : m_bindings.front()->unit; }
QLabel* TGroupPrm2::TitleLabel() const { return m_titleLabel; }

TGroupPrm2::Binding* TGroupPrm2::bindingOf(int number) const
{
    for (const auto& b : m_bindings)
        if (b->number == number)
            return b.get();
    return nullptr;
}

// ---- Editing on the snapshot column ---------------------------------------------------------

void TGroupPrm2::rangeCheck(Binding& binding)
{
    if (!binding.edit)
        return;
    PromptWarningSink sink(m_s.Prompts);
    InitializePrmEdit(table(), vcSnapshot, binding.prm, false, iemEditToPrm);
    dependencyRefresh();
}

void TGroupPrm2::listCheck(Binding& binding)
{
    if (!binding.combo)
        return;
    PromptWarningSink sink(m_s.Prompts);
    InitializePrmEdit(table(), vcSnapshot, binding.prm, false, iemEditToPrm);
    dependencyRefresh();
}

void TGroupPrm2::dependencyRefresh()
{
    PrmTable& t = table();
    const int working = SELECTION.CurrentControlMode;
    PromptWarningSink sink(m_s.Prompts);
    for (TDependencyIndex role : kRefreshRoles) {
        const int n = t.DEPENDENCY_MAP[role];
        if (!t.Exists(n))
            continue;
        if (Binding* b = bindingOf(n))
            InitializePrmEdit(t, vcSnapshot, b->prm, false, iemEditToPrm);
        else
            CopyPrmColumn(t, n, working, vcSnapshot);
    }
    recalculateLimits(vcSnapshot);
    for (TDependencyIndex role : {deiMotorFla, deiMotorFla2}) {
        if (Binding* b = bindingOf(t.DEPENDENCY_MAP[role]))
            InitializePrmEdit(t, vcSnapshot, b->prm, false, iemPrmToEdit);
    }
}

void TGroupPrm2::recalculateLimits(int column) { UpdateMotorFlaRange(table(), column, SELECTION); }

bool TGroupPrm2::eventFilter(QObject* watched, QEvent* event)
{
    for (const auto& b : m_bindings) {
        if (watched == b->edit) {
            if (event->type() == QEvent::KeyPress) {
                auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                    rangeCheck(*b);
                    return true;
                }
                const QString text = key->text();
                if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                    return false;  // navigation, deletion and shortcuts
                char32_t c = text.toUcs4().value(0);
                const char32_t typed = c;
                PrmEditKeyFilter(table(), b->number, *b->editControl, c);
                if (c == kKeyNone)
                    return true;
                if (c != typed) {  // upper-cased for text parameters
                    b->edit->insert(QString::fromUcs4(&c, 1));
                    return true;
                }
                return false;
            }
            if (event->type() == QEvent::FocusOut)
                rangeCheck(*b);
            break;
        }
        if (watched == b->combo) {
            if (event->type() == QEvent::KeyPress && !static_cast<QKeyEvent*>(event)->text().isEmpty())
                return true;  // the list ignores typed keys
            if (event->type() == QEvent::FocusOut)
                listCheck(*b);
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Buttons --------------------------------------------------------------------------------

void TGroupPrm2::temperatureUnitConversion()
{
    PrmTable& t = table();
    const int working = SELECTION.CurrentControlMode;
    const int units = t.DEPENDENCY_MAP[deiTemperatureUnits];
    Binding* b = bindingOf(units);
    if (!b || !b->combo || b->combo->currentIndex() < 0)
        return;
    const int newValue = b->combo->currentData().toInt();
    const Fixed oldFixed = GetPrmValue(t, units, working);
    if (Fixed::FromInt(newValue) == oldFixed)
        return;
    const DESC_REC& list = t[units].ValueSTR;
    const int oldItem = ListIndexOfValue(t, units, oldFixed);
    const int newItem = ListIndexOfValue(t, units, Fixed::FromInt(newValue));
    if (oldItem < 0 || newItem < 0 || oldItem >= kListSlots || newItem >= kListSlots)
        return;
    const auto o = static_cast<std::size_t>(oldItem);
    const auto nw = static_cast<std::size_t>(newItem);
    if (list.Units[o] == 0 || list.Units[nw] == 0)
        return;  // only items that carry a unit convert
    const int from = TemperatureUnitOf(list.Ext[o]);
    const int to = TemperatureUnitOf(list.Ext[nw]);

    // The old values are read before the units change moves the ranges.
    std::vector<std::pair<int, double>> old;
    for (int n = 1; n <= t.Count(); ++n)
        if (IsUnitDependentType(t[n].EDIT_TYPE) && !IsPrmOff(t, n, working))
            old.emplace_back(n, GetPrmValue(t, n, working).ToDouble());
    SetPrmValue(t, units, working, true, Fixed::FromInt(newValue));
    for (const auto& [n, v] : old) {
        double c = v;
        if (from == 1 && to == 2)
            c = v * 9.0 / 5.0 + 32.0;
        else if (from == 2 && to == 1)
            c = (v - 32.0) * 5.0 / 9.0;
        const double step = t[n].StepSize.ToDouble() > 0 ? t[n].StepSize.ToDouble() : 1.0;
        c = std::nearbyint(c / step) * step;
        Fixed value = Fixed::FromDouble(c);
        const Fixed lo = GetPrmMinimum(t, n, working);
        const Fixed hi = GetPrmMaximum(t, n, working);
        if (value < lo)
            value = lo;
        if (value > hi)
            value = hi;
        SetPrmValue(t, n, working, true, value);
    }
}

void TGroupPrm2::DefaultClick()
{
    PrmTable& t = table();
    temperatureUnitConversion();
    PromptWarningSink sink(m_s.Prompts);
    for (const auto& b : m_bindings) {
        InitializePrmEdit(t, vcDefault, b->prm, false, iemPrmToEdit);
        if (b->edit)
            rangeCheck(*b);
        else
            listCheck(*b);
        dependencyRefresh();
    }
    recalculateLimits(vcSnapshot);
    recalculateLimits(vcSnapshot);
}

void TGroupPrm2::SaveControls()
{
    PrmTable& t = table();
    const int working = SELECTION.CurrentControlMode;
    temperatureUnitConversion();
    PromptWarningSink sink(m_s.Prompts);
    for (const auto& b : m_bindings)
        InitializePrmEdit(t, working, b->prm, false, iemEditToPrm);
    recalculateLimits(working);
    recalculateLimits(working);
}

bool TGroupPrm2::confirmChange()
{
    if (!m_s.Options || !m_s.Options->L20)
        return true;
    return m_s.Prompts->questionYesCancel({}, editor_text::kConfirmChange, comm::PromptKind::Warning);
}

void TGroupPrm2::SaveClick()
{
    if (!confirmChange())
        return;
    SaveControls();
    recalculateLimits(SELECTION.CurrentControlMode);
    accept();
}

void TGroupPrm2::WriteClick()
{
    if (!confirmChange())
        return;
    SaveControls();
    recalculateLimits(SELECTION.CurrentControlMode);
    if (m_s.Session && m_s.Session->Shell().IsOnline) {
        transmit(m_write->property("tag").toInt() > 0 ? m_write->property("tag").toInt() : m_parameter);
        if (table().Exists(m_parameter))
            table()[m_parameter].Refresh_Prm = true;
    }
    accept();
}

void TGroupPrm2::CancelClick()
{
    recalculateLimits(SELECTION.CurrentControlMode);
    QDialog::reject();
}

void TGroupPrm2::reject()
{
    // Esc and the close box cancel too.
    CancelClick();
}

void TGroupPrm2::transmit(int number)
{
    m_lastTransmitOk = false;
    PrmTable& t = table();
    if (!t.Exists(number) || !m_s.Transfer || !m_s.Session)
        return;
    comm::UserPrompts& prompts = *m_s.Prompts;
    if (t[number].MONITOR_ONLY) {
        prompts.information({}, editor_text::kMonitorOnly);
        return;
    }
    if (t[number].ADVANCED >= 1 && !SELECTION.AdvancedMode) {
        prompts.information({}, editor_text::kAdvanced);
        return;
    }
    comm::ShellState& shell = m_s.Session->Shell();
    if (!shell.IsOnline) {
        m_s.Session->BeginSetup();
        m_s.Session->open_communications();
        m_s.Session->EndSetup();
    }
    if (!shell.IsOnline) {
        if (!prompts.questionYesNo({}, editor_text::kGoOnline))
            return;
        if (m_s.showCommunicationSetup)
            m_s.showCommunicationSetup();
        if (m_s.updateNetworkBar)
            m_s.updateNetworkBar();
    }

    const int working = SELECTION.CurrentControlMode;
    for (int n = 1; n <= t.Count(); ++n)
        CopyPrmColumn(t, n, working, vcDrive);
    SaveControls();
    QPushButton* disabled[] = {m_cancel, m_save, m_write};
    for (QPushButton* b : disabled)
        b->setEnabled(false);

    bool ok = false;
    if (m_s.Scan) {
        const comm::TransmitCheck check = comm::CheckBeforeTransmit(*m_s.Scan, *m_s.Selection, true);
        if (check.passed) {
            m_s.Transfer->AbortFlag() = false;
            ok = true;
            auto send = [&](int n) {
                if (ok && t.Exists(n))
                    ok = m_s.Transfer->TransmitSingle(t, n, vcSnapshot);
            };
            if (number == t.DEPENDENCY_MAP[deiMotorFla])
                for (TDependencyIndex role : kFlaPrerequisites)
                    send(t.DEPENDENCY_MAP[role]);
            if (IsUnitDependentType(t[number].EDIT_TYPE))
                send(t.DEPENDENCY_MAP[deiTemperatureUnits]);
            send(number);
        }
    }
    m_lastTransmitOk = ok;

    for (int n = 1; n <= t.Count(); ++n)
        CopyPrmColumn(t, n, vcDrive, working);
    for (QPushButton* b : disabled)
        b->setEnabled(true);
}

void TGroupPrm2::printPage()
{
    try {
        QPrinter printer;
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        QPainter painter;
        if (!painter.begin(&printer))
            throw std::runtime_error("printer");
        const QPixmap shot = grab();
        const QRect page = painter.viewport();
        const QSize size = shot.size().scaled(page.size(), Qt::KeepAspectRatio);
        painter.drawPixmap(QRect(page.topLeft(), size), shot);
        painter.end();
    } catch (const std::exception&) {
        m_s.Prompts->information({}, editor_text::kPrinterUnavailable);
    }
}

}  // namespace rv8::app
