#include "reporting/ResultLog.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <filesystem>
#include <optional>
#include <vector>

#include "common/AppendFile.h"
#include "common/CsvField.h"
#include "common/DateTime.h"
#include "common/Errors.h"
#include "common/Notice.h"
#include "common/NumberText.h"
#include "common/Platform.h"
#include "common/SafeMath.h"
#include "common/TextEncoding.h"
#include "kinetics/Concentration.h"
#include "kinetics/FlowTube.h"
#include "kinetics/IsotopeRatio.h"
#include "kinetics/WindowMeans.h"

namespace kel {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr double kSecondsPerDay = 86400;

// value as printf's "%0*d" writes it: at least `width` characters, zeros
// between a minus sign and the digits.
void AppendPadded(std::string& out, int value, int width) {
    char digits[16];
    long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
    char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    auto length = static_cast<int>(end - digits) + (value < 0 ? 1 : 0);
    if (value < 0) out += '-';
    if (length < width) out.append(static_cast<std::size_t>(width - length), '0');
    out.append(digits, end);
}

// hh:nn:ss of the parts.
void AppendClock(std::string& out, const DateTimeParts& p) {
    AppendPadded(out, p.hour, 2);
    out += ':';
    AppendPadded(out, p.minute, 2);
    out += ':';
    AppendPadded(out, p.second, 2);
}

// dd/mm/yyyy,hh:nn:ss of the date-time.
void AppendDateAndTime(std::string& out, double dateTime) {
    DateTimeParts p = DecodeDateTime(dateTime);
    AppendPadded(out, p.day, 2);
    out += '/';
    AppendPadded(out, p.month, 2);
    out += '/';
    AppendPadded(out, p.year, 4);
    out += ',';
    AppendClock(out, p);
}

// The file name field without its last four characters (the extension);
// characters, not bytes, so that a name is never cut inside one.
void AppendFileItem(std::string& out, const TLogContext& c) {
    const std::string& name = c.fileNameField;
    std::size_t length = Utf8Length(name);
    if (length > 4) AppendCsvField(out, Utf8Prefix(name, length - 4));
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

// Where a run takes the compound densities from: windows filled afresh, or
// one series per compound serving the one-point windows of a whole batch.
enum class TDensitySource { Windows, PointSeries };

// What the compound items of one context compute alike for every window:
// the logged sample flow, which cannot fail, and, each made when an item
// first needs it in the order the items always made them (so that an error
// still arises where it did), the compounds' window plans and density series
// and the flow-tube values. A value once made is the same every time.
class TCompoundRun {
public:
    TCompoundRun(const TLogContext& c, TDensitySource source)
        : kel_(*c.profile),
          corrections_(c.corrections),
          source_(source),
          sampleFlow_(LoggedSampleFlow(kel_)),
          plans_(c.library ? c.library->Count() : 0),
          series_(plans_.size()) {}

    // The compound's density over [start, end]. A series run answers one-point
    // windows from the compound's series; the series of a run begin at the
    // first point asked and share their ion lines. Points are asked in
    // increasing order, and a point a series did not reach raises the error
    // that ended it.
    TDensityResult Density(int index, const TKrecord& compound, int start, int end) {
        if (source_ == TDensitySource::Windows) {
            FillWindowArrays(kel_, Plan(index, compound), start, end, arrays_);
            return ComputeDensity(compound.PrecursorCount, compound.ProductCount, arrays_, ReactionTimeOnce());
        }
        if (!lines_) {
            first_ = start;
            lines_.emplace(kel_, start);
        }
        std::optional<TDensitySeries>& series = series_[static_cast<std::size_t>(index)];
        if (!series) series = DensitySeries(*lines_, Plan(index, compound), [this] { return ReactionTimeOnce(); });
        auto offset = static_cast<std::size_t>(start - first_);
        if (offset < series->Results.size()) return series->Results[offset];
        std::rethrow_exception(series->Failure);
    }
    double FlowFactorOnce() {
        if (!flowFactor_) flowFactor_ = FlowFactor(kel_);
        return *flowFactor_;
    }
    double SampleFlow() const { return sampleFlow_; }

private:
    const TWindowPlan& Plan(int index, const TKrecord& compound) {
        std::optional<TWindowPlan>& plan = plans_[static_cast<std::size_t>(index)];
        if (!plan) plan = PlanWindow(kel_, corrections_, compound);
        return *plan;
    }
    double ReactionTimeOnce() {
        if (!reactionTime_) reactionTime_ = ReactionTime(kel_);
        return *reactionTime_;
    }

    const TKel& kel_;
    TCorrectionState corrections_;
    TDensitySource source_;
    double sampleFlow_;
    std::vector<std::optional<TWindowPlan>> plans_;
    int first_ = 0;
    std::optional<TLineRates> lines_;
    std::vector<std::optional<TDensitySeries>> series_;
    TWindowArrays arrays_;
    std::optional<double> reactionTime_, flowFactor_;
};

// ,"name",ppb (and , amount) of every selected compound computed for the window.
void AppendCompoundItems(std::string& out, const TLogContext& c, int start, int end, double cycleTime,
                         bool withAmount, TCompoundRun& run) {
    const TKel& kel = *c.profile;
    if (!c.library) return;
    for (int i = 0; i < c.library->Count(); ++i) {
        const TKrecord& compound = c.library->Compound(i);
        if (compound.SelectCount == 0) continue;
        TDensityResult density = run.Density(i, compound, start, end);
        if (!density.Computed) continue;
        double ppb = DensityToPpb(density.Density, run.FlowFactorOnce(), run.SampleFlow());
        out += ',';
        AppendCsvField(out, compound.Name, TCsvQuoting::Always);
        out += ',';
        out += FormatFixed(ppb, 6, 1);
        if (withAmount) {
            out += ", ";
            out += FormatFixed(AmountMol(start, end, ppb, kel.f1, cycleTime), 6, 1);
        }
    }
}

std::string IsotopeItems(const TLogContext& c) {
    const TIsotopeSums& s = c.isotopeSums;
    TIsotopeRatio ratio = ComputeIsotopeRatio(s, c.isotope);
    return ", " + FormatFixed(s.S74, 6, 0) + " " + ", " + FormatFixed(s.S75, 6, 0) + " " + ", " +
           FormatFixed(ratio.Q, 6, 4) + ", " + FormatFixed(s.RelErr * 100, 0, 1) + " " + ", " +
           FormatFixed(ratio.R1Vapour, 3, 0) + ", " + FormatFixed(ratio.R1VapourError, 1, 0) + ", " +
           FormatFixed(ratio.R1Liquid, 3, 0) + ", " + FormatFixed(ratio.R1LiquidError, 1, 0);
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

// Appends the batch line of the point, with the densities the run gives.
void AppendBatchLine(std::string& out, const TLogContext& c, int point, TCompoundRun& run) {
    const TKel& kel = *c.profile;
    double t = RequireCycleTime(kel);
    AppendFileItem(out, c);
    out += ',';
    AppendDateAndTime(out, kel.ProfileDate + point * t / kSecondsPerDay);
    AppendCompoundItems(out, c, point, point, t, false, run);
    out += kLineEnd;
}

// Composes header (when pending) and line, then appends both in one write. A
// failure while composing or writing writes nothing and is returned; the
// header then stays pending for the next line.
TIoResult AppendLine(const TLogContext& context, bool& logHeaderPending, int start, int end) {
    std::string text;
    bool pending = logHeaderPending || !std::filesystem::exists(os::PathOf(context.logPath));
    try {
        text = LogDataLine(context, start, end);
        if (pending) text = LogHeaderLine(context) + text;
    } catch (const EKelError& e) {
        logHeaderPending = pending;
        return TIoResult::Failure(TIoStatus::Failed, context.logPath, e.what());
    }
    std::string reason;
    if (AppendToFile(context.logPath, text, &reason) == TAppendResult::Failed) {
        logHeaderPending = pending;
        return TIoResult::Failure(TIoStatus::WriteFailed, context.logPath, reason);
    }
    logHeaderPending = false;
    return TIoResult::Success();
}

TIoResult NoCycleTime(const TLogContext& context) {
    return TIoResult::Failure(TIoStatus::Failed, context.logPath, "No cycle time: the profile has no dwell times");
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
    for (int r : LoggedAuxRows(kel)) {
        // The blank belongs to the field, so a quoted name keeps it inside the quotes.
        out += ',';
        AppendCsvField(out, " " + kel.Name[static_cast<std::size_t>(r)]);
    }
    return out + kLineEnd;
}

std::string LogDataLine(const TLogContext& c, int start, int end) {
    const TKel& kel = *c.profile;
    double t = RequireCycleTime(kel);
    std::string out;
    AppendFileItem(out, c);
    out += ',';
    AppendDateAndTime(out, kel.ProfileDate + start * t / kSecondsPerDay);
    out += ',';
    AppendClock(out, DecodeDateTime(kel.ProfileDate + end * t / kSecondsPerDay));
    if (c.mode == TPlotMode::Isotope) {
        out += IsotopeItems(c);
    } else if (c.mode == TPlotMode::Ppb) {
        TCompoundRun run(c, TDensitySource::Windows);
        AppendCompoundItems(out, c, start, end, t, true, run);
    } else {
        out += RateItems(c, start, end);
    }
    for (int r : LoggedAuxRows(kel)) out += ", " + FormatFixed(RowWindowMean(kel, r, start, end), 1, 0);
    return out + kLineEnd;
}

std::string BatchLine(const TLogContext& c, int point) {
    TCompoundRun run(c, TDensitySource::Windows);
    std::string line;
    AppendBatchLine(line, c, point, run);
    return line;
}

std::pair<int, int> LogWindowOfSelection(const TLogContext& c, double cycleTime) {
    // The window calculation's own conversion, so that a logged line covers
    // the points whose results the graph shows.
    return TimeWindowOfSelection(c.selection0, c.selection1, cycleTime, c.timeShiftPoints);
}

TIoResult LogWindowResults(const TLogContext& context, bool& logHeaderPending) {
    double t = CycleTime(*context.profile);
    if (!(t > 0)) return NoCycleTime(context);
    auto [start, end] = LogWindowOfSelection(context, t);
    return AppendLine(context, logHeaderPending, start, end);
}

TIoResult LogProfileResults(const TLogContext& context, bool& logHeaderPending) {
    double t = CycleTime(*context.profile);
    if (!(t > 0)) return NoCycleTime(context);
    // The first line that fails ends the run, the lines before it kept.
    for (int i = 0; i < context.profile->njm; ++i)
        if (TIoResult appended = AppendLine(context, logHeaderPending, i, i); !appended) return appended;
    return TIoResult::Success();
}

TNotices LogNotices(const TIoResult& result) {
    if (result.status == TIoStatus::WriteFailed) return {DebugFileNotice("write error", result.file, result.reason)};
    if (!result) return {ProgramNotice(result.reason)};
    return {};
}

std::string BatchLines(const TLogContext& context, std::exception_ptr& failure) {
    TCompoundRun run(context, TDensitySource::PointSeries);
    std::string lines;
    failure = nullptr;
    int points = context.profile->njm;
    for (int i = 1; i < points; ++i) {
        std::size_t lineStart = lines.size();
        try {
            AppendBatchLine(lines, context, i, run);
        } catch (const EKelError&) {
            lines.resize(lineStart);
            failure = std::current_exception();
            break;
        }
        // The first line shows about how long all of them are.
        if (i == 1) lines.reserve(lines.size() * static_cast<std::size_t>(points));
    }
    return lines;
}

}  // namespace kel
