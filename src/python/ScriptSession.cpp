#include "ScriptSession.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

#include "app/SessionReport.h"
#include "cli/CliSession.h"
#include "cli/ProfileRecord.h"
#include "cli/StudyRun.h"
#include "cli/FieldSettings.h"
#include "common/Messages.h"
#include "kinetics/KineticsLibrary.h"

namespace kel::py {

namespace {

// The sessions compute from the process' one kinetics library and show
// their boxes on its message sink: one computation at a time.
std::mutex& SessionLock() {
    static std::mutex lock;
    return lock;
}

// The boxes a computation shows become the text of its error.
class CollectedMessages : public MessageSink {
public:
    CollectedMessages() : previous_(SetMessageSink(this)) {}
    ~CollectedMessages() override { SetMessageSink(previous_); }
    CollectedMessages(const CollectedMessages&) = delete;
    CollectedMessages& operator=(const CollectedMessages&) = delete;
    void Show(std::string_view caption, std::string_view text) override {
        texts_ += (texts_.empty() ? "" : "; ") + std::string(caption) + ": " + std::string(text);
    }
    const std::string& Texts() const { return texts_; }

private:
    MessageSink* previous_;
    std::string texts_;
};

std::string WithMessages(std::string reason, const CollectedMessages& boxes) {
    if (!boxes.Texts().empty() && reason.find(boxes.Texts()) == std::string::npos)
        reason = boxes.Texts() + " (" + reason + ")";
    return reason;
}

// Runs work on the session opened for request, under the lock, turning the
// session's failures into errors that name the file.
template <typename Work>
void WithSession(const TScriptRequest& request, Work work) {
    std::lock_guard<std::mutex> guard(SessionLock());
    CollectedMessages boxes;
    cli::TCommonOptions options;
    options.kinetics = request.kinetics;
    options.mode = request.mode;
    options.select = request.select;
    options.settings = request.fields;
    const std::string& path = request.profile->read.path;
    std::optional<cli::TCliSession> cli;
    try {
        cli.emplace(options);
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Kinetics, WithMessages(e.what(), boxes), request.kinetics.value_or("")};
    }
    try {
        TProfileLoadResult loaded = cli->Session.ShowProfileRead(TFollowRead(request.profile->read));
        if (!loaded)
            throw TScriptError{TScriptError::Kind::Load,
                               WithMessages(loaded.ended ? loaded.io.reason : loaded.io.description(), boxes), path};
    } catch (const TScriptError&) {
        throw;
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Calculation, WithMessages(e.what(), boxes), path};
    }
    // What opening showed is not an error of the fields.
    CollectedMessages fieldBoxes;
    try {
        cli->ApplyOptions();
    } catch (const cli::EFailure& e) {
        // The field's own message says what was refused and why.
        std::string reason = fieldBoxes.Texts().empty() ? std::string(e.what()) : fieldBoxes.Texts();
        throw TScriptError{TScriptError::Kind::Field, reason, path};
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Calculation, WithMessages(e.what(), fieldBoxes), path};
    }
    work(cli->Session);
}

TSeries Curves(const TKelViewSession& session, std::vector<std::string> names) {
    TSeries series;
    const TXYGraph& graph = session.Graph1();
    series.points = static_cast<std::size_t>(std::max<int>(session.Profile().njm, 0));
    // One block for every series, which numpy then shares without copying.
    series.values.assign(names.size() * series.points, 0.0);
    for (std::size_t c = 0; c < names.size(); ++c) {
        const TCurve* curve = static_cast<int>(c) < graph.Curves.Count() ? graph.Curves[static_cast<int>(c)] : nullptr;
        if (!curve) continue;
        const std::size_t n = std::min(series.points, curve->Y.size());
        std::copy_n(curve->Y.begin(), n, series.values.begin() + static_cast<std::ptrdiff_t>(c * series.points));
    }
    series.names = std::move(names);
    return series;
}

}  // namespace

std::unique_ptr<TKel> LoadHeader(const std::string& path, std::vector<std::string>& warnings) {
    std::lock_guard<std::mutex> guard(SessionLock());
    CollectedMessages boxes;
    try {
        std::unique_ptr<TKel> record = cli::LoadRecord(path, true);
        if (!boxes.Texts().empty()) warnings.push_back(boxes.Texts());
        return record;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Load, WithMessages(e.what(), boxes), path};
    }
}

