// kelview-cli: the program's jobs without a display.
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Json.h"
#include "common/DateTime.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "profile/Kel.h"

namespace {

using kel::cli::JsonWriter;

const char* kUsage =
    "Usage: kelview-cli COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  info FILE [--header-only] [--counts]   every record field after loading, as JSON\n"
    "  convert FILE OUT.csv                   write the profile's worksheet\n"
    "  summary FILE...                        one line per profile: date, size, texts, channels\n"
    "  help                                   this text\n"
    "\n"
    "Messages the program would show in a box are printed to standard error.\n";

// Counts boxes shown, so a run that showed an error box can end non-zero.
class CountingStderrSink : public kel::StderrMessageSink {
public:
    void Show(std::string_view caption, std::string_view text) override {
        ++shown;
        kel::StderrMessageSink::Show(caption, text);
    }
    int shown = 0;
};

void WriteRecord(JsonWriter& json, const kel::TKel& k, bool withCounts) {
    json.BeginObject();
    json.String("FileName", k.FileName);
    json.Integer("nim", k.nim);
    json.Integer("njm", k.njm);
    json.Integer("im", k.im);
    json.Integer("jm", k.jm);
    struct Real {
        const char* name;
        double value;
    };
    for (const Real& r : {Real{"p", k.p}, Real{"fc", k.fc}, Real{"f1", k.f1}, Real{"Tg", k.Tg}, Real{"Aft", k.Aft},
                          Real{"lr", k.lr}, Real{"f4", k.f4}, Real{"f5", k.f5}, Real{"f6", k.f6}, Real{"f7", k.f7},
                          Real{"f8", k.f8}, Real{"De200", k.De200}, Real{"Mr200", k.Mr200}, Real{"Df73", k.Df73},
                          Real{"FScan", k.FScan}, Real{"ts", k.ts}, Real{"DateOrigin", k.DateOrigin},
                          Real{"ProfileDate", k.ProfileDate}, Real{"OutlierPower", k.OutlierPower}})
        json.Number(r.name, r.value);
    json.String("ion", k.ion);
    json.String("reactant", k.reactant);
    json.String("comment", k.comment);
    json.String("SystemId", k.SystemId);
    json.Bool("HeaderOnly", k.HeaderOnly);
    json.Integer("OutlierFilter", k.OutlierFilter);
    json.BeginArray("Name");
    for (const auto& n : k.Name) json.Element(n);
    json.EndArray();
    json.BeginArray("Dam");
    for (auto v : k.Dam) json.Element(static_cast<long long>(v));
    json.EndArray();
    json.BeginArray("Cntm");
    for (auto v : k.Cntm) json.Element(static_cast<long long>(v));
    json.EndArray();
    json.BeginArray("IonMass");
    for (int i = 0; i < k.nim / 2; ++i) json.Element(k.IonMass[static_cast<std::size_t>(i)]);
    json.EndArray();
    if (withCounts) {
        json.BeginArray("Times");
        for (auto v : k.Times) json.Element(static_cast<long long>(v));
        json.EndArray();
        json.BeginArray("Counts");
        for (const auto& row : k.Counts) {
            json.BeginArray();
            for (auto v : row) json.Element(static_cast<long long>(v));
            json.EndArray();
        }
        json.EndArray();
    }
    json.EndObject();
}

bool HasFlag(const std::vector<std::string>& args, const char* flag) {
    for (const auto& a : args)
        if (a == flag) return true;
    return false;
}

int Info(const std::vector<std::string>& args) {
    if (args.empty() || args[0].rfind("--", 0) == 0) {
        std::cerr << "kelview-cli info: a profile FILE is needed\n" << kUsage;
        return 2;
    }
    std::unique_ptr<kel::TKel> profile;
    if (HasFlag(args, "--header-only")) {
        profile = std::make_unique<kel::TKelDetails>();
        profile->HeaderOnly = true;
    } else {
        profile = std::make_unique<kel::TKel>();
    }
    profile->LoadFromFile(args[0]);
    profile->FileName = args[0].substr(args[0].find_last_of('/') + 1);
    JsonWriter json;
    WriteRecord(json, *profile, HasFlag(args, "--counts"));
    std::cout << json.Text() << '\n';
    return 0;
}

int Summary(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << "kelview-cli summary: at least one profile FILE is needed\n" << kUsage;
        return 2;
    }
    for (const auto& path : args) {
        kel::TKel profile;
        profile.LoadFromFile(path);
        profile.FileName = path.substr(path.find_last_of('/') + 1);
        auto d = kel::DecodeDateTime(profile.ProfileDate);
        char date[32];
        std::snprintf(date, sizeof date, "%02d/%02d/%04d %02d:%02d", d.day, d.month, d.year, d.hour, d.minute);
        std::cout << profile.FileName << "  " << date << "  " << profile.nim << " rows, " << profile.njm
                  << " slots, " << profile.jm << " cycles  ion \"" << profile.ion << "\"  sample \""
                  << profile.reactant << "\"  channels";
        for (int k = 0; k < profile.nim / 2; ++k)
            if (!profile.Name[static_cast<std::size_t>(2 * k + 1)].empty())
                std::cout << ' ' << profile.Name[static_cast<std::size_t>(2 * k + 1)];
        std::cout << '\n';
    }
    return 0;
}

int Convert(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::cerr << "kelview-cli convert: FILE and OUT are needed\n" << kUsage;
        return 2;
    }
    const std::string& out = args[1];
    auto lower = out;
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".csv") != 0) {
        std::cerr << "kelview-cli convert: only worksheet output (*.csv) is supported so far\n";
        return 2;
    }
    kel::TKel profile;
    profile.LoadFromFile(args[0]);
    return profile.WriteCsv(out) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? std::cerr : std::cout) << kUsage;
        return args.empty() ? 2 : 0;
    }
    CountingStderrSink sink;
    kel::SetMessageSink(&sink);
    std::string command = args[0];
    args.erase(args.begin());
    if (HasFlag(args, "--help")) {
        std::cout << kUsage;
        return 0;
    }
    try {
        int rc = 2;
        if (command == "info")
            rc = Info(args);
        else if (command == "summary")
            rc = Summary(args);
        else if (command == "convert")
            rc = Convert(args);
        else {
            std::cerr << "kelview-cli: unknown command \"" << command << "\"\n" << kUsage;
            return 2;
        }
        return rc;
    } catch (const std::exception& e) {
        std::cerr << "kelview-cli: " << e.what() << '\n';
        return 1;
    }
}
