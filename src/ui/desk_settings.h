#pragma once
#include "ui/color_scheme.h"

#include <QByteArray>
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
    explicit DeskSettings(QSettings& store) : store_(store) {}

    // What QWidget::saveGeometry wrote, or empty.
    QByteArray windowGeometry() const;
    std::optional<Scheme> scheme() const;
    void remember(const QByteArray& geometry, Scheme scheme);

private:
    bool readable() const;
    QSettings& store_;
};

} // namespace pellucar::ui