std::shared_ptr<const TLoadedProfile> LoadProfile(const std::string& path, std::vector<std::string>& warnings) {
    // A fresh session with a settings store in memory, as every computation
    // starts, prepares the record; nothing global is touched.
    auto profile = std::make_shared<TLoadedProfile>();
    {
        std::lock_guard<std::mutex> guard(SessionLock());
        MemorySettings store;
        TCurrentThreadMessages messages;
        TKelViewSession session({KineticsLibrary(), messages, store});
        session.LoadSettings(store);
        profile->read = session.StartProfileRead(path);
    }
    // The corrections the file does not hold stay NaN through the read, so
    // that both the window's values and a plain read's are known after it.
    TKel& record = profile->read.profile;
    const double window[] = {record.De200, record.Mr200, record.Df73};
    double* corrections[] = {&record.De200, &record.Mr200, &record.Df73};
    for (double* c : corrections) *c = std::numeric_limits<double>::quiet_NaN();
    ReadFollowedFile(profile->read);
    const TKel plain;
    const double plainValues[] = {plain.De200, plain.Mr200, plain.Df73};
    double* described[] = {&profile->De200, &profile->Mr200, &profile->Df73};
    for (int i = 0; i < 3; ++i) {
        const bool held = !std::isnan(*corrections[i]);
        *described[i] = held ? *corrections[i] : plainValues[i];
        if (!held) *corrections[i] = window[i];
    }

    std::lock_guard<std::mutex> guard(SessionLock());
    CollectedMessages boxes;
    const TProfileLoadResult& loaded = profile->read.loaded;
    ShowNotices(LoadNotices(loaded));
    if (loaded.ended) throw TScriptError{TScriptError::Kind::Load, WithMessages(loaded.io.reason, boxes), path};
    if (!loaded)
        throw TScriptError{TScriptError::Kind::Load, WithMessages("\"" + path + "\" could not be read", boxes), path};
    if (!boxes.Texts().empty()) warnings.push_back(boxes.Texts());
    record.FileName = path.substr(path.find_last_of('/') + 1);
    return profile;
}

TKineticsLoadResult LoadLibrary(const std::string& path, TKbase& library) {
    std::lock_guard<std::mutex> guard(SessionLock());
    CollectedMessages boxes;  // the warnings are handed back, not shown
    TKineticsLoadResult loaded = library.LoadFile(path);
    if (loaded.io.status == TIoStatus::OpenFailed || loaded.io.status == TIoStatus::Failed)
        throw TScriptError{TScriptError::Kind::Kinetics, loaded.io.description(), path};
    if (!loaded) throw TScriptError{TScriptError::Kind::Kinetics, loaded.io.reason, path};
    return loaded;
}

void CheckFieldNames(const std::vector<cli::TFieldSetting>& fields) {
    for (const cli::TFieldSetting& f : fields)
        if (!cli::IsSettableControl(f.name))
            throw TScriptError{TScriptError::Kind::Field, "\"" + f.name + "\" is no field of the main window", ""};
}

TSeries RateCurves(const TScriptRequest& request) {
    TSeries series;
    WithSession(request, [&series](const TKelViewSession& session) {
        std::vector<std::string> names;
        const TKel& k = session.Profile();
        for (int c = 0; c < k.nim / 2; ++c) names.push_back(k.Name[static_cast<std::size_t>(2 * c + 1)]);
        series = Curves(session, std::move(names));
    });
    return series;
}

TSeries PpbCurves(const TScriptRequest& request) {
    TSeries series;
    WithSession(request, [&series](const TKelViewSession& session) {
        std::vector<std::string> names;
        const TKbase& library = KineticsLibrary();
        for (int i = 0; i < library.Count(); ++i)
            if (library.Compound(i).SelectCount > 0) names.push_back(library.Compound(i).Name);
        series = Curves(session, std::move(names));
    });
    return series;
}

void WindowResults(const TScriptRequest& request, TReportSink& sink) {
    WithSession(request, [&](const TKelViewSession& session) {
        TWindowReportInputs report = SessionReportInputs(session);
        if (!report.run)
            throw TScriptError{TScriptError::Kind::Calculation, "the profile has no points; no results",
                               request.profile->read.path};
        WriteWindowReport(report, sink);
        if (!report.run->ok())
            throw TScriptError{TScriptError::Kind::Calculation, "the window calculation failed: " + report.run->error,
                               request.profile->read.path};
    });
}

TSummary SummariseFolders(const std::vector<std::string>& folders, const TSummaryRequest& request) {
    std::lock_guard<std::mutex> guard(SessionLock());
    CollectedMessages boxes;
    cli::TCommonOptions options;
    options.kinetics = request.kinetics;
    options.mode = request.mode;
    options.settings = request.fields;
    TSummaryWindowKind windows;
    try {
        windows = cli::SummaryWindowsOf(request.window, options);
    } catch (const cli::EUsage& e) {
        throw TScriptError{TScriptError::Kind::Field, e.what(), ""};
    }
    std::vector<TIoResult> unlisted;
    std::vector<std::string> paths = StudyProfiles(folders, unlisted);
    if (paths.empty()) {
        std::string reason = "no profiles (*.kel) in the folders given; nothing summarised";
        std::string file = folders.empty() ? std::string() : folders.front();
        if (!unlisted.empty()) {
            reason = unlisted.front().description();
            file = unlisted.front().file;
        }
        throw TScriptError{TScriptError::Kind::Load, reason, file};
    }
    std::optional<cli::TCliSession> cli;
    try {
        cli.emplace(options);
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Kinetics, WithMessages(e.what(), boxes), request.kinetics.value_or("")};
    }
    TSummary summary = cli::SummariseProfiles(*cli, paths, windows, request.jobs);
    summary.skipped.insert(summary.skipped.begin(), unlisted.begin(), unlisted.end());
    return summary;
}

}  // namespace kel::py
