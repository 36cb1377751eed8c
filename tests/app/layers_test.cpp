// The game's folders include only the folders below them, and no file
// includes one that includes it back: a newcomer can read src/app from the
// bottom up, and a change to a controller cannot ripple into the state it
// owns. Read from the sources themselves, so a new include that breaks the
// order fails here and not in review.
#include "support/game_harness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <functional>

namespace {

// Which folders of src/app each folder may include (its own always).
const QHash<QString, QSet<QString>>& allowedFolders() {
    static const QHash<QString, QSet<QString>> allowed{
        {"state", {}},
        {"view", {"state"}},
        {"record", {"state"}},
        {"dialogs", {"record", "state"}},
        {"desk", {"dialogs", "record", "view", "state"}},
        {"game", {"desk", "dialogs", "record", "view", "state"}},
    };
    return allowed;
}

// A unit is a header with its .cpp ("view/control_table"); its edges are
// the app units its two files include.
QHash<QString, QSet<QString>> appIncludeGraph(const QString& appDir) {
    static const QRegularExpression include(QStringLiteral("^#include \"app/([^\"]+)\\.h\""),
                                            QRegularExpression::MultilineOption);
    QHash<QString, QSet<QString>> graph;
    QDirIterator it(appDir, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString unit = QDir(appDir).relativeFilePath(info.path()) + '/' + info.completeBaseName();
        const QString text = QString::fromUtf8(pellucar::test::fileBytes(path));
        QSet<QString>& edges = graph[unit];
        for (auto m = include.globalMatch(text); m.hasNext();) {
            const QString target = m.next().captured(1);
            if (target != unit) edges.insert(target);
        }
    }
    return graph;
}

// A loop of units, written "a -> b -> a", or empty.
QString findLoop(const QHash<QString, QSet<QString>>& graph) {
    QHash<QString, int> mark; // 1 on the path, 2 done
    QStringList path;
    std::function<QString(const QString&)> visit = [&](const QString& u) -> QString {
        mark[u] = 1;
        path.append(u);
        for (const QString& v : graph.value(u)) {
            if (mark.value(v) == 1) return (path.mid(path.indexOf(v)) << v).join(QStringLiteral(" -> "));
            if (mark.value(v) == 0) {
                if (QString loop = visit(v); !loop.isEmpty()) return loop;
            }
        }
        path.removeLast();
        mark[u] = 2;
        return {};
    };
    for (auto it = graph.begin(); it != graph.end(); ++it)
        if (mark.value(it.key()) == 0)
            if (QString loop = visit(it.key()); !loop.isEmpty()) return loop;
    return {};
}

QString folderOf(const QString& unit) { return unit.section('/', 0, 0); }

const QString kAppDir = QStringLiteral(PELLUCAR_SOURCE_DIR "/src/app");

} // namespace

TEST(AppLayers, EveryFileLivesInAKnownFolderAndIncludesOnlyTheFoldersBelowIt) {
    const auto graph = appIncludeGraph(kAppDir);
    ASSERT_GT(graph.size(), 20) << "no sources found under " << kAppDir.toStdString();
    for (auto it = graph.begin(); it != graph.end(); ++it) {
        const QString from = folderOf(it.key());
        ASSERT_TRUE(allowedFolders().contains(from)) << it.key().toStdString() << " is in no known folder";
        for (const QString& target : it.value()) {
            const QString to = folderOf(target);
            EXPECT_TRUE(to == from || allowedFolders().value(from).contains(to))
                << it.key().toStdString() << " includes " << target.toStdString();
        }
    }
}

TEST(AppLayers, NoUnitIncludesOneThatIncludesItBack) {
    EXPECT_EQ(findLoop(appIncludeGraph(kAppDir)).toStdString(), "");
}

TEST(AppLayers, TheDesksIncludeNoOtherDesk) {
    const auto graph = appIncludeGraph(kAppDir);
    for (auto it = graph.begin(); it != graph.end(); ++it) {
        if (folderOf(it.key()) != QLatin1String("desk")) continue;
        for (const QString& target : it.value())
            EXPECT_NE(folderOf(target), QLatin1String("desk"))
                << it.key().toStdString() << " includes " << target.toStdString();
    }
}

TEST(AppLayers, TheLoopFinderSeesALoop) {
    // The finder itself, on a graph with a loop planted three units deep.
    const QHash<QString, QSet<QString>> looped{
        {"state/a", {"view/b"}}, {"view/b", {"desk/c"}}, {"desk/c", {"state/a"}}, {"game/d", {"state/a"}}};
    EXPECT_FALSE(findLoop(looped).isEmpty());
    const QHash<QString, QSet<QString>> tree{
        {"game/d", {"state/a", "view/b"}}, {"view/b", {"state/a"}}, {"state/a", {}}};
    EXPECT_TRUE(findLoop(tree).isEmpty());
}
