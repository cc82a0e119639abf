#pragma once
// TSerialSetup: the program-wide communication session. It owns the one Modbus client, opens and
// closes the channel from the communication settings, keeps the online state of the shell,
// offers the register operations with the program's error policy, and keeps the communication
// settings in the settings store (COM\SETTINGS, section SETUP).
//
// The "Communication Setup" window (app/SerialSetupForm.h) shows and edits Values(); every
// flow of that window (show, Accept, Cancel, Test) is a method here so that the command line,
// the demo and the tests run the same code without a window.
//
// The program creates one session at start and hands it to everyone who talks to the starter:
//
//     comm::TSerialSetup session(prompts, errorDialog);   // SHELL, the stored settings
//     session.SetProgramOptions(&options);                // for option L22
//     session.Load_Baud();
//     session.open_communications();
//     uint16_t values[12];
//     if (session.ReadHoldingRegisters(SHELL.NodeAddress, 1001, values, {bmoAllowIgnoreError}))
//         ...
//
// Failures never leave as exceptions: operations return false after the error decision
// (ErrorDecider) or silently for probes; open failures are reported through UserPrompts.

#include "ErrorDecider.h"
#include "NuvModbus.h"
#include "NuvModbusSettings.h"
#include "NuvTransport.h"
#include "ProgramOptions.h"
#include "ShellState.h"
#include "UserPrompts.h"
#include "files/uReg.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <span>

namespace rv8::comm {

// Tags of the connection-type buttons. A tag above 10 is a network (multi-drop) type.
inline constexpr int kSerialDirectLinkTag = 3;
inline constexpr int kSerialMultiDropTag = 13;
inline constexpr int kSerialThirdTag = 0;  // the hidden third serial button
inline constexpr int kEthernetDirectTag = 4;
inline constexpr int kEthernetMultiDropTag = 14;
inline constexpr int kSerialTags[] = {kSerialDirectLinkTag, kSerialMultiDropTag, kSerialThirdTag};
inline constexpr int kEthernetTags[] = {kEthernetDirectTag, kEthernetMultiDropTag};

// Selected tab (stored as MEDIUM).
enum TSetupMedium : int { smSerial = 0, smEthernet = 1 };

// What the "Communication Setup" window shows, control by control: list positions, the
// chosen button's tag, and the texts of the edit fields as typed (they become numbers only
// when used or when the field is left, see the field rules below).
struct TSerialSetupValues {
    int Medium = smSerial;                   // selected tab
    int SerialType = kSerialDirectLinkTag;   // chosen serial connection type (tag)
    int TcpInterface = kEthernetDirectTag;   // chosen Ethernet connection type (tag)
    int Port = 0;                            // position in PortTexts(): Com1 .. Com16
    int BaudRate = 1;                        // position in BaudRateTexts()
    int StopBits = 0;                        // position in StopBitsTexts()
    int Parity = 0;                          // position in ParityTexts()
    QString TransmissionDelay = QStringLiteral("10");  // serial, stored figure (x10 ms on open)
    QString ResponseDelay = QStringLiteral("50");      // serial, stored figure (x10 ms on open)
    QString Address = QStringLiteral("1");             // "Modbus Address (F67)"
    bool EchoBack = false;                   // "Echo Back Suppression"
    bool Rts = true;                         // "RTS Control"
    int TcpMedium = 0;                       // position in ProtocolTexts()
    QString TcpHost;                         // "IP Address"
    QString TcpPort = QStringLiteral("502");
    QString TcpTransmissionDelay = QStringLiteral("10");
    QString TcpResponseDelay = QStringLiteral("100");
    // Not stored: when set, the serial device to open (a device path such as /dev/ttyUSB1 or
    // one end of a pseudo-terminal pair) instead of the port chosen by position.
    QString SerialDevice;

    friend bool operator==(const TSerialSetupValues&, const TSerialSetupValues&) = default;
};

// A connection-type button as GetInterfaceIdentifier sees it.
struct TInterfaceChoice {
    int32_t Tag = 0;
    bool Checked = false;
};

class TSerialSetup : public QObject {
    Q_OBJECT

public:
    // The prompts show the open-failure warnings and the invalid-address warning; the decider
    // answers the "Error Detected" question. Both must outlive the session. The settings come
    // from `location` (the program's settings location by default).
    TSerialSetup(UserPrompts& prompts, ErrorDecider& decider, ShellState& shell = SHELL,
                 const files::SettingsLocation& location = files::SettingsLocation::Default(),
                 QObject* parent = nullptr);
    // Closes the client.
    ~TSerialSetup() override;

    // ---- The lists and texts of the window ----------------------------------------------------
    static const QStringList& PortTexts();      // "Com1" ... "Com16"
    static const QStringList& BaudRateTexts();  // "4800", "9600", "19200", "38400"
    static const QStringList& StopBitsTexts();  // "1 Stop Bit", "2 Stop Bits"
    static const QStringList& ParityTexts();    // "No Parity", "Odd Parity", "Even Parity"
    static const QStringList& ProtocolTexts();  // "Modbus TCP", "Modbus over TCP"

