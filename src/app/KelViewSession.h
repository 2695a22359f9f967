#pragma once
// The main window's brain without a single widget: the current profile, the
// two graph models, every numeric field, the mode buttons, the selection and
// the results. The GUI binds controls to it; the command-line tool and the
// tests drive it the way a user drives the window.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Settings.h"
#include "kinetics/Corrections.h"
#include "kinetics/WindowResults.h"
#include "plot/Floatedi.h"
#include "plot/Xygraphc.h"
#include "profile/Kel.h"
#include "reporting/ResultLog.h"

namespace kel {

// The numeric fields of the main window, by control name.
enum class TFieldId {
    feDeadT, feDe200, feMr200, feDf73, feFilterOutliers,
    fefr, feTg, feD, felr,
    feR2, feR3, feb74, feb75, feliq,
    PressLevel,
};
inline constexpr int kFieldCount = 15;

// The exclusive group "ppb", "D/H", "(int.res)": at most one is down.
enum class TModeButton { None, Ppb, Isotope, IntermediateResults };

// Turns a profile date into the title's date text in the user's formats.
class TDateTextFormatter {
public:
    virtual ~TDateTextFormatter() = default;
    // The user's short date, a blank and the long time; the time is left out
    // when it is exactly midnight.
    virtual std::string DateTimeText(double dateTime) const = 0;
};

// dd/mm/yyyy hh:nn:ss, for runs without a desktop locale and for tests.
class TFixedDateTextFormatter : public TDateTextFormatter {
public:
    std::string DateTimeText(double dateTime) const override;
};

class TKelViewSession {
public:
    // The state of a freshly created main window: fields at their initial
    // values, graphs set up, settings not yet read, Ready true.
    TKelViewSession();
    TKelViewSession(const TKelViewSession&) = delete;
    TKelViewSession& operator=(const TKelViewSession&) = delete;

    // --- Opening a profile -------------------------------------------------
    // Loads fileName and shows it (fields, modes, plot, "Show all"); loading
    // errors reach the caller after Ready, status and cursor are restored.
    void ShowProfile(const std::string& fileName);
    // The profile's Tg, lr, f1 and tube diameter into the flow-tube fields.
    void ShowFlowTube();
    // The flow-tube fields into the profile and a refresh, once Ready.
    void fefrTgEtcExit();

    // --- Settings ----------------------------------------------------------
    // Reads the fields of the settings table (values out of range are ignored).
    void LoadSettings(const SettingsStore& store);
    // Writes every value of the settings table; errors are ignored.
    void SaveSettings(SettingsStore& store) const;

    // --- Fields ------------------------------------------------------------
    TFloatField& Field(TFieldId id) { return fields_[static_cast<std::size_t>(id)]; }
    const TFloatField& Field(TFieldId id) const { return fields_[static_cast<std::size_t>(id)]; }
    double FieldValue(TFieldId id) const { return Field(id).Value(); }
    // The field of a control name such as "feTg"; empty for an unknown name.
    static std::optional<TFieldId> FieldOfName(std::string_view name);
    static std::string_view NameOfField(TFieldId id);
    // Sets a field as program code does (out of range: ignored, false);
    // a changed value runs the field's change handler.
    bool SetFieldValue(TFieldId id, double value);
    // A user's edit: the text is validated as on leaving the field (a refused
    // text shows the field's message and returns false), then the change and
    // leave handlers run.
    bool EditField(TFieldId id, const std::string& text);

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
    // After the axes dialog changed the main graph: the "Log / Linear" button follows it.
    void AxesChanged();
    // Leaving a text field: the four texts into the profile, then BuildPlot.
    void UpdateComments();
    // End of a mouse drag on the main graph, pixel columns where it began and ended.
    void XYGraphBox1Tool(int x0, int x1);

    // --- Plot --------------------------------------------------------------
    void RefreshPlot();
    void RescaleY();
    void BuildPlot();
    void SetTimeAxis(int index);
    // The selection as chronological point indices (start, end).
    std::pair<int, int> SelectionToWindow(double pointTime) const;
    // The window calculation onto the main graph (and the keep-log append).
    void RunWindowCalculation();

    // --- State the Parts of the window share -------------------------------
    TKel Profile;
    TXYGraph Graph1;  // XYGraphBox1, the time profiles
    TXYGraph Graph2;  // XYGraphBox2, the side graph of the isotope mode
    std::array<double, 2> Selection{0, 0};  // the main graph's selection, seconds, unsorted
    std::string edFileName, edIon, edSample, edComment;
    int SensitMode = 0;
    bool Ready = false;
    bool LogHeaderPending = false;
    TColor BoxColor = PaletteColor(0xE0, 0xE0, 0xE0);
    double DeadTime = 0;
    double PointTime = 0;
    double TotalTime = 0;
    std::vector<double> TotalRates;
    std::array<double, 29> IonAverages{};
    TIsotopeSums IsotopeSums;
    std::vector<TCompoundResult> CompoundResults;
    std::string InfoText;
    // The intermediate-results text (MemoIntermediateResults) of the last
    // ppb-mode calculation; composed when first asked for, since a window
    // over a whole long profile makes millions of lines nobody may look at.
    const std::vector<std::string>& IntermediateResults() const;
    std::string StatusText = "Ready";

    // Formats the title's date; defaults to TFixedDateTextFormatter.
    void SetDateFormatter(std::shared_ptr<const TDateTextFormatter> formatter);

    // --- Result logs -------------------------------------------------------
    // "&Log results": the selected window's line (with a header when pending).
    void btLogResultsClick();
    // "Log profile": one line per point.
    void btLogProfileClick();
    // "Log head&space": one line per pressure-defined section.
    void btPressClick();
    // What the log lines read from the window right now.
    TLogContext LogContext() const;
    std::string LogFileName = kResultLogName;  // in the current folder

private:
    void FieldChanged(TFieldId id);
    void FieldLeft(TFieldId id);
    void PressMode(TModeButton button);
    void PpbAction();
    TCorrectionState StartRun();
    TWindowInputs WindowInputs(const TCorrectionState& corrections) const;
    void BuildCountRateCurves(const TCorrectionState& corrections);
    void BuildPpbCurves(const TCorrectionState& corrections);
    void BuildIsotopeCurves(int start, int end);
    void AddLegendLine(int line, const std::string& text, TColor color);
    void AddCurve(int index, TColor color, int width);

    // What the last ppb-mode calculation read, kept until its text is composed.
    struct TIntermediateSource {
        TKel profile;
        TKbase library;
        TWindowInputs inputs;
    };
    mutable std::unique_ptr<TIntermediateSource> intermediateSource_;
    mutable std::vector<std::string> intermediateText_;

    std::array<TFloatField, kFieldCount> fields_;
    TModeButton modeDown_ = TModeButton::None;
    bool correct_ = true;
    bool normId_ = false;
    bool t0AtStart_ = false;
    bool keepLog_ = false;
    bool expand_ = false;
    bool logPlot_ = true;
    bool logButton_ = true;
    std::shared_ptr<const TDateTextFormatter> dateFormatter_;
    std::vector<double> series_;  // reused Y values, njm + 1 entries
};

}  // namespace kel
