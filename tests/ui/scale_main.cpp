// test_ui_scale --record FILE | --compare FILE
// Plays into a Daily Expert game at the scale the environment sets
// (QT_SCALE_FACTOR) and notes the logical size of the main window and of each
// game window that opened on the way. --record writes them; --compare checks
// them against a record made at another scale. Sizes worked out from device
// pixels instead of logical ones would change with the scale: on a 200 %
// screen the window would come out half or twice its size.
#include "scripted_dialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <cstdio>

using namespace pellucar;

namespace {

class SizeNotingDialogs : public uitest::ScriptedDialogs {
public:
    QStringList* sizes = nullptr;

protected:
    int run(QDialog* d) override {
        // Shown first, as the player sees it: a window sized by its layout
        // has its size only then.
        d->show();
        QApplication::processEvents();
        *sizes << QStringLiteral("%1 %2x%3").arg(d->objectName()).arg(d->width()).arg(d->height());
        d->hide();
        return ScriptedDialogs::run(d);
    }
};

struct Rig {
    explicit Rig(const QString& db) : game(dialogs, random, db), window(game, dialogs) { dialogs.setMainWindow(&window); }
    ~Rig() { dialogs.setMainWindow(nullptr); }
    SizeNotingDialogs dialogs;
    ScriptedRandom random{{}, 0.0};
    Game game;
    ui::Kestrow window;
};

int fail(const QString& why) {
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != "--record" && args[1] != "--compare"))
        return fail(QStringLiteral("usage: test_ui_scale --record FILE | --compare FILE"));

    QTemporaryDir tmp;
    Rig rig(uitest::writeFixtureDatabase(tmp.filePath(QStringLiteral("scale.mdb"))));
    QStringList sizes;
    rig.dialogs.sizes = &sizes;
    rig.window.show();
    rig.window.startUp();
    rig.window.action(QStringLiteral("mnuNewGame"))->trigger();
    for (int i = 0; i < 3; ++i)
        qobject_cast<QAbstractButton*>(rig.window.widget(QStringLiteral("btnChangePeriod")))->click();
    QApplication::processEvents();
    sizes.prepend(QStringLiteral("Kestrow %1x%2").arg(rig.window.width()).arg(rig.window.height()));
    for (const QString& s : sizes) std::printf("%s\n", qPrintable(s));

    // The scale asked for must be the one the window got, or the comparison
    // below proves nothing.
    const double asked = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    if (std::abs(rig.window.devicePixelRatioF() - asked) > 1e-9)
        return fail(QStringLiteral("device pixel ratio %1, QT_SCALE_FACTOR %2").arg(rig.window.devicePixelRatioF()).arg(asked));
    if (sizes.size() < 4) return fail(QStringLiteral("too few windows opened: ") + sizes.join(", "));

    QFile f(args[2]);
    if (args[1] == "--record") {
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) return fail("cannot write " + args[2]);
        QTextStream(&f) << sizes.join('\n') << '\n';
        return 0;
    }
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return fail("cannot read " + args[2]);
    const QStringList recorded = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    if (recorded != sizes)
        return fail(QStringLiteral("logical sizes differ from the record:\n  ") + recorded.join(", ") +
                    QStringLiteral("\n  ") + sizes.join(", "));
    return 0;
}
