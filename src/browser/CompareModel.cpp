#include "browser/CompareModel.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "app/KelViewSession.h"
#include "browser/SessionTemplate.h"
#include "common/DateTime.h"
#include "kinetics/FlowTube.h"
#include "plot/CurveColors.h"
#include "plot/Xygraphc.h"

namespace kel {

namespace {

constexpr std::int32_t kLegendTag = 0;
constexpr TColor kLegendBox = PaletteColor(0xE0, 0xE0, 0xE0);
constexpr double kSecondsPerHour = 3600, kHoursPerDay = 24;

// The curves and results of the profile session shows; window result i
// belongs to curve i, as on the main graph.
void TakeProfile(const TKelViewSession& session, TComparedProfile& out) {
    const TKel& kel = session.Profile();
    out.date = kel.ProfileDate;
    out.rows = WindowRows(session, out.path);
    const TXYGraph& graph = session.Graph1();
    const double cycle = CycleTime(kel);
    for (std::size_t i = 0; i < out.rows.size() && static_cast<int>(i) < graph.Curves.Count(); ++i) {
        const TCurve* curve = graph.Curves[static_cast<int>(i)];
        if (!curve) continue;
        const auto count = static_cast<std::size_t>(std::max(curve->Count, 0));
        if (out.x.empty()) {
            out.x.assign(curve->X.begin(), curve->X.begin() + static_cast<std::ptrdiff_t>(count));
            // The oldest point kept is cycle jm - njm of the recording.
            for (std::size_t p = 0; p < count; ++p)
                out.clock.push_back((static_cast<double>(kel.jm - kel.njm) + static_cast<double>(p)) * cycle);
        }
        out.names.push_back(out.rows[i].name);
        out.values.emplace_back(curve->Y.begin(), curve->Y.begin() + static_cast<std::ptrdiff_t>(std::min(count, out.x.size())));
    }
}

}  // namespace

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void TCompareModel::Load(const std::vector<std::string>& paths, const TSessionTemplate& setup,
                         std::optional<std::pair<double, double>> window) {
    profiles_.clear();
    std::unique_ptr<TKelViewSession> session = setup.NewSession();
    for (const std::string& path : paths) {
        TComparedProfile profile;
        profile.path = path;
        try {
            profile.failure = setup.Open(*session, path, window);
            if (profile.failure) TakeProfile(*session, profile);
        } catch (const std::bad_alloc&) {
            profile = {};
            profile.path = path;
            profile.failure = TIoResult::Failure(TIoStatus::Failed, path, "Not enough memory to compare \"" + path + "\"");
        } catch (const std::exception& e) {
            profile = {};
            profile.path = path;
            profile.failure = TIoResult::Failure(TIoStatus::Failed, path, "\"" + path + "\": " + e.what());
        }
        profiles_.push_back(std::move(profile));
    }
}

std::vector<std::string> TCompareModel::Names() const {
    std::vector<std::string> names;
    for (const TComparedProfile& p : profiles_)
        for (const std::string& name : p.names)
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    return names;
}

std::string TCompareModel::Unit() const {
    for (const TComparedProfile& p : profiles_)
        if (!p.rows.empty()) return p.rows.front().unit;
    return {};
}

std::vector<TSummaryRow> TCompareModel::TableRows(const std::string& name) const {
    std::vector<TSummaryRow> rows;
    for (const TComparedProfile& p : profiles_) {
        if (!p.failure || p.rows.empty()) continue;
        auto found = std::find_if(p.rows.begin(), p.rows.end(), [&](const TSummaryRow& r) { return r.name == name; });
        TSummaryRow row = found != p.rows.end() ? *found : p.rows.front();
        if (found == p.rows.end()) {
            row.name = name;
            row.mean = row.relativeError = row.detectionLimit = {};
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void TCompareModel::BuildGraph(TXYGraph& graph, const std::string& name, TCompareTime time) const {
    graph.Curves.Clear();
    graph.DeleteComments(kLegendTag);
    double firstDay = 0;
    bool any = false;
    for (const TComparedProfile& p : profiles_)
        if (p.failure && (!any || p.date < firstDay)) {
            firstDay = std::floor(p.date);
            any = true;
        }
    int index = 0;
    for (const TComparedProfile& p : profiles_) {
        auto found = std::find(p.names.begin(), p.names.end(), name);
        if (!p.failure || found == p.names.end()) continue;
        const std::vector<double>& values = p.values[static_cast<std::size_t>(found - p.names.begin())];
        TCurve& curve = graph.Curve(index);
        curve.X.clear();
        for (std::size_t i = 0; i < values.size(); ++i)
            curve.X.push_back(time == TCompareTime::FromStart
                                  ? p.x[i]
                                  : (p.date - firstDay) * kHoursPerDay + p.clock[i] / kSecondsPerHour);
        curve.Y = values;
        curve.XLength = curve.YLength = curve.Count = static_cast<std::int32_t>(values.size());
        graph.SetCurveStyle(index, csLine);
        graph.CurvePen(index).SetColor(CurveColor(index));
        graph.AddComment(kLegendTag, FileNameOf(p.path), 80, 50 + 20 * index, kCommentPixelBox, CurveColor(index),
                         kLegendBox, 0);
        ++index;
    }
    graph.SetTitleTop(name);
    graph.SetTitleLeft(Unit());
    graph.SetTitleBottom(time == TCompareTime::FromStart
                             ? "time [s]"
                             : "clock time [h] from " + IsoDateTime(firstDay).substr(0, 10) + " 00:00");
    graph.AutoScaleX();
    graph.AutoScaleY();
    graph.Changed(this);
}

std::vector<TIoResult> TCompareModel::Failures() const {
    std::vector<TIoResult> failures;
    for (const TComparedProfile& p : profiles_)
        if (!p.failure) failures.push_back(p.failure);
    return failures;
}

}  // namespace kel
