#pragma once
// The program-wide shell state: what the communication session writes and the windows read.
// One instance, SHELL, lives for the whole run; tests may hand a session a state of their own.
//
// ProjectModified is not duplicated here: it is the flag the parameter model raises when a
// working value changes (param::MODIFIED_FLAGS), reached through ProjectModified().

#include "param/VarDrive.h"

#include <QString>

#include <atomic>
#include <cstdint>

namespace rv8::comm {

struct ShellState {
    // Communication with the starter is open. Set and cleared only by the communication session.
    bool IsOnline = false;
    // Modbus address of the starter every device operation addresses (1..254).
    uint16_t NodeAddress = 1;
    // Raised around every device command and while the set-up windows are shown; the heartbeat
    // polls only when it is 0. Use BusyBracket to keep it balanced.
    std::atomic<int> BusyCount{0};
    // Full path of the open project; empty after New and after opening a recovery backup.
    QString CurrentProjectFile;
    // A network scan found a node since the channel was last closed.
    bool NetworkScanned = false;
    // Where ProjectModified lives.
    param::TModifiedFlags* Modified = &param::MODIFIED_FLAGS;

    bool& ProjectModified() { return Modified->ProjectModified; }
    bool ProjectModified() const { return Modified->ProjectModified; }
};

// The program's shell state.
extern ShellState SHELL;

// Raises BusyCount for its lifetime (the "finally" step of a device command).
class BusyBracket {
public:
    explicit BusyBracket(ShellState& shell = SHELL) : m_shell(shell) { ++m_shell.BusyCount; }
    ~BusyBracket() { --m_shell.BusyCount; }
    BusyBracket(const BusyBracket&) = delete;
    BusyBracket& operator=(const BusyBracket&) = delete;

private:
    ShellState& m_shell;
};

}  // namespace rv8::comm
