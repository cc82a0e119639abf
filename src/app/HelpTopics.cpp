#include "HelpTopics.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace rv8::app {

namespace {
QString& ChosenDirectory()
{
    static QString directory;
    return directory;
}
}  // namespace

QString HelpDirectory()
{
    if (!ChosenDirectory().isEmpty())
        return ChosenDirectory();
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = program.filePath(QStringLiteral("help"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(program.filePath(QStringLiteral("../help")));
}

void SetHelpDirectory(const QString& directory) { ChosenDirectory() = directory; }

QString HelpTopicFile(const QString& topic)
{
    // A topic is a plain name; anything that could leave the help folder is no topic.
    if (topic.isEmpty() || topic.contains(QLatin1Char('/')) || topic.contains(QLatin1Char('\\'))
        || topic.contains(QStringLiteral("..")))
        return {};
    const QString file = QDir(HelpDirectory()).filePath(topic + QStringLiteral(".htm"));
    return QFileInfo(file).isFile() ? file : QString();
}

bool ShowHelpTopic(const QString& topic, comm::UserPrompts& prompts)
{
    const QString file = HelpTopicFile(topic);
    if (file.isEmpty()) {
        prompts.information({}, QStringLiteral("The help topic \"%1\" is not available.").arg(topic));
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace rv8::app
