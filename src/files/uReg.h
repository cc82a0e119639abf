#pragma once
// TReg: the program's settings store. Values are addressed by area key (e.g.
// "SOFTWARE\VORNEKA\RV8\SETUP"), section (a subkey below it) and value name, and every value is
// stored as text whatever its logical type: Booleans as "1"/"0", integers as decimal text,
// strings as they are.
//
// Contract: reads never fail, they return their default when the key or value is missing, when
// the stored text does not parse, or when the value was stored as something other than text;
// writes never report anything, a write that cannot reach the store is lost silently.
//
// Storage is QSettings in native format below the product key "SOFTWARE\VORNEKA\RV8" of the
// current user: the registry key HKEY_CURRENT_USER\SOFTWARE\VORNEKA\RV8 on Windows, the user's
// configuration file VORNEKA/RV8.conf elsewhere, with the area keys and sections as nested groups
// ("SETUP/PRG/L22"). A SettingsLocation can point everything at an INI file instead (tests, and
// the demo mode, which must leave the user's settings alone).
//
// Callers normally do not spell value names: files/RegValues.h describes every stored value
// (key, section, name, default, range) and TReg reads and writes those descriptions.

#include <QString>

#include <climits>
#include <memory>

class QSettings;

namespace rv8::files {

// Where TReg keeps its values.
class SettingsLocation {
public:
    // The current user's native store (registry on Windows, configuration file elsewhere).
    static SettingsLocation User();
    // An INI file at `path`; the product key is its root, like the native store.
    static SettingsLocation File(const QString& path);

    // The location that TReg objects use when none is given: User() unless SetDefault() said
    // otherwise. The demo mode and tests redirect the whole program here, before any window
    // that keeps settings is created.
    static SettingsLocation Default();
    static void SetDefault(const SettingsLocation& location);

    bool IsUser() const { return m_file.isEmpty(); }
    QString FilePath() const { return m_file; }

    // A QSettings on this location, rooted at the product key.
    std::unique_ptr<QSettings> Open() const;

    friend bool operator==(const SettingsLocation&, const SettingsLocation&) = default;

private:
    QString m_file;  // empty: the native user store
};

// The product key. Paths below it are stored relative to it; every area key lives there.
inline constexpr char kProductKey[] = "SOFTWARE\\VORNEKA\\RV8";

// Registry hive. Every window uses the current user's; the store has no other.
enum class TRoot { rHKEY_CURRENT_USER, rHKEY_LOCAL_MACHINE };

// Settings records: a value name with its default (and, for integers, its range).
struct TKeyValueSettings_Boolean {
    bool DefaultValue = false;
    QString KeyName;
};
struct TKeyValueSettings_Integer {
    int DefaultValue = 0;
    int MinValue = INT_MIN;
    int MaxValue = INT_MAX;
    QString KeyName;
};
struct TKeyValueSettings_String {
    QString DefaultValue;
    QString KeyName;
};

// A fully described stored value: area key, section and the settings record.
struct RegBoolean {
    QString Key;
    QString Section;
    TKeyValueSettings_Boolean Value;
};
struct RegString {
    QString Key;
    QString Section;
    TKeyValueSettings_String Value;
};
// An integer and what happens to a stored figure outside MinValue..MaxValue:
// Clamp (to the nearer end) or Fallback (replaced by `Fallback`; Repair() also writes it back
// when WriteBack is set).
struct RegInteger {
    enum class Rule { Clamp, Fallback };
    QString Key;
    QString Section;
    TKeyValueSettings_Integer Value;
    Rule OutOfRange = Rule::Clamp;
    int Fallback = 0;
    bool WriteBack = false;
};

// Text parsing of stored values, shared by every read.
// A valid integer is optional blanks, an optional sign, decimal digits, optional blanks, within
// the 32-bit range.
bool ParseStoredInteger(const QString& text, int& value);
// Min when below min, max when above max, else v.
int ClampStored(int v, int min, int max);

class TReg {
public:
    explicit TReg(const QString& path = {}, const SettingsLocation& location = SettingsLocation::Default());
    ~TReg();
    TReg(const TReg&) = delete;
    TReg& operator=(const TReg&) = delete;

