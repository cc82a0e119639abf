#pragma once
// TRecentDocumentsController: the backstage's recent projects and recent folders, kept in the
// ini file "RV8TOOL_RecentDocuments.ini" (sections "RecentDocuments" and "RecentPaths"; Count,
// then per item "<i>" = full path and "<i>Pinned" = pin state, item 0 on top).
//
// Adding a path moves an existing entry with the same path (compared without regard to case)
// to the top, else puts a new one there; every list keeps at most 10 entries. Adding a document
// also adds its folder. Reading keeps only entries whose file or folder still exists.

#include <QString>
#include <QStringList>

#include <vector>

namespace rv8::app {

struct RecentItem {
    QString caption;      // file or folder name
    QString hint;         // full path
    QString description;  // the path with every separator shown as " » "
    bool pinned = false;
};

class TRecentDocumentsController {
public:
    static constexpr int kMaxItems = 10;
    static constexpr char kFileName[] = "RV8TOOL_RecentDocuments.ini";

    // The ini file in the program's folder when that folder is writable, else in the user's
    // configuration folder.
    static QString DefaultFilePath();

    explicit TRecentDocumentsController(QString filePath = DefaultFilePath());

    const std::vector<RecentItem>& Documents() const { return m_documents; }
    const std::vector<RecentItem>& Folders() const { return m_folders; }
    const QString& FilePath() const { return m_filePath; }

    // Only files that exist are added (the folder of a document follows it).
    void AddDocument(const QString& path);
    void AddFolder(const QString& path);

    // Read clears both lists first; Write erases each section before writing it and ignores
    // errors.
    void Read();
    void Write() const;

private:
    static void AddTo(std::vector<RecentItem>& list, const QString& path, bool pinned = false);

    QString m_filePath;
    std::vector<RecentItem> m_documents;
    std::vector<RecentItem> m_folders;
};

}  // namespace rv8::app
