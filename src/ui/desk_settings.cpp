#include "ui/desk_settings.h"

#include "common/outside_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <array>
#include <utility>

namespace pellucar::ui {

namespace {

const char* const kGeometryKey = "window/geometry";
const char* const kSchemeKey = "window/colors";

// Stored by name, so a file stays readable whatever the enumeration becomes.
constexpr std::array<std::pair<Scheme, const char*>, 4> kSchemeNames{{
    {Scheme::Design, "standard"},
    {Scheme::Black, "black"},
    {Scheme::Gray, "gray"},
    {Scheme::Monochrome, "monochrome"},
}};

} // namespace

QString DeskSettings::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Pellucar/Pellucar.conf");
}

QString DeskSettings::removeUnusable(const QString& path) {
    QString why;
    if (checkOutsideFile(path, kMostFileBytes, &why) != OutsideFile::Refused) return {};
    if (QFileInfo(path).isDir()) return QStringLiteral("the settings file %1 is not used: %2").arg(path, why);
    QFile::remove(path);
    return QStringLiteral("the settings file %1 was removed: %2").arg(path, why);
}

bool DeskSettings::readable() const { return store_.status() == QSettings::NoError; }

QByteArray DeskSettings::windowGeometry() const {
    if (!readable()) return {};
    const QVariant v = store_.value(QLatin1String(kGeometryKey));
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : QByteArray();
}

std::optional<Scheme> DeskSettings::scheme() const {
    if (!readable()) return std::nullopt;
    const QString name = store_.value(QLatin1String(kSchemeKey)).toString();
    for (const auto& [scheme, text] : kSchemeNames)
        if (name == QLatin1String(text)) return scheme;
    return std::nullopt;
}

void DeskSettings::remember(const QByteArray& geometry, Scheme scheme) {
    // A damaged file is replaced whole: QSettings itself would leave it be.
    if (!readable()) {
        QFile::remove(store_.fileName());
        store_.clear();
    }
    store_.setValue(QLatin1String(kGeometryKey), geometry);
    for (const auto& [s, text] : kSchemeNames)
        if (s == scheme) store_.setValue(QLatin1String(kSchemeKey), QLatin1String(text));
    store_.sync();
}

} // namespace pellucar::ui
