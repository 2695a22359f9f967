#include "app/AnalysisFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

#include "app/KelViewSession.h"
#include "common/Json.h"
#include "common/JsonRead.h"
#include "common/Platform.h"
#include "common/SafeFile.h"

namespace kel {

namespace {

constexpr std::string_view kFormat = "kelview-analysis";
constexpr double kVersion = 1;
// An analysis file is a few kilobytes; anything much larger is no such file.
constexpr std::size_t kLargestFile = 1 << 20;
constexpr std::size_t kLongestPath = 4096;
constexpr std::size_t kMostHiddenCurves = 1000;
constexpr const char* kChecksumKey = "fnv1a64";
struct HiddenMode {
    const char* name;
    std::set<std::string> THiddenCurves::*names;
};
constexpr HiddenMode kHiddenModes[] = {
    {"rate", &THiddenCurves::Rate}, {"ppb", &THiddenCurves::Ppb}, {"dh", &THiddenCurves::Isotope}};

struct ProfileValue {
    const char* name;
    double TAnalysisProfileValues::*member;
};

constexpr ProfileValue kProfileValues[] = {
    {"De200", &TAnalysisProfileValues::De200}, {"Mr200", &TAnalysisProfileValues::Mr200},
    {"Df73", &TAnalysisProfileValues::Df73},   {"OutlierPower", &TAnalysisProfileValues::OutlierPower},
    {"Tg", &TAnalysisProfileValues::Tg},       {"lr", &TAnalysisProfileValues::lr},
    {"Aft", &TAnalysisProfileValues::Aft},     {"f1", &TAnalysisProfileValues::f1},
};

std::filesystem::path FolderOf(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(os::PathOf(path), error);
    if (error) absolute = os::PathOf(path);
    return absolute.lexically_normal().parent_path();
}

std::string StoredProfilePath(const std::string& profile, const std::string& analysisPath) {
    const std::filesystem::path file = os::PathOf(profile).lexically_normal();
    if (file.is_absolute() && file.parent_path() == FolderOf(analysisPath)) return os::Utf8Of(file.filename());
    return profile;
}

[[noreturn]] void Refuse(const std::string& reason) { throw EKelError(reason); }

const TJsonValue& Need(const TJsonValue& object, const char* key, TJsonValue::TKind kind, const char* what) {
    const TJsonValue* value = object.Member(key);
    if (!value) Refuse(std::string("\"") + key + "\" is missing");
    if (value->kind != kind) Refuse(std::string("\"") + key + "\" is not " + what);
    return *value;
}

double NeedNumber(const TJsonValue& object, const char* key) {
    return Need(object, key, TJsonValue::TKind::Number, "a number").number;
}

bool NeedBool(const TJsonValue& object, const char* key) {
    return Need(object, key, TJsonValue::TKind::Bool, "true or false").boolean;
}

std::string NeedText(const TJsonValue& object, const char* key) {
    std::string text = Need(object, key, TJsonValue::TKind::String, "a string").text;
    if (text.size() > kLongestPath) Refuse(std::string("\"") + key + "\" is longer than a path");
    return text;
}

std::string NeedChecksum(const TJsonValue& object) {
    std::string text = NeedText(object, kChecksumKey);
    const bool hex = std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (!(text.empty() || (text.size() == 16 && hex))) Refuse(std::string("\"") + kChecksumKey + "\" is no checksum");
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

void WriteFile(JsonWriter& json, const char* key, const std::string& path, const std::string& checksum) {
    json.BeginObject(key);
    json.String("path", path);
    json.String(kChecksumKey, checksum);
    json.EndObject();
}

}  // namespace

bool IsAnalysisFileName(std::string_view path) {
    if (path.size() < kAnalysisFileEnding.size()) return false;
    const std::string_view ending = path.substr(path.size() - kAnalysisFileEnding.size());
    return std::equal(ending.begin(), ending.end(), kAnalysisFileEnding.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    });
}

std::string AnalysisFileText(const TAnalysisFile& analysis, const std::string& analysisPath) {
    const TAnalysisState& state = analysis.state;
    JsonWriter json;
    json.BeginObject();
    json.String("format", kFormat);
    json.Number("version", kVersion);
    WriteFile(json, "profile", StoredProfilePath(analysis.profilePath, analysisPath), analysis.profileChecksum);
    WriteFile(json, "kinetics", analysis.kineticsPath, analysis.kineticsChecksum);
    json.String("mode", ModeButtonName(state.mode));
    json.BeginObject("fields");
    for (int i = 0; i < kFieldCount; ++i)
        json.Number(TKelViewSession::NameOfField(static_cast<TFieldId>(i)), state.fields[static_cast<std::size_t>(i)]);
    json.EndObject();
    // What the fields put into the profile record, which is what the
    // results are computed from.
    json.BeginObject("profileValues");
    for (const ProfileValue& v : kProfileValues) json.Number(v.name, state.profile.*v.member);
    json.EndObject();
    json.Bool("correct", state.correct);
    json.Bool("normaliseToId", state.normId);
    json.Bool("timeZeroAtStart", state.t0AtStart);
    json.Bool("expand", state.expand);
    json.BeginArray("selection");
    json.Element(state.selection[0]);
    json.Element(state.selection[1]);
    json.EndArray();
    json.BeginObject("axes");
    json.Number("xmin", state.axes.xmin);
    json.Number("xmax", state.axes.xmax);
    json.Number("ymin", state.axes.Ymin);
    json.Number("ymax", state.axes.Ymax);
    json.Bool("xLog", state.axes.XLog);
    json.Bool("yLog", state.axes.YLog);
    json.EndObject();
    json.BeginObject("hiddenCurves");
    for (const HiddenMode& mode : kHiddenModes) {
        json.BeginArray(mode.name);
        for (const std::string& name : state.hiddenCurves.*mode.names) json.Element(name);
        json.EndArray();
    }
    json.EndObject();
    json.EndObject();
    return json.Text() + "\n";
}

TAnalysisFile ParseAnalysisFile(std::string_view text, const std::string& analysisPath) {
    TJsonValue root;
    try {
        root = ParseJson(text);
    } catch (const EJsonError& error) {
        Refuse(std::string("no JSON: ") + error.what());
    }
    if (root.kind != TJsonValue::TKind::Object) Refuse("no analysis: the text holds no JSON object");
    if (NeedText(root, "format") != kFormat) Refuse("no analysis: \"format\" is not \"kelview-analysis\"");
    if (NeedNumber(root, "version") != kVersion) Refuse("an analysis of a version this program does not read");

    TAnalysisFile analysis;
    const TJsonValue& profile = Need(root, "profile", TJsonValue::TKind::Object, "an object");
    analysis.profilePath = NeedText(profile, "path");
    if (analysis.profilePath.empty()) Refuse("the profile's path is empty");
    // A name alone or a relative path lies beside the analysis file.
    std::filesystem::path profileFile = os::PathOf(analysis.profilePath);
    if (!profileFile.is_absolute()) profileFile = FolderOf(analysisPath) / profileFile;
    analysis.profilePath = os::Utf8Of(profileFile.lexically_normal());
    analysis.profileChecksum = NeedChecksum(profile);
    const TJsonValue& kinetics = Need(root, "kinetics", TJsonValue::TKind::Object, "an object");
    analysis.kineticsPath = NeedText(kinetics, "path");
    analysis.kineticsChecksum = NeedChecksum(kinetics);

    TAnalysisState& state = analysis.state;
    if (!ModeButtonOfName(NeedText(root, "mode"), state.mode)) Refuse("\"mode\" is none of none, ppb, dh, intres");
    const TJsonValue& fields = Need(root, "fields", TJsonValue::TKind::Object, "an object");
    for (int i = 0; i < kFieldCount; ++i) {
        const std::string name(TKelViewSession::NameOfField(static_cast<TFieldId>(i)));
        state.fields[static_cast<std::size_t>(i)] = NeedNumber(fields, name.c_str());
    }
    const TJsonValue& values = Need(root, "profileValues", TJsonValue::TKind::Object, "an object");
    for (const ProfileValue& v : kProfileValues) state.profile.*v.member = NeedNumber(values, v.name);
    state.correct = NeedBool(root, "correct");
    state.normId = NeedBool(root, "normaliseToId");
    state.t0AtStart = NeedBool(root, "timeZeroAtStart");
    state.expand = NeedBool(root, "expand");
    const TJsonValue& selection = Need(root, "selection", TJsonValue::TKind::Array, "an array");
    if (selection.items.size() != 2 || selection.items[0].kind != TJsonValue::TKind::Number ||
        selection.items[1].kind != TJsonValue::TKind::Number)
        Refuse("\"selection\" is not two times in seconds");
    state.selection = {selection.items[0].number, selection.items[1].number};
    const TJsonValue& axes = Need(root, "axes", TJsonValue::TKind::Object, "an object");
    state.axes = {NeedNumber(axes, "xmin"), NeedNumber(axes, "xmax"), NeedNumber(axes, "ymin"),
                  NeedNumber(axes, "ymax"), NeedBool(axes, "xLog"), NeedBool(axes, "yLog")};
    if (state.axes.xmin == state.axes.xmax || state.axes.Ymin == state.axes.Ymax)
        Refuse("\"axes\" span no range");
    if ((state.axes.XLog && (state.axes.xmin <= 0 || state.axes.xmax <= 0)) ||
        (state.axes.YLog && (state.axes.Ymin <= 0 || state.axes.Ymax <= 0)))
        Refuse("\"axes\" are logarithmic over values that are not positive");
    const TJsonValue& hidden = Need(root, "hiddenCurves", TJsonValue::TKind::Object, "an object");
    std::size_t hiddenCount = 0;
    for (const TJsonMember& member : hidden.members) {
        const std::string& mode = member.name;
        const TJsonValue& names = member.value;
        const auto* known = std::find_if(std::begin(kHiddenModes), std::end(kHiddenModes),
                                         [&](const HiddenMode& m) { return mode == m.name; });
        if (known == std::end(kHiddenModes)) Refuse("\"hiddenCurves\" names no mode \"" + mode + "\"");
        if (names.kind != TJsonValue::TKind::Array) Refuse("\"hiddenCurves\" holds no list of names");
        std::set<std::string>& list = state.hiddenCurves.*known->names;
        for (const TJsonValue& name : names.items) {
            if (name.kind != TJsonValue::TKind::String || name.text.empty() || ++hiddenCount > kMostHiddenCurves)
                Refuse("\"hiddenCurves\" holds something other than curve names");
            list.insert(name.text);
        }
    }
    return analysis;
}

TAnalysisFile ReadAnalysisFile(const std::string& path) {
    const std::string text = ReadWholeRegularFile(path, kLargestFile);
    try {
        return ParseAnalysisFile(text, path);
    } catch (const EKelError& error) {
        throw EFileError("The analysis file \"" + path + "\" cannot be used: " + error.what());
    }
}

TIoResult WriteAnalysisFile(const TAnalysisFile& analysis, const std::string& path) {
    return ReplaceFileAtomically(path, AnalysisFileText(analysis, path));
}

}  // namespace kel
