// Files from outside the game on the desktop: the review's exports and the desk's settings. Each is refused with
// its reason or bounded, and nothing the player had is damaged.
#include "tst_suites.h"

#include "ui/game_review_window.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace pellucar;
using namespace pellucar::ui;

namespace {

ReviewRecord aReview() {
    ReviewRecord r{.level = Level::Expert, .startingCapital = 100000};
    for (int p = 1; p <= 6; ++p)
        r.periods.push_back({QDate(1994, 1, 2 + p), -1, 100000.0 + 10 * p, {20.0 + p, 380, 110.5, 460, 72, 650}});
    r.trades = {{1, 1, Market::Oil, Side::Buy, false, 1, 21}, {2, 4, Market::Oil, Side::Sell, false, -1, 24}};
    return r;
}

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
        QTest::addColumn<QString>("target"); // "file", "full disk", "fifo"
        QTest::addColumn<QByteArray>("starts");
        for (const char* name : {"record.csv", "review.png", "review.pdf"}) {
            const QByteArray starts = QByteArray(name).endsWith("csv")   ? QByteArray("Trade,")
                                      : QByteArray(name).endsWith("png") ? QByteArray("\x89PNG")
                                                                         : QByteArray("%PDF");
            for (const char* target : {"file", "full disk", "fifo"})
                QTest::addRow("%s, %s", name, target) << QString::fromLatin1(name) << target << starts;
        }
    }
    void exportsAreWholeOrNothing() {
        QFETCH(QString, name);
        QFETCH(QString, target);
        QFETCH(QByteArray, starts);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const QByteArray old = QByteArray("the player's own file\n").repeated(200);
        if (target == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        GameReviewWindow w(aReview(), QStringLiteral("A game"));
        w.resize(800, 600);
        const auto save = [&] { return name.endsWith(".csv") ? w.saveTradeRecord(path) : w.savePicture(path); };
        const QString why = target == QLatin1String("full disk") ? onAFullDisk(64, save) : save();
        if (target == QLatin1String("file")) {
            QCOMPARE(why, QString());
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.read(starts.size()) == starts);
        } else if (target == QLatin1String("fifo")) {
            QCOMPARE(why, QStringLiteral("it is not a regular file (a device, pipe or socket)"));
            QVERIFY(!QFileInfo(path).isFile());
        } else {
            QCOMPARE(why, QStringLiteral("File too large"));
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), old);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 1); // no scraps left
    }
};

} // namespace

QObject* pellucar::uitest::makeHostileSuite() { return new HostileTest; }

#include "tst_hostile.moc"
