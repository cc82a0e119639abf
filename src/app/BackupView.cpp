#include "app/BackupView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace rv8::app {

TBackupForm::TBackupForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromLatin1(files::kBackupViewCaption));
    setObjectName(QStringLiteral("BackupForm"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));
    auto* question = new QLabel(QString::fromLatin1(files::kBackupViewQuestion), this);
    question->setObjectName(QStringLiteral("Label1"));
    question->setWordWrap(true);
    QFont bold = question->font();
    bold.setBold(true);
    question->setFont(bold);
    auto* hint = new QLabel(QString::fromLatin1(files::kBackupViewHint), this);
    hint->setObjectName(QStringLiteral("Label2"));
    hint->setWordWrap(true);

    m_yes = new QPushButton(QStringLiteral("&Yes"), this);
    m_yes->setObjectName(QStringLiteral("YesButton"));
    m_yes->setDefault(true);
    m_no = new QPushButton(QStringLiteral("&No"), this);
    m_no->setObjectName(QStringLiteral("NoButton"));

    auto* texts = new QVBoxLayout;
    texts->addWidget(question);
    texts->addWidget(hint);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(m_yes, &QPushButton::clicked, this, [this] {
        m_view.YesClick();
        accept();
    });
    // QDialog answers Esc with reject(), which is "&No".
    connect(m_no, &QPushButton::clicked, this, [this] {
        m_view.NoClick();
        reject();
    });
}

void TBackupForm::FormShow() { m_view.FormShow(); }

bool TBackupForm::ShowModal()
{
    FormShow();
    exec();
    return m_view.BackupRequested;
}

bool AskForBackup(QWidget* parent)
{
    TBackupForm view(parent);
    return view.ShowModal();
}

}  // namespace rv8::app
