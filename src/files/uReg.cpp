#include "files/uReg.h"

#include <QFileInfo>
#include <QMetaType>
#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace rv8::files {

namespace {

SettingsLocation& defaultLocation()
{
    static SettingsLocation location = SettingsLocation::User();
    return location;
}

// Whether a write to the settings file can reach the disk. QSettings keeps a write that it could
// not save in its in-process cache, where the program would keep seeing it until it ends; a
// write that cannot be stored is to be lost at once, so it is not handed to QSettings at all.
bool canStore(const QSettings& settings)
{
#if defined(Q_OS_WIN)
    if (settings.format() == QSettings::NativeFormat)
        return true;  // the registry reports nothing and keeps nothing that it did not store
#endif
    QFileInfo file(settings.fileName());
    if (file.exists())
        return file.isFile() && file.isWritable();
    // The file will be created together with any missing folders: the nearest existing
    // ancestor must be a folder we may write into.
    QString path = file.absolutePath();
    while (!QFileInfo::exists(path)) {
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            return false;
        path = parent;
    }
    const QFileInfo ancestor(path);
    return ancestor.isDir() && ancestor.isWritable();
}

}  // namespace

// ---- SettingsLocation ----------------------------------------------------------------------

SettingsLocation SettingsLocation::User()
{
    return SettingsLocation{};
}

SettingsLocation SettingsLocation::File(const QString& path)
{
    SettingsLocation location;
    location.m_file = path;
    return location;
}

SettingsLocation SettingsLocation::Default()
{
    return defaultLocation();
}

void SettingsLocation::SetDefault(const SettingsLocation& location)
{
    defaultLocation() = location;
}

std::unique_ptr<QSettings> SettingsLocation::Open() const
{
    std::unique_ptr<QSettings> settings;
    if (m_file.isEmpty()) {
        // Organisation "VORNEKA", application "RV8": HKEY_CURRENT_USER\Software\VORNEKA\RV8 on
        // Windows (key names there are case-insensitive), ~/.config/VORNEKA/RV8.conf elsewhere.
        settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                               QStringLiteral("VORNEKA"), QStringLiteral("RV8"));
    } else {
        settings = std::make_unique<QSettings>(m_file, QSettings::IniFormat);
    }
    // Only the current user's own values count; no organisation-wide or system-wide fallbacks.
    settings->setFallbacksEnabled(false);
    return settings;
}

// ---- helpers -------------------------------------------------------------------------------

bool ParseStoredInteger(const QString& text, int& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    // Decimal only: an optional sign followed by digits (no hex, no exponent, no separators).
    int start = (t[0] == u'+' || t[0] == u'-') ? 1 : 0;
    if (start == t.size())
        return false;
    for (int i = start; i < t.size(); ++i) {
        if (t[i] < u'0' || t[i] > u'9')
            return false;
    }
    bool ok = false;
    const qlonglong wide = t.toLongLong(&ok, 10);
    if (!ok || wide < INT_MIN || wide > INT_MAX)
        return false;
    value = static_cast<int>(wide);
    return true;
}

int ClampStored(int v, int min, int max)
{
    if (v < min)
        return min;
    if (v > max)
        return max;
    return v;
}

// ---- TReg ----------------------------------------------------------------------------------

TReg::TReg(const QString& path, const SettingsLocation& location) : m_path(path), m_location(location) {}

TReg::~TReg() = default;

QSettings& TReg::settings() const
{
    if (!m_settings)
        m_settings = m_location.Open();
    return *m_settings;
}

QString TReg::SettingsKey(const QString& key, const QString& section, const QString& name)
{
    // "\" + key + "\" + section + "\" + name, with separators normalized and empty parts dropped.
    QString joined = key + u'\\' + section + u'\\' + name;
    joined.replace(u'\\', u'/');
    QStringList parts = joined.split(u'/', Qt::SkipEmptyParts);
    static const QStringList product = QString::fromLatin1(kProductKey).split(u'\\');
    bool underProduct = parts.size() > product.size();
    for (int i = 0; underProduct && i < product.size(); ++i)
        underProduct = parts[i].compare(product[i], Qt::CaseInsensitive) == 0;
    if (underProduct)
        parts.erase(parts.begin(), parts.begin() + product.size());
    return parts.join(u'/');
}

bool TReg::readText(const QString& key, const QString& section, const QString& name, QString& text) const
{
    if (name.isEmpty())
        return false;
    const QVariant v = settings().value(SettingsKey(key, section, name));
    // Only text counts: a number, list or binary value (another registry type, or a hand-made
    // entry of the configuration file) reads as missing.
    if (!v.isValid() || v.typeId() != QMetaType::QString)
        return false;
    text = v.toString();
    return true;
}

void TReg::writeText(const QString& key, const QString& section, const QString& name, const QString& text)
{
    if (name.isEmpty())
        return;
    QSettings& s = settings();
    if (!canStore(s))
        return;
    // Every QSettings of the process on this location sees the value at once; QSettings saves
    // it to the disk from the event loop, on Close() and at the latest when this TReg goes.
    // A failure to save is deliberately not reported.
    s.setValue(SettingsKey(key, section, name), text);
}

bool TReg::readBool(const QString& key, const QString& section, const QString& name, bool def) const
{
    QString text;
    int v = 0;
    if (!readText(key, section, name, text) || !ParseStoredInteger(text, v))
        return def;
    return v > 0;
}

