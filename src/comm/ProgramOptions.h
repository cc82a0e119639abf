#pragma once
// The general program options as the running program holds them. The settings store fills them
// from the SETUP key's PRG section at start and after the Program Properties dialog is accepted
// (files/RegValues.h: ReadProgramOptions); flows read them from here and never from the store.
// The members carry the stored value names, which is how the whole program refers to them.

namespace rv8::comm {

struct ProgramOptions {
    bool L1A = false;  // "Standard software": StandardSoftware; firmware entry 0, relaxed firmware checks
    bool L2 = false;   // "Parameter change confirmation (RV8)": ask before transmitting to the starter
    bool L3 = false;   // "Automatically scan for RV8 type after going online"
    bool L4 = true;    // "Show welcome screen at program startup"
    bool L5 = false;   // "Startup questions (e.g. RV8 connected, etc.)"
    bool L6 = false;   // "Open Visual setup screen first after startup" (stored and shown only)
    bool L7 = true;    // "Open parameter overview window after reading parameters from the RV8"
    bool L8 = true;    // "Open user information screen after a file has been loaded"
    bool L9 = false;   // "Transparent Software ++" (stored and shown only)
    bool L12 = true;   // "Show information dialog window after automatic RV8 scan"
    bool L13 = true;   // "Open parameter overview after a file has been loaded"
    bool L14 = true;   // "Serial heartbeat" (stored and shown only)
    bool L15 = false;  // "Factory mode": AdvancedMode, advanced parameters editable
    bool L16 = false;  // "RUN command confirmation" (stored and shown only)
    bool L20 = false;  // "Parameter change confirmation (Program)": ask before storing into program memory
    bool L22 = false;  // "Ignore parameter communication errors": ignorable errors show no dialog
    bool L26 = true;   // "Program shows backup option after going online"
    bool L27 = false;  // "Check parameter limits during read operation"
    bool L28 = true;   // "Show warning when activating the HMI / Keypad"
    bool L30 = false;  // "Custom mode" (stored and shown only)
    bool L31 = false;  // "Test mode" (stored and shown only)
    int NSC = 16;      // "Maximum Number of Nodes to Scan:", highest address of a network scan, 1..254

    bool StandardSoftware() const { return L1A; }
    bool AdvancedMode() const { return L15; }

    friend bool operator==(const ProgramOptions&, const ProgramOptions&) = default;
};

}  // namespace rv8::comm
