// "info": every field of a profile record, as JSON.
#include <iostream>

#include "cli/Commands.h"
#include "cli/ProfileRecord.h"

namespace kel::cli {

namespace {

int RunInfo(const TParsedArgs& args) {
    const std::string& file = args.Positional({"FILE"})[0];
    std::unique_ptr<TKel> record = LoadRecord(file, args.Has("--header-only"));
    JsonWriter json;
    WriteRecordJson(json, *record, args.Has("--counts"));
    std::cout << json.Text() << '\n';
    return 0;
}

}  // namespace

TCommand InfoCommand() {
    return {"info", "every record field of a profile, as JSON", "read",
            "Usage: kelview-cli info FILE [--header-only] [--counts]\n"
            "\n"
            "Loads FILE (legacy, XML or zipped XML) and prints every field of the\n"
            "record as one JSON object. Numbers read back exactly; values that are\n"
            "not finite are null.\n"
            "\n"
            "  --header-only  read only the header, as the profile browser does\n"
            "  --counts       include the slot times and the counts of every row\n"
            "Dates are days since 30 December 1899 (DateOrigin, ProfileDate) with\n"
            "their local ISO 8601 form beside them (DateOriginIso, ProfileDateIso).\n",
            {{"--header-only", false}, {"--counts", false}},
            RunInfo};
}

}  // namespace kel::cli
