// Saving the session's analysis to a file and opening one.
#include <filesystem>
#include <system_error>

#include "app/AnalysisFile.h"
#include "app/KelViewSession.h"
#include "common/Checksum.h"
#include "common/Errors.h"
#include "common/Platform.h"
#include "kinetics/KineticsLibrary.h"

namespace kel {

namespace {

// The file's checksum; empty when it cannot be read.
std::string ChecksumOf(const std::string& path) {
    if (path.empty()) return {};
    try {
        return ChecksumText(Fnv1a64OfFile(path));
    } catch (const EFileError&) {
        return {};
    }
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(os::PathOf(path), error);
}

}  // namespace

TIoResult TKelViewSession::SaveAnalysis(const std::string& path) const {
    if (profilePath_.empty())
        return TIoResult::Failure(TIoStatus::Failed, path, "no profile is shown, so there is no analysis to save");
    TAnalysisFile analysis;
    analysis.profilePath = profilePath_;
    analysis.profileChecksum = ChecksumOf(profilePath_);
    if (analysis.profileChecksum.empty())
        return TIoResult::Failure(TIoStatus::Failed, path,
                                  "the profile \"" + profilePath_ + "\" can no longer be read");
    analysis.kineticsPath = KineticsFileName();
    analysis.kineticsChecksum = ChecksumOf(analysis.kineticsPath);
    analysis.state = AnalysisState();
    return WriteAnalysisFile(analysis, path);
}

TAnalysisOpenResult TKelViewSession::OpenAnalysis(const std::string& path, const std::string& profile,
                                                  bool keepKinetics) {
    TAnalysisOpenResult result;
    TAnalysisFile analysis;
    try {
        analysis = ReadAnalysisFile(path);
    } catch (const EKelError& error) {
        result.error = error.what();
        return result;
    }
    const std::string profilePath = profile.empty() ? analysis.profilePath : profile;
    if (!IsFile(profilePath)) {
        result.error = "The profile \"" + profilePath + "\" of the analysis \"" + path + "\" is missing.";
        return result;
    }
    if (profile.empty() && ChecksumOf(profilePath) != analysis.profileChecksum)
        result.notices.push_back("The profile \"" + profilePath + "\" has changed since the analysis \"" + path +
                                 "\" was saved: its numbers may differ.");
    const TAnalysisState& state = analysis.state;
    for (int i = 0; i < kFieldCount; ++i) {
        TFloatField check = Field(static_cast<TFieldId>(i));
        if (!check.SetValue(state.fields[static_cast<std::size_t>(i)])) {
            result.error = "The analysis \"" + path + "\" cannot be used: the value of " +
                           std::string(NameOfField(static_cast<TFieldId>(i))) + " lies outside its range.";
            return result;
        }
    }

    if (keepKinetics && analysis.kineticsPath != KineticsFileName()) {
        result.notices.push_back("The analysis \"" + path + "\" was saved with the kinetics file \"" +
                                 analysis.kineticsPath + "\": \"" + KineticsFileName() + "\" is used instead.");
    } else if (!IsFile(analysis.kineticsPath)) {
        if (!analysis.kineticsPath.empty())
            result.notices.push_back("The kinetics file \"" + analysis.kineticsPath + "\" of the analysis \"" + path +
                                     "\" is missing: \"" + KineticsFileName() + "\" is used instead.");
    } else {
        if (ChecksumOf(analysis.kineticsPath) != analysis.kineticsChecksum)
            result.notices.push_back("The kinetics file \"" + analysis.kineticsPath +
                                     "\" has changed since the analysis \"" + path +
                                     "\" was saved: its ppb numbers may differ.");
        // A session computing with a library of its own keeps it.
        if (!ownLibrary_ && analysis.kineticsPath != KineticsFileName()) ApplyOptions(analysis.kineticsPath, sensitMode_);
    }

    const TProfileLoadResult loaded = ShowProfile(profilePath);
    if (loaded.Failed()) {
        result.error = loaded.ended ? loaded.io.reason : loaded.io.description();
        return result;
    }
    const TUndoStep step(*this, TStepKind::NewHistory);
    RestoreAnalysis(state);
    result.shown = true;
    return result;
}

}  // namespace kel
