#include "browser/StudySummary.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <optional>

#include "app/KelViewSession.h"
#include "common/CsvField.h"
#include "common/DateTime.h"
#include "common/Errors.h"
#include "common/Json.h"
#include "common/Messages.h"
#include "common/NumberText.h"
#include "common/OrderedJobs.h"
#include "common/Platform.h"
#include "common/SafeFile.h"
#include "kinetics/FlowTube.h"

namespace kel {

const std::vector<std::string> kSummaryColumns = {"file",  "date", "ion",           "sample",         "comment", "window",
                                                  "name",  "mean", "relative_error", "detection_limit", "unit"};

namespace {

bool IsKelName(std::string_view name) {
    if (name.size() <= 4 || name[0] == '.') return false;
    std::string ending(name.substr(name.size() - 4));
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ending == ".kel";
}

// A number as the table holds it; nothing for one a reader could not use.
std::string NumberText(double x) { return std::isfinite(x) ? FormatShortest(x) : std::string(); }

// What one profile gave: its rows, or why it is left out, and the boxes it
// showed, for the caller to show in the profiles' order.
struct TProfileRows {
    std::vector<TSummaryRow> rows;
    TIoResult failure;
    TRecordedMessages messages;
};

TIoResult WindowFailure(const TKelViewSession& session, const std::string& path) {
    return TIoResult::Failure(TIoStatus::Failed, path, "\"" + path + "\": the window calculation failed: " +
                                                           session.WindowError());
}

TProfileRows SummariseProfile(TKelViewSession& session, const TSummarySetup& setup, const std::string& path) {
    TProfileRows out;
    TThreadMessageCapture capture(out.messages);
    try {
        if (TIoResult opened = setup.open(session, path); !opened) {
            out.failure = std::move(opened);
            return out;
        }
        if (setup.windows == TSummaryWindowKind::Selection) {
            if (!session.WindowError().empty()) out.failure = WindowFailure(session, path);
            else out.rows = WindowRows(session, path);
            return out;
        }
        for (auto [from, to] : session.HeadspaceSelections()) {
            session.SelectTimes(from, to);
            if (!session.WindowError().empty()) {
                out.rows.clear();
                out.failure = WindowFailure(session, path);
                return out;
            }
            std::vector<TSummaryRow> rows = WindowRows(session, path);
            out.rows.insert(out.rows.end(), rows.begin(), rows.end());
        }
    } catch (const std::bad_alloc&) {
        out.rows.clear();
        out.failure = TIoResult::Failure(TIoStatus::Failed, path, "Not enough memory to summarise \"" + path + "\"");
    } catch (const std::exception& e) {
        out.rows.clear();
        out.failure = TIoResult::Failure(TIoStatus::Failed, path, "\"" + path + "\": " + e.what());
    }
    return out;
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        AppendCsvField(out, fields[i]);
    }
    out += '\n';
}

std::vector<std::string> Fields(const TSummaryRow& r) {
    return {r.file, r.date, r.ion, r.sample, r.comment, r.window, r.name, r.mean, r.relativeError, r.detectionLimit,
            r.unit};
}

// The records of RFC 4180 text, split into fields.
std::vector<std::vector<std::string>> CsvRecords(std::string_view text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c != '"') field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
            else quoted = false;
            continue;
        }
        any = true;
        if (c == '"') quoted = true;
        else if (c == ',') record.push_back(std::exchange(field, {}));
        else if (c == '\n') {
            if (!field.empty() && field.back() == '\r') field.pop_back();
            record.push_back(std::exchange(field, {}));
            records.push_back(std::exchange(record, {}));
            any = false;
        } else field += c;
    }
    if (quoted) throw EConvertError("a quoted field is not closed at the end of the text");
    if (any) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace

