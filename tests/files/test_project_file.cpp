// Project files: the exact bytes the writer produces, round trips through the open sequence
// across models and firmware versions, the reader's rules and messages, files from other
// programs, the list warnings of the writer, and saves that fail without harming the old file.
#include "files/ProjectFile.h"

#include "param/Catalogue.h"
#include "param/Models.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#if defined(__unix__)
#include <sys/resource.h>
#endif

using namespace rv8;
using namespace rv8::param;
using comm::PromptAnswer;
using comm::PromptButtons;
using comm::PromptKind;
using comm::ScriptedPrompts;
using files::ProjectWorkspace;

namespace {

// A catalogue of its own for one model and firmware, with its own information and flags.
struct Workspace {
    PrmTable parameters {kMaxParameters};
    PrmTable signalTable {kMaxSignals};
    TSelectionState selection;
    files::ProjectInformation info;
    TModifiedFlags flags;

    Workspace(std::int32_t modelCode, int firmwareNumber)
    {
        parameters.ModifiedFlags = &flags;
        signalTable.ModifiedFlags = &flags;
        select(modelCode, firmwareNumber);
        // Built twice, as the program does at start: the first build leaves the starter column
        // empty, every later one fills it with the defaults.
        EXPECT_EQ(BuildCatalogue(parameters, signalTable, selection, true), "");
        EXPECT_EQ(BuildCatalogue(parameters, signalTable, selection, false), "");
    }

    void select(std::int32_t modelCode, int firmwareNumber)
    {
        selection.CurrentModelCode = modelCode;
        selection.CurrentFlashIndex = FlashIndexOfNumber(firmwareNumber);
        selection.CurrentFirmwareVersion = static_cast<std::uint16_t>(firmwareNumber);
    }

    ProjectWorkspace view() { return {&parameters, &signalTable, &selection, &info, {}}; }

    int number(const std::string& fno) const
    {
        for (int n = 1; n <= parameters.Count(); ++n)
            if (parameters[n].PARAMETER_ID == fno)
                return n;
        ADD_FAILURE() << "no parameter " << fno;
        return 0;
    }
    Fixed working(const std::string& fno) const { return GetPrmValue(parameters, number(fno), vcMode1); }
    Fixed drive(const std::string& fno) const { return GetPrmValue(parameters, number(fno), vcDrive); }
    void setWorking(const std::string& fno, Fixed v) { SetPrmValue(parameters, number(fno), vcMode1, false, v, selection); }
};

QString DataPath(const char* name) { return QStringLiteral(RV8_SOURCE_DIR "/tests/files/data/") + name; }

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

std::vector<QString> Texts(const ScriptedPrompts& prompts)
{
    std::vector<QString> texts;
    for (const auto& r : prompts.asked())
        texts.push_back(r.prompt.text);
    return texts;
}

files::SaveOptions FixedDate()
{
    files::SaveOptions options;
    options.today = [] { return QDate(2026, 12, 11); };
    options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return options;
}

// A valid file head for RV8-150 with firmware 401, CR LF line ends.
QByteArray Head(const char* model = "RV8-150", const char* firmware = "401")
{
    return QByteArray("[FILE INFO]\r\n\r\nFILE TYPE  : RV Series FILE 1.2.0.3\r\nDATE       : 12/11/26\r\n\r\n"
                      "[STARTER TYPE]\r\n\r\n") +
           model + "\r\n\r\n[FLASH NO.]\r\n\r\n" + firmware + "\r\n\r\n[PARAMETERS RV8 TOOL]\r\n\r\n";
}

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

// ---------------------------------------------------------------------------------------------
// Writer

TEST_F(ProjectFileTest, SavedFileMatchesTheDocumentedLayoutByteForByte)
{
    Workspace ws(150, 401);
    ws.setWorking("F001", Fx(120));
    ws.setWorking("F002", Fx(115));
    ws.setWorking("F010", Fx(2));
    ws.setWorking("F023", Fx(1.5));
    ws.info.ProjectName = QStringLiteral("Pumpwerk Süd");
    ws.info.UserName = QStringLiteral("Jürgen Müller");
    ws.info.SetInfoLines({QStringLiteral("Soft starter for pump 3"), QString(),
                          QStringLiteral("Größe: 150 A, Kick Time 1.5 s")});

    ScriptedPrompts prompts;
    prompts.then(PromptAnswer::Yes);
    int dialogShown = 0;
    auto options = FixedDate();
    options.editInformation = [&](files::ProjectInformation&) { return ++dialogShown > 0; };
    const QString file = path("golden.RV8Proj");
    const auto result = files::SaveProjectFile(file, ws.view(), prompts, options);

    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(dialogShown, 1);
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].prompt.text, QString::fromLatin1(files::kAskInformationBeforeSave));
    EXPECT_EQ(prompts.asked()[0].prompt.buttons, PromptButtons::YesNo);
    const QByteArray written = ReadBytes(file);
    const QByteArray golden = ReadBytes(DataPath("RV8-150_401.RV8Proj"));
    EXPECT_EQ(written, golden);
    // The names are single Windows-1252 bytes, as Western Windows writes them.
    EXPECT_TRUE(written.contains("J\xFCrgen M\xFCller\r\n"));
}

