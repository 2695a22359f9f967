#include "ScriptSession.h"

#include <algorithm>
#include <mutex>

#include "app/SessionReport.h"
#include "cli/CliSession.h"
#include "cli/ProfileRecord.h"
#include "cli/FieldSettings.h"
#include "common/Messages.h"
#include "kinetics/KineticsLibrary.h"

namespace kel::py {

namespace {

// The session reads the process' one kinetics library, settings store and
// message sink: one computation at a time.
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
    std::optional<cli::TCliSession> cli;
    try {
        cli.emplace(options);
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Kinetics, WithMessages(e.what(), boxes), request.kinetics.value_or("")};
    }
    try {
        TProfileLoadResult loaded = cli->Session.ShowProfile(request.path);
        if (!loaded)
            throw TScriptError{TScriptError::Kind::Load,
                               WithMessages(loaded.ended ? loaded.io.reason : loaded.io.description(), boxes), request.path};
    } catch (const TScriptError&) {
        throw;
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Calculation, WithMessages(e.what(), boxes), request.path};
    }
    // What opening showed is not an error of the fields.
    CollectedMessages fieldBoxes;
    try {
        cli->ApplyOptions();
    } catch (const cli::EFailure& e) {
        // The field's own message says what was refused and why.
        std::string reason = fieldBoxes.Texts().empty() ? std::string(e.what()) : fieldBoxes.Texts();
        throw TScriptError{TScriptError::Kind::Field, reason, request.path};
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Calculation, WithMessages(e.what(), fieldBoxes), request.path};
    }
    work(cli->Session);
}

TSeries Curves(const TKelViewSession& session, std::vector<std::string> names) {
    TSeries series;
    const TXYGraph& graph = session.Graph1();
    const auto points = static_cast<std::size_t>(std::max<int>(session.Profile().njm, 0));
    for (std::size_t c = 0; c < names.size(); ++c) {
        std::vector<double> values(points, 0.0);
        const TCurve* curve = static_cast<int>(c) < graph.Curves.Count() ? graph.Curves[static_cast<int>(c)] : nullptr;
        for (std::size_t i = 0; curve && i < points && i < curve->Y.size(); ++i) values[i] = curve->Y[i];
        series.values.push_back(std::move(values));
    }
    series.names = std::move(names);
    return series;
}

}  // namespace

std::unique_ptr<TKel> LoadProfile(const std::string& path, bool headerOnly, std::vector<std::string>& warnings) {
    std::lock_guard<std::mutex> guard(SessionLock());
    CollectedMessages boxes;
    try {
        std::unique_ptr<TKel> record = cli::LoadRecord(path, headerOnly);
        if (!boxes.Texts().empty()) warnings.push_back(boxes.Texts());
        return record;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        throw TScriptError{TScriptError::Kind::Load, WithMessages(e.what(), boxes), path};
    }
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
            throw TScriptError{TScriptError::Kind::Calculation, "the profile has no points; no results", request.path};
        WriteWindowReport(report, sink);
        if (!report.run->ok())
            throw TScriptError{TScriptError::Kind::Calculation, "the window calculation failed: " + report.run->error,
                               request.path};
    });
}

}  // namespace kel::py
