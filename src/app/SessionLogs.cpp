// The session's result-log commands: "&Log results", "Log profile", the
// keep-log append, "Log head&space" and the batch lines.
#include "app/KelViewSession.h"
#include "kinetics/FlowTube.h"
#include "kinetics/KineticsLibrary.h"
#include "reporting/Headspace.h"

namespace kel {

TLogContext TKelViewSession::LogContext() const {
    TLogContext c;
    c.profile = &Profile;
    c.library = &KineticsLibrary();
    c.mode = Mode();
    c.corrections = {correct_, DeadTime, Profile.OutlierFilter};
    c.fileNameField = edFileName;
    c.selection0 = Selection[0];
    c.selection1 = Selection[1];
    c.isotope = {FieldValue(TFieldId::feR2), FieldValue(TFieldId::feR3), FieldValue(TFieldId::feb74),
                 FieldValue(TFieldId::feb75), FieldValue(TFieldId::feliq)};
    c.isotopeSums = IsotopeSums;
    c.logPath = LogFileName;
    return c;
}

void TKelViewSession::btLogResultsClick() { kel::LogWindowResults(LogContext(), LogHeaderPending); }

void TKelViewSession::btLogProfileClick() { kel::LogProfileResults(LogContext(), LogHeaderPending); }

void TKelViewSession::btPressClick() {
    double t = CycleTime(Profile);
    for (int row = 18; row <= 26; row += 2) {
        if (Profile.Name[static_cast<std::size_t>(row)].find("Torr") == std::string::npos) continue;
        TPressureSections sections =
            FindPressureSections(PressureSeries(Profile, row), FieldValue(TFieldId::PressLevel));
        for (auto [first, last] : sections.closed) {
            Selection[0] = first * t;
            Selection[1] = last * t;
            if (IsotopeDown()) BuildPlot();
            RunWindowCalculation();
            btLogResultsClick();
        }
        if (sections.openStart) Selection[0] = *sections.openStart * t;
        StatusText = std::to_string(sections.closed.size()) + " sections selected";
    }
}

}  // namespace kel
