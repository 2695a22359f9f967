#include "cli/ProfileRecord.h"

#include <limits>

#include "cli/CliOptions.h"
#include "common/DateTime.h"
#include "common/Messages.h"

namespace kel::cli {

namespace {

template <typename Values>
void IntegerArray(JsonWriter& json, std::string_view key, const Values& values) {
    json.BeginArray(key);
    for (auto v : values) json.Element(static_cast<long long>(v));
    json.EndArray();
}

}  // namespace

std::unique_ptr<TKel> LoadRecord(const std::string& path, bool headerOnly) {
    std::unique_ptr<TKel> record = headerOnly ? std::make_unique<TKelDetails>() : std::make_unique<TKel>();
    record->HeaderOnly = headerOnly;
    TProfileLoadResult loaded = record->LoadFromFile(path);
    ShowNotices(LoadNotices(loaded));
    if (loaded.ended) throw EFailure(loaded.io.reason);
    if (!loaded) throw EFailure("\"" + path + "\" could not be read");
    record->FileName = path.substr(path.find_last_of('/') + 1);
    return record;
}

void WriteRecordJson(JsonWriter& json, const TKel& k, bool withCounts) {
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
    // The day numbers stay as they were; scripts that want a calendar date
    // read these beside them (null where no calendar date fits).
    for (const Real& r : {Real{"DateOriginIso", k.DateOrigin}, Real{"ProfileDateIso", k.ProfileDate}}) {
        std::string iso = IsoDateTime(r.value);
        if (iso.empty())
            json.Number(r.name, std::numeric_limits<double>::quiet_NaN());
        else
            json.String(r.name, iso);
    }
    json.String("ion", k.ion);
    json.String("reactant", k.reactant);
    json.String("comment", k.comment);
    json.String("SystemId", k.SystemId);
    json.Bool("HeaderOnly", k.HeaderOnly);
    json.Integer("OutlierFilter", k.OutlierFilter);
    json.BeginArray("Name");
    for (const auto& n : k.Name) json.Element(n);
    json.EndArray();
    IntegerArray(json, "Dam", k.Dam);
    IntegerArray(json, "Cntm", k.Cntm);
    json.BeginArray("IonMass");
    for (int i = 0; i < k.nim / 2 && i < static_cast<int>(k.IonMass.size()); ++i)
        json.Element(k.IonMass[static_cast<std::size_t>(i)]);
    json.EndArray();
    if (withCounts) {
        IntegerArray(json, "Times", k.Times);
        json.BeginArray("Counts");
        for (const auto& row : k.Counts) IntegerArray(json, {}, row);
        json.EndArray();
    }
    json.EndObject();
}

}  // namespace kel::cli
