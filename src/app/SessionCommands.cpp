// The plot and selection commands of the main window's session: "Show all",
// "Expand", "Select all", the log plot, the axes dialog, the text fields and
// the end of a drag on the main graph, "Copy picture", the graph's "&Copy"
// and the start of "Edit Kinetics".
#include "app/KelViewSession.h"

#include "common/Errors.h"
#include "kinetics/FlowTube.h"
#include "plot/GraphClipboard.h"
#include "reporting/CountRateTable.h"

namespace kel {

void TKelViewSession::SetLogFileName(std::string path) { logFileName_ = std::move(path); }

TXYGraph& TKelViewSession::DrawingGraph(int box) {
    if (box == 1) return graph1_;
    if (box == 2) return graph2_;
    throw EKelError("no graph box " + std::to_string(box) + " in the main window");
}

void TKelViewSession::ShowAllClick() {
    const TUndoStep step(*this, TStepKind::User);
    SetExpand(false);
    // The curves' own range: with "Time 0 at start" it is shifted, and 0 to
    // TotalTime would cut part of them off.
    const auto [x0, x1] = TimeRange();
    graph1_.Setxmin(x0);
    graph1_.Setxmax(x1);
    RescaleY();
    RecordView();
    MarkAxesShowAll();
}

void TKelViewSession::ExpandClick() {
    const TUndoStep step(*this, TStepKind::User);
    SetExpand(true);
    graph1_.Setxmin(selection_[0]);
    graph1_.Setxmax(selection_[1]);
    RescaleY();
    RecordView();
}

void TKelViewSession::btnExpandClick() {
    const TUndoStep step(*this, TStepKind::User);
    if (!expand_)
        ExpandClick();
    else
        ShowAllClick();
}

void TKelViewSession::SelectAllClick() {
    const TUndoStep step(*this, TStepKind::User);
    SetExpand(false);
    // Exactly the stored points, also on the shifted axis of "Time 0 at start".
    const auto [x0, x1] = TimeRange();
    graph1_.Setxmin(x0);
    graph1_.Setxmax(x1);
    SetSelection({x0, x1});
    RescaleY();
    RecordView();
    MarkAxesShowAll();
}

void TKelViewSession::LogplotCtrlEnter1Click() {
    const TUndoStep step(*this, TStepKind::User);
    graph1_.SetYScale(graph1_.YScale() == scLog10 ? scLin : scLog10);
    SetLogShown(graph1_.YScale() == scLog10);
    graph2_.SetYScale(graph1_.YScale());
    RescaleY();
    RecordView();
}

void TKelViewSession::ApplyMainAxes(const TAxesState& axes) {
    const TUndoStep step(*this, TStepKind::User);
    ApplyAxes(graph1_, axes);
    AxesChanged();
    RecordView();
}

void TKelViewSession::ShowAllMainAxes(bool xLog, bool yLog) {
    const TUndoStep step(*this, TStepKind::User);
    ShowAllWithScales(graph1_, xLog, yLog);
    AxesChanged();
    RecordView();
    MarkAxesShowAll();
}

void TKelViewSession::AxesChanged() {
    // Both the menu tick and the button say what the axis shows; a tick left
    // behind would switch the wrong way on the next "Log / Linear".
    SetLogShown(graph1_.YScale() == scLog10);
}

void TKelViewSession::SetLogShown(bool log) {
    SetToggle(logPlot_, log);
    SetToggle(logButton_, log);
}

void TKelViewSession::UpdateComments(const TProfileTexts& texts) {
    SetTexts(texts);
    profile_.ion = texts_.Ion;
    profile_.reactant = texts_.Sample;
    profile_.comment = texts_.Comment;
    profile_.FileName = texts_.FileName;
    BuildPlotKeepingResults();
}

void TKelViewSession::SelectWindow(double start, double end) {
    SetSelection({start, end});
    if (IsotopeDown()) BuildPlot();
    RunWindowCalculation();
}

void TKelViewSession::SelectTimes(double start, double end) {
    const TUndoStep step(*this, TStepKind::User);
    SetExpand(false);
    SelectWindow(start, end);
}

void TKelViewSession::btCopyClick() {
    if (!services_.clipboard) throw EKelError("Copy picture: no clipboard is available to this program");
    if (!graph1_.CopyToClipboard(*services_.clipboard)) throw EKelError("Copy picture: the clipboard did not take the picture");
}

void TKelViewSession::XYGraphBox1Tool(int x0, int x1) { SelectTimes(graph1_.PixelToX(x0), graph1_.PixelToX(x1)); }

std::string TKelViewSession::CopyDataText() const {
    auto [start, end] = SelectionToWindow(CycleTime(profile_));
    return CountRateTable(profile_, start, end);
}

void TKelViewSession::EditKineticsClick() {
    const TUndoStep step(*this, TStepKind::User);
    ReleasePpb();
    PpbAction();
}

}  // namespace kel
