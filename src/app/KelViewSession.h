#pragma once
// The main window's brain without a single widget: the current profile, the
// two graph models, every numeric field, the mode buttons, the selection and
// the results. The GUI binds controls to it; the command-line tool and the
// tests drive it the way a user drives the window.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/AnalysisState.h"
#include "app/FollowRead.h"
#include "app/SessionChanges.h"
#include "app/SessionCurves.h"
#include "app/SessionReadout.h"
#include "app/SessionServices.h"
#include "app/SessionValues.h"
#include "app/UndoHistory.h"
#include "common/IoResult.h"
#include "common/Settings.h"
#include "kinetics/Corrections.h"
#include "kinetics/WindowResults.h"
#include "plot/Floatedi.h"
#include "plot/GraphAxesState.h"
#include "plot/GraphView.h"
#include "plot/Xygraphc.h"
#include "profile/Kel.h"
#include "reporting/ResultLog.h"

namespace kel {

// State is read through getters and changed only by named commands, each as
// a user's action in the window; the getters' references stay valid, their
// contents change with the next command.
class TKelViewSession {
public:
    // A fresh main window (initial fields, graphs set up, settings not yet
    // read, Ready true) working with services, nothing of the process's own.
    explicit TKelViewSession(const TSessionServices& services);
    TKelViewSession(const TKelViewSession&) = delete;
    TKelViewSession& operator=(const TKelViewSession&) = delete;

    TSessionChanges TakeChanges() { return std::exchange(changes_, chNone); }  // since the last call

    // Computes from a copy of library taken now: sessions side by side on
    // threads of their own each select compounds in theirs.
    void UseOwnLibrary(const TKbase& library);

    // --- Opening a profile -------------------------------------------------
    // Loads fileName and shows it (fields, modes, plot, "Show all"), with the
    // boxes of the load ("Open Error!", "Damaged profile"). A failed load
    // changes nothing; the reason of one that ended is the caller's to show.
    TProfileLoadResult ShowProfile(const std::string& fileName);
    // ShowProfile in two halves, for a profile read once (ReadFollowedFile)
    // and shown in many sessions.
    TFollowRead StartProfileRead(const std::string& fileName) const;
    TProfileLoadResult ShowProfileRead(TFollowRead&& read);
    // The profile's Tg, lr, f1 and tube diameter into the flow-tube fields.
    void ShowFlowTube();
    // The flow-tube fields into the profile and a refresh, once Ready.
    void fefrTgEtcExit();

    // --- Following the shown profile's file --------------------------------
    bool FollowFileOn() const { return followFile_; }  // "Follow file"
    void FollowFileClick();
    // Sets "Follow file" as "Watch folder" does when it is switched.
    void SetFollowFile(bool on);
    // Re-reads the shown profile's file keeping the analysis (and the axes
    // unless the user last chose "Show all"); "<" logs nothing. A read that
    // cannot be shown leaves everything as it was and shows no box.
    TFollowResult ReloadShownProfile(TFollowAttempt attempt);
    // The same in two halves, for a read on another thread; a read of a
    // profile no longer shown is dropped.
    TFollowRead StartFollowRead() const;
    TFollowResult ShowFollowed(TFollowRead&& read, TFollowAttempt attempt);

    // --- Settings: the fields of the settings table (out of range: ignored) --
    void LoadSettings(const SettingsStore& store);
    // Writes every value of the settings table; errors are ignored.
    void SaveSettings(SettingsStore& store) const;

    // --- Fields ------------------------------------------------------------
    const TFloatField& Field(TFieldId id) const { return fields_[static_cast<std::size_t>(id)]; }
    double FieldValue(TFieldId id) const { return Field(id).Value(); }
    // The field of a control name such as "feTg"; empty for an unknown name.
    static std::optional<TFieldId> FieldOfName(std::string_view name);
    static std::string_view NameOfField(TFieldId id);
    // Sets a field as program code does (out of range: ignored, false);
    // a changed value runs the field's change handler.
    bool SetFieldValue(TFieldId id, double value);
    // A user's edit: validated as on leaving the field (a refused text shows
    // its message, false), then the change and leave handlers run.
    bool EditField(TFieldId id, const std::string& text);
    // Typing: the value follows text while it reads as a number in range.
    void TypeField(TFieldId id, const std::string& text);
    // Leaving the field with text: validated as EditField does; false when refused.
    bool LeaveField(TFieldId id, const std::string& text);
    // One step of the field's spin button or arrow key.
    void SpinField(TFieldId id, bool up);

