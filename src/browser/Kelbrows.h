#pragma once
// The profile browser's work without its window: listing a folder of
// profiles by their header fields, newest first, and the batch conversion of
// the whole listing to worksheets and ppb files.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/IoResult.h"
#include "profile/Kel.h"

namespace kel {

class TKelViewSession;

struct TListEntry {
    std::string Text;        // the file name in lower case, as the list shows it
    std::string StoredName;  // the name as the folder stores it, used to open the file
    std::unique_ptr<TKelDetails> Details;
    // Why the file's header could not be read; ok for an entry listed as a
    // profile. Such an entry's ProfileDate is the file's modification time.
    TIoResult Failure;
};

// What the Details column says of an entry: "damaged: REASON" for a file
// whose header could not be read ("not read: REASON" when the file itself
// may be sound, as when memory ran short), empty for a profile.
std::string DetailsText(const TListEntry& entry);

class TProfileListing {
public:
    // Makes folder current and lists every "*.kel" file (any case) by its
    // header fields, newest first, showing the boxes of loads that read on.
    // A file whose header cannot be read is listed all the same, with its
    // Failure, and sorted by its modification time as a profile without a
    // date of its own is. `busy` is told when the busy cursor should show
    // (from the eleventh file on) and when the listing is over. Fails
    // (nothing listed, the system's reason) only when the folder itself
    // cannot be read.
    TIoResult ListFolder(const std::string& folder, const std::function<void(bool)>& busy = {});
    // Orders the entries by ProfileDate, newest first.
    void SortNewestFirst();
    // The index of the first entry listed as a profile (the newest one), -1
    // for none.
    int FirstProfile() const;
    // Frees every entry and empties the list.
    void ClearListing();

    std::vector<TListEntry> Entries;
    int Selected = -1;  // index of the selected entry, -1 for none
};

// Reports the batch's progress before each profile: the entry about to be
// converted (0-based) of count. False stops the batch before that profile.
using TBatchProgress = std::function<bool(int index, int count, const std::string& name)>;

// What a batch did: the profiles converted, the entries skipped because the
// listing could not read them (their Failure, in list order) and, when it
// stopped at a failure, the failure. The batch stopped, if it did, at entry
// converted + skipped.size(). `shown`: the failure's message box was already
// shown (a profile that could not be opened or is damaged), so the caller
// adds none.
struct TBatchResult {
    TIoResult io;  // the failure the batch stopped at; a success when it ran through
    int converted = 0;
    std::vector<TIoResult> skipped;
    bool shown = false;

    bool ok() const { return io.ok(); }
    explicit operator bool() const { return io.ok(); }
};

// The batch summary's line for a skipped file: skipped "NAME": damaged: REASON.
std::string SkippedLine(const TIoResult& skipped);

// Converts every listed profile, newest first, in the current folder: its
// worksheet (<name>.csv), its ppb lines (<name>Ppb.csv), <name> the file's
// own name in its own case, so that names differing only in case keep
// outputs of their own, and the lines of all profiles ("AllFilesPpb.csv"),
// each written aside and put in place whole.
// An entry the listing could not read is skipped, without a progress report.
// A profile that cannot be opened, is damaged or cannot be computed ends the
// batch there; the outputs of the profiles before it stay, and so does the
// old "AllFilesPpb.csv" when no profile was converted. The first output that
// cannot be written ends the batch as WriteFailed naming it and the system's
// reason; every output not yet put in place keeps what it held. A progress
// report that answers false stops the batch as a failing profile would,
// without a failure.
// With jobs, the profiles are opened and computed on jobs.count threads,
// each in a session of its own from jobs.newSession (made on the calling
// thread), while the outputs are put in place on the calling thread in list
// order: every output, message (on the sink session was made with) and
// progress report is the same as with one thread, and nothing after a profile that ends the batch is written; the
// caller's session shows the last profile opened, as with one thread.
struct TBatchJobs {
    int count = 1;
    std::function<std::unique_ptr<TKelViewSession>()> newSession;
};
TBatchResult BatchConvert(TProfileListing& listing, TKelViewSession& session, const TBatchProgress& progress = {},
                          const TBatchJobs& jobs = {});

// Where a batch stopped and why: stopped at "NAME" (INDEX+1 of COUNT): REASON
// (without the colon for an empty reason).
std::string BatchStopText(const std::string& name, int index, int count, const std::string& reason);
// The same for a batch of listing that failed, at the entry it stopped at;
// "stopped: " and the failure's description when it stopped after the last entry.
std::string BatchStopText(const TProfileListing& listing, const TBatchResult& batch);

// The batch's file of all profiles' ppb lines.
inline constexpr const char* kAllFilesPpbName = "AllFilesPpb.csv";

}  // namespace kel
