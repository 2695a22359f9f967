#include "browser/Kelbrows.h"

#include <algorithm>
#include <exception>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "app/KelViewSession.h"
#include "common/Messages.h"
#include "common/OrderedJobs.h"
#include "common/Platform.h"
#include "common/SafeFile.h"
#include "reporting/ResultLog.h"

namespace fs = std::filesystem;

namespace kel {

namespace {

constexpr std::size_t kBusyFromEntry = 10;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A reason as the readers word it for a user who does not see the file's
// name beside it; here the name is beside it, and "damaged" says the rest.
std::string ReasonBesideName(const TIoResult& failure) {
    std::string text = failure.description();
    constexpr std::string_view kDamaged = "Damaged profile: ";
    if (failure.status == TIoStatus::Damaged && text.starts_with(kDamaged)) text.erase(0, kDamaged.size());
    const std::string named = " (in \"" + failure.file + "\")";
    if (text.ends_with(named)) text.erase(text.size() - named.size());
    return text;
}

std::string FailureText(const TIoResult& failure) {
    return (failure.status == TIoStatus::Damaged ? "damaged: " : "not read: ") + ReasonBesideName(failure);
}

bool IsProfileName(std::string_view name) {
    if (name.size() <= 4 || name[0] == '.') return false;
    std::string_view ending = name.substr(name.size() - 4);
    return ending[0] == '.' && std::tolower(static_cast<unsigned char>(ending[1])) == 'k' &&
           std::tolower(static_cast<unsigned char>(ending[2])) == 'e' &&
           std::tolower(static_cast<unsigned char>(ending[3])) == 'l';
}

}  // namespace

std::string DetailsText(const TListEntry& entry) {
    return entry.Failure.ok() ? std::string() : FailureText(entry.Failure);
}

std::string SkippedLine(const TIoResult& skipped) {
    return "skipped \"" + skipped.file + "\": " + FailureText(skipped);
}

void TProfileListing::ClearListing() {
    Entries.clear();
    Selected = -1;
}

void TProfileListing::SortNewestFirst() {
    // Sorting the dates with their places keeps equal dates in listing order
    // and moves every entry once.
    std::vector<std::pair<double, std::size_t>> order(Entries.size());
    for (std::size_t i = 0; i < Entries.size(); ++i) order[i] = {Entries[i].Details->ProfileDate, i};
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::vector<TListEntry> sorted;
    sorted.reserve(Entries.size());
    for (const auto& [date, index] : order) sorted.push_back(std::move(Entries[index]));
    Entries = std::move(sorted);
}

int TProfileListing::FirstProfile() const {
    for (std::size_t i = 0; i < Entries.size(); ++i)
        if (Entries[i].Failure.ok()) return static_cast<int>(i);
    return -1;
}

TIoResult TProfileListing::ListFolder(const std::string& folder, const std::function<void(bool)>& busy) {
    std::error_code ec;
    fs::current_path(os::PathOf(folder), ec);  // a failure lists the folder that stays current
    ClearListing();
    struct Finish {
        TProfileListing& listing;
        const std::function<void(bool)>& busy;
        bool busyShown = false;
        ~Finish() {
            listing.SortNewestFirst();
            if (busyShown && busy) busy(false);
        }
    } finish{*this, busy};
    // Regular files, or links to them, named "*.kel" in any case.
    std::optional<std::vector<std::string>> names = os::RegularFileNames(".", IsProfileName);
    if (!names)
        return TIoResult::Failure(TIoStatus::Failed, folder,
                                  "Cannot list the folder \"" + folder + "\": " + std::strerror(errno));
    Entries.reserve(names->size());
    for (const std::string& name : *names) {
        auto details = std::make_unique<TKelDetails>();
        details->HeaderOnly = true;
        details->FileName = name;
        TProfileLoadResult loaded = details->LoadFromFile(name);
        ShowNotices(LoadNotices(loaded));
        TIoResult failure;
        if (loaded.ended) {
            // Its date is the file's own, as for a profile that has none:
            // the file stays where the folder's history puts it.
            details->ProfileDate = FileProfileDate(name);
            failure = std::move(loaded.io);
        }
        Entries.push_back({Lower(name), name, std::move(details), std::move(failure)});
        if (Entries.size() == kBusyFromEntry + 1 && busy) {
            busy(true);
            finish.busyShown = true;
        }
    }
    return TIoResult::Success();
}

namespace {

// What converting one listed profile gave, computed on any thread and put
// in place on the batch's own: the outputs, and how far the work came.
struct TConvertedEntry {
    bool listed = true;               // false: an entry the listing could not read
    bool cancelled = false;           // the progress report stopped the batch before it
    bool changedSession = false;      // the session shows (part of) this profile now
    TProfileLoadResult loaded;
    std::optional<std::string> worksheet;  // composed, to be put in place
    std::optional<std::string> lines;      // the ppb lines composed before any failure
    std::string failure;                   // why the profile could not be computed
    TRecordedMessages messages;
};

// Opens and computes one listed profile in session, writing nothing; an
// EKelError ends it where it arose, with what was composed before.
TConvertedEntry ComposeEntry(const TListEntry& entry, TKelViewSession& session) {
    TConvertedEntry out;
    if (!entry.Failure.ok()) {
        out.listed = false;
        return out;
    }
    TThreadMessageCapture capture(out.messages);
    try {
        session.ReleasePpb();
        out.changedSession = true;  // also when showing it fails half-way
        out.loaded = session.ShowProfile(entry.StoredName);
        // A load that fails changes nothing the window shows.
        out.changedSession = !out.loaded.Failed();
        if (!out.loaded) return out;
        out.worksheet = session.Profile().BuildWorksheet();
        session.PressPpb();
        std::exception_ptr failure;
        out.lines = BatchLines(session.LogContext(), failure);
        if (failure) std::rethrow_exception(failure);
    } catch (const EKelError& e) {
        out.failure = e.what();
    }
    return out;
}

// Puts one profile's outputs in place, in the order one thread writes them:
// its worksheet, its ppb file, its lines into `allFiles`. Raises
// EFileWriteError for an output that cannot be written.
void PutEntryInPlace(const TListEntry& entry, const TConvertedEntry& done, TReplacementFile& allFiles, bool& collected) {
    if (done.worksheet) PutFileInPlace(entry.StoredName + ".csv", *done.worksheet, TDurability::Unsynced);
    if (!done.lines) return;
    // The same lines go to the profile's file, written whole, and to the
    // collected one.
    PutFileInPlace(entry.StoredName + "Ppb.csv", *done.lines, TDurability::Unsynced);
    allFiles.Append(*done.lines);
    collected = true;
}

}  // namespace

TBatchResult BatchConvert(TProfileListing& listing, TKelViewSession& session, const TBatchProgress& progress,
                          const TBatchJobs& jobs) {
    TBatchResult result;
    const int count = static_cast<int>(listing.Entries.size());
    // One thread works in the caller's session, as the window's own batch
    // does; threads beside it each in a session of their own.
    const int threads = jobs.newSession ? std::max(1, std::min(jobs.count, count)) : 1;
    std::vector<std::unique_ptr<TKelViewSession>> own;
    if (threads > 1)
        for (int i = 0; i < threads; ++i) own.push_back(jobs.newSession());
    int lastShown = -1;  // the last entry opened: the caller's session shows it once the batch is over
    try {
        // The collected lines grow aside: the old "AllFilesPpb.csv" stays
        // until its replacement holds what the batch promises.
        TReplacementFile allFiles(kAllFilesPpbName, TDurability::Unsynced);
        bool collected = false;
        // With one thread the progress is told before the profile is opened,
        // so that a stop leaves the window's profile as it was.
        auto tell = [&](int index) {
            const TListEntry& entry = listing.Entries[static_cast<std::size_t>(index)];
            return !progress || !entry.Failure.ok() || progress(index, count, entry.StoredName);
        };
        std::function<TConvertedEntry(int, int)> work = [&](int worker, int index) {
            if (threads == 1 && !tell(index)) {
                TConvertedEntry stop;
                stop.cancelled = true;
                return stop;
            }
            TKelViewSession& s = threads > 1 ? *own[static_cast<std::size_t>(worker)] : session;
            return ComposeEntry(listing.Entries[static_cast<std::size_t>(index)], s);
        };
        std::function<bool(int, TConvertedEntry&)> take = [&](int index, TConvertedEntry& done) {
            const TListEntry& entry = listing.Entries[static_cast<std::size_t>(index)];
            if (!done.listed) {
                result.skipped.push_back(entry.Failure);
                return true;
            }
            if (done.cancelled || (threads > 1 && !tell(index))) return false;
            listing.Selected = index;
            done.messages.ReplayTo(session.Services().messages);
            if (done.changedSession) lastShown = index;
            PutEntryInPlace(entry, done, allFiles, collected);
            TIoResult converted = done.loaded.io;
            // A load that read on showed its boxes; a failure after it has no box yet.
            result.shown = done.failure.empty() && !done.loaded.ended;
            if (converted && !done.failure.empty())
                converted = TIoResult::Failure(TIoStatus::Failed, entry.StoredName, done.failure);
            if (!converted) {
                result.io = std::move(converted);
                return false;
            }
            ++result.converted;
            return true;
        };
        bool ranThrough = RunInOrder(count, threads, work, take);
        // The lines collected so far are put in place, as deleting the file
        // and appending to it would have left them; with none, the old file
        // stays. A batch stopped before its first profile leaves the old file
        // too, and so does one that found nothing it could convert.
        if (collected || (ranThrough && result.converted > 0)) allFiles.Commit();
    } catch (const EFileWriteError& e) {
        result.io = TIoResult::Failure(TIoStatus::WriteFailed, e.Path(), e.Reason());
        result.shown = false;
    }
    if (threads > 1 && lastShown >= 0) {
        // The window shows what one thread would have left it showing; its
        // boxes were shown already.
        TRecordedMessages shownBefore;
        TThreadMessageCapture capture(shownBefore);
        try {
            session.ReleasePpb();
            session.ShowProfile(listing.Entries[static_cast<std::size_t>(lastShown)].StoredName);
            session.PressPpb();
        } catch (const EKelError&) {
            // The batch told this failure already, where it met it.
        }
    }
    return result;
}

std::string BatchStopText(const std::string& name, int index, int count, const std::string& reason) {
    return "stopped at \"" + name + "\" (" + std::to_string(index + 1) + " of " + std::to_string(count) + ")" +
           (reason.empty() ? "" : ": " + reason);
}

std::string BatchStopText(const TProfileListing& listing, const TBatchResult& batch) {
    const auto index = static_cast<std::size_t>(batch.converted) + batch.skipped.size();
    // Past the last entry only the collected file was left to write.
    if (index >= listing.Entries.size()) return "stopped: " + batch.io.description();
    return BatchStopText(listing.Entries[index].StoredName, static_cast<int>(index),
                         static_cast<int>(listing.Entries.size()), batch.io.description());
}

}  // namespace kel