    // --- Buttons and commands ---------------------------------------------
    TModeButton ModeDown() const { return modeDown_; }
    bool PpbDown() const { return modeDown_ == TModeButton::Ppb; }
    bool IsotopeDown() const { return modeDown_ == TModeButton::Isotope; }
    TPlotMode Mode() const;
    void BtnPpbClick();             // "ppb"
    void ReleasePpb();              // "ppb" up without its action
    void PressPpb();                // "ppb" down, then its action
    void btnIRClick();              // "D/H"
    void sbInfoClick();             // "(int.res)"
    void btnApplyDeMrClick();       // "correct"
    void btnNormIdClick();          // "Normalise to Id"
    void cbT0StartClick();          // "Time 0 at start"
    void sbKeepLogClick();          // "<"
    bool CorrectDown() const { return correct_; }
    bool NormIdDown() const { return normId_; }
    bool T0AtStart() const { return t0AtStart_; }
    bool KeepLogDown() const { return keepLog_; }
    bool ExpandDown() const { return expand_; }
    bool LogPlotTicked() const { return logPlot_; }   // the "&Log plot" menu item
    bool LogButtonDown() const { return logButton_; } // the "Log / Linear" tool button
    bool SidePanelVisible() const { return IsotopeDown(); }

    void ShowAllClick();
    void ExpandClick();
    void btnExpandClick();
    void SelectAllClick();
    void LogplotCtrlEnter1Click();
    // The axes dialog's OK on the main graph: ranges, then scales. The
    // "&Log plot" tick and the "Log / Linear" button follow its Y scale.
    void ApplyMainAxes(const TAxesState& axes);
    // The axes dialog's "Show all": the scales at once, then both axes fitted
    // to the curves; tick and button follow the Y scale.
    void ShowAllMainAxes(bool xLog, bool yLog);
    // The main graph's control took a new size (already given to the graph):
    // the info line moves with the plot's top right corner.
    void MainGraphResized();
    // Leaving a text field: the four texts into the profile, then BuildPlot;
    // the last window results stay on the graph, as no text changes them.
    void UpdateComments(const TProfileTexts& texts);
    // End of a drag on the main graph, in seconds where it began and ended:
    // the selection as given, "Expand" up, the plot rebuilt in D/H mode and
    // the window calculation run.
    void SelectTimes(double start, double end);
    // The same drag in pixel columns of the main graph.
    void XYGraphBox1Tool(int x0, int x1);
    // The options dialog's sensitivity choice 0..4 and a refresh; another
    // choice is refused (false) and changes nothing.
    bool SetSensitMode(int mode);
    // The options dialog's OK and Apply: a kineticsFile other than the main
    // one becomes the main file and the library is read from it again (in
    // "ppb" mode its compounds are selected for the profile anew), then the
    // sensitivity choice and a refresh; a choice outside 0..4 is refused
    // (false) before anything changes.
    bool ApplyOptions(const std::string& kineticsFile, int sensitMode);
    // "Copy picture": the main graph onto the session's graph clipboard;
    // raises EKelError when there is none or it refused the picture.
    void btCopyClick();

