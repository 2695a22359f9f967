// Following the shown profile's file: re-reading it as the instrument
// rewrites it each cycle, with the user's analysis kept.
#include <exception>
#include <new>

#include "app/KelViewSession.h"
#include "kinetics/Concentration.h"

namespace kel {

namespace {

// A file the instrument is still writing reads as damaged or short; only a
// read without any complaint is taken as the next cycle's profile.
bool Complete(const TProfileLoadResult& loaded) { return loaded.ok() && !loaded.flowTubeMissing; }

std::string FollowReport(const TProfileLoadResult& loaded) {
    return "The shown profile could not be read again completely: " +
           (loaded.ok() ? loaded.io.file + ": p and fc info missing" : loaded.io.description()) +
           ". The window keeps showing it as it was read before.";
}

}  // namespace

void ReadFollowedFile(TFollowRead& read) { read.loaded = read.profile.LoadFromFile(read.path); }

void TKelViewSession::FollowFileClick() { SetFollowFile(!followFile_); }

void TKelViewSession::SetFollowFile(bool on) { SetToggle(followFile_, on); }

TFollowRead TKelViewSession::StartFollowRead() const {
    // Read over a copy of the shown record, as opening does, so that what a
    // file does not hold is what the window had.
    TFollowRead read{profile_, profilePath_, {}};
    read.profile.SetArrays(28, 200);
    return read;
}

TFollowResult TKelViewSession::ReloadShownProfile(TFollowAttempt attempt) {
    TFollowRead read = StartFollowRead();
    if (!read.path.empty()) ReadFollowedFile(read);
    return ShowFollowed(std::move(read), attempt);
}

TFollowResult TKelViewSession::ShowFollowed(TFollowRead&& read, TFollowAttempt attempt) {
    TFollowResult result;
    result.loaded = read.loaded;
    // Another profile opened while this one was read: it is no longer shown.
    if (read.path.empty() || read.path != profilePath_) return result;
    // A file the instrument is still writing is left for the next attempt;
    // after the last one the user learns why it is not shown.
    if (!Complete(read.loaded)) {
        if (attempt == TFollowAttempt::Final) result.report = FollowReport(read.loaded);
        return result;
    }

    // The analysis is the user's: the values the fields put into the record
    // and the texts stay, the counts and the rest are the file's.
    TKel& next = read.profile;
    next.FileName = profile_.FileName;
    next.ion = profile_.ion;
    next.reactant = profile_.reactant;
    next.comment = profile_.comment;
    next.De200 = profile_.De200;
    next.Mr200 = profile_.Mr200;
    next.Df73 = profile_.Df73;
    next.OutlierPower = profile_.OutlierPower;
    next.Tg = profile_.Tg;
    next.lr = profile_.lr;
    next.Aft = profile_.Aft;
    next.f1 = profile_.f1;

    const bool fitAxes = AxesShowAll();
    // The file's new points are no step of the user's to undo.
    const TUndoStep step(*this, TStepKind::Program);
    struct Following {
        bool& flag;
        explicit Following(bool& f) : flag(f) { flag = true; }
        ~Following() { flag = false; }
    } following{following_};
    ReplaceProfile(std::move(next));
    result.shown = true;
    try {
        // The compounds quantified are those the profile's ions measure.
        if (PpbDown()) SelectCompoundsForPpb(Library(), profile_);
        RefreshPlot();
        if (fitAxes) ShowAllClick();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        // What opening the file would have shown as an error, told as a
        // report so that a file failing every cycle is told once.
        result.report = "The shown profile " + profile_.FileName + " was read again, but: " + error.what();
    }
    return result;
}

void TKelViewSession::MarkAxesShowAll() { shownAll_ = AxesOf(graph1_); }

bool TKelViewSession::AxesShowAll() const { return shownAll_ && *shownAll_ == AxesOf(graph1_); }

}  // namespace kel
