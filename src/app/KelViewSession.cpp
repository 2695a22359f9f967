// Construction, fields and buttons of the main window's session.
#include "app/KelViewSession.h"

#include <cstdio>

#include "common/DateTime.h"
#include "common/Messages.h"
#include "kinetics/Concentration.h"

namespace kel {

namespace {

struct FieldSpec {
    std::string_view name;
    double value, min, max, step;
    int precision;
};

constexpr double kUnlimited = 1e99;

// Initial values, ranges, steps and display digits of the numeric fields, in
// TFieldId order.
constexpr std::array<FieldSpec, kFieldCount> kFieldSpecs = {{
    {"feDeadT", 0, -kUnlimited, kUnlimited, 0, 4},
    {"feDe200", 0, 0, 100, 0.1, 4},
    {"feMr200", 5.0, -kUnlimited, 100, 0.1, 4},
    {"feDf73", 1.0, 0.05, 100, 0.1, 4},
    {"feFilterOutliers", 3.0, -100, 100, 0.1, 4},
    {"fefr", 2.0, 0.01, 100, 0.01, 3},
    {"feTg", 300, 40, 600, 1, 3},
    {"feD", 4.1, 0.1, 30, 0.1, 3},
    {"felr", 34, 0.1, 100, 0.1, 3},
    {"feR2", 0.000379, 0.0003, 0.0005, 1e-6, 4},
    {"feR3", 0.00198, 0.001, 0.003, 1e-5, 4},
    {"feb74", 0, -kUnlimited, kUnlimited, 0, 4},
    {"feb75", 0, -kUnlimited, kUnlimited, 0, 4},
    {"feliq", 0.935, -kUnlimited, kUnlimited, 0.005, 3},
    {"PressLevel", 50, 20, 80, 1, 4},
}};

void SetUpMainGraph(TXYGraph& g) {
    g.SetOptions(xyAutoXDiv | xyAutoYDiv);
    g.Font().SetName("Arial");
    g.Font().SetHeight(13);
    g.SetWidth(769);
    g.SetHeight(329);
    g.SetXScale(scLin);
    g.SetYScale(scLog10);
    g.Setxmin(0);
    g.Setxmax(100);
    g.SetYmin(1);
    g.SetYmax(100);
    g.SetXdiv(10);
    g.SetYdiv(1);
    g.SetTitleBottom("time");
    g.SetTitleLeft("c/s");
    g.SetTitleTop("Time profiles");
    g.SetTitleRight("s");
    g.MinLogSpan = 0.5;
}

void SetUpSideGraph(TXYGraph& g) {
    g.SetOptions(xyAutoYDiv);
    g.Font().SetName("Arial");
    g.Font().SetHeight(13);
    g.SetWidth(167);
    g.SetHeight(327);
    g.SetXScale(scLin);
    g.SetYScale(scLog10);
    g.Setxmin(0.3);
    g.Setxmax(-0.3);
    g.SetYmin(1);
    g.SetYmax(100);
    g.SetXdiv(0.5);
    g.SetYdiv(1);
    g.SetTitleBottom("m/z");
    g.SetTitleLeft("c/s");
}

}  // namespace

std::string TFixedDateTextFormatter::DateTimeText(double dateTime) const {
    DateTimeParts p = DecodeDateTime(dateTime);
    char buf[48];
    if (p.hour == 0 && p.minute == 0 && p.second == 0 && p.millisecond == 0)
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", p.day, p.month, p.year);
    else
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", p.day, p.month, p.year, p.hour, p.minute,
                      p.second);
    return buf;
}

TKelViewSession::TKelViewSession(const TSessionServices& services)
    : services_(services), dateFormatter_(std::make_shared<TFixedDateTextFormatter>()) {
    for (std::size_t i = 0; i < kFieldSpecs.size(); ++i) {
        const FieldSpec& s = kFieldSpecs[i];
        fields_[i] = TFloatField(s.value, s.min, s.max, s.step, s.precision);
    }
    SetUpMainGraph(graph1_);
    SetUpSideGraph(graph2_);
    RecordView();
    // Whatever changes a graph, a command or a control drawing it, reaches
    // the one record the window listens to.
    graph1_.OnChange = [this](const void*) { Mark(chPlot); };
    graph2_.OnChange = graph1_.OnChange;
    ready_ = true;
    undo_.assign(1, UndoEntry());
}

