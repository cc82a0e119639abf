#pragma once
// "Network Tree": the starters of the last network scan (NETWORK_NODES) as a tree, for viewing
// and, as "Select Network Node", for picking the node the next command addresses.

#include "comm/NetScan.h"
#include "comm/UserPrompts.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace rv8::app {

class TNwT final : public QDialog {
    Q_OBJECT

public:
    TNwT(comm::UserPrompts& prompts, const comm::TNetworkNodes& nodes = comm::NETWORK_NODES, QWidget* parent = nullptr);

    // Picking mode, modally: the picked address, or -1.
    int PickNetworkNode();
    // Viewing mode, modally: no "&Select node" button.
    void ShowNetworkTree();

    int PickedAddress() const { return m_picked; }
    QTreeWidget* Tree() const { return m_tree; }
    QPushButton* SelectButton() const { return m_select; }
    QPushButton* CloseButton() const { return m_close; }

    // Fills the tree from the node table (what showing does).
    void FormShow();
    // A mouse press on an item.
    void TreeMouseDown(QTreeWidgetItem* item);
    void SelectBClick();

private:
    comm::UserPrompts& m_prompts;
    const comm::TNetworkNodes& m_nodes;
    bool m_picking = false;
    int m_picked = -1;
    QTreeWidget* m_tree;
    QPushButton* m_select;
    QPushButton* m_close;
};

}  // namespace rv8::app
