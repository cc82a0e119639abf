#include "files/UserInfo.h"

#include <QRegularExpression>

namespace rv8::files {

ProjectInformation PROJECT_INFORMATION;

void ProjectInformation::Clear()
{
    ProjectName.clear();
    UserName.clear();
    for (QString& line : InfoLines)
        line.clear();
}

void ProjectInformation::SetInfoLines(const QStringList& lines)
{
    for (int i = 0; i < kInfoLineCount; ++i)
        InfoLines[static_cast<std::size_t>(i)] = i < lines.size() ? lines[i].left(kInfoLineLength) : QString();
}

QStringList ProjectInformation::TextLines() const
{
    int last = -1;
    for (int i = 0; i < kInfoLineCount; ++i)
        if (!InfoLines[static_cast<std::size_t>(i)].trimmed().isEmpty())
            last = i;
    QStringList lines;
    for (int i = 0; i <= last; ++i)
        lines << InfoLines[static_cast<std::size_t>(i)];
    return lines;
}

void UserInfoForm::Show(const ProjectInformation& info, Use use)
{
    m_use = use;
    m_result = Result::Cancelled;
    ProjectNameText = info.ProjectName;
    UserNameText = info.UserName;
    // The 20 lines without the blank ones at the end: storing them back gives the same lines.
    SetMemoText(info.TextLines().join(QLatin1Char('\n')));
}

void UserInfoForm::SetMemoText(const QString& text) { m_memo = text.left(kInfoMemoLimit); }

QStringList UserInfoForm::MemoLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    return text.split(lineEnd);
}

void UserInfoForm::store(ProjectInformation& info)
{
    info.SetInfoLines(MemoLines(m_memo));
    info.ProjectName = ProjectNameText;
    info.UserName = UserNameText;
    m_result = Result::Accepted;
}

void UserInfoForm::Accept(ProjectInformation& info) { store(info); }

void UserInfoForm::Close(ProjectInformation& info) { store(info); }

void UserInfoForm::Cancel() { m_result = Result::Cancelled; }

}  // namespace rv8::files
