#include "browser/Kelbrows.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "app/KelViewSession.h"
#include "common/Messages.h"
#include "reporting/ResultLog.h"

namespace fs = std::filesystem;

namespace kel {

namespace {

constexpr std::size_t kBusyFromEntry = 10;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsProfileName(const std::string& name) {
    return name.size() > 4 && name[0] != '.' && Lower(name.substr(name.size() - 4)) == ".kel";
}

}  // namespace

void TProfileListing::ClearListing() {
    Entries.clear();
    Selected = -1;
}

void TProfileListing::SortNewestFirst() {
    std::stable_sort(Entries.begin(), Entries.end(), [](const TListEntry& a, const TListEntry& b) {
        return a.Details->ProfileDate > b.Details->ProfileDate;
    });
}

void TProfileListing::ListFolder(const std::string& folder, const std::function<void(bool)>& busy) {
    std::error_code ec;
    fs::current_path(folder, ec);  // a failure lists the folder that stays current
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
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(".", ec)) {
        std::error_code typeError;
        std::string name = entry.path().filename().string();
        if (IsProfileName(name) && entry.is_regular_file(typeError)) names.push_back(name);
    }
    for (const std::string& name : names) {
        auto details = std::make_unique<TKelDetails>();
        details->HeaderOnly = true;
        details->FileName = name;
        details->LoadFromFile(name);
        Entries.push_back({Lower(name), name, std::move(details)});
        if (Entries.size() == kBusyFromEntry + 1 && busy) {
            busy(true);
            finish.busyShown = true;
        }
    }
}

bool BatchConvert(TProfileListing& listing, TKelViewSession& session, const TBatchProgress& progress) {
    std::error_code ec;
    fs::remove(kAllFilesPpbName, ec);
    bool allWritten = true;
    int count = static_cast<int>(listing.Entries.size());
    for (int i = 0; i < count; ++i) {
        listing.Selected = i;
        const TListEntry& entry = listing.Entries[static_cast<std::size_t>(i)];
        if (progress) progress(i, count, entry.StoredName);
        session.ReleasePpb();
        session.ShowProfile(entry.StoredName);
        allWritten = session.Profile.WriteCsv(entry.Text + ".csv") && allWritten;
        session.PressPpb();
        std::string ppbFile = entry.Text + "Ppb.csv";
        fs::remove(ppbFile, ec);
        // The same lines go to the profile's file and to the collected one.
        std::exception_ptr failure;
        std::string lines = BatchLines(session.LogContext(), failure);
        allWritten = AppendLines(ppbFile, lines) && allWritten;
        if (failure) std::rethrow_exception(failure);
        allWritten = AppendLines(kAllFilesPpbName, lines) && allWritten;
    }
    return allWritten;
}

}  // namespace kel
