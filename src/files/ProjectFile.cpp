#include "files/ProjectFile.h"

#include "param/AdoptValues.h"
#include "param/Catalogue.h"
#include "param/Models.h"
#include "param/NuvShared.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <string_view>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace rv8::files {

namespace {

using comm::PromptKind;
using comm::UserPrompts;
using namespace rv8::param;

constexpr int kValueFieldEnd = 25;    // value field padded to 25 - length(SaveId)
constexpr int kUnitsFieldWidth = 7;
constexpr int kListTitleWidth = 30;
constexpr int kExaminedLength = 30;   // characters of a parameter line the reader looks at
constexpr int kFirmwareLineLimit = 7;  // a firmware line of this many characters is an error

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// Windows-1252 bytes of a UTF-8 text; characters the code page lacks become '?'.
std::string ToCp1252(const std::string& utf8) { return Utf8ToCp1252(utf8, '?'); }
std::string ToCp1252(const QString& text) { return ToCp1252(text.toStdString()); }

std::string PadRight(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

// A file line must stay one line: line breaks inside a text become blanks.
QString SingleLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// Blanks and control characters (code <= 32) trimmed from both ends; other white space such as
// the no-break space is text.
QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

// The working-column list item text of a list parameter's value, with the writer's warnings.
std::string ListItemText(const PrmTable& table, int number, Fixed value, UserPrompts& prompts,
                         const TSelectionState& selection, const std::function<void()>& beep)
{
    const PRM_REC& r = table[number];
    const std::int64_t wanted = value.Round();
    const int mode = ModeColumnOf(selection.CurrentControlMode, selection);
    for (int i = 0; i < r.ValueSTR.TOTAL && i < kListSlots; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        if (r.ValueSTR.TRVALUE[slot] != wanted)
            continue;
        if (r.ValueSTR.ENABLE_A[slot][static_cast<std::size_t>(mode)])
            return r.ValueSTR.STRARRAY[slot];
        if (beep)
            beep();
        prompts.warning({}, SettingDisabledMessage(r));
    }
    if (beep)
        beep();
    prompts.warning({}, SettingNotFoundMessage(r, wanted));
    return kUnknownSetting;
}

// The line in Windows-1252 bytes.
std::string ParameterLineBytes(const PrmTable& table, int number, UserPrompts& prompts,
                               const TSelectionState& selection, const std::function<void()>& beep)
{
    const PRM_REC& r = table[number];
    const int working = selection.CurrentControlMode;
    const Fixed value = GetPrmValue(table, number, working);
    const bool list = IsListEditType(r.EDIT_TYPE);
    const int decimals = list ? 0 : Number_of_Digits(GetPrmDivisor(table, number));

    const std::string saveId = ToCp1252(r.SaveId);
    std::string line = saveId + "=";
    const std::string valueField = FormatFixed(value, 0, decimals, true) + ";";
    const int fieldWidth = kValueFieldEnd - static_cast<int>(saveId.size());
    line += PadRight(valueField, fieldWidth > 0 ? static_cast<std::size_t>(fieldWidth) : 0);
    line += PadRight(ToCp1252(GetPrmUnits(table, number, working)), kUnitsFieldWidth);
    if (!list) {
        line += ToCp1252(r.Title);
        return line;
    }
    line += PadRight(ToCp1252(r.Title), kListTitleWidth);
    line += " - ";
    line += ToCp1252(ListItemText(table, number, value, prompts, selection, beep));
    return line;
}

void AppendLine(QByteArray& out, const std::string& cp1252)
{
    out.append(cp1252.data(), static_cast<qsizetype>(cp1252.size()));
    out.append("\r\n");
}

void AppendLine(QByteArray& out, const QString& text) { AppendLine(out, ToCp1252(SingleLine(text))); }

void AppendLine(QByteArray& out, const char* ascii) { AppendLine(out, std::string(ascii)); }

enum class Section { None, FileInfo, StarterType, FlashNo, ControlMode, Parameters, ProjectName, UserName, Info };

bool SectionOfHeader(const QString& upper, Section& section)
{
    static const struct {
        const char* header;
        Section section;
    } kHeaders[] = {
        {kSectionControlMode, Section::ControlMode}, {kSectionStarterType, Section::StarterType},
        {kSectionParameters, Section::Parameters},   {kSectionFlashNo, Section::FlashNo},
        {kSectionFileInfo, Section::FileInfo},       {kSectionProjectName, Section::ProjectName},
        {kSectionUserName, Section::UserName},       {kSectionInfo, Section::Info},
    };
    for (const auto& h : kHeaders) {
        if (upper == QLatin1String(h.header)) {
            section = h.section;
            return true;
        }
    }
    return false;
}

bool IsValueCharacter(QChar c) { return c == QLatin1Char('-') || c == QLatin1Char('.') || c.isDigit(); }

// A plain decimal made of the value characters: optional "-", digits with at most one point.
bool ParsePlainDecimal(const QString& text, Fixed& value)
{
    qsizetype i = 0;
    if (i < text.size() && text[i] == QLatin1Char('-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('.')) {
            if (point)
                return false;
            point = true;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
        } else {
            return false;
        }
    }
    if (!digits)
        return false;
    // Two defaults tell a value that does not fit the fixed-point range from a parsed one.
    const std::string s = text.toStdString();
    const Fixed a = ParseFixed(s, true, Fx(0));
    const Fixed b = ParseFixed(s, true, Fx(1));
    if (a != b)
        return false;
    value = a;
    return true;
}

// What a parameter line holds.
struct ParsedLine {
    enum class Kind { Ignored, Error, Value } kind = Kind::Ignored;
    QString key;
    Fixed value;
};

// `upper`: the trimmed line in upper case.
ParsedLine ClassifyParameterLine(const QString& upper)
{
    ParsedLine result;
    if (upper.size() < 4)
        return result;
    const QChar first = upper[0];
    if (first == QLatin1Char(',') || first == QLatin1Char(':') || first == QLatin1Char('='))
        return result;
    const QString examined = upper.left(kExaminedLength);
    qsizetype separator = -1;
    for (qsizetype i = 0; i < examined.size(); ++i) {
        const QChar c = examined[i];
        if (c == QLatin1Char(',') || c == QLatin1Char(':') || c == QLatin1Char('=')) {
            separator = i;
            break;
        }
    }
    result.kind = ParsedLine::Kind::Error;
    if (separator < 0)
        return result;
    qsizetype end = separator + 1;
    while (end < examined.size() && IsValueCharacter(examined[end]))
        ++end;
    const QString valueText = examined.mid(separator + 1, end - separator - 1);
    if (valueText.isEmpty() || end >= examined.size() || examined[end] != QLatin1Char(';'))
        return result;
    if (!ParsePlainDecimal(valueText, result.value))
        return result;
    // Blanks between the key and its separator are not part of the key.
    result.key = TrimBlanks(examined.left(separator));
    result.kind = ParsedLine::Kind::Value;
    return result;
}

// Decodes one line of the file: Windows-1252, or UTF-8 for a file that starts with its byte
// order mark.
QString DecodeLine(const QByteArray& bytes, bool utf8)
{
    if (utf8)
        return QString::fromUtf8(bytes);
    return FromStd(Cp1252ToUtf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

// Forces the written bytes to the storage device; false when the system reports a failure.
bool SyncToDisk(QSaveFile& file)
{
#if defined(Q_OS_UNIX)
    return ::fsync(file.handle()) == 0;
#else
    return file.flush();  // commit() asks the system to write the file through before renaming it
#endif
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Messages

QString LineErrorMessage(int lineNumber) { return QStringLiteral("Error in line: %1.").arg(lineNumber); }

QString OutOfRangeMessage(const QString& title)
{
    return QStringLiteral("Parameter \"%1\" out of range.\n\nParameter will be skipped.").arg(title);
}

QString SettingDisabledMessage(const PRM_REC& record)
{
    return QStringLiteral("Parameter Setting Disabled: %1, #%2").arg(FromStd(record.PARAMETER_ID)).arg(record.Index);
}

QString SettingNotFoundMessage(const PRM_REC& record, std::int64_t value)
{
    return QStringLiteral("Parameter setting %1 not found for %2").arg(value).arg(FromStd(record.Title));
}

// ---------------------------------------------------------------------------------------------
// Workspace

std::string ProjectWorkspace::Rebuild() const
{
    if (rebuild)
        return rebuild();
    if (parameters == &PRM_TABLE && signalTable == &SIGNAL_TABLE && selection == &SELECTION)
        return BuildCatalogue(false);
    return BuildCatalogue(*parameters, *signalTable, *selection, false);
}

// ---------------------------------------------------------------------------------------------
// Writer

bool IsSavedParameter(const PrmTable& table, int number, const TSelectionState& selection)
{
    if (!table.Exists(number))
        return false;
    const PRM_REC& r = table[number];
    return !r.SaveId.empty() && !r.MONITOR_ONLY && IsInFirmware(table, number, selection);
}

QString ParameterLine(const PrmTable& table, int number, UserPrompts& prompts, const TSelectionState& selection,
                      const std::function<void()>& beep)
{
    if (!table.Exists(number))
        return {};
    return FromStd(Cp1252ToUtf8(ParameterLineBytes(table, number, prompts, selection, beep)));
}

QByteArray ProjectFileText(const ProjectWorkspace& workspace, bool withInformation, const QString& dateText,
                           UserPrompts& prompts, const std::function<void()>& beep)
{
    const PrmTable& table = *workspace.parameters;
    const TSelectionState& selection = *workspace.selection;
    QByteArray out;
    AppendLine(out, kSectionFileInfo);
    AppendLine(out, "");
    AppendLine(out, kFileTypeLine);
    AppendLine(out, QLatin1String(kDateLinePrefix) + dateText);
    AppendLine(out, "");
    AppendLine(out, kSectionStarterType);
    AppendLine(out, "");
    AppendLine(out, ModelShortName(selection.CurrentModelCode));
    AppendLine(out, "");
    AppendLine(out, kSectionFlashNo);
    AppendLine(out, "");
    AppendLine(out, std::to_string(selection.CurrentFirmwareVersion));
    AppendLine(out, "");
    AppendLine(out, kSectionParameters);
    AppendLine(out, "");
    for (int n = 1; n <= table.Count(); ++n)
        if (IsSavedParameter(table, n, selection))
            AppendLine(out, ParameterLineBytes(table, n, prompts, selection, beep));
    if (withInformation) {
        const ProjectInformation& info = *workspace.info;
        AppendLine(out, "");
        AppendLine(out, kSectionProjectName);
        AppendLine(out, info.ProjectName);
        AppendLine(out, kSectionUserName);
        AppendLine(out, info.UserName);
        AppendLine(out, "");
        AppendLine(out, kSectionInfo);
        for (const QString& line : info.TextLines())
            AppendLine(out, line);
    }
    return out;
}

FileResult SaveProjectFile(const QString& fileName, const ProjectWorkspace& workspace, UserPrompts& prompts,
                           const SaveOptions& options)
{
    FileResult result;
    bool withInformation = false;
    if (prompts.questionYesNo({}, QString::fromLatin1(kAskInformationBeforeSave))) {
        withInformation = options.editInformation ? options.editInformation(*workspace.info) : true;
    }

    // Written beside the old file and renamed over it only when every byte reached the disk: a
    // full disk, a crash or a failed write leaves the previous file untouched.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.message = QString::fromLatin1(kUnableToWrite);
        prompts.error({}, result.message);
        return result;
    }
    const QDate date = options.today ? options.today() : QDate::currentDate();
    const QString dateText = options.locale.toString(date, QLocale::ShortFormat);
    const QByteArray text = ProjectFileText(workspace, withInformation, dateText, prompts, options.beep);
    // Unbuffered, so that a failed write is seen here rather than lost in the flush of commit();
    // the data is forced to the disk before the rename.
    if (file.write(text) != text.size() || !SyncToDisk(file) || !file.commit()) {
        result.message = QStringLiteral("Unable to save the file: %1\nThe previous file was left unchanged.")
                             .arg(file.errorString());
        file.cancelWriting();
        prompts.error({}, result.message);
        return result;
    }
    result.ok = true;
    return result;
}

// ---------------------------------------------------------------------------------------------
// Reader

LoadResult LoadProjectFile(const QString& fileName, int loadMode, const ProjectWorkspace& workspace,
                           UserPrompts& prompts, const LoadOptions& options)
{
    LoadResult result;
    ProjectInformation& info = *workspace.info;
    info.Clear();

    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.message = QString::fromLatin1(kUnableToRead);
        prompts.error({}, result.message);
        return result;
    }

    PrmTable& table = *workspace.parameters;
    const TSelectionState& selection = *workspace.selection;
    const bool storeValues = loadMode != lmHeader;
    QHash<QString, int> recordOfKey;
    if (storeValues) {
        for (int n = table.Count(); n >= 1; --n)  // backwards: the first record of a key wins
            if (!table[n].SaveId.empty())
                recordOfKey.insert(FromStd(table[n].SaveId).toUpper(), n);
    }

    auto abort = [&](const QString& message, int line) {
        result.message = message;
        result.line = line;
        result.aborted = true;
        return result;
    };

    Section section = Section::None;
    int infoCount = 0;
    int lineNumber = 0;
    bool utf8 = false;
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        ++lineNumber;
        if (lineNumber == 1 && bytes.startsWith("\xEF\xBB\xBF")) {
            utf8 = true;
            bytes.remove(0, 3);
        }
        const QString line = DecodeLine(bytes, utf8);
        const QString trimmed = TrimBlanks(line);
        const QString upper = trimmed.toUpper();

        Section header = Section::None;
        if (SectionOfHeader(upper, header)) {
            if (header == Section::Parameters && (!result.firmwarePresent || !result.starterTypePresent)) {
                QString last;
                if (!result.firmwarePresent) {
                    last = QString::fromLatin1(kFirmwareBeforeParameters);
                    prompts.error({}, last);
                }
                if (!result.starterTypePresent) {
                    last = QString::fromLatin1(kStarterTypeBeforeParameters);
                    prompts.error({}, last);
                }
                return abort(last, lineNumber);
            }
            section = header;
            continue;
        }

        if (section == Section::Info) {
            if (infoCount < kInfoLineCount)
                info.InfoLines[static_cast<std::size_t>(infoCount++)] = line.left(kInfoLineLength);
            continue;
        }
        if (trimmed.isEmpty())
            continue;

        switch (section) {
        case Section::None:
        case Section::FileInfo:
        case Section::Info:
            break;
        case Section::StarterType: {
            const std::int32_t code = ModelCodeOfName(trimmed.toStdString());
            if (code < 0) {
                prompts.error({}, QString::fromLatin1(kStarterTypeLineError));
                return abort(QString::fromLatin1(kStarterTypeLineError), lineNumber);
            }
            result.modelCode = code;
            result.starterTypePresent = true;
            break;
        }
        case Section::FlashNo: {
            const QString digits = QString(trimmed).remove(QLatin1Char(' '));
            if (digits.size() >= kFirmwareLineLimit) {
                prompts.error({}, QString::fromLatin1(kFirmwareLineError));
                return abort(QString::fromLatin1(kFirmwareLineError), lineNumber);
            }
            bool ok = false;
            const int number = digits.toInt(&ok);
            result.firmwareNumber = ok ? number : 0;
            result.firmwarePresent = true;
            break;
        }
        case Section::ControlMode:
            if (upper != QLatin1String("V/F CONTROL") && upper != QLatin1String("VECTOR CONTROL")) {
                prompts.error({}, QString::fromLatin1(kControlModeLineError));
                return abort(QString::fromLatin1(kControlModeLineError), lineNumber);
            }
            break;
        case Section::ProjectName:
            info.ProjectName = line;
            break;
        case Section::UserName:
            info.UserName = line;
            break;
        case Section::Parameters: {
            const auto parsed = ClassifyParameterLine(upper);
            if (parsed.kind == ParsedLine::Kind::Error) {
                if (options.beep)
                    options.beep();
                const QString message = LineErrorMessage(lineNumber);
                if (!prompts.questionOkCancel({}, message, PromptKind::Confirmation))
                    return abort(message, lineNumber);
            } else if (parsed.kind == ParsedLine::Kind::Value && storeValues) {
                const auto found = recordOfKey.constFind(parsed.key);
                if (found != recordOfKey.constEnd())
                    SetPrmValue(table, found.value(), vcDrive, false, parsed.value, selection);
            }
            break;
        }
        }
    }

    if (storeValues) {
        UpdateMotorFlaRange(table, vcDrive, selection);
        for (int n = 1; n <= table.Count(); ++n) {
            const Fixed value = GetPrmValue(table, n, vcDrive);
            const bool inRange =
                value >= GetPrmMinimum(table, n, vcDrive) && value <= GetPrmMaximum(table, n, vcDrive);
            if (inRange || IsPrmOff(table, n, vcDrive))
                continue;
            SetPrmValue(table, n, vcDrive, false, GetPrmValue(table, n, selection.CurrentControlMode), selection);
            if (table[n].MONITOR_ONLY)
                continue;
            const QString message = OutOfRangeMessage(FromStd(table[n].Title));
            if (!prompts.questionOkCancel({}, message, PromptKind::Warning)) {
                result.message = message;
                result.aborted = true;
                return result;
            }
        }
    }

    if (!result.starterTypePresent) {
        result.message = QString::fromLatin1(kStarterTypeMissing);
        prompts.error({}, result.message);
        return result;
    }
    if (!result.firmwarePresent) {
        result.message = QString::fromLatin1(kFirmwareMissing);
        prompts.error({}, result.message);
        return result;
    }
    result.ok = true;
    return result;
}

// ---------------------------------------------------------------------------------------------
// Open

OpenResult OpenProject(const QString& fileName, const ProjectWorkspace& workspace, UserPrompts& prompts,
                       const OpenOptions& options)
{
    OpenResult result;
    auto fail = [&](const FileResult& from) {
        result.message = from.message;
        result.line = from.line;
        return result;
    };

    const LoadOptions loadOptions {options.beep};
    // The header pass reads the information aside: a file that is refused below must leave the
    // open project's information with its values. The value pass refills the real one.
    ProjectInformation headerInfo;
    ProjectWorkspace headerWorkspace = workspace;
    headerWorkspace.info = &headerInfo;
    const LoadResult header = LoadProjectFile(fileName, lmHeader, headerWorkspace, prompts, loadOptions);
    if (!header.ok)
        return fail(header);

    const int flashIndex = header.firmwareNumber == 0 ? 0 : FlashIndexOfNumber(header.firmwareNumber);
    if (flashIndex < 0) {
        result.message = QString::fromLatin1(kFirmwareNotSupported);
        prompts.warning({}, result.message);
        return result;
    }
    if (ModelPositionOfCode(header.modelCode, 0) == 0) {
        result.message = QString::fromLatin1(kModelNotSupported);
        prompts.warning({}, result.message);
        return result;
    }

    // ProjectModified is settled only once the file is known to be usable: a file that stops
    // here must not make the edited project look saved.
    TModifiedFlags* flags = workspace.parameters->ModifiedFlags;
    const bool wasModified = flags != nullptr && flags->ProjectModified;

    TSelectionState& selection = *workspace.selection;
    selection.CurrentModelCode = header.modelCode;
    selection.CurrentFlashIndex = flashIndex;
    selection.CurrentFirmwareVersion = FLASH_TABLE()[static_cast<std::size_t>(flashIndex)].FlashNum;
    const std::string defect = workspace.Rebuild();
    if (!defect.empty()) {
        result.message = FromStd(defect);
        prompts.error({}, result.message);
        return result;
    }
    result.selectionChanged = true;
    if (options.selectionApplied)
        options.selectionApplied(selection);

    const LoadResult values = LoadProjectFile(fileName, lmValues, workspace, prompts, loadOptions);
    if (flags != nullptr)
        flags->ProjectModified = options.kind == OpenKind::Backup && wasModified;
    if (!values.ok)
        return fail(values);

    AdoptReceivedValues(*workspace.parameters, selection);
    // The working values now are the file's: an opened project is unmodified, a backup keeps the
    // state the project had.
    if (flags != nullptr)
        flags->ProjectModified = options.kind == OpenKind::Backup && wasModified;
    const QString prefix =
        QString::fromLatin1(options.kind == OpenKind::Backup ? kBackupCaptionPrefix : kProjectCaptionPrefix);
    result.caption = prefix + QFileInfo(fileName).fileName();
    result.ok = true;
    return result;
}

}  // namespace rv8::files
