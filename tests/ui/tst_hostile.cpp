// Files from outside the game on the desktop: the review's exports and the desk's settings. Each is refused with
// its reason or bounded, and nothing the player had is damaged.
#include "tst_suites.h"

#include "support/game_harness.h"
#include "ui/desk_settings.h"
#include "ui/game_review_window.h"
#include "ui/kestrow.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <climits>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

// Runs `write` with no file allowed past `limit` bytes, as on a disk that fills up.
QString onAFullDisk(qint64 limit, const std::function<QString()>& write) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(limit);
    setrlimit(RLIMIT_FSIZE, &small);
    const QString why = write();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return why;
}

class HostileTest : public QObject {
    Q_OBJECT
private slots:
    // Each export is written whole or not at all: over a file the player had, a full disk leaves it as it was, and
    // a FIFO is refused instead of waiting for a reader.
    void exportsAreWholeOrNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target"); // "file", "full disk", "fifo", "device" (/dev/full)
        QTest::addColumn<QByteArray>("starts");
        for (const char* name : {"record.csv", "review.png", "review.pdf"}) {
            const QByteArray starts = QByteArray(name).endsWith("csv")   ? QByteArray("Trade,")
                                      : QByteArray(name).endsWith("png") ? QByteArray("\x89PNG")
                                                                         : QByteArray("%PDF");
            for (const char* target : {"file", "full disk", "fifo", "device"})
                QTest::addRow("%s, %s", name, target) << QString::fromLatin1(name) << target << starts;
        }
    }
    void exportsAreWholeOrNothing() {
        QFETCH(QString, name);
        QFETCH(QString, target);
        QFETCH(QByteArray, starts);
        QTemporaryDir dir;
        const QString path = target == QLatin1String("device") ? QStringLiteral("/dev/full") : dir.filePath(name);
        const QByteArray old = QByteArray("the player's own file\n").repeated(200);
        if (target == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (target != QLatin1String("device")) {
            QVERIFY(test::writeFile(path, old));
        }
        GameReviewWindow w(uitest::autumnReview(), QStringLiteral("A game"));
        w.resize(800, 600);
        const auto save = [&] { return name.endsWith(".csv") ? w.saveTradeRecord(path) : w.savePicture(path); };
        const QString why = target == QLatin1String("full disk") ? onAFullDisk(64, save) : save();
        if (target == QLatin1String("file")) {
            QCOMPARE(why, QString());
            QVERIFY(test::fileBytes(path).startsWith(starts));
        } else if (target == QLatin1String("fifo") || target == QLatin1String("device")) {
            QCOMPARE(why, QStringLiteral("it is not a regular file (a device, pipe or socket)"));
            QVERIFY(!QFileInfo(path).isFile());
        } else {
            QCOMPARE(why, QStringLiteral("File too large"));
            QCOMPARE(test::fileBytes(path), old);
        }
        // No scraps left beside the target.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(),
                 target == QLatin1String("device") ? 0 : 1);
    }

    // The settings file is judged before QSettings reads it: QSettings would wait on a FIFO for ever and read a
    // sparse file of gigabytes whole. What cannot be used goes or is passed over, the desk starts with its defaults,
    // and the next save replaces what it could not read.
    void settingsFileIsJudgedBeforeItIsRead_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("file"); // written over the game's own file; empty: the game's kept
        QTest::addColumn<QString>("why");     // what the reason ends with; empty: the file is read
        const qint64 most = DeskSettings::kMostFileBytes;
        QTest::newRow("saved by the game") << "game" << QByteArray() << QString();
        QTest::newRow("as large as the bound") << "bound" << QByteArray() << QString();
        QTest::newRow("a byte past the bound")
            << "past" << QByteArray()
            << QStringLiteral("it holds %1 bytes, more than such a file ever does (%2)").arg(most + 1).arg(most);
        QTest::newRow("a sparse file of 2 GiB")
            << "sparse" << QByteArray()
            << QStringLiteral("it holds %1 bytes, more than such a file ever does (%2)").arg(qint64(2) << 30).arg(most);
        QTest::newRow("a FIFO") << "fifo" << QByteArray()
                                << QStringLiteral("it is not a regular file (a device, pipe or socket)");
        QTest::newRow("a folder") << "folder" << QByteArray() << QStringLiteral("it is a folder, not a file");
        QTest::newRow("an unknown scheme")
            << "game" << QByteArray("[window]\ncolors=purple\ngeometry=12\n") << QString();
        QTest::newRow("another program's file") << "game" << QByteArray("[General]\nfoo=bar\n") << QString();
        QTest::newRow("damaged") << "game" << QByteArray::fromHex("5b77696e646f770afffe00") + "colors=black\n"
                                 << QString();
    }
    void settingsFileIsJudgedBeforeItIsRead() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, file);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Pellucar.conf"));
        QWidget window;
        window.resize(432, 321);
        const QByteArray geometry = window.saveGeometry();
        {
            QSettings store(path, QSettings::IniFormat);
            DeskSettings(store).remember(geometry, Scheme::Gray);
        }
        if (!file.isEmpty()) {
            QVERIFY(test::writeFile(path, file));
        } else if (kind == QLatin1String("bound") || kind == QLatin1String("past") || kind == QLatin1String("sparse")) {
            const qint64 size = kind == QLatin1String("bound")  ? DeskSettings::kMostFileBytes
                                : kind == QLatin1String("past") ? DeskSettings::kMostFileBytes + 1
                                                                : qint64(2) << 30;
            QVERIFY(QFile::resize(path, size));
        } else if (kind != QLatin1String("game")) {
            QVERIFY(QFile::remove(path));
            QVERIFY(kind == QLatin1String("fifo") ? mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                                  : QDir().mkpath(path));
        }
        const QString reason = DeskSettings::removeUnusable(path);
        QVERIFY2(reason.endsWith(why), qPrintable(reason));
        QCOMPARE(QFileInfo::exists(path), why.isEmpty() || kind == QLatin1String("folder"));
        const bool kept = why.isEmpty() && file.isEmpty();
        QSettings store(path, QSettings::IniFormat);
        DeskSettings desk(store);
        QCOMPARE(desk.scheme(), kept ? std::optional(Scheme::Gray) : std::nullopt);
        // The bytes that make a file as large as the bound run on from its last value, the geometry.
        const bool placed = kept && kind != QLatin1String("bound");
        QWidget restored;
        QCOMPARE(restored.restoreGeometry(desk.windowGeometry()), placed);
        if (placed) QCOMPARE(restored.size(), QSize(432, 321));
        // A folder is never written over.
        desk.remember(geometry, Scheme::Black);
        QSettings again(path, QSettings::IniFormat);
        QCOMPARE(DeskSettings(again).scheme(),
                 kind == QLatin1String("folder") ? std::nullopt : std::optional<Scheme>(Scheme::Black));
    }

    // The restored place and size lie within the screen's room and are no smaller than the desk's layout, whatever
    // the file says (Qt restores a geometry cut short as zeros); none stored gives the first size.
    void restoredPlacementIsBoundedToTheScreen_data() {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<int>("keep"); // the bytes of the saved geometry kept; -1: all
        QTest::newRow("as the player left it") << QRect(20, 30, 700, 480) << -1;
        QTest::newRow("100,000 pixels square") << QRect(0, 0, 100000, 100000) << -1;
        QTest::newRow("68 x 86 pixels") << QRect(10, 10, 68, 86) << -1;
        QTest::newRow("far off the screen") << QRect(90000, -90000, 700, 480) << -1;
        QTest::newRow("cut short") << QRect(20, 30, 700, 480) << 20;
        QTest::newRow("none stored") << QRect(20, 30, 700, 480) << 0;
    }
    void restoredPlacementIsBoundedToTheScreen() {
        QFETCH(QRect, saved);
        QFETCH(int, keep);
        QWidget source;
        source.setGeometry(saved);
        const QByteArray bytes = source.saveGeometry().left(keep < 0 ? INT_MAX : keep);
        uitest::WindowRig rig;
        const QSize first = rig.window.size();
        QCOMPARE(rig.window.restorePlacement(bytes), keep != 0);
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        const QRect room = rig.window.screen()->availableGeometry();
        const QRect now = rig.window.geometry();
        QVERIFY2(
            room.contains(now),
            qPrintable(QStringLiteral("%1,%2 %3x%4").arg(now.x()).arg(now.y()).arg(now.width()).arg(now.height())));
        const QSize least = rig.window.minimumDeskSize().boundedTo(room.size());
        QVERIFY(now.width() >= least.width() && now.height() >= least.height());
        if (keep == 0) QCOMPARE(now.size(), first);
        // A place the player could have left stays as it was.
        if (keep < 0 && room.contains(saved) && saved.width() >= least.width() && saved.height() >= least.height())
            QCOMPARE(now, saved);
    }
};

} // namespace

QObject* pellucar::uitest::makeHostileSuite() { return new HostileTest; }

#include "tst_hostile.moc"
