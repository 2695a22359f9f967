// The session's result-log commands: "&Log results", "Log profile", the
// keep-log append, "Log head&space" and the batch lines.
#include "app/KelViewSession.h"
#include "kinetics/FlowTube.h"
#include "reporting/Headspace.h"

namespace kel {

TLogContext TKelViewSession::LogContext() const {
    TLogContext c;
    c.profile = &profile_;
    c.library = &Library();
    c.mode = Mode();
    c.corrections = {correct_, deadTime_, profile_.OutlierFilter};
    c.fileNameField = texts_.FileName;
    // The logged line covers the window the graph shows.
    const auto [s0, s1] = SelectionInProfile(CycleTime(profile_));
    c.selection0 = s0;
    c.selection1 = s1;
    c.timeShiftPoints = TimeShiftPoints();
    c.isotope = IsotopeParams();
    c.isotopeSums = isotopeSums_;
    c.logPath = logFileName_;
    return c;
}

TIoResult TKelViewSession::btLogResultsClick() {
    TIoResult logged = kel::LogWindowResults(LogContext(), logHeaderPending_);
    ShowMessageBoxes(LogNotices(logged));
    return logged;
}

TIoResult TKelViewSession::btLogProfileClick() {
    TIoResult logged = kel::LogProfileResults(LogContext(), logHeaderPending_);
    ShowMessageBoxes(LogNotices(logged));
    return logged;
}

namespace {

// The sections "Log head&space" finds in each pressure row of kel (those
// named with "Torr"), row by row.
std::vector<TPressureSections> PressureRowSections(const TKel& kel, double levelPercent) {
    std::vector<TPressureSections> rows;
    for (int row = 18; row <= 26; row += 2)
        if (kel.Name[static_cast<std::size_t>(row)].find("Torr") != std::string::npos)
            rows.push_back(FindPressureSections(PressureSeries(kel, row), levelPercent));
    return rows;
}

}  // namespace

std::vector<std::pair<double, double>> TKelViewSession::HeadspaceSelections() const {
    std::vector<std::pair<double, double>> selections;
    double t = CycleTime(profile_);
    double shift = TimeShiftPoints();
    for (const TPressureSections& sections : PressureRowSections(profile_, FieldValue(TFieldId::PressLevel)))
        for (auto [first, last] : sections.closed) selections.emplace_back((first + shift) * t, (last + shift) * t);
    return selections;
}

TIoResult TKelViewSession::btPressClick() {
    const TUndoStep step(*this, TStepKind::User);
    double t = CycleTime(profile_);
    // Sections are found in points; their selections lie on the graph's
    // (possibly shifted) time axis, like any drag.
    double shift = TimeShiftPoints();
    for (const TPressureSections& sections : PressureRowSections(profile_, FieldValue(TFieldId::PressLevel))) {
        for (auto [first, last] : sections.closed) {
            SelectWindow((first + shift) * t, (last + shift) * t);
            // One failure, one message: the sections after it are not logged.
            if (TIoResult logged = btLogResultsClick(); !logged) return logged;
        }
        if (sections.openStart) {
            SetSelection({(*sections.openStart + shift) * t, selection_[1]});
        }
        SetStatusText(std::to_string(sections.closed.size()) + " sections selected");
    }
    return TIoResult::Success();
}

}  // namespace kel