    // --- Zoom, pan, view history and values under the cursor -------------
    // Positions are pixels of the main graph's drawing. Only the axes move;
    // the side graph's value axis follows the main graph's.
    // The time axis zoomed by factor (below 1: in) around column px, which
    // keeps its time; a step of the view history.
    void ZoomTime(double px, double factor);
    // The value axis zoomed around row py, in decades when logarithmic.
    void ZoomValues(double py, double factor);
    // The content moved dx right and dy down; a step of its own.
    void PanView(double dx, double dy);
    // A move of a pan drag, which becomes one step at EndViewDrag.
    void DragView(double dx, double dy);
    void EndViewDrag();
    // "Back" and "Forward": the previous or next view, ranges and scales
    // exactly as they were; nothing happens at either end.
    void ViewBack();
    void ViewForward();
    bool CanGoBack() const;
    bool CanGoForward() const { return history_.CanGoForward(); }
    // The values under the cursor at (px, py); not Shown off the plot area,
    // without points, or while turned off.
    TReadout ReadoutAt(double px, double py) const;
    bool ReadoutOn() const { return readoutOn_; }
    // Turns the values under the cursor on or off (kept in the settings).
    void ReadoutClick();

    // --- Curves shown, the clock-time axis and the window's data ---------
    // Every curve of the current mode in curve order: its name, colour,
    // window mean and whether it is hidden.
    std::vector<TCurveEntry> CurveList() const;
    // Hides the curve at index of the main graph, or shows it again; only the
    // drawing changes (no result is computed again). An index without a
    // named curve changes nothing.
    void ToggleCurve(int index);
    // Hides or shows the curves named name in the current mode, in this
    // profile and in those still to come.
    void SetCurveHidden(const std::string& name, bool hidden);
    const THiddenCurves& HiddenCurves() const { return hiddenCurves_; }
    // Every hidden name at once, as the whole value was taken from HiddenCurves.
    void SetHiddenCurves(const THiddenCurves& hidden);
    // The curve whose result line lies under pixel (px, py) of the main
    // graph; -1 when there is none.
    int CurveOfResultLineAt(int px, int py) const;
    // A left-button drag on the main graph, in pixels: a click on a result
    // line toggles its curve; anything else selects the window (XYGraphBox1Tool).
    void MainGraphTool(int x0, int y0, int x1, int y1);
    // "Clock time": the time axis labelled with times of day. It needs the
    // plain time axis, so it is ignored and not shown with "Time 0 at start".
    bool ClockTimeOn() const { return clockTime_; }
    bool ClockTimeAvailable() const { return !t0AtStart_; }
    void ClockTimeClick();
    // "Export window data": the selected window's points as CSV text, one
    // line each: time in seconds, clock time, then every channel's count
    // rate (every compound's ppb in ppb mode; the curves of the D/H mode),
    // hidden curves included. Empty values are empty fields.
    std::string WindowDataCsv() const;
    // Writes WindowDataCsv to path, replacing a file there only when whole.
    TIoResult ExportWindowData(const std::string& path) const;
    // --- The analysis and its undo history -------------------------------
    // What the user set for the shown profile, exactly, as one value.
    TAnalysisState AnalysisState() const;
    // Sets the analysis to state exactly and recomputes the plot and the
    // results from it, which then are those the state had; refuses (EKelError,
    // naming the field) a field value out of its range before anything
    // changes. No undo step, and "<" logs nothing.
    void RestoreAnalysis(const TAnalysisState& state);
    // "Undo" and "Redo" over the user's commands on the analysis (fields, mode
    // buttons, toggles, selection, axes); a command that changed nothing is
    // no step, and opening a profile starts a new history.
    bool CanUndo() const;
    bool CanRedo() const { return undoAt_ + 1 < undo_.size(); }
    void Undo();
    void Redo();

    // "Save analysis...": the profile's and the main kinetics file's paths
    // and checksums and the analysis, written to path whole or not at all.
    // Without a profile shown nothing is written (Failed).
    TIoResult SaveAnalysis(const std::string& path) const;
    // Opens an analysis file: its profile shown and the analysis restored
    // exactly, the kinetics file it names made the main one when it is
    // another unless keepKinetics (then a notice names both); a new undo
    // history starts there. profile, when not empty, is shown instead of the
    // file's. An analysis that cannot be read, or whose
    // profile is missing or refused, is not shown (error); a profile or
    // kinetics file changed since, or a kinetics file missing, is told in
    // notices, each naming its file.
    TAnalysisOpenResult OpenAnalysis(const std::string& path, const std::string& profile = {},
                                     bool keepKinetics = false);

