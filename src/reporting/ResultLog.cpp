#include "reporting/ResultLog.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <vector>

#include "common/AppendFile.h"
#include "common/DateTime.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "common/NumberText.h"
#include "common/SafeMath.h"
#include "kinetics/Concentration.h"
#include "kinetics/CountAccess.h"
#include "kinetics/FlowTube.h"
#include "kinetics/WindowMeans.h"

namespace kel {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr double kSecondsPerDay = 86400;

std::string DateAndTime(double dateTime) {
    DateTimeParts p = DecodeDateTime(dateTime);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d,%02d:%02d:%02d", p.day, p.month, p.year, p.hour, p.minute,
                  p.second);
    return buf;
}

std::string TimeOnly(double dateTime) {
    DateTimeParts p = DecodeDateTime(dateTime);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second);
    return buf;
}

std::string FileItem(const TLogContext& c) {
    const std::string& name = c.fileNameField;
    return name.size() <= 4 ? std::string() : name.substr(0, name.size() - 4);
}

// Even rows 18..26 whose name holds no "(": pressure and the like.
std::vector<int> LoggedAuxRows(const TKel& kel) {
    std::vector<int> rows;
    for (int r = 18; r <= 26; r += 2)
        if (static_cast<std::size_t>(r) < kel.Name.size() &&
            kel.Name[static_cast<std::size_t>(r)].find('(') == std::string::npos)
            rows.push_back(r);
    return rows;
}

// The sample flow the ppb columns divide by: f1 when plausible, else 2.
double LoggedSampleFlow(const TKel& kel) {
    double f1 = kel.f1;
    return f1 > 0 && f1 < 50 ? f1 : 2.0;
}

// What the compound items of one context compute alike for every window:
// the compounds' window plans and the flow-tube values. Each is made when an
// item first needs it, in the order the items always made them, so that an
// error still arises where it did; a value once made is the same every time.
class TCompoundRun {
public:
    explicit TCompoundRun(const TLogContext& c)
        : kel_(*c.profile), corrections_(c.corrections), plans_(c.library ? c.library->Count() : 0) {}
    const TWindowPlan& Plan(int index, const TKrecord& compound) {
        std::optional<TWindowPlan>& plan = plans_[static_cast<std::size_t>(index)];
        if (!plan) plan = PlanWindow(kel_, corrections_, compound);
        return *plan;
    }
    double ReactionTimeOnce() {
        if (!reactionTime_) reactionTime_ = ReactionTime(kel_);
        return *reactionTime_;
    }
    double FlowFactorOnce() {
        if (!flowFactor_) flowFactor_ = FlowFactor(kel_);
        return *flowFactor_;
    }

private:
    const TKel& kel_;
    TCorrectionState corrections_;
    std::vector<std::optional<TWindowPlan>> plans_;
    std::optional<double> reactionTime_, flowFactor_;
};

// ,"name",ppb (and , amount) of every selected compound computed for the window.
std::string CompoundItems(const TLogContext& c, int start, int end, double cycleTime, bool withAmount,
                          TCompoundRun& run) {
    const TKel& kel = *c.profile;
    std::string out;
    if (!c.library) return out;
    TWindowArrays arrays;
    for (int i = 0; i < c.library->Count(); ++i) {
        const TKrecord& compound = c.library->Compound(i);
        if (compound.SelectCount == 0) continue;
        FillWindowArrays(kel, run.Plan(i, compound), start, end, arrays);
        TDensityResult density =
            ComputeDensity(compound.PrecursorCount, compound.ProductCount, arrays, run.ReactionTimeOnce());
        if (!density.Computed) continue;
        double ppb = DensityToPpb(density.Density, run.FlowFactorOnce(), LoggedSampleFlow(kel));
        out += ",\"" + compound.Name + "\"," + FormatFixed(ppb, 6, 1);
        if (withAmount) out += ", " + FormatFixed(AmountMol(start, end, ppb, kel.f1, cycleTime), 6, 1);
    }
    return out;
}

std::string IsotopeItems(const TLogContext& c) {
    const TIsotopeSums& s = c.isotopeSums;
    double r2 = c.isotope.R2, r3 = c.isotope.R3, liq = c.isotope.liq;
    double q = CheckedDivide(s.S74, s.S75);
    double vapour = (q * r3 - r2) * 4000000 / 9;
    double vapourError = q * r3 * s.RelErr * 1000000 * 4 / 9;
    return ", " + FormatFixed(s.S74, 6, 0) + " " + ", " + FormatFixed(s.S75, 6, 0) + " " + ", " +
           FormatFixed(q, 6, 4) + ", " + FormatFixed(s.RelErr * 100, 0, 1) + " " + ", " + FormatFixed(vapour, 3, 0) +
           ", " + FormatFixed(vapourError, 1, 0) + ", " + FormatFixed(CheckedDivide(vapour, liq), 3, 0) + ", " +
           FormatFixed(CheckedDivide(vapourError, liq), 1, 0);
}

std::string RateItems(const TLogContext& c, int start, int end) {
    const TKel& kel = *c.profile;
    std::string out;
    for (int k = 0; k < IonChannelCount(kel); ++k)
        out += ", " + FormatFixed(ChannelWindowMean(kel, c.corrections, k, start, end), 6, 0) + " ";
    return out;
}

double RequireCycleTime(const TKel& kel) {
    double t = CycleTime(kel);
    if (!(t > 0)) throw EKelError("No cycle time: the profile has no dwell times");
    return t;
}

