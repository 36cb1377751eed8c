#pragma once
#include "ui/color_scheme.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QSettings;

namespace pellucar::ui {

// What the desk keeps between runs: the main window's place and size and
// the colour scheme last chosen, in the desktop's usual settings file. The
// game's own settings are not among them: every run starts a game as the
// rules set it up. A file that cannot be read, or holds values this
// version does not know, gives the defaults.
class DeskSettings {
public:
    // No file the game writes comes near this: two short values.
    static constexpr qint64 kMostFileBytes = 64 * 1024;

    explicit DeskSettings(QSettings& store) : store_(store) {}

    // The desk's settings file in the user's configuration folder.
    static QString defaultPath();
    // Before QSettings reads `path`: a file that is no regular file or is
    // larger than the game writes is removed (QSettings would wait on a
    // FIFO and read a sparse file of gigabytes whole) so the defaults are
    // used and the next save makes it anew. Empty, or what was removed and
    // why; a folder in the way is left (QSettings reads nothing there).
    static QString removeUnusable(const QString& path);

    // What QWidget::saveGeometry wrote, or empty.
    QByteArray windowGeometry() const;
    std::optional<Scheme> scheme() const;
    void remember(const QByteArray& geometry, Scheme scheme);

private:
    bool readable() const;
    QSettings& store_;
};

} // namespace pellucar::ui
