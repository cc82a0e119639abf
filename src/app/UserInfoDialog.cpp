#include "app/UserInfoDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace rv8::app {

TUserInformation::TUserInformation(files::ProjectInformation& info, QWidget* parent)
    : QDialog(parent), m_info(&info)
{
    setWindowTitle(QStringLiteral("Project Information"));
    setObjectName(QStringLiteral("UserInformation"));

    m_projectName = new QLineEdit(this);
    m_projectName->setObjectName(QStringLiteral("ProjectName"));
    m_userName = new QLineEdit(this);
    m_userName->setObjectName(QStringLiteral("UserName"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Information"));
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Lines longer than this are cut when stored; the memo is as wide as such a line.
    m_memo->setMinimumWidth(m_memo->fontMetrics().horizontalAdvance(QString(files::kInfoLineLength, QLatin1Char('M'))) / 2);
    m_memo->setMinimumHeight(m_memo->fontMetrics().lineSpacing() * 12);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Project Name"), m_projectName);
    fields->addRow(QStringLiteral("User Name"), m_userName);
    auto* memoLabel = new QLabel(QStringLiteral("Information"), this);
    memoLabel->setBuddy(m_memo);

    m_accept = new QPushButton(QStringLiteral("Accept"), this);
    m_accept->setToolTip(QStringLiteral("Accept user information"));
    m_accept->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setToolTip(QStringLiteral("Discard changes"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setToolTip(QStringLiteral("Close user information screen"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_accept);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(memoLabel);
    layout->addWidget(m_memo, 1);
    layout->addLayout(buttons);

    connect(m_accept, &QPushButton::clicked, this, &TUserInformation::AcceptClick);
    connect(m_cancel, &QPushButton::clicked, this, &TUserInformation::CancelClick);
    connect(m_close, &QPushButton::clicked, this, &TUserInformation::CloseClick);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TUserInformation::MemoChange);
}

void TUserInformation::Prepare(Use use)
{
    m_form.Show(*m_info, use);
    m_projectName->setText(m_form.ProjectNameText);
    m_userName->setText(m_form.UserNameText);
    {
        const QSignalBlocker block(m_memo);
        m_memo->setPlainText(m_form.MemoText());
    }
    const bool viewOnly = use == Use::ViewOnly;
    m_accept->setVisible(!viewOnly);
    m_cancel->setVisible(!viewOnly);
    m_close->setVisible(viewOnly);
    (viewOnly ? m_close : m_accept)->setDefault(true);
}

bool TUserInformation::ShowModal(Use use)
{
    Prepare(use);
    exec();
    return m_form.Accepted();
}

void TUserInformation::takeFields()
{
    m_form.ProjectNameText = m_projectName->text();
    m_form.UserNameText = m_userName->text();
    m_form.SetMemoText(m_memo->toPlainText());
}

void TUserInformation::AcceptClick()
{
    takeFields();
    m_form.Accept(*m_info);
    accept();
}

void TUserInformation::CancelClick()
{
    m_form.Cancel();
    reject();
}

void TUserInformation::CloseClick()
{
    takeFields();
    m_form.Close(*m_info);
    accept();
}

// The memo holds at most kInfoMemoLimit characters: text typed or pasted beyond it is dropped.
void TUserInformation::MemoChange()
{
    const QString text = m_memo->toPlainText();
    if (text.size() <= files::kInfoMemoLimit)
        return;
    const QSignalBlocker block(m_memo);
    QTextCursor cursor = m_memo->textCursor();
    const int position = std::min(cursor.position(), files::kInfoMemoLimit);
    m_memo->setPlainText(text.left(files::kInfoMemoLimit));
    cursor = m_memo->textCursor();
    cursor.setPosition(position);
    m_memo->setTextCursor(cursor);
}

}  // namespace rv8::app
