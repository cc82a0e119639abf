// "Project Information" driven as the user drives it: Accept and Close store the fields, Cancel
// and Esc store nothing, the view-only use shows Close alone, the memo keeps 1600 characters and
// the information keeps 20 lines of 80.
#include "app/UserInfoDialog.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace rv8;
using app::TUserInformation;
using files::ProjectInformation;

namespace {

ProjectInformation Sample()
{
    ProjectInformation info;
    info.ProjectName = QStringLiteral("Pumpwerk Süd");
    info.UserName = QStringLiteral("Jürgen Müller");
    info.SetInfoLines({QStringLiteral("first"), QString(), QStringLiteral("third")});
    return info;
}

TEST(UserInfoDialog, ShowsTheInformationAndCountsAsCancelledUntilAButtonSaysOtherwise)
{
    ProjectInformation info = Sample();
    TUserInformation dialog(info);
    dialog.Prepare();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Project Information"));
    EXPECT_EQ(dialog.ProjectNameEdit()->text(), info.ProjectName);
    EXPECT_EQ(dialog.UserNameEdit()->text(), info.UserName);
    EXPECT_EQ(dialog.InformationMemo()->toPlainText(), QStringLiteral("first\n\nthird"));
    EXPECT_FALSE(dialog.Accepted());
    EXPECT_FALSE(dialog.AcceptButton()->isHidden());
    EXPECT_FALSE(dialog.CancelButton()->isHidden());
    EXPECT_TRUE(dialog.CloseButton()->isHidden());
    EXPECT_EQ(dialog.AcceptButton()->toolTip(), QStringLiteral("Accept user information"));
    EXPECT_EQ(dialog.CancelButton()->toolTip(), QStringLiteral("Discard changes"));
    EXPECT_EQ(dialog.CloseButton()->toolTip(), QStringLiteral("Close user information screen"));
}

TEST(UserInfoDialog, ButtonsStoreOrDiscard)
{
    struct Row {
        const char* name;
        TUserInformation::Use use;
        QPushButton* (TUserInformation::*button)() const;  // nullptr: Esc
        bool stores;
    };
    const Row rows[] = {
        {"Accept stores", TUserInformation::Use::Edit, &TUserInformation::AcceptButton, true},
        {"Cancel discards", TUserInformation::Use::Edit, &TUserInformation::CancelButton, false},
        {"Esc discards", TUserInformation::Use::Edit, nullptr, false},
        {"Close of the view-only use stores", TUserInformation::Use::ViewOnly, &TUserInformation::CloseButton, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ProjectInformation info = Sample();
        const ProjectInformation before = info;
        TUserInformation dialog(info);
        bool result = !row.stores;
        QTimer::singleShot(0, &dialog, [&] {
            dialog.ProjectNameEdit()->setText(QStringLiteral("New name"));
            dialog.UserNameEdit()->setText(QStringLiteral("New user"));
            dialog.InformationMemo()->setPlainText(QStringLiteral("a\nb"));
            if (row.button)
                QTest::mouseClick((dialog.*row.button)(), Qt::LeftButton);
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        result = dialog.ShowModal(row.use);
        EXPECT_EQ(result, row.stores);
        EXPECT_FALSE(dialog.isVisible());
        if (row.stores) {
            EXPECT_EQ(info.ProjectName, QStringLiteral("New name"));
            EXPECT_EQ(info.UserName, QStringLiteral("New user"));
            EXPECT_EQ(info.TextLines(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
            EXPECT_TRUE(info.InfoLines[2].isEmpty()) << "the lines after the memo's are cleared";
        } else {
            EXPECT_EQ(info, before);
        }
    }
}

TEST(UserInfoDialog, MemoKeeps1600CharactersAndTheInformationTwentyLinesOfEighty)
{
    ProjectInformation info;
    TUserInformation dialog(info);
    dialog.Prepare();
    QString text;
    for (int i = 0; i < 30; ++i)
        text += QString::number(i % 10).repeated(100) + QLatin1Char('\n');
    dialog.InformationMemo()->setPlainText(text);
    EXPECT_EQ(dialog.InformationMemo()->toPlainText().size(), files::kInfoMemoLimit);
    QTest::mouseClick(dialog.AcceptButton(), Qt::LeftButton);
    ASSERT_TRUE(dialog.Accepted());
    // 1600 characters are 15 lines of 101 and 85 characters of the 16th; each is cut to 80.
    for (int i = 0; i < files::kInfoLineCount; ++i) {
        const QString& line = info.InfoLines[static_cast<std::size_t>(i)];
        if (i <= 15)
            EXPECT_EQ(line, QString::number(i % 10).repeated(80)) << i;
        else
            EXPECT_TRUE(line.isEmpty()) << i;
    }
}

TEST(UserInfoForm, KeepsTheFirstTwentyMemoLinesCutToEighty)
{
    ProjectInformation info;
    files::UserInfoForm form;
    form.Show(info);
    QStringList lines {QString(100, QLatin1Char('x'))};
    for (int i = 1; i < 25; ++i)
        lines << QStringLiteral("L%1").arg(i);
    form.SetMemoText(lines.join(QStringLiteral("\r\n")));
    form.ProjectNameText = QStringLiteral("P");
    form.Cancel();
    EXPECT_EQ(info, ProjectInformation());
    form.Accept(info);
    EXPECT_TRUE(form.Accepted());
    EXPECT_EQ(info.ProjectName, QStringLiteral("P"));
    EXPECT_EQ(info.InfoLines[0], QString(80, QLatin1Char('x')));
    EXPECT_EQ(info.InfoLines[19], QStringLiteral("L19"));
    EXPECT_EQ(info.TextLines().size(), files::kInfoLineCount);
}

}  // namespace