int TReg::readInt(const QString& key, const QString& section, const QString& name, int def) const
{
    QString text;
    int v = 0;
    if (!readText(key, section, name, text) || !ParseStoredInteger(text, v))
        return def;
    return v;
}

bool TReg::Open()
{
    QSettings& s = settings();
    const QString group = SettingsKey(m_path, m_section, {});
    bool exists = true;
    if (!group.isEmpty()) {
        s.beginGroup(group);
        exists = !s.childKeys().isEmpty() || !s.childGroups().isEmpty();
        s.endGroup();
    }
    m_open = exists;
    return exists;
}

void TReg::Close()
{
    m_open = false;
    if (m_settings)
        m_settings->sync();
}

bool TReg::ReadBoolean(const QString& section, const QString& name, bool defaultValue) const
{
    return readBool(m_path, section, name, defaultValue);
}

int TReg::ReadInteger(const QString& section, const QString& name, int defaultValue) const
{
    return readInt(m_path, section, name, defaultValue);
}

int TReg::ReadInteger(const QString& section, const QString& name, int max, int min, int defaultValue) const
{
    return ClampStored(ReadInteger(section, name, defaultValue), min, max);
}

QString TReg::ReadIntegerAsString(const QString& section, const QString& name, int max, int min,
                                  int defaultValue) const
{
    return QString::number(ReadInteger(section, name, max, min, defaultValue));
}

QString TReg::ReadString(const QString& section, const QString& name, QString& out,
                         const QString& defaultValue) const
{
    if (!readText(m_path, section, name, out))
        out = defaultValue;
    return out;
}

QString TReg::ReadString(const QString& section, const QString& name, const QString& defaultValue) const
{
    QString out;
    return ReadString(section, name, out, defaultValue);
}

void TReg::WriteBoolean(const QString& section, const QString& name, bool value)
{
    writeText(m_path, section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TReg::WriteInteger(const QString& section, const QString& name, int value)
{
    writeText(m_path, section, name, QString::number(value));
}

void TReg::WriteIntegerAsString(const QString& section, const QString& name, const QString& text)
{
    int v = 0;
    if (ParseStoredInteger(text, v))
        WriteInteger(section, name, v);
}

void TReg::WriteString(const QString& section, const QString& name, const QString& value)
{
    writeText(m_path, section, name, value);
}

bool TReg::ReadBoolean(const QString& section, const TKeyValueSettings_Boolean& s) const
{
    return ReadBoolean(section, s.KeyName, s.DefaultValue);
}

int TReg::ReadInteger(const QString& section, const TKeyValueSettings_Integer& s) const
{
    return ReadInteger(section, s.KeyName, s.MaxValue, s.MinValue, s.DefaultValue);
}

QString TReg::ReadIntegerAsString(const QString& section, const TKeyValueSettings_Integer& s) const
{
    return QString::number(ReadInteger(section, s));
}

QString TReg::ReadString(const QString& section, const TKeyValueSettings_String& s) const
{
    return ReadString(section, s.KeyName, s.DefaultValue);
}

void TReg::WriteBoolean(const QString& section, const TKeyValueSettings_Boolean& s, bool value)
{
    WriteBoolean(section, s.KeyName, value);
}

void TReg::WriteInteger(const QString& section, const TKeyValueSettings_Integer& s, int value)
{
    WriteInteger(section, s.KeyName, value);
}

void TReg::WriteIntegerAsString(const QString& section, const TKeyValueSettings_Integer& s, const QString& text)
{
    WriteIntegerAsString(section, s.KeyName, text);
}

void TReg::WriteString(const QString& section, const TKeyValueSettings_String& s, const QString& value)
{
    WriteString(section, s.KeyName, value);
}

bool TReg::Read(const RegBoolean& v) const
{
    return readBool(v.Key, v.Section, v.Value.KeyName, v.Value.DefaultValue);
}

int TReg::Read(const RegInteger& v) const
{
    const int raw = readInt(v.Key, v.Section, v.Value.KeyName, v.Value.DefaultValue);
    if (v.OutOfRange == RegInteger::Rule::Fallback)
        return (raw < v.Value.MinValue || raw > v.Value.MaxValue) ? v.Fallback : raw;
    return ClampStored(raw, v.Value.MinValue, v.Value.MaxValue);
}

QString TReg::Read(const RegString& v) const
{
    QString text;
    return readText(v.Key, v.Section, v.Value.KeyName, text) ? text : v.Value.DefaultValue;
}

void TReg::Write(const RegBoolean& v, bool value)
{
    writeText(v.Key, v.Section, v.Value.KeyName, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TReg::Write(const RegInteger& v, int value)
{
    writeText(v.Key, v.Section, v.Value.KeyName, QString::number(value));
}

void TReg::Write(const RegString& v, const QString& value)
{
    writeText(v.Key, v.Section, v.Value.KeyName, value);
}

int TReg::Repair(const RegInteger& v)
{
    const int raw = readInt(v.Key, v.Section, v.Value.KeyName, v.Value.DefaultValue);
    const int value = Read(v);
    if (v.OutOfRange == RegInteger::Rule::Fallback && v.WriteBack && value != raw)
        Write(v, value);
    return value;
}

}  // namespace rv8::files