    // --- Kinetics, copy and save ------------------------------------------
    // "Edit Kinetics" before its editor opens: "ppb" up, then its action, so
    // that no curve depends on the library while it is read again.
    void EditKineticsClick();
    // "&Copy": the selected window's count rates (CountRateTable) for the
    // clipboard; empty without an ion channel.
    std::string CopyDataText() const;
    // "&Save" before its dialog: the file name field and the sample flow into
    // the profile, then the four texts (UpdateComments).
    void PrepareSave(const TProfileTexts& texts);
    // "&Save" to path: a path ending in .csv (any case) gets the worksheet,
    // any other the zipped profile, whose file name field then shows the
    // path's name. A failure shows "Save Error!" with the file and reason and
    // leaves the profile and the texts as they were.
    TSaveOutcome SaveProfileAs(const std::string& path);

    // --- Plot --------------------------------------------------------------
    void RefreshPlot();
    void RescaleY();
    void BuildPlot();
    void SetTimeAxis(int index);
    // The selection as chronological point indices (start, end).
    std::pair<int, int> SelectionToWindow(double pointTime) const;
    // The selection in seconds with nothing past the profile's last point.
    std::array<double, 2> SelectionInProfile(double pointTime) const;
    // The window calculation onto the main graph (and the keep-log append).
    void RunWindowCalculation();

    // --- State the Parts of the window share -------------------------------
    const TKel& Profile() const { return profile_; }
    // The file the shown profile was read from, from the root; empty before
    // the first.
    const std::string& ProfilePath() const { return profilePath_; }
    const TXYGraph& Graph1() const { return graph1_; }  // XYGraphBox1, the time profiles
    const TXYGraph& Graph2() const { return graph2_; }  // XYGraphBox2, the side graph of the isotope mode
    // The main graph as a screen reader reads it: its title, then its legend
    // or result lines, one to a line.
    std::string GraphDescription() const;
    // A graph to draw (drawing lays out its plot rectangle), to size to its
    // control and to listen to; box 1 is XYGraphBox1, 2 XYGraphBox2. For
    // drawing, sizing and listening only: commands change everything else.
    TXYGraph& DrawingGraph(int box);
    // The main graph's selection in seconds, unsorted as dragged.
    const std::array<double, 2>& Selection() const { return selection_; }
    const TProfileTexts& Texts() const { return texts_; }
    int SensitMode() const { return sensitMode_; }
    bool Ready() const { return ready_; }
    bool LogHeaderPending() const { return logHeaderPending_; }
    TColor BoxColor() const { return boxColor_; }
    double DeadTime() const { return deadTime_; }
    double PointTime() const { return pointTime_; }
    double TotalTime() const { return totalTime_; }
    const std::vector<double>& TotalRates() const { return totalRates_; }
    const std::array<double, 29>& IonAverages() const { return ionAverages_; }
    const TIsotopeSums& IsotopeSums() const { return isotopeSums_; }
    const std::vector<TCompoundResult>& CompoundResults() const { return compoundResults_; }
    // Why the last window calculation ended early; empty when it ran through.
    const std::string& WindowError() const;
    // The channels' results of the last window calculation (count-rate mode).
    const std::vector<TChannelResult>& ChannelResults() const;
    // The numbers of the last window calculation, as its lines show them;
    // null before the first. Kept whole until the next calculation.
    std::shared_ptr<const TWindowRun> LastWindowRun() const { return lastRun_; }
    const std::string& InfoText() const { return infoText_; }
    // The intermediate-results text (MemoIntermediateResults) of the last
    // ppb-mode calculation; composed when first asked for, since a window
    // over a whole long profile makes millions of lines nobody may look at.
    const std::vector<std::string>& IntermediateResults() const;
    const std::string& StatusText() const { return statusText_; }
    // Shows a notice in the status bar until the next status replaces it.
    void ShowNotice(std::string text) { SetStatusText(std::move(text)); }

    // What the session was made with (its library, even when it computes
    // from its own copy).
    const TSessionServices& Services() const { return services_; }

    // Formats the title's date; defaults to TFixedDateTextFormatter.
    void SetDateFormatter(std::shared_ptr<const TDateTextFormatter> formatter);