// BatchLine with the values the run shares between the lines of a profile.
std::string BatchLineOf(const TLogContext& c, int point, TCompoundRun& run) {
    const TKel& kel = *c.profile;
    double t = RequireCycleTime(kel);
    return FileItem(c) + "," + DateAndTime(kel.ProfileDate + point * t / kSecondsPerDay) +
           CompoundItems(c, point, point, t, false, run) + kLineEnd;
}

// Composes header (when pending) and line, then appends both in one write. A
// failure while composing reaches the user and writes nothing; the header
// then stays pending for the next line.
void AppendLine(const TLogContext& context, bool& logHeaderPending, int start, int end) {
    std::string text;
    bool pending = logHeaderPending || !std::filesystem::exists(context.logPath);
    try {
        text = LogDataLine(context, start, end);
        if (pending) text = LogHeaderLine(context) + text;
    } catch (const EKelError& e) {
        logHeaderPending = pending;
        ShowMessage(e.what());
        return;
    }
    if (AppendToFile(context.logPath, text) == TAppendResult::Failed) {
        logHeaderPending = pending;
        DebugMessage("write error");
        return;
    }
    logHeaderPending = false;
}

}  // namespace

std::string LogHeaderLine(const TLogContext& c) {
    const TKel& kel = *c.profile;
    std::string out = "file,date,time,endtime";
    if (c.mode == TPlotMode::Isotope) {
        out += ", i74 , i75 , Q, Qerr , R1vap, R1vaperr, R1liq, R1liqerr";
    } else if (c.mode == TPlotMode::Rate) {
        for (int k = 0; k < IonChannelCount(kel); ++k)
            out += ", mz" + FormatFixed(kel.IonMass[static_cast<std::size_t>(k)], 0, 0) + " ";
    }
    for (int r : LoggedAuxRows(kel)) out += ", " + kel.Name[static_cast<std::size_t>(r)];
    return out + kLineEnd;
}

std::string LogDataLine(const TLogContext& c, int start, int end) {
    const TKel& kel = *c.profile;
    double t = RequireCycleTime(kel);
    std::string out = FileItem(c) + "," + DateAndTime(kel.ProfileDate + start * t / kSecondsPerDay) + "," +
                      TimeOnly(kel.ProfileDate + end * t / kSecondsPerDay);
    if (c.mode == TPlotMode::Isotope) {
        out += IsotopeItems(c);
    } else if (c.mode == TPlotMode::Ppb) {
        TCompoundRun run(c);
        out += CompoundItems(c, start, end, t, true, run);
    } else {
        out += RateItems(c, start, end);
    }
    double points = end - start + 1;
    for (int r : LoggedAuxRows(kel)) {
        double sum = 0;
        for (int i = start; i <= end; ++i) {
            int slot = SlotOfPoint(kel, i);
            const auto& row = kel.Counts[static_cast<std::size_t>(r)];
            if (slot >= 0 && static_cast<std::size_t>(slot) < row.size()) sum += row[static_cast<std::size_t>(slot)];
        }
        out += ", " + FormatFixed(CheckedDivide(sum, points), 1, 0);
    }
    return out + kLineEnd;
}

std::string BatchLine(const TLogContext& c, int point) {
    TCompoundRun run(c);
    return BatchLineOf(c, point, run);
}

std::pair<int, int> LogWindowOfSelection(const TLogContext& c, double cycleTime) {
    double x0 = std::min(c.selection0, c.selection1), x1 = std::max(c.selection0, c.selection1);
    if (x0 < 0) x0 = 0;
    return {static_cast<int>(RoundHalfEvenToInt(x0 / cycleTime)), static_cast<int>(RoundHalfEvenToInt(x1 / cycleTime))};
}

void LogWindowResults(const TLogContext& context, bool& logHeaderPending) {
    double t = CycleTime(*context.profile);
    if (!(t > 0)) {
        ShowMessage("No cycle time: the profile has no dwell times");
        return;
    }
    auto [start, end] = LogWindowOfSelection(context, t);
    AppendLine(context, logHeaderPending, start, end);
}

void LogProfileResults(const TLogContext& context, bool& logHeaderPending) {
    double t = CycleTime(*context.profile);
    if (!(t > 0)) {
        ShowMessage("No cycle time: the profile has no dwell times");
        return;
    }
    for (int i = 0; i < context.profile->njm; ++i) AppendLine(context, logHeaderPending, i, i);
}

std::string BatchLines(const TLogContext& context, std::exception_ptr& failure) {
    TCompoundRun run(context);
    std::string lines;
    failure = nullptr;
    try {
        for (int i = 1; i < context.profile->njm; ++i) lines += BatchLineOf(context, i, run);
    } catch (const EKelError&) {
        failure = std::current_exception();
    }
    return lines;
}

bool AppendLines(const std::string& fileName, const std::string& lines) {
    return lines.empty() || AppendToFile(fileName, lines) != TAppendResult::Failed;
}

bool AppendBatchLines(const TLogContext& context, const std::string& fileName) {
    // Complete lines only, in one append: a point that cannot be composed
    // keeps the lines before it and ends the batch with its error.
    std::exception_ptr failure;
    bool written = AppendLines(fileName, BatchLines(context, failure));
    if (failure) std::rethrow_exception(failure);
    return written;
}

}  // namespace kel