TEST_F(ProjectFileTest, LayoutExamplesOfTheParameterLines)
{
    Workspace ws(150, 401);
    ws.setWorking("F001", Fx(75));
    ws.setWorking("F010", Fx(1));
    ScriptedPrompts prompts;
    const QString fla = files::ParameterLine(ws.parameters, ws.number("F001"), prompts, ws.selection);
    const QString ramp = files::ParameterLine(ws.parameters, ws.number("F010"), prompts, ws.selection);
    // The value field ends at column 26, units take 7 columns, list titles 30.
    EXPECT_EQ(fla, QStringLiteral("F001=75;") + QString(18, ' ') + "A." + QString(5, ' ') + "Motor FLA");
    EXPECT_EQ(ramp, QStringLiteral("F010=1;") + QString(19, ' ') + QString(7, ' ') + "Ramp Select" +
                        QString(19, ' ') + " - VR1-VR2");
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(ProjectFileTest, InformationSectionsOnlyWhenConfirmed)
{
    struct Row {
        const char* name;
        PromptAnswer answer;     // to the information question
        bool dialogAccepts;      // the dialog's result when shown
        bool expectInformation;
        int expectDialogShown;
    };
    const Row rows[] = {
        {"No: not written although information was loaded", PromptAnswer::No, true, false, 0},
        {"Yes, dialog cancelled", PromptAnswer::Yes, false, false, 1},
        {"Yes, dialog accepted", PromptAnswer::Yes, true, true, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Workspace ws(150, 401);
        ws.info.ProjectName = QStringLiteral("Loaded project");
        ScriptedPrompts prompts;
        prompts.then(row.answer);
        int shown = 0;
        auto options = FixedDate();
        options.editInformation = [&](files::ProjectInformation& info) {
            ++shown;
            info.UserName = QStringLiteral("Edited");
            return row.dialogAccepts;
        };
        const QString file = path("info.RV8Proj");
        ASSERT_TRUE(files::SaveProjectFile(file, ws.view(), prompts, options).ok);
        const QByteArray bytes = ReadBytes(file);
        EXPECT_EQ(shown, row.expectDialogShown);
        EXPECT_EQ(bytes.contains("[PROJECT NAME]"), row.expectInformation);
        EXPECT_EQ(bytes.contains("[USER NAME]"), row.expectInformation);
        EXPECT_EQ(bytes.contains("[INFO]"), row.expectInformation);
        EXPECT_EQ(bytes.contains("\r\n[PROJECT NAME]\r\nLoaded project\r\n[USER NAME]\r\nEdited\r\n\r\n[INFO]\r\n"),
                  row.expectInformation);
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_FALSE(bytes.contains("\n\n")) << "every line end is CR LF";
    }
}

TEST_F(ProjectFileTest, ListValuesWithoutAnEnabledItemWarnAndWriteUnknownSetting)
{
    Workspace ws(150, 401);
    const int ramp = ws.number("F010");
    std::vector<int> beeps;
    auto beep = [&] { beeps.push_back(1); };

    {
        SCOPED_TRACE("value that no item has");
        ws.setWorking("F010", Fx(7));
        ScriptedPrompts prompts;
        const QString line = files::ParameterLine(ws.parameters, ramp, prompts, ws.selection, beep);
        EXPECT_TRUE(line.endsWith(" - Unknown setting")) << line.toStdString();
        EXPECT_EQ(Texts(prompts), std::vector<QString>{QStringLiteral("Parameter setting 7 not found for Ramp Select")});
        EXPECT_EQ(prompts.asked()[0].prompt.kind, PromptKind::Warning);
        EXPECT_EQ(beeps.size(), 1u);
    }
    {
        SCOPED_TRACE("item disabled for the working column");
        beeps.clear();
        ws.setWorking("F010", Fx(2));
        ws.parameters[ramp].ValueSTR.ENABLE_A[1][0] = false;  // item 2 "CR1-CR2"
        ScriptedPrompts prompts;
        const QString line = files::ParameterLine(ws.parameters, ramp, prompts, ws.selection, beep);
        EXPECT_TRUE(line.endsWith(" - Unknown setting")) << line.toStdString();
        EXPECT_EQ(Texts(prompts), (std::vector<QString>{QStringLiteral("Parameter Setting Disabled: F010, #10"),
                                                        QStringLiteral("Parameter setting 2 not found for Ramp Select")}));
        EXPECT_EQ(beeps.size(), 2u);
    }
}

TEST_F(ProjectFileTest, OnlyParametersOfTheFirmwareThatAreNotReadOnlyAreSaved)
{
    Workspace ws(150, 401);
    ScriptedPrompts prompts;
    const QByteArray text = files::ProjectFileText(ws.view(), false, QStringLiteral("x"), prompts);
    int lines = 0;
    for (int n = 1; n <= ws.parameters.Count(); ++n) {
        const PRM_REC& r = ws.parameters[n];
        const bool saved = !r.MONITOR_ONLY && IsInFirmware(ws.parameters, n, ws.selection);
        EXPECT_EQ(text.contains("\r\n" + QByteArray::fromStdString(r.SaveId) + "="), saved) << r.SaveId;
        lines += saved ? 1 : 0;
    }
    EXPECT_GT(lines, 50);
    EXPECT_FALSE(text.contains("F072=")) << "the factory password is read-only";
}

// ---------------------------------------------------------------------------------------------
// Round trips

// Every saved parameter at its minimum or maximum (lists at their first or last item), then the
// Motor FLA range recomputed as the program does after such a change.
void SetExtremes(Workspace& ws)
{
    for (int n = 1; n <= ws.parameters.Count(); ++n) {
        if (!files::IsSavedParameter(ws.parameters, n, ws.selection))
            continue;
        PRM_REC& r = ws.parameters[n];
        Fixed v;
        if (IsListEditType(r.EDIT_TYPE)) {
            ASSERT_GT(r.ValueSTR.TOTAL, 0) << r.SaveId;
            v = Fx(static_cast<int>(r.ValueSTR.TRVALUE[n % 2 ? 0 : static_cast<std::size_t>(r.ValueSTR.TOTAL - 1)]));
        } else {
            v = n % 2 ? GetPrmMinimum(ws.parameters, n, vcMode1) : GetPrmMaximum(ws.parameters, n, vcMode1);
        }
        SetPrmValue(ws.parameters, n, vcMode1, true, v, ws.selection);
    }
    UpdateMotorFlaRange(ws.parameters, vcMode1, ws.selection);
}

TEST_F(ProjectFileTest, RoundTripAcrossModelsAndFirmwareVersions)
{
    const std::int32_t models[] = {0, 18, 150, 1250};
    const int firmware[] = {0, 130, 300, 401};
    for (std::int32_t model : models) {
        for (int fw : firmware) {
            SCOPED_TRACE("model " + std::to_string(model) + ", firmware " + std::to_string(fw));
            Workspace source(model, fw);
            SetExtremes(source);
            source.info.ProjectName = QStringLiteral("Straße 7");
            source.info.UserName = QStringLiteral("Müller");
            source.info.SetInfoLines({QStringLiteral("line 1"), QStringLiteral("Ærø"), QString(80, 'x')});
            ScriptedPrompts saveAnswers(ScriptedPrompts::Policy::Affirm);
            const QString file = path("trip.RV8Proj");
            ASSERT_TRUE(files::SaveProjectFile(file, source.view(), saveAnswers, FixedDate()).ok);

            // Opened into a program that had a different selection and an edited project.
            Workspace target(model == 150 ? 18 : 150, fw == 401 ? 0 : 401);
            target.flags.ProjectModified = true;
            ScriptedPrompts openAnswers;
            const auto opened = files::OpenProject(file, target.view(), openAnswers);
            ASSERT_TRUE(opened.ok) << opened.message.toStdString();
            EXPECT_TRUE(openAnswers.asked().empty()) << openAnswers.asked().front().prompt.text.toStdString();
            EXPECT_EQ(opened.caption, QStringLiteral("RV8 Series Tool Software: trip.RV8Proj"));
            EXPECT_EQ(target.selection.CurrentModelCode, model);
            EXPECT_EQ(target.selection.CurrentFirmwareVersion, fw);
            EXPECT_EQ(target.selection.CurrentFlashIndex, FlashIndexOfNumber(fw));
            EXPECT_FALSE(target.flags.ProjectModified);
            EXPECT_EQ(target.info, source.info);
            ASSERT_EQ(target.parameters.Count(), source.parameters.Count());
            for (int n = 1; n <= source.parameters.Count(); ++n) {
                if (!files::IsSavedParameter(source.parameters, n, source.selection))
                    continue;
                EXPECT_EQ(GetPrmValue(target.parameters, n, vcMode1), GetPrmValue(source.parameters, n, vcMode1))
                    << source.parameters[n].SaveId;
            }
            // Saved again, the file is the same.
            ScriptedPrompts again(ScriptedPrompts::Policy::Affirm);
            const QString second = path("trip2.RV8Proj");
            ASSERT_TRUE(files::SaveProjectFile(second, target.view(), again, FixedDate()).ok);
            EXPECT_EQ(ReadBytes(second), ReadBytes(file));
        }
    }
}

TEST_F(ProjectFileTest, GoldenFileOpensWithItsValuesAndLatin1Names)
{
    Workspace ws(0, 0);
    ScriptedPrompts prompts;
    const auto opened = files::OpenProject(DataPath("RV8-150_401.RV8Proj"), ws.view(), prompts);
    ASSERT_TRUE(opened.ok) << opened.message.toStdString();
    EXPECT_EQ(ws.selection.CurrentModelCode, 150);
    EXPECT_EQ(ws.selection.CurrentFirmwareVersion, 401);
    EXPECT_EQ(ws.working("F001"), Fx(120));
    EXPECT_EQ(ws.working("F002"), Fx(115));
    EXPECT_EQ(ws.working("F010"), Fx(2));
    EXPECT_EQ(ws.working("F023"), Fx(1.5));
    EXPECT_EQ(ws.working("F106"), Fx(0.5));
    EXPECT_EQ(ws.info.ProjectName, QStringLiteral("Pumpwerk Süd"));
    EXPECT_EQ(ws.info.UserName, QStringLiteral("Jürgen Müller"));
    EXPECT_EQ(ws.info.InfoLines[2], QStringLiteral("Größe: 150 A, Kick Time 1.5 s"));
}

TEST_F(ProjectFileTest, BackupOpenKeepsProjectModifiedAndUsesTheShortCaption)
{
    for (bool modifiedBefore : {false, true}) {
        SCOPED_TRACE(modifiedBefore ? "modified before" : "unmodified before");
        Workspace ws(150, 401);
        ws.flags.ProjectModified = modifiedBefore;
        ScriptedPrompts prompts;
        files::OpenOptions options;
        options.kind = files::OpenKind::Backup;
        const auto opened = files::OpenProject(DataPath("RV8-150_401.RV8Proj"), ws.view(), prompts, options);
        ASSERT_TRUE(opened.ok);
        EXPECT_EQ(opened.caption, QStringLiteral("RV8 Software: RV8-150_401.RV8Proj"));
        EXPECT_EQ(ws.flags.ProjectModified, modifiedBefore);
        EXPECT_EQ(ws.working("F001"), Fx(120));
    }
}

// ---------------------------------------------------------------------------------------------
// Reader rules and messages

struct ReaderRow {
    const char* name;
    QByteArray file;
    std::vector<PromptAnswer> answers;
    bool ok;
    std::vector<QString> messages;  // every prompt, in order
    int line;                        // line named by the result
    const char* fno;                 // a parameter whose vcDrive value is checked, or nullptr
    double drive;
};

TEST_F(ProjectFileTest, ReaderRulesAndMessages)
{
    const QString lineError23 = QStringLiteral("Error in line: 17.");
    // Head() is 15 lines; the parameter lines start at line 16.
    const std::vector<ReaderRow> rows = {
        {"valid file", Head() + "F001=100;\r\nF023=0.8;\r\n", {}, true, {}, 0, "F023", 0.8},
        {"kick time with a space after the colon is an error, OK goes on", Head() + "F001=100;\r\nF023: 0.8;\r\nF013=20;\r\n",
         {PromptAnswer::Ok}, true, {lineError23}, 0, "F013", 20},
        {"error line with Cancel aborts there", Head() + "F001=100;\r\nF023: 0.8;\r\nF013=20;\r\n",
         {PromptAnswer::Cancel}, false, {lineError23}, 17, "F013", 10},
        {"no semicolon is an error", Head() + "F001=100;\r\nF023=0.8\r\n", {PromptAnswer::Cancel}, false,
         {lineError23}, 17, "F023", 0.8},
        {"semicolon beyond 30 characters is an error", Head() + "F001=100;\r\nF023=0.8000000000000000000000000;\r\n",
         {PromptAnswer::Ok}, true, {lineError23}, 0, "F023", 0.8},
        {"empty value is an error", Head() + "F001=100;\r\nF023=;\r\n", {PromptAnswer::Ok}, true, {lineError23}, 0,
         "F001", 100},
        {"two points are an error", Head() + "F001=100;\r\nF023=0.8.1;\r\n", {PromptAnswer::Ok}, true, {lineError23}, 0,
         "F023", 0.8},
        {"short lines and lines starting with a separator are skipped",
         Head() + "F1\r\n=F001=1;\r\n:x\r\nF023=1.2;\r\n", {}, true, {}, 0, "F023", 1.2},
        {"parameters before the firmware abort and load nothing",
         QByteArray("[STARTER TYPE]\r\nRV8-150\r\n[PARAMETERS RV8 TOOL]\r\nF023=1.2;\r\n[FLASH NO.]\r\n401\r\n"), {},
         false, {QString::fromLatin1(files::kFirmwareBeforeParameters)}, 3, "F023", 0.8},
        {"parameters before both give both messages", QByteArray("[FILE INFO]\r\n[PARAMETERS RV8 TOOL]\r\nF023=1.2;\r\n"),
         {}, false,
         {QString::fromLatin1(files::kFirmwareBeforeParameters), QString::fromLatin1(files::kStarterTypeBeforeParameters)},
         2, "F023", 0.8},
        {"unknown model", Head("RV8-999"), {}, false, {QString::fromLatin1(files::kStarterTypeLineError)}, 8, nullptr, 0},
        {"firmware line of seven characters", Head("RV8-150", "40 10 000"), {}, false,
         {QString::fromLatin1(files::kFirmwareLineError)}, 12, nullptr, 0},
        {"firmware line of six characters is a number", Head("RV8-150", "4 0 1") + "F023=1.1;\r\n", {}, true, {}, 0,
         "F023", 1.1},
        {"old control mode section is accepted",
         QByteArray("[CONTROL MODE]\r\nv/f control\r\n") + Head() + "F023=1.1;\r\n", {}, true, {}, 0, "F023", 1.1},
        {"unknown control mode", QByteArray("[CONTROL MODE]\r\nDTC CONTROL\r\n") + Head(), {}, false,
         {QString::fromLatin1(files::kControlModeLineError)}, 2, nullptr, 0},
        {"starter type missing", QByteArray("[FLASH NO.]\r\n401\r\n"), {}, false,
         {QString::fromLatin1(files::kStarterTypeMissing)}, 0, nullptr, 0},
        {"firmware missing", QByteArray("[STARTER TYPE]\r\nRV8-150\r\n"), {}, false,
         {QString::fromLatin1(files::kFirmwareMissing)}, 0, nullptr, 0},
        {"value out of range replaced by the working value, OK", Head() + "F029=700;\r\nF023=1.1;\r\n",
         {PromptAnswer::Ok}, true,
         {QStringLiteral("Parameter \"Voltage Input\" out of range.\n\nParameter will be skipped.")}, 0, "F029", 480},
        {"value out of range, Cancel fails the load", Head() + "F029=700;\r\n", {PromptAnswer::Cancel}, false,
         {QStringLiteral("Parameter \"Voltage Input\" out of range.\n\nParameter will be skipped.")}, 0, "F029", 480},
        {"the Off value is in range", Head() + "F022=0;\r\n", {}, true, {}, 0, "F022", 0},
        {"unknown keys are skipped, keys match without regard to case", Head() + "F999=5;\r\nf023=1.3;\r\n", {}, true, {},
         0, "F023", 1.3},
    };
    for (const ReaderRow& row : rows) {
        SCOPED_TRACE(row.name);
        Workspace ws(150, 401);
        const QString file = path("reader.RV8Proj");
        WriteBytes(file, row.file);
        ScriptedPrompts prompts;
        for (PromptAnswer a : row.answers)
            prompts.then(a);
        const auto result = files::LoadProjectFile(file, files::lmValues, ws.view(), prompts);
        EXPECT_EQ(result.ok, row.ok) << result.message.toStdString();
        EXPECT_EQ(Texts(prompts), row.messages);
        EXPECT_EQ(prompts.pending(), 0u);
        EXPECT_EQ(prompts.scriptErrors(), 0);
        EXPECT_EQ(result.line, row.line);
        if (!row.ok && !row.messages.empty()) {
            EXPECT_EQ(result.message, row.messages.back());
        }
        if (row.fno) {
            EXPECT_EQ(ws.drive(row.fno), Fixed::FromDouble(row.drive)) << row.fno;
        }
        // The reader never touches the working values.
        EXPECT_EQ(ws.working("F023"), Fx(0.8));
    }
}

TEST_F(ProjectFileTest, HeaderPassChecksLinesWithoutStoringValues)
{
    Workspace ws(150, 401);
    const QString file = path("header.RV8Proj");
    WriteBytes(file, Head("RV8-18", "130") + "F023=1.9;\r\nF023=x;\r\n");
    ScriptedPrompts prompts;
    prompts.then(PromptAnswer::Ok);
    const auto result = files::LoadProjectFile(file, files::lmHeader, ws.view(), prompts);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.modelCode, 18);
    EXPECT_EQ(result.firmwareNumber, 130);
    EXPECT_EQ(Texts(prompts), std::vector<QString>{QStringLiteral("Error in line: 17.")});
    EXPECT_EQ(ws.drive("F023"), Fx(0.8));
}

TEST_F(ProjectFileTest, InformationSectionKeepsTwentyLinesOfEightyCharacters)
{
    Workspace ws(150, 401);
    QByteArray file = Head() + "F023=1.1;\r\n\r\n[PROJECT NAME]\r\n  Name with blanks \r\n\r\n[USER NAME]\r\nfirst\r\nlast\r\n"
                               "[INFO]\r\n";
    for (int i = 1; i <= 25; ++i)
        file += QByteArray::number(i) + QByteArray(100, 'a') + "\r\n";
    WriteBytes(path("info.RV8Proj"), file);
    ws.info.InfoLines[0] = QStringLiteral("old");
    ScriptedPrompts prompts;
    ASSERT_TRUE(files::LoadProjectFile(path("info.RV8Proj"), files::lmHeader, ws.view(), prompts).ok);
    EXPECT_EQ(ws.info.ProjectName, QStringLiteral("  Name with blanks "));
    EXPECT_EQ(ws.info.UserName, QStringLiteral("last"));
    for (int i = 0; i < files::kInfoLineCount; ++i)
        EXPECT_EQ(ws.info.InfoLines[static_cast<std::size_t>(i)],
                  (QByteArray::number(i + 1) + QByteArray(100, 'a')).left(80));
}

TEST_F(ProjectFileTest, FileThatCannotBeReadSaysSo)
{
    Workspace ws(150, 401);
    ws.info.ProjectName = QStringLiteral("kept?");
    ScriptedPrompts prompts;
    const auto result = files::LoadProjectFile(path("missing.RV8Proj"), files::lmValues, ws.view(), prompts);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(Texts(prompts), std::vector<QString>{QStringLiteral("Unable to open file for read access.")});
    EXPECT_EQ(prompts.asked()[0].prompt.kind, PromptKind::Error);
    EXPECT_TRUE(ws.info.ProjectName.isEmpty()) << "the information is cleared before reading";
}

TEST_F(ProjectFileTest, FileFromAnotherProgramWithOtherSpacingAndLowerCaseKeys)
{
    // LF line ends, lower-case headers and keys, no blank lines, indented lines, tabs, no padding,
    // other text after the semicolon, keys out of table order, a blank between key and "=".
    const QByteArray file = "; written by a script\n"
                            "[file info]\n"
                            "file type: something else\n"
                            "  [starter type]  \n"
                            "\trv8-112\t\n"
                            "[flash no.]\n"
                            " 3 0 0 \n"
                            "[parameters rv8 tool]\n"
                            "f023=1.7;\n"
                            "   f001=100;A. Motor FLA\n"
                            "F010=3;whatever\n"
                            "f013 =25;\n"
                            "\tf029=415;\t\tV.\n"
                            "[project name]\n"
                            "Caf\xE9\n"
                            "[user name]\n"
                            "\n"
                            "Op\n";
    WriteBytes(path("other.RV8Proj"), file);
    Workspace ws(150, 401);
    ScriptedPrompts prompts;
    const auto opened = files::OpenProject(path("other.RV8Proj"), ws.view(), prompts);
    ASSERT_TRUE(opened.ok) << opened.message.toStdString();
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(ws.selection.CurrentModelCode, 112);
    EXPECT_EQ(ws.selection.CurrentFirmwareVersion, 300);
    EXPECT_EQ(ws.working("F023"), Fx(1.7));
    EXPECT_EQ(ws.working("F001"), Fx(100));
    EXPECT_EQ(ws.working("F010"), Fx(3));
    EXPECT_EQ(ws.working("F013"), Fx(25));
    EXPECT_EQ(ws.working("F029"), Fx(415));
    EXPECT_EQ(ws.info.ProjectName, QStringLiteral("Café"));
    EXPECT_EQ(ws.info.UserName, QStringLiteral("Op"));
}

TEST_F(ProjectFileTest, FileSavedAsUtf8WithItsByteOrderMarkKeepsItsNames)
{
    WriteBytes(path("utf8.RV8Proj"), "\xEF\xBB\xBF" + Head() + "F023=1.1;\r\n[USER NAME]\r\nJ\xC3\xBCrgen M\xC3\xBCller\r\n");
    Workspace ws(150, 401);
    ScriptedPrompts prompts;
    ASSERT_TRUE(files::OpenProject(path("utf8.RV8Proj"), ws.view(), prompts).ok);
    EXPECT_EQ(ws.info.UserName, QStringLiteral("Jürgen Müller"));
    EXPECT_EQ(ws.working("F023"), Fx(1.1));
}

TEST_F(ProjectFileTest, MotorFlaRangeFollowsTheLoadedServiceFactorBeforeTheRangeCheck)
{
    // RV8-150 with service factor 1.30: FLA range Round(150 x 0.5 / 1.3) = 58 .. Round(150 / 1.3) = 115.
    // 60 is below the 1.00 range (75..150) but inside the loaded one, so it loads without warning.
    Workspace ws(150, 401);
    WriteBytes(path("fla.RV8Proj"), Head() + "F001=60;\r\nF002=130;\r\n");
    ScriptedPrompts prompts;
    const auto opened = files::OpenProject(path("fla.RV8Proj"), ws.view(), prompts);
    ASSERT_TRUE(opened.ok) << opened.message.toStdString();
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(ws.working("F001"), Fx(60));
    EXPECT_EQ(GetPrmMinimum(ws.parameters, ws.number("F001"), vcMode1), Fx(58));
    EXPECT_EQ(GetPrmMaximum(ws.parameters, ws.number("F001"), vcMode1), Fx(115));
}

TEST_F(ProjectFileTest, UnsupportedFirmwareStopsTheOpenBeforeAnythingChanges)
{
    Workspace ws(150, 401);
    ws.setWorking("F023", Fx(1.9));
    ws.flags.ProjectModified = true;
    ws.info.ProjectName = QStringLiteral("current");
    WriteBytes(path("fw.RV8Proj"), Head("RV8-18", "136") + "F023=0.3;\r\n");
    ScriptedPrompts prompts;
    const auto opened = files::OpenProject(path("fw.RV8Proj"), ws.view(), prompts);
    EXPECT_FALSE(opened.ok);
    EXPECT_EQ(Texts(prompts), std::vector<QString>{QStringLiteral("Firmware Version not supported by program.")});
    EXPECT_EQ(prompts.asked()[0].prompt.kind, PromptKind::Warning);
    EXPECT_EQ(ws.selection.CurrentModelCode, 150);
    EXPECT_EQ(ws.selection.CurrentFirmwareVersion, 401);
    EXPECT_EQ(ws.working("F023"), Fx(1.9));
    EXPECT_TRUE(ws.flags.ProjectModified) << "the edited project must still ask to be saved";
    EXPECT_EQ(ws.info.ProjectName, QStringLiteral("current")) << "the information stays with its values";
}

TEST_F(ProjectFileTest, BadLineIsAskedInBothPassesOfTheOpen)
{
    Workspace ws(150, 401);
    WriteBytes(path("bad.RV8Proj"), Head() + "F001=100;\r\nF023: 0.8;\r\nF013=20;\r\n");
    ScriptedPrompts prompts;
    prompts.then(PromptAnswer::Ok).then(PromptAnswer::Ok);
    const auto opened = files::OpenProject(path("bad.RV8Proj"), ws.view(), prompts);
    ASSERT_TRUE(opened.ok);
    EXPECT_EQ(Texts(prompts), (std::vector<QString>{QStringLiteral("Error in line: 17."), QStringLiteral("Error in line: 17.")}));
    EXPECT_EQ(ws.working("F013"), Fx(20));
}

// ---------------------------------------------------------------------------------------------
// Saves that fail

TEST_F(ProjectFileTest, FileThatCannotBeCreatedSaysSoAndWritesNothing)
{
    Workspace ws(150, 401);
    ScriptedPrompts prompts;
    const QString file = path("no/such/folder/x.RV8Proj");
    const auto result = files::SaveProjectFile(file, ws.view(), prompts, FixedDate());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, QStringLiteral("Unable to open file for write access."));
    ASSERT_EQ(prompts.asked().size(), 2u);
    EXPECT_EQ(prompts.asked()[1].prompt.text, result.message);
    EXPECT_FALSE(QFile::exists(file));
}

