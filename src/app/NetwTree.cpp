#include "app/NetwTree.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace rv8::app {

TNwT::TNwT(comm::UserPrompts& prompts, const comm::TNetworkNodes& nodes, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_nodes(nodes)
{
    setWindowTitle(QStringLiteral("Network Tree"));
    auto* layout = new QVBoxLayout(this);
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderHidden(true);
    layout->addWidget(m_tree);
    auto* buttons = new QHBoxLayout;
    m_select = new QPushButton(QStringLiteral("&Select node"), this);
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_select);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    connect(m_tree, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem* item) { TreeMouseDown(item); });
    connect(m_select, &QPushButton::clicked, this, [this] { SelectBClick(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TNwT::FormShow()
{
    m_tree->clear();
    auto* root = new QTreeWidgetItem(m_tree, QStringList{comm::netscan_text::kRootText});
    root->setData(0, Qt::UserRole, comm::netscan_text::kRootImage);
    for (const comm::NetworkTreeEntry& entry : comm::NetworkTreeEntries(m_nodes)) {
        auto* node = new QTreeWidgetItem(root, QStringList{entry.text});
        new QTreeWidgetItem(node, QStringList{entry.firmwareEntry});
    }
    root->setExpanded(true);
}

int TNwT::PickNetworkNode()
{
    m_picking = true;
    m_picked = -1;
    setWindowTitle(QStringLiteral("Select Network Node"));
    m_select->setVisible(true);
    FormShow();
    exec();
    m_picking = false;
    return m_picked;
}

void TNwT::ShowNetworkTree()
{
    m_picking = false;
    setWindowTitle(QStringLiteral("Network Tree"));
    m_select->setVisible(false);
    FormShow();
    exec();
}

void TNwT::TreeMouseDown(QTreeWidgetItem* item)
{
    if (!m_picking)
        return;
    m_picked = item ? comm::PickedAddressOfItem(item->text(0)) : -1;
}

void TNwT::SelectBClick()
{
    if (m_picked >= 0) {
        accept();
        return;
    }
    m_prompts.information({}, comm::netscan_text::kSelectNodeFirst);
}

}  // namespace rv8::app
