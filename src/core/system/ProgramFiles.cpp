#include "core/system/ProgramFiles.h"

#include <QFileInfo>

ProgramFiles::ProgramFiles(QString dataFolder, QString programFolder)
    : m_dataFolder(std::move(dataFolder))
    , m_programFolder(std::move(programFolder))
{
}

QString ProgramFiles::path(const QString &folder, const QString &file)
{
    return folder + QLatin1Char('/') + file;
}

QStringList ProgramFiles::folders(const QString &locale) const
{
    QStringList result{locale};
    for (const QString &folder : {m_dataFolder, m_programFolder})
        if (!folder.isEmpty() && !result.contains(folder))
            result.append(folder);
    return result;
}

std::optional<QString> ProgramFiles::find(const QString &locale, const QString &file) const
{
    for (const QString &folder : folders(locale)) {
        const QString candidate = path(folder, file);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return std::nullopt;
}