    // ---- Settings -----------------------------------------------------------------------------
    TSerialSetupValues& Values() { return m_values; }
    const TSerialSetupValues& Values() const { return m_values; }
    void SetValues(const TSerialSetupValues& values) { m_values = values; }

    // Reads every stored value into Values() (clamped to its range; a connection-type tag that
    // matches no button leaves the direct type chosen) and NodeAddress. Always true.
    bool Load_Baud();
    // Writes Values() back; ADDRESS is NodeAddress. An edit field that is not a number leaves its
    // stored value as it is. Always true.
    bool Save_Baud();

    // ---- Field rules (applied by the window when a field is left) ------------------------------
    // Not a number: the key's default; then clamped to the key's range.
    static QString ClampNumericField(const QString& text, const files::RegInteger& key);
    // Trimmed, split at "."; the first four parts as numbers clamped to 0..255 (missing or
    // invalid parts 0), joined with "."; empty: the stored default.
    static QString NormalizeIpAddress(const QString& text);
    // Choosing "2 Stop Bits" selects "No Parity"; choosing odd or even parity "1 Stop Bit".
    static void ChooseStopBits(TSerialSetupValues& values, int position);
    static void ChooseParity(TSerialSetupValues& values, int position);

    // ---- Connection types ------------------------------------------------------------------------
    // Above 10: ConnectionTypeText "Network" and the identifier less 10; then 1 "RS232",
    // 2 "RS422", 3 "RS485", 4 "Ethernet", other: empty InterfaceText.
    static void GetInterfaceDescription(int32_t InterfaceIdentifier, QString& InterfaceText,
                                        QString& ConnectionTypeText);
    // The same for the chosen button of the selected tab.
    void GetInterfaceDescription(QString& InterfaceText, QString& ConnectionTypeText) const;
    // Tag of the first checked button with a non-zero tag, else 0.
    static int32_t GetInterfaceIdentifier(std::span<const TInterfaceChoice> Controls);
    // The chosen interface text contains Text (case-insensitive).
    bool InterfaceTextContains(const QString& Text) const;
    // The caption of a connection-type button, e.g. "Direct Link (RS485 Single RV8)" or
    // "Multi-Drop (Ethernet Network)"; empty for a tag without interface text (hidden button).
    static QString ConnectionTypeCaption(int32_t Tag, bool EthernetTab);
    // Tag of the chosen button of the selected tab.
    int32_t ChosenInterfaceIdentifier() const;

    // ---- Channel ---------------------------------------------------------------------------------
    // The client settings Values() stand for: client defaults, the fields of the selected tab
    // (a field that is not a number keeps the client default), delays and timeout x10,
    // TransientError = 2 x the timeout.
    TNuvModbus_Settings BuildClientSettings() const;
    // Opens the client with BuildClientSettings(); sets IsOnline and emits onlineChanged. On
    // failure warns "Unable to open the selected communication port." (serial) or "Unable to open
    // communication with the selected IP address on the selected port." (Ethernet).
    bool open_communications();
    // The same with client settings of the caller's making (the command line's connection
    // options: ASCII, attempts, exact milliseconds); Values() is not consulted. The warning
    // follows the settings' medium.
    bool OpenWithSettings(const TNuvModbus_Settings& Settings);
    // NetworkScanned := false; closes the client; IsOnline := false; emits onlineChanged.
    void Close_Communications();
    // The client's is-open query.
    bool IsConnected() const;
    // The "Ethernet" tab is the selected one.
    bool IsModbusTcp() const;
    // Online and the chosen connection type is a network type.
    bool IsMultiDrop() const;