#if defined(__unix__)
// A save that runs out of space half-way (the file size limit stands in for a full disk) reports
// the failure and leaves the previous project file exactly as it was, with no temporary file left.
TEST_F(ProjectFileTest, SaveInterruptedBeforeTheRenameLeavesTheOldFileIntact)
{
    Workspace ws(150, 401);
    const QString file = path("project.RV8Proj");
    const QByteArray old = "[FILE INFO]\r\nthe previous project\r\n";
    WriteBytes(file, old);

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ScriptedPrompts prompts;
    const auto result = files::SaveProjectFile(file, ws.view(), prompts, FixedDate());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.startsWith(QStringLiteral("Unable to save the file"))) << result.message.toStdString();
    ASSERT_FALSE(prompts.asked().empty());
    EXPECT_EQ(prompts.asked().back().prompt.kind, PromptKind::Error);
    EXPECT_EQ(ReadBytes(file), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("project.RV8Proj")});

    // With room again the save replaces the file.
    ScriptedPrompts again;
    ASSERT_TRUE(files::SaveProjectFile(file, ws.view(), again, FixedDate()).ok);
    EXPECT_TRUE(ReadBytes(file).startsWith("[FILE INFO]\r\n\r\nFILE TYPE"));
}
#endif

}  // namespace
