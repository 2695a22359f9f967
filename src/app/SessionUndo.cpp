// The analysis of the session as one value, restoring it, and the undo
// history of the user's commands made of such values.
#include <string>

#include "app/KelViewSession.h"
#include "common/Errors.h"
#include "common/NumberText.h"
#include "kinetics/Concentration.h"
#include "plot/GraphView.h"

namespace kel {

namespace {

// Enough for a long working session; the oldest steps go first.
constexpr std::size_t kMaxUndoSteps = 1000;

struct ModeName {
    TModeButton mode;
    const char* name;
};

constexpr ModeName kModeNames[] = {{TModeButton::None, "none"},
                                   {TModeButton::Ppb, "ppb"},
                                   {TModeButton::Isotope, "dh"},
                                   {TModeButton::IntermediateResults, "intres"}};

}  // namespace

const char* ModeButtonName(TModeButton mode) {
    for (const ModeName& m : kModeNames)
        if (m.mode == mode) return m.name;
    return "none";
}

bool ModeButtonOfName(const std::string& name, TModeButton& mode) {
    for (const ModeName& m : kModeNames)
        if (name == m.name) {
            mode = m.mode;
            return true;
        }
    return false;
}

TUndoStep::TUndoStep(TKelViewSession& session, TStepKind kind) : session_(session), kind_(kind) {
    ++session_.commandDepth_;
}

TUndoStep::~TUndoStep() {
    if (--session_.commandDepth_ != 0) return;
    try {
        session_.EndUndoStep(kind_);
    } catch (...) {
        // Only memory can run out here; the command itself stands, without
        // its step.
    }
}

TUndoEntry TKelViewSession::UndoEntry() const {
    TUndoEntry entry{AnalysisState(), nullptr};
    // A ppb step computes its text again when restored; the others keep the
    // last ppb calculation's, which no state of theirs could compute.
    if (entry.state.mode != TModeButton::Ppb) entry.intermediate = intermediateRun_;
    return entry;
}

void TKelViewSession::EndUndoStep(TStepKind kind) {
    TUndoEntry now = UndoEntry();
    if (kind == TStepKind::NewHistory || undo_.empty()) {
        undo_.assign(1, std::move(now));
        undoAt_ = 0;
        return;
    }
    const TUndoEntry& shown = undo_[undoAt_];
    if (now.state == shown.state && now.intermediate == shown.intermediate) return;
    if (kind == TStepKind::Program) {
        undo_[undoAt_] = std::move(now);
        return;
    }
    undo_.resize(undoAt_ + 1);
    undo_.push_back(std::move(now));
    if (undo_.size() > kMaxUndoSteps) undo_.erase(undo_.begin());
    undoAt_ = undo_.size() - 1;
}

TAnalysisState TKelViewSession::AnalysisState() const {
    TAnalysisState state;
    state.mode = modeDown_;
    for (std::size_t i = 0; i < fields_.size(); ++i) state.fields[i] = fields_[i].Value();
    state.correct = correct_;
    state.normId = normId_;
    state.t0AtStart = t0AtStart_;
    state.expand = expand_;
    state.selection = selection_;
    state.axes = AxesOf(graph1_);
    state.profile = {profile_.De200, profile_.Mr200, profile_.Df73, profile_.OutlierPower,
                     profile_.Tg,    profile_.lr,    profile_.Aft,  profile_.f1};
    state.hiddenCurves = hiddenCurves_;
    return state;
}

void TKelViewSession::RestoreAnalysis(const TAnalysisState& state) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        TFloatField check = fields_[i];
        if (!check.SetValue(state.fields[i]))
            throw EKelError("The value " + FormatShortest(state.fields[i]) + " of " +
                            std::string(NameOfField(static_cast<TFieldId>(i))) + " lies outside its range");
    }
    const TUndoStep step(*this, TStepKind::Program);
    struct Restoring {
        bool& flag;
        explicit Restoring(bool& f) : flag(f) { flag = true; }
        ~Restoring() { flag = false; }
    } restoring{restoring_};
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        TFloatField& field = fields_[i];
        const std::string text = field.Text();
        const double value = field.Value();
        field.SetValue(state.fields[i]);
        if (field.Value() != value || field.Text() != text) Mark(chFields);
    }
    const TAnalysisProfileValues& p = state.profile;
    profile_.De200 = p.De200;
    profile_.Mr200 = p.Mr200;
    profile_.Df73 = p.Df73;
    profile_.OutlierPower = p.OutlierPower;
    profile_.Tg = p.Tg;
    profile_.lr = p.lr;
    profile_.Aft = p.Aft;
    profile_.f1 = p.f1;
    const bool ppbBefore = PpbDown();
    SetModeDown(state.mode);
    if (correct_ != state.correct || normId_ != state.normId || t0AtStart_ != state.t0AtStart) Mark(chModes);
    correct_ = state.correct;
    normId_ = state.normId;
    t0AtStart_ = state.t0AtStart;
    SetExpand(state.expand);
    if (selection_ != state.selection) Mark(chSelection);
    selection_ = state.selection;
    // The compounds a ppb plot quantifies are selected when "ppb" goes down;
    // a state that stayed in ppb mode keeps the selection it had.
    if (PpbDown() && !ppbBefore) SelectCompoundsForPpb(Library(), profile_);
    if (hiddenCurves_ != state.hiddenCurves) Mark(chPlot);
    hiddenCurves_ = state.hiddenCurves;  // applied as the plot is built
    RefreshPlot();
    if (Mode() == TPlotMode::Isotope) {
        // The side graph keeps the range its own curves were fitted to.
        RestoreAxes(graph1_, state.axes);
        AxesChanged();
    } else {
        ShowView(state.axes);
    }
    PlaceInfoLine();
}

void TKelViewSession::RestoreUndoEntry(const TUndoEntry& entry) {
    const TUndoStep step(*this, TStepKind::Program);
    RestoreAnalysis(entry.state);
    if (entry.state.mode == TModeButton::Ppb || intermediateRun_ == entry.intermediate) return;
    intermediateRun_ = intermediateSource_ = entry.intermediate;
    intermediateText_.clear();
    Mark(chResults);
}

bool TKelViewSession::CanUndo() const {
    if (undoAt_ > 0) return true;
    if (undo_.empty()) return false;
    const TUndoEntry now = UndoEntry();
    return !(now.state == undo_[undoAt_].state) || now.intermediate != undo_[undoAt_].intermediate;
}

void TKelViewSession::Undo() {
    // A change no command recorded becomes a step first, so that Redo comes
    // back to what was shown.
    EndUndoStep(TStepKind::User);
    if (undoAt_ == 0) return;
    --undoAt_;
    RestoreUndoEntry(undo_[undoAt_]);
}

void TKelViewSession::Redo() {
    if (!CanRedo()) return;
    ++undoAt_;
    RestoreUndoEntry(undo_[undoAt_]);
}

}  // namespace kel
