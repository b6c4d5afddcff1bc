#include "file_search.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

QString fromBackslashes(const QString& path)
{
    QString result = path;
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return result;
}

QString findFirstFile(const QString& pattern)
{
    const QString path = fromBackslashes(pattern);
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return {};
    const QFileInfo info(path);
    QDir folder = info.dir();
    // QDir's name filters match without regard to case unless told otherwise.
    folder.setNameFilters({info.fileName()});
    folder.setFilter(QDir::Files | QDir::NoDotAndDotDot); // no QDir::Hidden: dot files stay out
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    const QFileInfoList matches = folder.entryInfoList();
    for (const QFileInfo& match : matches) {
        if (match.isFile() && !match.isHidden())
            return match.fileName();
    }
    return {};
}

QString resolveNameCase(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return path;
    const QString name = info.fileName();
    if (name.isEmpty())
        return {};
    QDir folder = info.dir();
    folder.setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    folder.setSorting(QDir::Name);
    for (const QString& entry : folder.entryList()) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    }
    return {};
}

} // namespace platform