    TRoot Root() const { return m_root; }
    void SetRoot(TRoot root) { m_root = root; }
    QString Path() const { return m_path; }
    void SetPath(const QString& path) { m_path = path; }
    QString Section() const { return m_section; }
    void SetSection(const QString& section) { m_section = section; }
    const SettingsLocation& Location() const { return m_location; }

    // Opens Path\Section without creating it; true when it holds any value or subkey.
    bool Open();
    // Closes the key opened by Open().
    void Close();
    bool IsOpen() const { return m_open; }

    // Reads by section below Path and value name.
    bool ReadBoolean(const QString& section, const QString& name, bool defaultValue) const;
    int ReadInteger(const QString& section, const QString& name, int defaultValue) const;
    // ReadInteger, then clamped to min..max. (Argument order: max before min.)
    int ReadInteger(const QString& section, const QString& name, int max, int min, int defaultValue) const;
    QString ReadIntegerAsString(const QString& section, const QString& name, int max, int min,
                                int defaultValue) const;
    // The stored text in `out`, or the default when the key or value is missing; returns `out`.
    QString ReadString(const QString& section, const QString& name, QString& out,
                       const QString& defaultValue) const;
    QString ReadString(const QString& section, const QString& name, const QString& defaultValue = {}) const;

    void WriteBoolean(const QString& section, const QString& name, bool value);
    void WriteInteger(const QString& section, const QString& name, int value);
    // Stores `text` as an integer when it is a valid one (normalized to plain decimal text);
    // any other text leaves the stored value as it is.
    void WriteIntegerAsString(const QString& section, const QString& name, const QString& text);
    void WriteString(const QString& section, const QString& name, const QString& value);

    // The same with a settings record supplying name, default and range.
    bool ReadBoolean(const QString& section, const TKeyValueSettings_Boolean& s) const;
    int ReadInteger(const QString& section, const TKeyValueSettings_Integer& s) const;
    QString ReadIntegerAsString(const QString& section, const TKeyValueSettings_Integer& s) const;
    QString ReadString(const QString& section, const TKeyValueSettings_String& s) const;
    void WriteBoolean(const QString& section, const TKeyValueSettings_Boolean& s, bool value);
    void WriteInteger(const QString& section, const TKeyValueSettings_Integer& s, int value);
    void WriteIntegerAsString(const QString& section, const TKeyValueSettings_Integer& s, const QString& text);
    void WriteString(const QString& section, const TKeyValueSettings_String& s, const QString& value);

    // Described values (files/RegValues.h). These use the value's own key, not Path.
    bool Read(const RegBoolean& v) const;
    int Read(const RegInteger& v) const;
    QString Read(const RegString& v) const;
    void Write(const RegBoolean& v, bool value);
    void Write(const RegInteger& v, int value);
    void Write(const RegString& v, const QString& value);
    // Read() for a Fallback integer that also stores the fallback when the stored figure was out
    // of range and the value is marked WriteBack.
    int Repair(const RegInteger& v);

    // The QSettings key of a value: area key and section as nested groups below the product key.
    static QString SettingsKey(const QString& key, const QString& section, const QString& name);

private:
    // The stored text, or nothing when missing or not stored as text.
    bool readText(const QString& key, const QString& section, const QString& name, QString& text) const;
    void writeText(const QString& key, const QString& section, const QString& name, const QString& text);
    bool readBool(const QString& key, const QString& section, const QString& name, bool def) const;
    int readInt(const QString& key, const QString& section, const QString& name, int def) const;

    QSettings& settings() const;

    TRoot m_root = TRoot::rHKEY_CURRENT_USER;
    QString m_path;
    QString m_section;
    SettingsLocation m_location;
    bool m_open = false;
    mutable std::unique_ptr<QSettings> m_settings;
};

}  // namespace rv8::files