    // --- Result logs -------------------------------------------------------
    // "&Log results": the selected window's line (with a header when pending).
    // A failure is shown in its box and returned.
    TIoResult btLogResultsClick();
    // "Log profile": one line per point, up to the first failure.
    TIoResult btLogProfileClick();
    // "Log head&space": one line per pressure-defined section, up to the
    // first failure.
    TIoResult btPressClick();
    // The windows "Log head&space" logs, as selections in seconds on the
    // graph's time axis, in the order it logs them.
    std::vector<std::pair<double, double>> HeadspaceSelections() const;
    // What the log lines read from the window right now.
    TLogContext LogContext() const;
    const std::string& LogFileName() const { return logFileName_; }
    // Where the result logs go from now on (by default in the current folder).
    void SetLogFileName(std::string path);

private:
    friend class TUndoStep;
    void EndUndoStep(TStepKind kind);

    // Called where the state changes, not per command, so that every way to
    // a change reports it: by the setters below and by the graphs' own
    // change callback.
    void Mark(TSessionChanges changes) { changes_ |= changes; }
    // Shows the boxes a core call handed back, in order, right after that
    // call: the one way the session reaches its message boxes.
    void ShowMessageBoxes(const TNotices& notices) const;
    // Stores value in state; a value that differs marks the part showing it.
    template <typename T, typename U>
    void Change(T& state, U&& value, TSessionChanges shows) {
        if (state == value) return;
        state = std::forward<U>(value);
        Mark(shows);
    }
    TKbase& Library() const;
    TFloatField& EditableField(TFieldId id) { return fields_[static_cast<std::size_t>(id)]; }
    void AxesChanged();
    // The main graph's axes now as the newest step of the view history.
    void RecordView();
    // axes onto the main graph (the side graph's value axis follows).
    void ShowView(const TAxesState& axes);
    // Remembers the main graph's axes as fitted to the data by "Show all".
    void MarkAxesShowAll();
    // Whether the main graph still shows what "Show all" last fitted.
    bool AxesShowAll() const;
    void PlaceInfoLine();
    // The curves' time axis from the first to the last point, in seconds.
    std::pair<double, double> TimeRange() const;
    // Whether the selection holds at least one instant of the curves' time range.
    bool SelectionMeetsCurves() const;
    // Whether the main graph's time axis shows a stretch of the curves.
    bool AxisMeetsCurves() const;
    // Points the time axis is shifted by: jm - njm with "Time 0 at start", else 0.
    double TimeShiftPoints() const;
    void SetModeDown(TModeButton button);
    void SetExpand(bool down) { Change(expand_, down, chModes); }
    void SetStatusText(std::string text) { Change(statusText_, std::move(text), chStatus); }
    // A toggle button or menu tick of the window (not one of the mode group).
    void SetToggle(bool& toggle, bool down) { Change(toggle, down, chModes); }
    // The "&Log plot" tick and the "Log / Linear" button together.
    void SetLogShown(bool log);
    void SetSelection(const std::array<double, 2>& selection) { Change(selection_, selection, chSelection); }
    void SetTexts(const TProfileTexts& texts) { Change(texts_, texts, chTexts); }
    // The numbers of a window calculation, in place of the last one's.
    void SetLastRun(TWindowRun&& run);
    // The intermediate-results text of the last calculation, which the next
    // one replaces, is gone.
    void ForgetIntermediateText();
    // Another profile (or another reading of the shown one's file) shown.
    void ReplaceProfile(TKel&& profile);
    // Runs edit on the field and marks the field when its value or text
    // moved; returns what edit returned.
    template <typename Edit>
    auto ChangeField(TFieldId id, Edit edit);
    // The selection of a window, the D/H plot and the window calculation.
    void SelectWindow(double start, double end);
    void FieldChanged(TFieldId id);
    void FieldLeft(TFieldId id);
    void PressMode(TModeButton button);
    void PpbAction();
    TCorrectionState StartRun();
    // The isotope-ratio fields.
    TIsotopeParams IsotopeParams() const;
    TWindowInputs WindowInputs(const TCorrectionState& corrections) const;
    void BuildCountRateCurves(const TCorrectionState& corrections);
    void BuildPpbCurves(const TCorrectionState& corrections);
    void BuildIsotopeCurves(int start, int end);
    void AddLegendLine(int line, const std::string& text, TColor color);
    void AddCurve(int index, TColor color, int width);
    // The hidden names of the mode onto the curves and their result lines.
    void ApplyHiddenCurves();
    // The legend name of curve index; empty for none.
    std::string CurveName(int index) const;
    // The unit of curve index's values: "c/s", "ppb", "c/s/nA" or "ppm".
    std::string CurveUnit(int index) const;
    // The date-time of chronological point, from the profile's date.
    double PointDateTime(int point) const;
    // Its time of day, "hh:mm:ss".
    std::string PointClockText(int point) const;
    // The time axis' labels as "Clock time" and "Time 0 at start" ask.
    void ApplyClockAxis();
    void LoadCurveSettings(const SettingsStore& store);
    void SaveCurveSettings(SettingsStore& store) const;
    // The value axis fitted to the graph's shown curves; a linear one starts at zero.
    static void FitValueAxis(TXYGraph& graph);
    // BuildPlot with the window results of the last calculation left in
    // place of the legend lines it writes.
    void BuildPlotKeepingResults();
    // The side graph's value axis fitted to its own curves.
    void FitSideGraph();

