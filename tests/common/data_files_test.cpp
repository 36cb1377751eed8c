// Where the game finds futures.mdb and dunmere.hlp: beside the program, in share/pellucar
// of an install wherever it was unpacked, or in the system's data folders.
#include "common/data_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace pellucar;

namespace {

void touch(const QString& path) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(DataFiles, BesideTheProgramThenTheInstalledFolderThenTheSystemsThenBesideTheProgram) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir prefix, system;
    ASSERT_TRUE(prefix.isValid() && system.isValid());
    const auto restore = qScopeGuard([old = qgetenv("XDG_DATA_DIRS")] { qputenv("XDG_DATA_DIRS", old); });
    qputenv("XDG_DATA_DIRS", system.path().toUtf8());
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    const QString installed = prefix.filePath(QStringLiteral("share/pellucar/futures.mdb"));
    const QString help = system.filePath(QStringLiteral("pellucar/dunmere.hlp"));
    touch(installed);
    touch(help);
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(locateDataFile(QStringLiteral("futures.mdb"), bin), installed);
    EXPECT_EQ(locateDataFile(QStringLiteral("dunmere.hlp"), bin), help);
    touch(bin + QStringLiteral("/futures.mdb"));
    EXPECT_EQ(locateDataFile(QStringLiteral("futures.mdb"), bin), bin + QStringLiteral("/futures.mdb"));

    // A missing file (a folder of the name is none) is named beside the program, where opening it fails.
    ASSERT_TRUE(QDir(system.path()).mkpath(QStringLiteral("pellucar/prices.mdb")));
    EXPECT_EQ(locateDataFile(QStringLiteral("prices.mdb"), bin), bin + QStringLiteral("/prices.mdb"));
}
