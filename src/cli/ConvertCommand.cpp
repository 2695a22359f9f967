// "convert": a profile as a worksheet or as a zipped XML profile.
#include <algorithm>
#include <cctype>

#include "cli/Commands.h"
#include "cli/ProfileRecord.h"
#include "common/Messages.h"

namespace kel::cli {

namespace {

bool IsWorksheetName(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".csv") == 0;
}

int RunConvert(const TParsedArgs& args) {
    const auto& files = args.Positional({"FILE", "OUT"});
    std::unique_ptr<TKel> record = LoadRecord(files[0], false);
    TIoResult saved = IsWorksheetName(files[1]) ? record->WriteCsv(files[1]) : record->SaveZipped(files[1]);
    if (!saved) {
        // The window's box for a failed save, then what the tool failed at.
        DebugFileMessage("Save Error!", files[1], saved.reason);
        throw EFailure("\"" + files[1] + "\" was not written");
    }
    return 0;
}

}  // namespace

TCommand ConvertCommand() {
    return {"convert", "a profile as worksheet (.csv) or zipped XML profile", "convert",
            "Usage: kelview-cli convert FILE OUT\n"
            "\n"
            "Loads FILE and writes it to OUT: the worksheet when OUT ends in .csv\n"
            "(any case), otherwise a zipped XML profile. OUT is replaced only by a\n"
            "complete file.\n",
            {},
            RunConvert};
}

}  // namespace kel::cli