void TKelViewSession::ShowMessageBoxes(const TNotices& notices) const { ShowNotices(services_.messages, notices); }

void TKelViewSession::SetDateFormatter(std::shared_ptr<const TDateTextFormatter> formatter) {
    dateFormatter_ = formatter ? std::move(formatter) : std::make_shared<TFixedDateTextFormatter>();
}

std::optional<TFieldId> TKelViewSession::FieldOfName(std::string_view name) {
    for (std::size_t i = 0; i < kFieldSpecs.size(); ++i)
        if (kFieldSpecs[i].name == name) return static_cast<TFieldId>(i);
    return std::nullopt;
}

std::string_view TKelViewSession::NameOfField(TFieldId id) { return kFieldSpecs[static_cast<std::size_t>(id)].name; }

template <typename Edit>
auto TKelViewSession::ChangeField(TFieldId id, Edit edit) {
    TFloatField& field = EditableField(id);
    const double value = field.Value();
    const std::string text = field.Text();
    auto result = edit(field);
    if (field.Value() != value || field.Text() != text) Mark(chFields);
    return result;
}

bool TKelViewSession::SetFieldValue(TFieldId id, double value) {
    const std::string before = Field(id).Text();
    if (!ChangeField(id, [value](TFloatField& field) { return field.SetValue(value); })) return false;
    // The field's change event fires when its text changes.
    if (Field(id).Text() != before) FieldChanged(id);
    return true;
}

bool TKelViewSession::EditField(TFieldId id, const std::string& text) {
    const TUndoStep step(*this, TStepKind::User);
    TypeField(id, text);
    return LeaveField(id, text);
}

void TKelViewSession::TypeField(TFieldId id, const std::string& text) {
    const double before = FieldValue(id);
    // The value follows the text while it reads as a number in range.
    ChangeField(id, [&text](TFloatField& field) {
        field.ParseText(text);
        return true;
    });
    if (FieldValue(id) != before) FieldChanged(id);
}

bool TKelViewSession::LeaveField(TFieldId id, const std::string& text) {
    const TUndoStep step(*this, TStepKind::User);
    const double before = FieldValue(id);
    // The strict check, then the text in display form.
    const std::optional<TNotice> refusal = ChangeField(id, [&text](TFloatField& field) {
        std::optional<TNotice> refused;
        field.ValidateText(text, &refused);
        if (!refused) field.SetValue(field.Value());
        return refused;
    });
    if (refusal) ShowMessageBoxes({*refusal});
    // A control showing the typed text re-reads the display form too, though
    // the field itself kept it.
    if (Field(id).Text() != text) Mark(chFields);
    if (refusal) return false;
    // Emptied text may have become 0 only now.
    if (FieldValue(id) != before) FieldChanged(id);
    FieldLeft(id);
    return true;
}

void TKelViewSession::SpinField(TFieldId id, bool up) {
    const TUndoStep step(*this, TStepKind::User);
    const std::string before = Field(id).Text();
    const std::optional<TNotice> refusal = ChangeField(id, [up](TFloatField& field) { return field.Spin(up); });
    if (refusal) ShowMessageBoxes({*refusal});
    if (Field(id).Text() == before) return;
    FieldChanged(id);
    // The diameter is taken on a click, where the other flow-tube fields
    // have just been taken by their change: one refresh (and one kept log
    // line) per step.
    if (id == TFieldId::feD) fefrTgEtcExit();
}

