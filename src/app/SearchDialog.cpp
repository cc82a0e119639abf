#include "app/SearchDialog.h"

#include "param/Overview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rv8::app {

TSearchIt::TSearchIt(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SearchIt"));
    setWindowTitle(kSearchDialogTitle);
    setModal(true);

    auto* label = new QLabel(QStringLiteral("Search for:"), this);
    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("SearchCombo"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setToolTip(QStringLiteral("Enter text then press enter or search button"));
    m_combo->setMinimumWidth(260);
    for (const std::string& word : param::SearchSuggestions())
        m_combo->addItem(QString::fromStdString(word));
    label->setBuddy(m_combo);

    m_search = new QPushButton(QStringLiteral("&Search"), this);
    m_search->setDefault(true);
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    connect(m_search, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    // Enter in the combo box searches.
    connect(m_combo->lineEdit(), &QLineEdit::returnPressed, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_combo, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_search);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

void TSearchIt::SetSearchText(const QString& text) { m_combo->setEditText(text); }

QString TSearchIt::SearchText() const { return m_combo->currentText(); }

}  // namespace rv8::app