    // ---- Register operations ---------------------------------------------------------------------
    // Each builds a cleared request record with Cancel and Options, calls the client and copies
    // ErrorWasIgnored out. True only on success.
    //   {}                     an error asks the decider without Ignore
    //   {bmoAllowIgnoreError}  an error asks with Ignore (or is ignored silently under L22); the
    //                          block operations then go on register by register, silently, and
    //                          succeed unless a single request fails without being ignored
    //   {bmoAutoIgnoreError}   no question: false (silent probes)
    bool ReadHoldingRegister(uint8_t DeviceAddress, uint16_t FirstRegister, uint16_t& Value,
                             TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);
    bool ReadHoldingRegister(uint8_t DeviceAddress, uint16_t FirstRegister, uint16_t& Value, bool& ErrorWasIgnored,
                             TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);
    // A register of the block that could not be read in the fallback reads as 0.
    bool ReadHoldingRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<uint16_t> Values,
                              TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);
    bool ReadHoldingRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<uint16_t> Values,
                              bool& ErrorWasIgnored, TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);
    bool WriteMultipleRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<const uint16_t> Values,
                                TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);
    bool WriteMultipleRegisters(uint8_t DeviceAddress, uint16_t FirstRegister, std::span<const uint16_t> Values,
                                bool& ErrorWasIgnored, TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);
    // Function code 16 with a count of 1.
    bool WriteSingleRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t Value,
                             TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);
    bool WriteSingleRegister(uint8_t DeviceAddress, uint16_t RegisterAddress, uint16_t Value, bool& ErrorWasIgnored,
                             TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);
    TNuvModbus_CheckResponseError HandleRequest(uint8_t DeviceAddress, uint8_t FunctionCode, const QByteArray& Request,
                                                int32_t DataLength, QByteArray& Data, TNuvModbus_Options Options = {},
                                                const bool* Cancel = nullptr);
    TNuvModbus_CheckResponseError HandleRequest(uint8_t DeviceAddress, uint8_t FunctionCode, const QByteArray& Request,
                                                int32_t DataLength, QByteArray& Data, bool& ErrorWasIgnored,
                                                TNuvModbus_Options Options = {}, const bool* Cancel = nullptr);

    // The heartbeat probe: the revision register (SPECIAL_ADDRESSES slot 2) at DeviceAddress,
    // auto-ignored, not cancellable. False, silently, when the starter did not answer.
    bool HeartbeatProbe(uint8_t DeviceAddress, uint16_t& Value);

    // The error hook attached to the client: device wording for four errors, option L22, then
    // the decider.
    void ModbusError(TNuvModbus_CheckResponseError Error, const QString& Description, bool AllowIgnore,
                     TNuvModbus_ErrorEventAction& Action);
    // The text the error dialog shows for an error: Description, or the device wording.
    static QString ErrorMessage(TNuvModbus_CheckResponseError Error, const QString& Description);

    // ---- Flows of the "Communication Setup" window -------------------------------------------------
    // Showing: BusyCount + 1, Load_Baud, Address := NodeAddress, remember whether online.
    void BeginSetup();
    // Closing: BusyCount - 1 (once per BeginSetup).
    void EndSetup();
    bool SetupActive() const { return m_setupActive; }
    bool WasOnlineAtSetup() const { return m_wasOnline; }
    // "&Accept - Open Comm.". Valid address: NodeAddress := it, close, wait, open; a failed open
    // returns false (the window stays). Invalid: warning "Address ranges from 1 -
    // MAX_INVERTER_NETWORK", Address restored from NodeAddress, channel untouched. Then
    // Save_Baud and true (the window closes).
    bool Accept();
    // "&Cancel - Close Comm.": reload the stored settings; online at BeginSetup: reopen with them
    // (false when that fails: the window stays); else close an open channel. True: close window.
    bool Cancel();
    // "&Test": close, wait, open with Values(); when open, read the revision register (SPECIAL_
    // ADDRESSES slot 0) at the address field (not a number: 1) up to ten times, stopping at the
    // first failure; after good read k, progress(k * 10). Returns the number of good reads.
    // The channel stays as the test left it. The test strip's "&Abort" sets the cancel flag
    // (CancelTest), which ends the test before its next read.
    int TestCommunication(const std::function<void(int percent)>& progress = {});
    void CancelTest() { m_blnCancelTest = true; }

    // ---- Wiring ----------------------------------------------------------------------------------
    // Option L22 comes from here; null: no options (L22 off).
    void SetProgramOptions(const ProgramOptions* options) { m_options = options; }
    void SetPrompts(UserPrompts& prompts) { m_prompts = &prompts; }
    void SetErrorDecider(ErrorDecider& decider) { m_decider = &decider; }
    // Sounds the beep that goes with the invalid-address warning (the windows pass
    // QApplication::beep); unset: silent.
    void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }
    // Makes the transports of the client; CreateSystemTransport by default. Takes effect at the
    // next open.
    void SetTransportFactory(TNuvModbus_TransportFactory factory);
    // The wait between closing and reopening in Accept, Cancel and Test (250 ms).
    void SetReopenDelay(uint32_t milliseconds) { m_reopenDelay = milliseconds; }
    ShellState& Shell() { return m_shell; }
    TNuvModbus& Modbus() { return m_bbmModbus; }
    files::TReg& Regist() { return m_regist; }

signals:
    // After every open attempt and every close: the main window shows "&ONLINE" / "&OFFLINE"
    // and refreshes its status panels.
    void onlineChanged(bool online);

private:
    bool Reopen();
    template <typename Call>
    bool Request(TNuvModbus_Options options, const bool* cancel, bool& errorWasIgnored, Call&& call);

    UserPrompts* m_prompts;
    ErrorDecider* m_decider;
    ShellState& m_shell;
    files::TReg m_regist;
    const ProgramOptions* m_options = nullptr;
    TNuvModbus_TransportFactory m_factory;
    std::function<void()> m_beep;
    TNuvModbus m_bbmModbus;
    TSerialSetupValues m_values;
    bool m_blnCancelTest = false;
    bool m_setupActive = false;
    bool m_wasOnline = false;
    uint32_t m_reopenDelay = 250;
};

}  // namespace rv8::comm