    // What the last ppb-mode calculation computed, kept until its text is composed.
    mutable std::shared_ptr<TIntermediateText> intermediateSource_;
    mutable std::vector<std::string> intermediateText_;
    // The same calculation's text, kept composed or not, for the undo steps
    // of the modes that show it without computing it.
    std::shared_ptr<TIntermediateText> intermediateRun_;

    TKel profile_;
    std::string profilePath_;
    TXYGraph graph1_;
    TXYGraph graph2_;
    std::array<double, 2> selection_{0, 0};
    TProfileTexts texts_;
    int sensitMode_ = 0;
    bool ready_ = false;
    bool logHeaderPending_ = false;
    TColor boxColor_ = PaletteColor(0xE0, 0xE0, 0xE0);
    double deadTime_ = 0;
    double pointTime_ = 0;
    double totalTime_ = 0;
    std::vector<double> totalRates_;
    std::array<double, 29> ionAverages_{};
    TIsotopeSums isotopeSums_;
    std::vector<TCompoundResult> compoundResults_;
    TSessionServices services_;
    std::shared_ptr<TKbase> ownLibrary_;  // null: the services' library
    std::shared_ptr<const TWindowRun> lastRun_;
    std::string infoText_;
    std::string statusText_ = "Ready";
    std::string logFileName_ = kResultLogName;
    TSessionChanges changes_ = chNone;

    std::array<TFloatField, kFieldCount> fields_;
    TModeButton modeDown_ = TModeButton::None;
    bool correct_ = true, normId_ = false, t0AtStart_ = false, keepLog_ = false, expand_ = false;
    bool logPlot_ = true, logButton_ = true;  // the "&Log plot" tick, the "Log / Linear" button
    bool followFile_ = false;
    bool following_ = false;  // a re-read of the shown file is being taken in
    std::optional<TAxesState> shownAll_;  // the axes as "Show all" left them
    std::shared_ptr<const TDateTextFormatter> dateFormatter_;
    std::vector<double> series_;  // reused Y values, njm + 1 entries
    std::vector<std::string> curveLabels_;  // legend name of each main-graph curve
    TViewHistory history_;
    TUndoEntry UndoEntry() const;
    // Restores a step exactly, its intermediate-results text too.
    void RestoreUndoEntry(const TUndoEntry& entry);
    std::vector<TUndoEntry> undo_;  // oldest first
    std::size_t undoAt_ = 0;            // the step shown, when nothing changed since
    int commandDepth_ = 0;              // commands running inside one another
    bool restoring_ = false;            // an analysis is being restored: "<" logs nothing
    bool readoutOn_ = true;
    THiddenCurves hiddenCurves_;
    bool clockTime_ = false;
};

}  // namespace kel
