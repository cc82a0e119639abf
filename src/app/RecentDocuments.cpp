#include "app/RecentDocuments.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace rv8::app {

namespace {
const QString kDocumentsSection = QStringLiteral("RecentDocuments");
const QString kPathsSection = QStringLiteral("RecentPaths");
}  // namespace

QString TRecentDocumentsController::DefaultFilePath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QFileInfo folder(programFolder);
    if (!programFolder.isEmpty() && folder.isDir() && folder.isWritable())
        return QDir(programFolder).filePath(QLatin1String(kFileName));
    QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (config.isEmpty())
        config = QDir::homePath();
    QDir().mkpath(config);
    return QDir(config).filePath(QLatin1String(kFileName));
}

TRecentDocumentsController::TRecentDocumentsController(QString filePath) : m_filePath(std::move(filePath)) {}

void TRecentDocumentsController::AddTo(std::vector<RecentItem>& list, const QString& path, bool pinned)
{
    const QString native = QDir::toNativeSeparators(path);
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->hint.compare(native, Qt::CaseInsensitive) == 0) {
            RecentItem item = *it;
            list.erase(it);
            list.insert(list.begin(), item);
            return;
        }
    }
    RecentItem item;
    item.caption = QFileInfo(path).fileName();
    if (item.caption.isEmpty())
        item.caption = native;
    item.hint = native;
    item.description = QString(native).replace(QDir::separator(), QStringLiteral(" \u00BB "));
    item.pinned = pinned;
    list.insert(list.begin(), item);
    if (list.size() > static_cast<std::size_t>(kMaxItems))
        list.resize(kMaxItems);
}

void TRecentDocumentsController::AddDocument(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return;
    AddTo(m_documents, info.absoluteFilePath());
    AddFolder(info.absolutePath());
}

void TRecentDocumentsController::AddFolder(const QString& path)
{
    if (!QFileInfo(path).isDir())
        return;
    AddTo(m_folders, QDir(path).absolutePath());
}

void TRecentDocumentsController::Read()
{
    m_documents.clear();
    m_folders.clear();
    QSettings ini(m_filePath, QSettings::IniFormat);
    const auto readSection = [&](const QString& section, std::vector<RecentItem>& list, bool files) {
        ini.beginGroup(section);
        const int count = std::clamp(ini.value(QStringLiteral("Count"), 0).toInt(), 0, 1000);
        // From the last to the first, so that the first line ends on top.
        for (int i = count - 1; i >= 0; --i) {
            const QString path = ini.value(QString::number(i)).toString();
            const QFileInfo info(path);
            if (path.isEmpty() || (files ? !info.isFile() : !info.isDir()))
                continue;
            AddTo(list, path, ini.value(QString::number(i) + QStringLiteral("Pinned"), false).toBool());
        }
        ini.endGroup();
    };
    readSection(kDocumentsSection, m_documents, true);
    readSection(kPathsSection, m_folders, false);
}

void TRecentDocumentsController::Write() const
{
    QSettings ini(m_filePath, QSettings::IniFormat);
    const auto writeSection = [&](const QString& section, const std::vector<RecentItem>& list) {
        ini.remove(section);
        ini.beginGroup(section);
        ini.setValue(QStringLiteral("Count"), static_cast<int>(list.size()));
        for (std::size_t i = 0; i < list.size(); ++i) {
            ini.setValue(QString::number(i), list[i].hint);
            ini.setValue(QString::number(i) + QStringLiteral("Pinned"), list[i].pinned);
        }
        ini.endGroup();
    };
    writeSection(kDocumentsSection, m_documents);
    writeSection(kPathsSection, m_folders);
    ini.sync();
}

}  // namespace rv8::app