std::vector<std::string> StudyProfiles(const std::vector<std::string>& folders, std::vector<TIoResult>& failures) {
    std::vector<std::string> paths;
    for (const std::string& folder : folders) {
        std::optional<std::vector<std::string>> names = os::RegularFileNames(folder, IsKelName);
        if (!names) {
            failures.push_back(TIoResult::Failure(TIoStatus::OpenFailed, folder,
                                                  "Cannot list the folder \"" + folder + "\": " + std::strerror(errno)));
            continue;
        }
        std::sort(names->begin(), names->end());
        std::string prefix = folder.ends_with('/') ? folder : folder + "/";
        for (const std::string& name : *names) paths.push_back(prefix + name);
    }
    return paths;
}

std::vector<TSummaryRow> WindowRows(const TKelViewSession& session, const std::string& path) {
    const TKel& kel = session.Profile();
    TSummaryRow base;
    base.file = path;
    base.date = IsoDateTime(kel.ProfileDate);
    base.ion = session.Texts().Ion;
    base.sample = session.Texts().Sample;
    base.comment = session.Texts().Comment;
    auto [from, to] = session.SelectionInProfile(CycleTime(kel));
    base.window = NumberText(std::min(from, to)) + ":" + NumberText(std::max(from, to));
    std::vector<TSummaryRow> rows;
    if (session.Mode() == TPlotMode::Rate) {
        base.unit = "c/s";
        for (const TChannelResult& c : session.ChannelResults()) {
            TSummaryRow row = base;
            row.name = c.Name;
            row.mean = NumberText(c.MeanRate);
            row.relativeError = NumberText(c.RelStdDev);
            if (c.CountSum > 0) row.detectionLimit = NumberText(DetectionLimitRate(c));
            rows.push_back(std::move(row));
        }
    } else if (session.Mode() == TPlotMode::Ppb) {
        base.unit = "ppb";
        for (const TCompoundResult& c : session.CompoundResults()) {
            TSummaryRow row = base;
            row.name = c.Name;
            // " n.a." on the graph: the window gives no concentration.
            if (c.MeanDensity > 0) {
                row.mean = NumberText(c.Ppb);
                row.relativeError = NumberText(c.RelStdDev);
                if (c.ProductCountSum > 0) row.detectionLimit = NumberText(DetectionLimitPpb(c));
            }
            rows.push_back(std::move(row));
        }
    } else {
        throw EKelError("the D/H mode's results are not summarised; choose --mode rate or ppb");
    }
    return rows;
}

TSummary SummariseStudy(const std::vector<std::string>& paths, const TSummarySetup& setup, int jobs,
                        const TSummaryProgress& progress) {
    TSummary summary;
    const int count = static_cast<int>(paths.size());
    // The sessions are made here, on the caller's thread: making one reads
    // the settings store, which need not bear readers on several threads.
    std::vector<std::unique_ptr<TKelViewSession>> sessions;
    for (int i = 0; i < std::max(1, std::min(jobs, count)); ++i) sessions.push_back(setup.newSession());
    std::function<TProfileRows(int, int)> work = [&](int worker, int index) {
        return SummariseProfile(*sessions[static_cast<std::size_t>(worker)], setup, paths[static_cast<std::size_t>(index)]);
    };
    std::function<bool(int, TProfileRows&)> take = [&](int index, TProfileRows& done) {
        if (progress && !progress(index, count, paths[static_cast<std::size_t>(index)])) return false;
        done.messages.ReplayTo(sessions.front()->Services().messages);
        if (!done.failure) summary.skipped.push_back(std::move(done.failure));
        else summary.rows.insert(summary.rows.end(), done.rows.begin(), done.rows.end());
        return true;
    };
    summary.cancelled = !RunInOrder(count, jobs, work, take);
    SortSummaryRows(summary.rows);
    return summary;
}

void SortSummaryRows(std::vector<TSummaryRow>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const TSummaryRow& a, const TSummaryRow& b) {
        return a.date != b.date ? a.date < b.date : a.file < b.file;
    });
}

