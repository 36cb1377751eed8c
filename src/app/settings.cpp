#include "app/settings.h"
#include "app/presentation.h"

namespace pellucar {

Level levelOrExpert(const QString& name) {
    Level l = Level::Expert;
    levelFromName(name, &l);
    return l;
}

int Settings::lengthDays(int yearDays) const {
    switch (length) {
    case GameLength::Month: return 30;
    case GameLength::Quarter: return 90;
    case GameLength::Year: break;
    }
    return yearDays;
}

void presentSettings(const Settings& s, PresentationModel& model) {
    model.setChecked("mnuLevel_0", s.level == Level::Novice);
    model.setChecked("mnuLevel_2", s.level == Level::Expert);
    model.setChecked("mnuDat_0", s.data != DataMode::Tick);
    model.setChecked("mnuDat_1", s.data == DataMode::Tick);
    model.setChecked("mnuGameLength_2", s.length == GameLength::Month);
    model.setChecked("mnuGameLength_3", s.length == GameLength::Quarter);
    model.setChecked("mnuGameLength_4", s.length == GameLength::Year);
    model.setChecked("mnuNews_0", s.news.checked(NewsOption::Annual));
    model.setChecked("mnuNews_1", s.news.checked(NewsOption::Daily));
    const bool positions = s.maximumDisplay == MaximumDisplay::Positions;
    model.setChecked("mnuMaximum_0", !positions);
    model.setChecked("mnuMaximum_1", positions);
    model.setText("LabelMaxiPos",
                  positions ? QStringLiteral("Maximum Position:") : QStringLiteral("Maximum Transaction:"));
}

} // namespace pellucar
