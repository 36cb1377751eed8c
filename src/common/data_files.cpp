#include "common/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef PELLUCAR_RELATIVE_DATA_DIR
#define PELLUCAR_RELATIVE_DATA_DIR "../share/pellucar"
#endif

namespace pellucar {

QStringList dataSearchFolders(const QString& programDir) {
    const QDir dir(programDir);
    QStringList folders{QDir::cleanPath(dir.absolutePath()),
                        QDir::cleanPath(dir.absoluteFilePath(QStringLiteral(PELLUCAR_RELATIVE_DATA_DIR)))};
    for (const QString& d : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString f = QDir::cleanPath(d + QStringLiteral("/pellucar"));
        if (!folders.contains(f)) folders << f;
    }
    return folders;
}

QStringList dataSearchFolders() { return dataSearchFolders(QCoreApplication::applicationDirPath()); }

QString locateDataFile(const QString& fileName, const QString& programDir) {
    const QStringList folders = dataSearchFolders(programDir);
    for (const QString& f : folders) {
        const QString path = QDir(f).filePath(fileName);
        if (QFileInfo(path).isFile()) return path;
    }
    return QDir(programDir).filePath(fileName);
}

QString dataFileProblem(const QString& what, const QString& triedPath, const QStringList& searched) {
    QString text = QStringLiteral("%1 could not be opened: %2").arg(what, QDir::toNativeSeparators(triedPath));
    if (!searched.isEmpty()) {
        QStringList shown;
        for (const QString& f : searched) shown << QDir::toNativeSeparators(f);
        text += QStringLiteral("\nFolders searched for %1:\n  %2")
                    .arg(QFileInfo(triedPath).fileName(), shown.join(QStringLiteral("\n  ")));
    }
    return text;
}

QString locateDataFile(const QString& fileName) {
    return locateDataFile(fileName, QCoreApplication::applicationDirPath());
}

} // namespace pellucar