std::string SummaryCsv(const std::vector<TSummaryRow>& rows) {
    std::string out;
    AppendCsvLine(out, kSummaryColumns);
    for (const TSummaryRow& row : rows) AppendCsvLine(out, Fields(row));
    return out;
}

std::string WideSummaryCsv(const std::vector<TSummaryRow>& rows) {
    // Names in the order first met, each with the unit it was met with.
    std::vector<std::pair<std::string, std::string>> names;
    std::map<std::string, std::size_t> column;
    for (const TSummaryRow& row : rows)
        if (column.emplace(row.name, names.size()).second) names.emplace_back(row.name, row.unit);
    std::vector<std::string> heading(kSummaryColumns.begin(), kSummaryColumns.begin() + 6);
    for (const auto& [name, unit] : names) {
        heading.push_back(name + " mean (" + unit + ")");
        heading.push_back(name + " relative error (%)");
        heading.push_back(name + " detection limit (" + unit + ")");
    }
    std::string out;
    AppendCsvLine(out, heading);
    for (std::size_t i = 0; i < rows.size();) {
        const TSummaryRow& first = rows[i];
        std::vector<std::string> line = {first.file, first.date, first.ion, first.sample, first.comment, first.window};
        line.resize(heading.size());
        // One profile's rows of one window lie together.
        for (; i < rows.size() && rows[i].file == first.file && rows[i].window == first.window; ++i) {
            std::size_t at = 6 + 3 * column[rows[i].name];
            line[at] = rows[i].mean;
            line[at + 1] = rows[i].relativeError;
            line[at + 2] = rows[i].detectionLimit;
        }
        AppendCsvLine(out, line);
    }
    return out;
}

std::string SummaryJson(const std::vector<TSummaryRow>& rows, const std::vector<TIoResult>& skipped) {
    // An empty number is one the window does not give: null, never a guess.
    const auto number = [](JsonWriter& json, std::string_view key, const std::string& text) {
        if (text.empty()) json.Null(key);
        else json.Number(key, TextToFloat(text));
    };
    JsonWriter json;
    json.BeginObject();
    json.BeginArray("rows");
    for (const TSummaryRow& r : rows) {
        json.BeginObject();
        json.String("file", r.file);
        json.String("date", r.date);
        json.String("ion", r.ion);
        json.String("sample", r.sample);
        json.String("comment", r.comment);
        json.String("window", r.window);
        json.String("name", r.name);
        number(json, "mean", r.mean);
        number(json, "relative_error", r.relativeError);
        number(json, "detection_limit", r.detectionLimit);
        json.String("unit", r.unit);
        json.EndObject();
    }
    json.EndArray();
    json.BeginArray("skipped");
    for (const TIoResult& s : skipped) {
        json.BeginObject();
        json.String("file", s.file);
        json.String("reason", s.reason);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + '\n';
}

TIoResult SaveSummary(const std::string& path, const std::vector<TSummaryRow>& rows,
                      const std::vector<TIoResult>& skipped) {
    std::string ending = path.size() >= 5 ? path.substr(path.size() - 5) : std::string();
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ReplaceFileAtomically(path, ending == ".json" ? SummaryJson(rows, skipped) : SummaryCsv(rows));
}

std::vector<TSummaryRow> ParseSummaryCsv(std::string_view text) {
    std::vector<std::vector<std::string>> records = CsvRecords(text);
    if (records.empty() || records[0] != kSummaryColumns)
        throw EConvertError("the first line is not the heading of a summary's long table");
    std::vector<TSummaryRow> rows;
    for (std::size_t i = 1; i < records.size(); ++i) {
        std::vector<std::string>& f = records[i];
        if (f.size() != kSummaryColumns.size())
            throw EConvertError("line " + std::to_string(i + 1) + " has " + std::to_string(f.size()) + " fields, not " +
                                std::to_string(kSummaryColumns.size()));
        rows.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10]});
    }
    return rows;
}

}  // namespace kel
