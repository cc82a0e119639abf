// The simulated starter's register map, taken from the built-in parameter catalogue: the catalogue
// is built into a table of the simulator's own (PRM_TABLE and the program's selection stay
// untouched), and every record becomes one parameter register with its range, default and access.
#include "ParameterLayout.h"

#include "param/Catalogue.h"
#include "param/Models.h"
#include "param/NuvShared.h"
#include "param/VarDrive.h"

#include <algorithm>
#include <map>

namespace rv8::sim {

namespace {

using param::Fixed;
using param::PrmTable;

// A display value as the register figure (value x divisor, rounded), kept inside 0..65535.
uint16_t Figure(Fixed value, Fixed divisor)
{
    const int64_t f = (value * divisor).Round();
    return static_cast<uint16_t>(std::clamp<int64_t>(f, 0, 0xFFFF));
}

uint16_t AddressOfRole(const PrmTable& table, param::TDependencyIndex role)
{
    const int number = table.DEPENDENCY_MAP[role];
    return table.Exists(number) ? table[number].PRMADDR : 0;
}

}  // namespace

std::optional<ParameterLayout> CatalogueLayout(int modelCode, int firmwareNumber, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return std::optional<ParameterLayout>();
    };
    const int flashIndex = param::FlashIndexOfNumber(firmwareNumber);
    if (flashIndex < 0)
        return fail(QStringLiteral("Firmware %1 is not a known firmware version.").arg(firmwareNumber));
    if (modelCode < 0 || modelCode > param::kMaxModelCode)
        return fail(QStringLiteral("Model code %1 is outside 0..%2.").arg(modelCode).arg(param::kMaxModelCode));

    param::TSelectionState selection;
    selection.CurrentModelCode = modelCode;
    selection.CurrentFlashIndex = flashIndex;
    selection.CurrentFirmwareVersion = static_cast<uint16_t>(firmwareNumber);
    PrmTable table(param::kMaxParameters);
    param::TSpecialAddresses special{};
    std::string defect = param::BuildParameterCatalogue(table, selection, true, &special);
    if (defect.empty())
        defect = param::BuildPrmLists(table, true);  // the service factor's items give its numbers
    if (!defect.empty())
        return fail(QString::fromStdString(defect));

    ParameterLayout layout;
    layout.firmwareNumber = static_cast<uint16_t>(firmwareNumber);
    layout.modelCode = modelCode;
    layout.revisionAddress = special[param::sasRevision];
    layout.faultHistoryAddress = special[param::sasFaultHistory];
    layout.clockAddresses = {special[param::sasYear],   special[param::sasMonth],  special[param::sasDay],
                             special[param::sasHour],   special[param::sasMinute], special[param::sasSeconds]};
    layout.factoryPasswordAddress = AddressOfRole(table, param::deiFactoryPassword);
    layout.resetAddress = AddressOfRole(table, param::deiSystemClearAndFactoryReset);
    layout.motorFlaAddress = AddressOfRole(table, param::deiMotorFla);
    layout.initialCurrentAddress = AddressOfRole(table, param::deiInitCurrentRamp1);
    layout.accelTimeAddress = AddressOfRole(table, param::deiInitAccelTimeRamp1);
    layout.maxCurrentAddress = AddressOfRole(table, param::deiMaxCurrentRamp1);
    layout.decelRampAddress = AddressOfRole(table, param::deiDecelRamp);
    layout.decelTimeAddress = AddressOfRole(table, param::deiDecelRampTime);
    layout.voltageInputAddress = AddressOfRole(table, param::deiVoltageInput);
    layout.relaySettingAddresses = {AddressOfRole(table, param::deiAuxRelay1), AddressOfRole(table, param::deiAuxRelay2),
                                    AddressOfRole(table, param::deiAuxRelay3)};
    layout.modbusAddressAddress = 0;

    const int frameNo = table.DEPENDENCY_MAP[param::deiFrameRating];
    const int serviceNo = table.DEPENDENCY_MAP[param::deiServiceFactor];
    const int flaNo = table.DEPENDENCY_MAP[param::deiMotorFla];
    if (table.Exists(frameNo) && table.Exists(serviceNo) && table.Exists(flaNo)) {
        layout.frameRatingAddress = table[frameNo].PRMADDR;
        layout.serviceFactorAddress = table[serviceNo].PRMADDR;
        const Fixed frameDivisor = param::GetPrmDivisor(table, frameNo);
        const Fixed flaDivisor = param::GetPrmDivisor(table, flaNo);
        // The service factor is a list: its figures stand for the numbers in the item texts ("1.15").
        std::map<uint16_t, Fixed> serviceFactorOf;
        const auto& items = table[serviceNo].ValueSTR;
        for (int i = 0; i < items.TOTAL; ++i)
            serviceFactorOf[items.TRVALUE[static_cast<size_t>(i)]] =
                param::ParseFixed(items.STRARRAY[static_cast<size_t>(i)], true, Fixed());
        layout.motorFlaRange = [=](uint16_t frameFigure, uint16_t serviceFigure)
            -> std::optional<std::pair<uint16_t, uint16_t>> {
            const auto it = serviceFactorOf.find(serviceFigure);
            if (it == serviceFactorOf.end() || it->second.IsZero() || frameDivisor.IsZero())
                return std::nullopt;
            const Fixed frameRating = Fixed::FromInt(frameFigure) / frameDivisor;
            const param::FlaLimits limits = param::MotorFlaRangeOf(frameRating, it->second, modelCode);
            return std::make_pair(Figure(limits.minimum, flaDivisor), Figure(limits.maximum, flaDivisor));
        };
    }

    const auto& clock = layout.clockAddresses;
    for (int n = 1; n <= table.Count(); ++n) {
        const param::PRM_REC& r = table[n];
        if (r.Title == "Modbus Address")
            layout.modbusAddressAddress = r.PRMADDR;
        const Fixed divisor = param::GetPrmDivisor(table, n);
        ParameterRegister p;
        p.address = r.PRMADDR;
        p.minimum = Figure(param::GetPrmMinimum(table, n, param::vcDefault), divisor);
        p.maximum = Figure(param::GetPrmMaximum(table, n, param::vcDefault), divisor);
        p.defaultValue = param::PrmValueToRegister(table, n, param::vcDefault);
        if (param::HasOffValueType(r.EDIT_TYPE))
            p.offValue = static_cast<uint16_t>(std::clamp<int64_t>(r.DisabledValue.Round(), 0, 0xFFFF));
        // The catalogue shows these as read-only, but the starter takes the write-access code, the
        // reset request and the clock settings through them.
        const bool commandRegister = r.PRMADDR == layout.factoryPasswordAddress || r.PRMADDR == layout.resetAddress
                                     || std::find(clock.begin(), clock.end(), r.PRMADDR) != clock.end();
        p.readOnly = r.MONITOR_ONLY && !commandRegister;
        layout.parameters.push_back(p);
    }
    std::sort(layout.parameters.begin(), layout.parameters.end(),
              [](const ParameterRegister& a, const ParameterRegister& b) { return a.address < b.address; });
    return layout;
}

}  // namespace rv8::sim
