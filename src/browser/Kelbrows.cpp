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
        ShowLoadMessages(loaded);
        TIoResult failure;
        if (loaded.ended) {
            // Its date is the file's own, as for a profile that has none:
            // the file stays where the folder's history puts it.
            details->ProfileDate = FileProfileDate(name);
            failure = std::move(loaded);
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

// Converts one listed profile: its worksheet, its ppb file, and its lines
// into `allFiles`. Returns the load's result; raises EFileWriteError for an
// output that cannot be written and EKelError when the profile cannot be
// computed, after its lines up to the failing point are collected.
TProfileLoadResult ConvertEntry(const TListEntry& entry, TKelViewSession& session, TReplacementFile& allFiles,
                       bool& collected) {
    session.ReleasePpb();
    TProfileLoadResult loaded = session.ShowProfile(entry.StoredName);
    if (!loaded) return loaded;
    PutFileInPlace(entry.StoredName + ".csv", session.Profile().BuildWorksheet(), TDurability::Unsynced);
    session.PressPpb();
    // The same lines go to the profile's file, written whole, and to the
    // collected one.
    std::exception_ptr failure;
    std::string lines = BatchLines(session.LogContext(), failure);
    PutFileInPlace(entry.StoredName + "Ppb.csv", lines, TDurability::Unsynced);
    allFiles.Append(lines);
    collected = true;
    if (failure) std::rethrow_exception(failure);
    return loaded;
}

}  // namespace

TBatchResult BatchConvert(TProfileListing& listing, TKelViewSession& session, const TBatchProgress& progress) {
    TBatchResult result;
    try {
        // The collected lines grow aside: the old "AllFilesPpb.csv" stays
        // until its replacement holds what the batch promises.
        TReplacementFile allFiles(kAllFilesPpbName, TDurability::Unsynced);
        bool collected = false;
        bool ranThrough = true;
        int count = static_cast<int>(listing.Entries.size());
        for (int index = 0; index < count; ++index) {
            const TListEntry& entry = listing.Entries[static_cast<std::size_t>(index)];
            if (!entry.Failure.ok()) {
                result.skipped.push_back(entry.Failure);
                continue;
            }
            if (progress && !progress(index, count, entry.StoredName)) {
                ranThrough = false;
                break;
            }
            listing.Selected = index;
            TIoResult converted;
            try {
                TProfileLoadResult loaded = ConvertEntry(entry, session, allFiles, collected);
                result.shown = !loaded.ended;  // a load that read on showed its boxes
                converted = std::move(loaded);
            } catch (const EFileWriteError&) {
                throw;  // nothing more is written: what was not yet whole stays as it was
            } catch (const EKelError& e) {
                converted = TIoResult::Failure(TIoStatus::Failed, entry.StoredName, e.what());
                result.shown = false;  // shown is the load's; this failure has no box yet
            }
            if (!converted) {
                // The lines collected so far are put in place, as deleting
                // the file and appending to it would have left them. With
                // none, the old file stays.
                if (collected) allFiles.Commit();
                static_cast<TIoResult&>(result) = std::move(converted);
                return result;
            }
            ++result.converted;
        }
        // A batch stopped before its first profile leaves the old file too,
        // and so does one that found nothing it could convert.
        if (collected || (ranThrough && result.converted > 0)) allFiles.Commit();
    } catch (const EFileWriteError& e) {
        static_cast<TIoResult&>(result) = TIoResult::Failure(TIoStatus::WriteFailed, e.Path(), e.Reason());
        result.shown = false;
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
    if (index >= listing.Entries.size()) return "stopped: " + batch.description();
    return BatchStopText(listing.Entries[index].StoredName, static_cast<int>(index),
                         static_cast<int>(listing.Entries.size()), batch.description());
}

}  // namespace kel
