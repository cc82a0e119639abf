#include "NetScan.h"

#include "param/Models.h"
#include "param/NuvShared.h"

#include <QCoreApplication>

#include <algorithm>

namespace rv8::comm {

TNetworkNodes NETWORK_NODES;

void ClearNetworkNodes(TNetworkNodes& nodes)
{
    for (param::STAT_REC& e : nodes)
        e = param::STAT_REC{};
}

int32_t NormaliseRevision(int32_t revision)
{
    if (revision < 100)
        return revision * 10;
    if (revision > 1000)
        return revision / 10;
    return revision;
}

QString FirmwareText(int32_t revision)
{
    return QString::fromStdString(param::FormatNumber(revision / 100.0, 0, 2, false));
}

QString NodeText(int address)
{
    return QStringLiteral("%1").arg(address, 3, 10, QLatin1Char('0'));
}

QString FoundNodeLine(int address, int32_t revision)
{
    return QStringLiteral("Node ") + NodeText(address) + QStringLiteral(": Firmware: ") + FirmwareText(revision);
}

QString NodeTreeText(int address, const QString& modelText)
{
    return NodeText(address) + QStringLiteral(" ") + QStringLiteral(": ") + modelText;
}

QStringList MainTreeNodeEntries(int address, int32_t revision)
{
    const QString nnn = NodeText(address);
    return {nnn + QStringLiteral(": Parameters"), nnn + QStringLiteral(": Monitor Panel"),
            nnn + QStringLiteral(": Trend Recorder"), nnn + QStringLiteral(": Diagnostics"),
            nnn + QStringLiteral(": Firmware: ") + FirmwareText(revision)};
}

int PickedAddressOfItem(const QString& itemText)
{
    if (!itemText.contains(QStringLiteral(" RV8"), Qt::CaseInsensitive)
        && !itemText.contains(QStringLiteral(": Firmware: "), Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const int address = itemText.left(3).toInt(&ok);
    return ok ? address : -1;
}

std::vector<NetworkTreeEntry> NetworkTreeEntries(const TNetworkNodes& nodes)
{
    std::vector<NetworkTreeEntry> entries;
    for (int a = 1; a <= kNetworkNodeCount; ++a) {
        const param::STAT_REC& e = nodes[static_cast<std::size_t>(a)];
        if (!e.NODE_ID)
            continue;
        entries.push_back({NodeTreeText(a, QString::fromStdString(e.STR1)),
                           NodeText(a) + QStringLiteral(": Firmware: ") + FirmwareText(e.SREV)});
    }
    return entries;
}

TNetScan::TNetScan(TParameterTransfer& transfer, TNetworkNodes& nodes) : m_transfer(transfer), m_nodes(nodes) {}

int32_t TNetScan::ReadStarterRevision()
{
    uint16_t value = 0;
    const uint16_t address = (*Ctx().SpecialAddresses)[param::sasRevision2];
    if (address == 0xFFFF || !Ctx().Session->ReadHoldingRegister(Ctx().Node(), address, value, {bmoAutoIgnoreError}))
        return -1;
    return value;
}

int32_t TNetScan::ReadStarterModel(uint8_t node, const bool* cancel)
{
    param::Fixed value;
    if (!m_transfer.ReadDependencyValue(node, param::deiFrameRating, {bmoAutoIgnoreError}, cancel, value))
        return -1;
    const int position = param::ModelPositionOfCode(static_cast<int32_t>(value.Trunc()), 0);
    if (position == 0)
        return 0;
    return param::MODEL_TABLE()[static_cast<std::size_t>(position)].InvNum.Maximum;
}

void TNetScan::IdentifyStarter(int32_t& revision, int32_t& modelCode, IScanResultsView* results)
{
    revision = ReadStarterRevision();
    const int32_t major = revision / 100;
    if (major < 1 || major > 4) {
        if (revision > 0)
            Ctx().Prompts->warning({}, netscan_text::kNotRv8);
        revision = -1;
    }
    if (revision < 0) {
        modelCode = -1;
        return;
    }
    if (results)
        results->SetFirmwareText(FirmwareText(revision));
    modelCode = ReadStarterModel(Ctx().Node(), nullptr);
    if (modelCode < 0) {
        revision = -1;
        modelCode = -1;
        return;
    }
    if (results) {
        results->SetSeriesText(QString::fromStdString(param::ModelShortName(modelCode)));
        if (Ctx().Options->L12)
            results->ShowResults();
    }
}

int TNetScan::ProbeNode(int address, const bool* cancel, int32_t& revision, QString& modelText)
{
    const auto node = static_cast<uint8_t>(address);
    const int32_t model = ReadStarterModel(node, cancel);
    if (model < 0)
        return -1;
    const uint16_t revisionAddress = (*Ctx().SpecialAddresses)[param::sasRevision2];
    uint16_t value = 0;
    if (revisionAddress == 0xFFFF
        || !Ctx().Session->ReadHoldingRegister(node, revisionAddress, value, {bmoAutoIgnoreError}, cancel))
        return -1;
    revision = value;
    modelText = QString::fromStdString(param::ModelShortName(model));
    return address;
}

std::vector<FoundNode> TNetScan::ScanNetwork(int highest, const bool* cancel, IScanView* view, INetworkTreeView* tree)
{
    std::vector<FoundNode> found;
    highest = std::clamp(highest, 1, kNetworkNodeCount);
    if (view)
        view->SetScanMaximum(highest);
    ClearNetworkNodes(m_nodes);
    if (view)
        view->ShowAddress(0);
    if (tree)
        tree->ResetNetworkTree(netscan_text::kRootText, netscan_text::kRootImage);

    for (int a = 1; a <= highest; ++a) {
        QCoreApplication::processEvents();
        if (cancel && *cancel) {
            if (view)
                view->ResetProgress();
            return found;
        }
        if (view)
            view->ShowAddress(a);
        int32_t revision = 0;
        QString model;
        if (ProbeNode(a, cancel, revision, model) != a)
            continue;
        Ctx().Shell().NetworkScanned = true;
        param::STAT_REC& e = m_nodes[static_cast<std::size_t>(a)];
        e.NODE_ID = true;
        e.SREV = NormaliseRevision(revision);
        e.STR1 = model.toStdString();
        found.push_back({a, e.SREV, model});
        if (tree)
            tree->AddNetworkNode(NodeTreeText(a, model), MainTreeNodeEntries(a, e.SREV));
        if (view) {
            view->ShowFoundCount(static_cast<int>(found.size()));
            view->AddFoundLine(FoundNodeLine(a, e.SREV));
        }
    }
    if (view)
        view->ResetProgress();
    if (tree)
        tree->ExpandNetworkRoot();
    return found;
}

}  // namespace rv8::comm
