#pragma once
// The project information that travels with a project file (project name, user name and up to
// 20 lines of free text), and the headless model of the "Project Information" dialog.
//
// The window (app/UserInfoDialog.h) shows a UserInfoForm; the command line fills one from its
// flags. Either way the information only changes through Accept or Close, so what a project file
// carries is always what the user confirmed.

#include <QString>
#include <QStringList>

#include <array>

namespace rv8::files {

inline constexpr int kInfoLineCount = 20;    // lines of information text kept
inline constexpr int kInfoLineLength = 80;   // characters per line kept
inline constexpr int kInfoMemoLimit = 1600;  // characters the dialog's memo accepts

struct ProjectInformation {
    QString ProjectName;
    QString UserName;
    // INFO_REC lines: always 20, each at most 80 characters; unused lines are empty.
    std::array<QString, kInfoLineCount> InfoLines {};

    void Clear();
    // Stores the first 20 of `lines`, each cut to 80 characters, and clears the rest.
    void SetInfoLines(const QStringList& lines);
    // The information text as lines: InfoLines up to the last one that is not blank (blank lines
    // in between are kept). Empty when every line is blank.
    QStringList TextLines() const;

    bool operator==(const ProjectInformation&) const = default;
};

// The program's project information: lives for the whole run, cleared by New, cleared and
// refilled by every project load.
extern ProjectInformation PROJECT_INFORMATION;

// The "Project Information" dialog without its window: two edit texts, the memo text and the
// result of one showing.
class UserInfoForm {
public:
    enum class Use { Edit, ViewOnly };  // Accept/Cancel, or Close alone
    enum class Result { Cancelled, Accepted };

    // On show: fills the edits and the memo from `info`; the showing counts as cancelled until a
    // button says otherwise.
    void Show(const ProjectInformation& info, Use use = Use::Edit);

    QString ProjectNameText;
    QString UserNameText;
    const QString& MemoText() const { return m_memo; }
    // The memo holds at most kInfoMemoLimit characters; longer text is cut.
    void SetMemoText(const QString& text);

    // Accept and Close store the edits and the first 20 memo lines into `info`. Cancel stores
    // nothing.
    void Accept(ProjectInformation& info);
    void Close(ProjectInformation& info);
    void Cancel();

    Use CurrentUse() const { return m_use; }
    Result CurrentResult() const { return m_result; }
    bool Accepted() const { return m_result == Result::Accepted; }

    // The memo's lines as the information keeps them (line ends CR LF, LF or CR).
    static QStringList MemoLines(const QString& text);

private:
    void store(ProjectInformation& info);

    QString m_memo;
    Use m_use = Use::Edit;
    Result m_result = Result::Cancelled;
};

}  // namespace rv8::files
