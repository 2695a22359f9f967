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
};

class TProfileListing {
public:
    // Makes folder current and lists its "*.kel" files (any case) by their
    // header fields, newest first, showing the boxes of loads that read on.
    // A load that ended ends the listing: the entries so far stay (sorted)
    // and its result is returned. `busy` is told when the busy cursor should
    // show (from the eleventh file on) and when the listing is over.
    TIoResult ListFolder(const std::string& folder, const std::function<void(bool)>& busy = {});
    // Orders the entries by ProfileDate, newest first.
    void SortNewestFirst();
    // Frees every entry and empties the list.
    void ClearListing();

    std::vector<TListEntry> Entries;
    int Selected = -1;  // index of the selected entry, -1 for none
};

// Reports the batch's progress before each profile: the entry about to be
// converted (0-based) of count. False stops the batch before that profile.
using TBatchProgress = std::function<bool(int index, int count, const std::string& name)>;

// What a batch did: the profiles converted and, when it stopped at a
// failure, the failure. `shown`: its message box was already shown (a
// profile that could not be opened or is damaged), so the caller adds none.
struct TBatchResult : TIoResult {
    int converted = 0;
    bool shown = false;
};

// Converts every listed profile, newest first, in the current folder: its
// worksheet (<name>.csv), its ppb lines (<name>Ppb.csv) and the lines of all
// profiles ("AllFilesPpb.csv"), each written aside and put in place whole.
// A profile that cannot be opened, is damaged or cannot be computed ends the
// batch there; the outputs of the profiles before it stay, and so does the
// old "AllFilesPpb.csv" when no profile was converted. The first output that
// cannot be written ends the batch as WriteFailed naming it and the system's
// reason; every output not yet put in place keeps what it held. A progress
// report that answers false stops the batch as a failing profile would,
// without a failure.
TBatchResult BatchConvert(TProfileListing& listing, TKelViewSession& session, const TBatchProgress& progress = {});

// The batch's file of all profiles' ppb lines.
inline constexpr const char* kAllFilesPpbName = "AllFilesPpb.csv";

}  // namespace kel
