#include "common/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef PELLUCAR_RELATIVE_DATA_DIR
#define PELLUCAR_RELATIVE_DATA_DIR "../share/pellucar"
#endif

namespace pellucar {

QString locateDataFile(const QString& fileName, const QString& programDir) {
    const QDir dir(programDir);
    const QString beside = dir.filePath(fileName);
    if (QFileInfo(beside).isFile()) return beside;
    const QString installed =
        QDir::cleanPath(dir.filePath(QStringLiteral(PELLUCAR_RELATIVE_DATA_DIR "/") + fileName));
    if (QFileInfo(installed).isFile()) return installed;
    const QString shared =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("pellucar/") + fileName);
    return shared.isEmpty() ? beside : shared;
}

QString locateDataFile(const QString& fileName) {
    return locateDataFile(fileName, QCoreApplication::applicationDirPath());
}

} // namespace pellucar