void TKelViewSession::FieldChanged(TFieldId id) {
    switch (id) {
        case TFieldId::feDe200:
            profile_.De200 = FieldValue(id);
            RefreshPlot();
            break;
        case TFieldId::feMr200:
            profile_.Mr200 = FieldValue(id);
            RefreshPlot();
            break;
        case TFieldId::feDf73:
            profile_.Df73 = FieldValue(id);
            RefreshPlot();
            break;
        case TFieldId::feFilterOutliers:
            profile_.OutlierPower = FieldValue(id);
            RefreshPlot();
            break;
        case TFieldId::fefr:
        case TFieldId::feTg:
        case TFieldId::felr:
            fefrTgEtcExit();
            break;
        case TFieldId::feDeadT:
        case TFieldId::feR2:
        case TFieldId::feR3:
        case TFieldId::feb74:
        case TFieldId::feb75:
        case TFieldId::feliq:
            RefreshPlot();
            break;
        case TFieldId::feD:
        case TFieldId::PressLevel:
            break;  // these act on leaving the field
    }
}

void TKelViewSession::FieldLeft(TFieldId id) {
    switch (id) {
        case TFieldId::fefr:
        case TFieldId::feTg:
        case TFieldId::felr:
        case TFieldId::feD:
        case TFieldId::PressLevel:
            fefrTgEtcExit();
            break;
        default:
            break;
    }
}

TPlotMode TKelViewSession::Mode() const {
    if (IsotopeDown()) return TPlotMode::Isotope;
    if (PpbDown()) return TPlotMode::Ppb;
    return TPlotMode::Rate;
}

void TKelViewSession::SetModeDown(TModeButton button) { Change(modeDown_, button, chModes); }

void TKelViewSession::PressMode(TModeButton button) { SetModeDown(modeDown_ == button ? TModeButton::None : button); }

void TKelViewSession::UseOwnLibrary(const TKbase& library) { ownLibrary_ = std::make_shared<TKbase>(library); }

TKbase& TKelViewSession::Library() const { return ownLibrary_ ? *ownLibrary_ : services_.library; }

void TKelViewSession::PpbAction() {
    SelectCompoundsForPpb(Library(), profile_);
    RefreshPlot();
    if (profile_.njm >= 1) RescaleY();
}

void TKelViewSession::BtnPpbClick() {
    const TUndoStep step(*this, TStepKind::User);
    PressMode(TModeButton::Ppb);
    PpbAction();
}

void TKelViewSession::ReleasePpb() {
    const TUndoStep step(*this, TStepKind::User);
    if (PpbDown()) SetModeDown(TModeButton::None);
}

void TKelViewSession::PressPpb() {
    const TUndoStep step(*this, TStepKind::User);
    SetModeDown(TModeButton::Ppb);
    PpbAction();
}

void TKelViewSession::btnIRClick() {
    const TUndoStep step(*this, TStepKind::User);
    PressMode(TModeButton::Isotope);
    RefreshPlot();
}

void TKelViewSession::sbInfoClick() {
    const TUndoStep step(*this, TStepKind::User);
    const TPlotMode shown = Mode();
    PressMode(TModeButton::IntermediateResults);
    // Going down releases "ppb" or "D/H": the graph, its results and what
    // "&Log results" writes follow the buttons, as that button's own release
    // would have made them.
    if (Mode() == shown) return;
    RefreshPlot();
    if (shown == TPlotMode::Ppb && profile_.njm >= 1) RescaleY();
}

void TKelViewSession::btnApplyDeMrClick() {
    const TUndoStep step(*this, TStepKind::User);
    SetToggle(correct_, !correct_);
    RefreshPlot();
}

void TKelViewSession::btnNormIdClick() {
    const TUndoStep step(*this, TStepKind::User);
    SetToggle(normId_, !normId_);
    RefreshPlot();
    RescaleY();
}

void TKelViewSession::cbT0StartClick() {
    const TUndoStep step(*this, TStepKind::User);
    SetToggle(t0AtStart_, !t0AtStart_);
    RefreshPlot();
    // The shifted curves may lie wholly beside the axis shown or the window
    // selected: nothing would be seen or computed.
    if (profile_.njm >= 1 && (!SelectionMeetsCurves() || !AxisMeetsCurves())) SelectAllClick();
}

void TKelViewSession::sbKeepLogClick() {
    SetToggle(keepLog_, !keepLog_);
}

}  // namespace kel
