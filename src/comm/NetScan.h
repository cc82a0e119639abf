#pragma once
// Network scan and starter identification. The scan probes the addresses 1..N of a multi-drop
// network, records every starter that answers in NETWORK_NODES and reports each one to the
// "Scan Network..." window and the main window's network tree through the small views below;
// identification reads the revision and model of the starter at NodeAddress for the selection
// scan. All reads here are silent probes (bmoAutoIgnoreError): a node that does not answer costs
// no error dialog.

#include "Transfer.h"
#include "param/VarDrive.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace rv8::comm {

inline constexpr int kNetworkNodeCount = 254;

// NETWORK_NODES[a] describes address a (1..254); entry 0 is unused.
using TNetworkNodes = std::array<param::STAT_REC, kNetworkNodeCount + 1>;
extern TNetworkNodes NETWORK_NODES;
void ClearNetworkNodes(TNetworkNodes& nodes = NETWORK_NODES);

// Texts of the scan and identification.
namespace netscan_text {
inline const QString kRootText = QStringLiteral("RV8 Network");
inline constexpr int kRootImage = 10;
inline const QString kNotRv8 = QStringLiteral(
    "The device connected is not a RV8.\r\rThis software can only be used in combination with a RV8.");
inline const QString kSelectNodeFirst = QStringLiteral("Please select Network node first!");
}  // namespace netscan_text

// A revision as the scan lists it: below 100 times 10 (45 -> 450), above 1000 divided by 10
// (4010 -> 401).
int32_t NormaliseRevision(int32_t revision);
// revision / 100 with two decimals in the user's number format (401 -> "4.01").
QString FirmwareText(int32_t revision);
// Three digits with leading zeros.
QString NodeText(int address);
// The line of the "Scan Network..." list: "Node 005: Firmware: 4.01".
QString FoundNodeLine(int address, int32_t revision);
// The tree child of a node, "005 : RV8-150", and the entries under it in the main window.
QString NodeTreeText(int address, const QString& modelText);
QStringList MainTreeNodeEntries(int address, int32_t revision);
// The picked address of a "Network Tree" item: its first three characters as a number when the
// text contains " RV8" or ": Firmware: " (case-insensitive), else -1.
int PickedAddressOfItem(const QString& itemText);

// The main window's network tree; the main window implements it.
class INetworkTreeView {
public:
    virtual ~INetworkTreeView() = default;
    // Empties the tree and adds the root (text, image), expanded.
    virtual void ResetNetworkTree(const QString& rootText, int image) = 0;
    // A child of the root with its entries below it.
    virtual void AddNetworkNode(const QString& text, const QStringList& entries) = 0;
    virtual void ExpandNetworkRoot() = 0;
};

// The displays of the "Scan Network..." window.
class IScanView {
public:
    virtual ~IScanView() = default;
    virtual void SetScanMaximum(int highest) = 0;
    virtual void ShowAddress(int address) = 0;   // the three-digit display and the progress bar
    virtual void ResetProgress() = 0;            // progress bar to 0
    virtual void ShowFoundCount(int count) = 0;
    virtual void AddFoundLine(const QString& line) = 0;  // and scroll to it
};

// The "Scan Results" window of identification.
class IScanResultsView {
public:
    virtual ~IScanResultsView() = default;
    virtual void SetFirmwareText(const QString& text) = 0;
    virtual void SetSeriesText(const QString& text) = 0;
    // Shown modally (only when option L12 is set).
    virtual void ShowResults() = 0;
};

// A node the scan found.
struct FoundNode {
    int address = 0;
    int32_t revision = 0;  // normalised
    QString model;
};

class TNetScan {
public:
    // The transfer supplies the dependency-indexed reads; both must outlive the scan.
    explicit TNetScan(TParameterTransfer& transfer, TNetworkNodes& nodes = NETWORK_NODES);

    // The revision register (SPECIAL_ADDRESSES slot 2) of NodeAddress, -1 when the read fails.
    int32_t ReadStarterRevision();
    // The frame rating mapped to a model code (>= 0), -1 when the read fails.
    int32_t ReadStarterModel(uint8_t node, const bool* cancel);
    // Revision and model code of the starter at NodeAddress, both -1 when it cannot be read or
    // its revision is outside 100..499 (a revision above 0 gets the "not a RV8" warning).
    // The results view (may be null) gets the texts and is shown when option L12 is set.
    void IdentifyStarter(int32_t& revision, int32_t& modelCode, IScanResultsView* results);
    // The address when the node answered both reads (revision and model text in the out
    // arguments), else -1.
    int ProbeNode(int address, const bool* cancel, int32_t& revision, QString& modelText);

    // The scan itself, the body of the "Scan Network..." window's timer: addresses 1..highest,
    // stopping before the next address once *cancel is set. NETWORK_NODES is rebuilt, the
    // views (either may be null) follow. Returns the nodes found, in address order.
    std::vector<FoundNode> ScanNetwork(int highest, const bool* cancel, IScanView* view, INetworkTreeView* tree);

    TParameterTransfer& Transfer() { return m_transfer; }

private:
    const DeviceContext& Ctx() const { return m_transfer.Context(); }

    TParameterTransfer& m_transfer;
    TNetworkNodes& m_nodes;
};

// The entries of the "Network Tree" window: one per found node, "005 : RV8-150" with the
// entry "005: Firmware: 4.01".
struct NetworkTreeEntry {
    QString text;
    QString firmwareEntry;
};
std::vector<NetworkTreeEntry> NetworkTreeEntries(const TNetworkNodes& nodes = NETWORK_NODES);

}  // namespace rv8::comm
