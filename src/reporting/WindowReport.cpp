#include "reporting/WindowReport.h"

#include <cmath>
#include <exception>

#include "common/DateTime.h"
#include "kinetics/FlowTube.h"

namespace kel {

namespace {

constexpr double kSecondsPerDay = 86400;

std::optional<double> Finite(double x) { return std::isfinite(x) ? std::optional<double>(x) : std::nullopt; }

// What the window writes as "n.a." (a count rate of 0 or less) is left empty.
std::optional<double> Shown(double x) { return x > 0 ? Finite(x) : std::nullopt; }

// A figure whose computation may fail; a failing one is empty, as the
// window could not show it.
template <typename F>
std::optional<double> Guarded(F f) {
    try {
        return Finite(f());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void WriteProfile(const TWindowReportInputs& in, TReportSink& sink) {
    const TKel& k = *in.profile;
    sink.BeginGroup("profile");
    sink.Text("file", in.path);
    sink.Text("fileName", k.FileName);
    sink.Text("date", IsoDateTime(k.ProfileDate));
    sink.Quantity("dateDays", Finite(k.ProfileDate), "d");
    sink.Text("ion", k.ion);
    sink.Text("sample", k.reactant);
    sink.Text("comment", k.comment);
    sink.Text("systemId", k.SystemId);
    sink.Quantity("nim", k.nim, "");
    sink.Quantity("njm", k.njm, "");
    sink.Quantity("jm", k.jm, "");
    sink.Quantity("p", Finite(k.p), "Torr");
    sink.Quantity("fc", Finite(k.fc), "");
    sink.Quantity("f1", Finite(k.f1), "");
    sink.Quantity("Tg", Finite(k.Tg), "K");
    sink.Quantity("Aft", Finite(k.Aft), "cm2");
    sink.Quantity("lr", Finite(k.lr), "cm");
    sink.Quantity("FScan", Finite(k.FScan), "ticks/s");
    sink.Quantity("De200", Finite(k.De200), "");
    sink.Quantity("Mr200", Finite(k.Mr200), "");
    sink.Quantity("Df73", Finite(k.Df73), "");
    sink.Quantity("cycleTime", Finite(in.pointTime), "s");
    sink.Quantity("reactionTime", Guarded([&] { return ReactionTime(k); }), "s");
    sink.Quantity("flowFactor", Guarded([&] { return FlowFactor(k); }), "");
    sink.EndGroup();
}

void WriteFields(const TWindowReportInputs& in, TReportSink& sink) {
    const TWindowInputs& run = in.run->inputs;
    sink.BeginGroup("fields");
    for (const auto& [name, value] : in.fields) sink.Quantity(name, Finite(value), "");
    for (const auto& [name, down] : in.switches) sink.Flag(name, down);
    sink.Quantity("SensitMode", run.sensitMode, "");
    sink.Quantity("deadTime", Finite(run.corrections.DeadTime), "s");
    sink.EndGroup();
}

void WriteWindow(const TWindowReportInputs& in, TReportSink& sink) {
    const TWindowInputs& run = in.run->inputs;
    const double date = in.profile->ProfileDate;
    sink.BeginGroup("window");
    sink.Quantity("firstPoint", run.start, "point");
    sink.Quantity("lastPoint", run.end, "point");
    sink.Quantity("points", run.end >= run.start ? run.end - run.start + 1 : 0, "point");
    const double startSeconds = run.start * in.pointTime, endSeconds = run.end * in.pointTime;
    sink.Quantity("startSeconds", Finite(startSeconds), "s");
    sink.Quantity("endSeconds", Finite(endSeconds), "s");
    sink.Text("startTime", IsoDateTime(date + startSeconds / kSecondsPerDay));
    sink.Text("endTime", IsoDateTime(date + endSeconds / kSecondsPerDay));
    sink.EndGroup();
}

void WriteChannels(const TWindowRun& run, TReportSink& sink) {
    sink.BeginList("channels");
    for (const TChannelResult& c : run.channels) {
        sink.BeginItem(c.Name);
        sink.Quantity("mass", Finite(c.Mass), "m/z");
        sink.Quantity("meanRate", Shown(c.MeanRate), "c/s");
        sink.Quantity("relStdDev", Finite(c.RelStdDev), "%");
        sink.Quantity("countingError", Finite(c.CountingError), "%");
        sink.Quantity("dwell", Finite(c.Dwell), "s");
        sink.Quantity("countSum", Finite(c.CountSum), "counts");
        sink.Quantity("points", c.Points, "point");
        sink.EndItem();
    }
    sink.EndList();
    sink.Quantity("totalRate", Finite(run.totalRate), "c/s");
}

void WriteCompounds(const TWindowRun& run, TReportSink& sink) {
    const int points = run.inputs.end - run.inputs.start + 1;
    sink.BeginList("compounds");
    for (const TCompoundResult& c : run.compounds) {
        const bool shown = c.MeanDensity > 0;
        auto value = [shown](double x) { return shown ? Finite(x) : std::nullopt; };
        auto figure = [&](int mode) {
            return shown ? Guarded([&] { return SensitivityFigure(c, mode, points); }) : std::nullopt;
        };
        sink.BeginItem(c.Name);
        sink.Text("formula", c.Formula);
        sink.Quantity("meanDensity", Finite(c.MeanDensity), "1/cm3");
        sink.Quantity("ppb", value(c.Ppb), "ppb");
        sink.Quantity("relStdDev", value(c.RelStdDev), "%");
        sink.Quantity("ppbError", value(PpbScatter(c)), "ppb");
        sink.Quantity("relCountingError", value(c.CountingError), "1");
        sink.Quantity("ppbCountingError", value(PpbCountingError(c)), "ppb");
        sink.Quantity("sensitivity", figure(0), "cps/ppb");
        sink.Quantity("inverseSensitivity", figure(1), "ppb/cps");
        sink.Quantity("detectionLimit", figure(2), "ppb");
        sink.Quantity("detectionLimitPoint", figure(3), "ppb");
        sink.Quantity("weightedProductRate", value(c.WeightedProductRate), "c/s");
        sink.Quantity("productCountSum", value(c.ProductCountSum), "counts");
        sink.Quantity("mol", value(c.Mol), "mol");
        sink.EndItem();
    }
    sink.EndList();
}

void WriteIsotope(const TWindowRun& run, TReportSink& sink) {
    const TIsotopeSums& s = run.isotope;
    const TIsotopeFigures& f = run.isotopeFigures;
    auto ratio = [&f](double x) { return f.HasRatio ? Finite(x) : std::nullopt; };
    sink.BeginGroup("isotope");
    sink.Quantity("S74", Finite(s.S74), "c/s");
    sink.Quantity("S75", Finite(s.S75), "c/s");
    sink.Quantity("N74", Finite(s.N74), "counts");
    sink.Quantity("N75", Finite(s.N75), "counts");
    sink.Quantity("relErr", Finite(s.RelErr), "1");
    sink.Quantity("Q", ratio(f.Ratio.Q), "1");
    sink.Quantity("R1vap", ratio(f.Ratio.R1Vapour), "ppm");
    sink.Quantity("R1vapError", ratio(f.Ratio.R1VapourError), "ppm");
    sink.Quantity("R1liq", ratio(f.Ratio.R1Liquid), "ppm");
    sink.Quantity("R1liqError", ratio(f.Ratio.R1LiquidError), "ppm");
    sink.Quantity("shape", ratio(f.Peak.Shape), "channel2");
    sink.Quantity("slope", ratio(f.Peak.Slope), "channel");
    sink.BeginList("peak");
    for (std::size_t i = 0; i < s.PeakList.size(); ++i) {
        sink.BeginItem(std::to_string(i));
        sink.Quantity("meanRate", Finite(s.PeakList[i]), "c/s");
        sink.EndItem();
    }
    sink.EndList();
    const TIsotopeParams& p = run.inputs.isotope;
    sink.Quantity("R2", Finite(p.R2), "1");
    sink.Quantity("R3", Finite(p.R3), "1");
    sink.Quantity("b74", Finite(p.b74), "c/s");
    sink.Quantity("b75", Finite(p.b75), "c/s");
    sink.Quantity("liq", Finite(p.liq), "1");
    sink.EndGroup();
}

void WriteAuxiliary(const TWindowRun& run, TReportSink& sink) {
    sink.BeginList("auxiliary");
    for (const TAuxiliaryResult& a : run.auxiliary) {
        sink.BeginItem(a.Name);
        sink.Quantity("row", a.Row, "");
        sink.Quantity("mean", Finite(a.Mean), "");
        sink.EndItem();
    }
    sink.EndList();
}

}  // namespace

std::string_view ReportModeName(TPlotMode mode) {
    switch (mode) {
        case TPlotMode::Ppb:
            return "ppb";
        case TPlotMode::Isotope:
            return "dh";
        default:
            return "rate";
    }
}

void WriteWindowReport(const TWindowReportInputs& in, TReportSink& sink) {
    const TWindowRun& run = *in.run;
    sink.BeginGroup({});
    sink.Text("mode", ReportModeName(run.inputs.mode));
    WriteProfile(in, sink);
    WriteFields(in, sink);
    WriteWindow(in, sink);
    switch (run.inputs.mode) {
        case TPlotMode::Rate:
            WriteChannels(run, sink);
            break;
        case TPlotMode::Ppb:
            WriteCompounds(run, sink);
            break;
        case TPlotMode::Isotope:
            WriteIsotope(run, sink);
            break;
    }
    WriteAuxiliary(run, sink);
    if (!run.ok()) sink.Text("error", run.error);
    sink.EndGroup();
}

}  // namespace kel
