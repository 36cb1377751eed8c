#pragma once
// What the fuzz targets share: Qt's application object, scratch files, the
// small market they play on, and the way a broken rule stops the run.
#include "support/fixture_db.h"

#include <QString>
#include <QStringList>

namespace pellucar::fuzz {

// Qt wants its application object before dates, files and locales are used.
void startQt();

// A file name of this process's own in a fast scratch folder.
QString scratchPath(const QString& name);

// A year of daily prices (1990, every weekday, Oil rising by 0.25 a day),
// the disclaimer and a background story, and January 1996 in ticks with a
// few news stories: enough for a daily and a tick game of any length.
void buildSmallMarket(test::FixtureDb& db);

// A broken rule: libFuzzer keeps the input that led here.
[[noreturn]] void fail(const char* rule, const QString& detail);
[[noreturn]] void fail(const char* rule, const QStringList& details);

} // namespace pellucar::fuzz
