// The compiled part of the Python module "kelview": profiles, kinetics
// libraries and the window's calculations, with numpy arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <thread>

#include "ScriptSession.h"
#include "common/DateTime.h"
#include "common/NumberText.h"
#include "common/TextEncoding.h"
#include "kinetics/CountAccess.h"
#include "kinetics/FlowTube.h"

namespace pyb = pybind11;

namespace kel::py {

namespace {

pyb::str Str(std::string_view text) { return pyb::str(TextAsUtf8(std::string(text))); }

// The kelview exception class of a failure, made with its message and file.
[[noreturn]] void Raise(const TScriptError& e) {
    static constexpr const char* kClass[] = {"LoadError", "KineticsError", "FieldError", "CalculationError"};
    pyb::gil_scoped_acquire gil;
    pyb::object cls = pyb::module_::import("kelview").attr(kClass[static_cast<int>(e.kind)]);
    std::string message = e.file.empty() || e.message.find(e.file) != std::string::npos
                              ? e.message
                              : "\"" + e.file + "\": " + e.message;
    pyb::object error = cls(Str(message), e.file.empty() ? pyb::object(pyb::none()) : pyb::object(Str(e.file)));
    PyErr_SetObject(cls.ptr(), error.ptr());
    throw pyb::error_already_set();
}

// Runs work without the interpreter lock; a TScriptError becomes the
// kelview exception.
template <typename Work>
void Unlocked(Work work) {
    std::optional<TScriptError> failure;
    {
        pyb::gil_scoped_release release;
        try {
            work();
        } catch (const TScriptError& e) {
            failure = e;
        }
    }
    if (failure) Raise(*failure);
}

// A field value as a user would type it: the shortest text of the number,
// 1 and 0 for switches.
std::string FieldText(const pyb::handle& value) {
    if (pyb::isinstance<pyb::bool_>(value)) return value.cast<bool>() ? "1" : "0";
    if (pyb::isinstance<pyb::str>(value)) return value.cast<std::string>();
    double x = value.cast<double>();
    if (pyb::isinstance<pyb::int_>(value)) return std::to_string(value.cast<long long>());
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, x).ptr);
}

std::vector<cli::TFieldSetting> Fields(const pyb::kwargs& fields) {
    std::vector<cli::TFieldSetting> settings;
    for (const auto& [name, value] : fields) settings.push_back({name.cast<std::string>(), FieldText(value)});
    try {
        CheckFieldNames(settings);
    } catch (const TScriptError& e) {
        Raise(e);
    }
    return settings;
}

// As the command-line tool, the demo library unless one is named.
std::string DemoKinetics() { return pyb::module_::import("kelview").attr("DEMO_KINETICS").cast<std::string>(); }

class Library {
public:
    explicit Library(std::string path) : path_(std::move(path)) {
        TKbase library;
        Unlocked([&] { loaded_ = LoadLibrary(path_, library); });
        for (int i = 0; i < library.Count(); ++i) compounds_.push_back(library.Compound(i));
    }
    const std::string& Path() const { return path_; }
    pyb::list Warnings() const {
        pyb::list list;
        for (const std::string& w : loaded_.warnings) list.append(Str(w));
        return list;
    }
    pyb::list Compounds() const {
        pyb::list list;
        for (const TKrecord& r : compounds_) {
            pyb::dict c;
            c["name"] = Str(r.Name);
            c["formula"] = Str(r.Formula);
            pyb::list precursors, products;
            for (int i = 0; i < r.PrecursorCount && i < 16; ++i) {
                auto u = static_cast<std::size_t>(i);
                pyb::dict p;
                p["mass"] = r.PrecursorMass[u];
                p["rate_coefficient"] = r.RateCoefficient[u];
                p["weight"] = r.PrecursorWeight[u];
                p["factor"] = r.PrecursorFactor[u];
                precursors.append(p);
            }
            for (int i = 0; i < r.ProductCount && i < 16; ++i) {
                auto u = static_cast<std::size_t>(i);
                pyb::dict p;
                p["mass"] = r.ProductMass[u];
                p["weight"] = r.ProductWeight[u];
                p["factor"] = r.ProductFactor[u];
                products.append(p);
            }
            c["precursors"] = precursors;
            c["products"] = products;
            list.append(c);
        }
        return list;
    }

private:
    std::string path_;
    TKineticsLoadResult loaded_;
    std::vector<TKrecord> compounds_;
};

// The report as nested dicts and lists, with the units at the end, as the
// JSON of "results" has it.
// The report is walked while the session's lock is held and the interpreter
// is free, so each step takes the interpreter for itself.
class DictSink : public TReportSink {
public:
    void BeginGroup(std::string_view key) override {
        pyb::gil_scoped_acquire gil;
        Open(key, pyb::dict());
    }
    void EndGroup() override {
        pyb::gil_scoped_acquire gil;
        if (stack_.size() == 1) stack_.back()["units"] = units_;
        Close();
    }
    void BeginList(std::string_view key) override {
        pyb::gil_scoped_acquire gil;
        Open(key, pyb::list());
    }
    void EndList() override {
        pyb::gil_scoped_acquire gil;
        Close();
    }
    void BeginItem(std::string_view name) override {
        pyb::gil_scoped_acquire gil;
        Open({}, pyb::dict());
        stack_.back()["name"] = Str(name);
    }
    void EndItem() override {
        pyb::gil_scoped_acquire gil;
        Close();
    }
    void Quantity(std::string_view key, std::optional<double> value, std::string_view unit) override {
        pyb::gil_scoped_acquire gil;
        Put(key, value && std::isfinite(*value) ? pyb::object(pyb::float_(*value)) : pyb::object(pyb::none()));
        if (!unit.empty() && !units_.contains(Str(key))) units_[Str(key)] = Str(unit);
    }
    void Text(std::string_view key, std::string_view value) override {
        pyb::gil_scoped_acquire gil;
        Put(key, Str(value));
    }
    void Flag(std::string_view key, bool value) override {
        pyb::gil_scoped_acquire gil;
        Put(key, pyb::bool_(value));
    }
    pyb::object Result() const { return result_; }

private:
    void Put(std::string_view key, pyb::object value) {
        if (pyb::isinstance<pyb::list>(stack_.back()))
            stack_.back().cast<pyb::list>().append(value);
        else
            stack_.back()[Str(key)] = value;
    }
    void Open(std::string_view key, pyb::object container) {
        if (!stack_.empty()) Put(key, container);
        stack_.push_back(container);
    }
    void Close() {
        if (stack_.size() == 1) result_ = stack_.back();
        stack_.pop_back();
    }
    std::vector<pyb::object> stack_;
    pyb::dict units_;
    pyb::object result_ = pyb::none();
};

cli::TModeChoice ModeOfName(const std::string& mode) {
    if (mode == "rate") return cli::TModeChoice::Rate;
    if (mode == "ppb") return cli::TModeChoice::Ppb;
    if (mode == "dh") return cli::TModeChoice::Isotope;
    throw pyb::value_error("mode must be \"rate\", \"ppb\" or \"dh\", not \"" + mode + "\"");
}

// The series block handed to numpy as it is: the arrays view it and a
// capsule frees it with the last of them.
template <typename Make>
pyb::object Shared(TSeries&& series, Make make) {
    auto block = std::make_unique<TSeries>(std::move(series));
    pyb::capsule owner(block.get(), [](void* p) { delete static_cast<TSeries*>(p); });
    return make(*block.release(), owner);
}

class Profile {
public:
    Profile(std::string path, bool headerOnly) : path_(std::move(path)), headerOnly_(headerOnly) {
        Unlocked([&] {
            if (headerOnly_)
                header_ = LoadHeader(path_, warnings_);
            else
                loaded_ = LoadProfile(path_, warnings_);
        });
    }

    pyb::dict Meta() const {
        const TKel& k = Record();
        pyb::dict m;
        m["file"] = Str(path_);
        m["FileName"] = Str(k.FileName);
        m["date"] = Str(IsoDateTime(k.ProfileDate));
        m["ProfileDate"] = k.ProfileDate;
        m["DateOrigin"] = k.DateOrigin;
        m["ion"] = Str(k.ion);
        m["sample"] = Str(k.reactant);
        m["comment"] = Str(k.comment);
        m["SystemId"] = Str(k.SystemId);
        for (auto [name, value] : {std::pair<const char*, int>{"nim", k.nim}, {"njm", k.njm}, {"im", k.im}, {"jm", k.jm},
                                   {"OutlierFilter", k.OutlierFilter}})
            m[name] = value;
        for (auto [name, value] : {std::pair<const char*, double>{"p", k.p}, {"fc", k.fc}, {"f1", k.f1}, {"Tg", k.Tg},
                                   {"Aft", k.Aft}, {"lr", k.lr}, {"f4", k.f4}, {"f5", k.f5}, {"f6", k.f6},
                                   {"f7", k.f7}, {"f8", k.f8}, {"De200", loaded_ ? loaded_->De200 : k.De200},
                                   {"Mr200", loaded_ ? loaded_->Mr200 : k.Mr200},
                                   {"Df73", loaded_ ? loaded_->Df73 : k.Df73}, {"FScan", k.FScan}, {"ts", k.ts},
                                   {"OutlierPower", k.OutlierPower}, {"cycle_time", CycleTime(k)}})
            m[name] = value;
        pyb::list names, masses;
        for (const std::string& n : k.Name) names.append(Str(n));
        for (int c = 0; c < k.nim / 2 && c < static_cast<int>(k.IonMass.size()); ++c)
            masses.append(k.IonMass[static_cast<std::size_t>(c)]);
        m["Name"] = names;
        m["IonMass"] = masses;
        m["Cntm"] = pyb::cast(std::vector<std::int32_t>(k.Cntm.begin(), k.Cntm.end()));
        m["header_only"] = headerOnly_;
        return m;
    }

    // Seconds of every point from the first, in chronological order.
    pyb::object Times() const {
        if (times_.is_none()) times_ = MakeTimes();
        return times_;
    }

    pyb::object Counts() const {
        if (counts_.is_none()) counts_ = MakeCounts();
        return counts_;
    }

private:
    pyb::array_t<double> MakeTimes() const {
        const TKel& k = Record();
        const pyb::ssize_t points = Points();
        pyb::array_t<double> times(points);
        double step = CycleTime(k);
        double* out = times.mutable_data();
        for (pyb::ssize_t i = 0; i < points; ++i) out[i] = static_cast<double>(i) * step;
        return times;
    }

    // Rows x points, chronological: the one copy out of the record's ring.
    pyb::array_t<std::int32_t> MakeCounts() const {
        const TKel& k = Record();
        const pyb::ssize_t points = Points();
        const auto rows = static_cast<pyb::ssize_t>(k.Counts.size());
        pyb::array_t<std::int32_t> counts({rows, points});
        std::int32_t* out = counts.mutable_data();
        {
            pyb::gil_scoped_release release;
            for (pyb::ssize_t r = 0; r < rows; ++r) {
                const auto& row = k.Counts[static_cast<std::size_t>(r)];
                for (pyb::ssize_t i = 0; i < points; ++i) {
                    auto slot = static_cast<std::size_t>(SlotOfPoint(k, static_cast<int>(i)));
                    out[r * points + i] = slot < row.size() ? row[slot] : 0;
                }
            }
        }
        return counts;
    }

public:
    pyb::object Rates(bool corrected, const pyb::kwargs& fields) const {
        TScriptRequest request = Request(fields);
        request.fields.insert(request.fields.begin(), {"btnApplyDeMr", corrected ? "1" : "0"});
        TSeries series;
        Unlocked([&] { series = RateCurves(request); });
        return Shared(std::move(series), [](const TSeries& block, const pyb::capsule& owner) {
            return pyb::array_t<double>({static_cast<pyb::ssize_t>(block.names.size()),
                                         static_cast<pyb::ssize_t>(block.points)},
                                        block.values.data(), owner);
        });
    }

    pyb::object Concentrations(const Library& library, const pyb::kwargs& fields) const {
        TScriptRequest request = Request(fields);
        request.kinetics = library.Path();
        request.mode = cli::TModeChoice::Ppb;
        TSeries series;
        Unlocked([&] { series = PpbCurves(request); });
        return Shared(std::move(series), [](const TSeries& block, const pyb::capsule& owner) {
            pyb::dict result;
            for (std::size_t c = 0; c < block.names.size(); ++c)
                result[Str(block.names[c])] = pyb::array_t<double>(static_cast<pyb::ssize_t>(block.points),
                                                                   block.values.data() + c * block.points, owner);
            return result;
        });
    }

    pyb::object Results(std::optional<double> start, std::optional<double> end, const std::string& mode,
                        const Library* library, const pyb::kwargs& fields) const {
        TScriptRequest request = Request(fields);
        request.mode = ModeOfName(mode);
        if (library) request.kinetics = library->Path();
        if (start || end) {
            const double last = std::numeric_limits<double>::max();
            request.select = std::pair<double, double>{start.value_or(0.0), end.value_or(last)};
        }
        DictSink sink;
        std::optional<TScriptError> failure;
        {
            // The report is walked into Python objects, which needs the
            // interpreter; the session's work around it does not.
            pyb::gil_scoped_release release;
            try {
                WindowResults(request, sink);
            } catch (const TScriptError& e) {
                failure = e;
            }
        }
        if (failure) Raise(*failure);
        return pyb::module_::import("kelview").attr("Results")(sink.Result());
    }

    const std::string& Path() const { return path_; }
    pyb::list Warnings() const { return pyb::cast(warnings_); }

private:
    pyb::ssize_t Points() const {
        return headerOnly_ ? 0 : static_cast<pyb::ssize_t>(std::max<int>(Record().njm, 0));
    }
    TScriptRequest Request(const pyb::kwargs& fields) const {
        if (headerOnly_) Raise({TScriptError::Kind::Load, "the profile was loaded with header_only=True", path_});
        TScriptRequest request;
        request.profile = loaded_;
        request.fields = Fields(fields);
        request.kinetics = DemoKinetics();
        return request;
    }
    std::string path_;
    bool headerOnly_;
    const TKel& Record() const { return loaded_ ? loaded_->Record() : *header_; }
    std::unique_ptr<TKel> header_;                    // header_only=True
    std::shared_ptr<const TLoadedProfile> loaded_;  // otherwise
    std::vector<std::string> warnings_;
    mutable pyb::object times_ = pyb::none(), counts_ = pyb::none();
};

// A summary number's text as the tool's JSON gives it: null where the
// window gives none.
pyb::object SummaryNumber(const std::string& text) {
    return text.empty() ? pyb::object(pyb::none()) : pyb::object(pyb::float_(TextToFloat(text)));
}

// The rows and the skipped profiles of the folders' summary, each a dict
// as "summary --format json" lists it.
pyb::tuple Summarise(const std::vector<std::string>& folders, const std::string& window,
                     const std::optional<std::string>& mode, const Library* library, std::optional<int> jobs,
                     const pyb::kwargs& fields) {
    TSummaryRequest request;
    request.fields = Fields(fields);
    request.window = window;
    if (mode) request.mode = ModeOfName(*mode);
    request.kinetics = library ? library->Path() : DemoKinetics();
    request.jobs = jobs.value_or(static_cast<int>(std::max(1U, std::thread::hardware_concurrency())));
    if (request.jobs < 1 || request.jobs > 256) throw pyb::value_error("jobs must be 1 to 256");
    TSummary summary;
    Unlocked([&] { summary = SummariseFolders(folders, request); });
    pyb::list rows, skipped;
    for (const TSummaryRow& r : summary.rows) {
        pyb::dict row;
        for (auto [key, text] : {std::pair<const char*, const std::string*>{"file", &r.file}, {"date", &r.date},
                                 {"ion", &r.ion}, {"sample", &r.sample}, {"comment", &r.comment},
                                 {"window", &r.window}, {"name", &r.name}})
            row[key] = Str(*text);
        row["mean"] = SummaryNumber(r.mean);
        row["relative_error"] = SummaryNumber(r.relativeError);
        row["detection_limit"] = SummaryNumber(r.detectionLimit);
        row["unit"] = Str(r.unit);
        rows.append(row);
    }
    for (const TIoResult& s : summary.skipped) {
        pyb::dict entry;
        entry["file"] = Str(s.file);
        entry["reason"] = Str(s.reason);
        skipped.append(entry);
    }
    return pyb::make_tuple(rows, skipped);
}

}  // namespace

}  // namespace kel::py

PYBIND11_MODULE(_kelview, m) {
    using namespace kel::py;
    m.doc() = "Kelview profiles, kinetics libraries and window calculations";
    pyb::class_<Library>(m, "Library")
        .def(pyb::init<std::string>(), pyb::arg("path"))
        .def_property_readonly("path", &Library::Path)
        .def_property_readonly("compounds", &Library::Compounds)
        .def_property_readonly("warnings", &Library::Warnings);
    pyb::class_<Profile>(m, "Profile")
        .def_property_readonly("path", &Profile::Path)
        .def_property_readonly("meta", &Profile::Meta)
        .def_property_readonly("times", &Profile::Times)
        .def_property_readonly("counts", &Profile::Counts)
        .def_property_readonly("warnings", &Profile::Warnings)
        .def("rates", &Profile::Rates, pyb::arg("corrected") = true)
        .def("concentrations", &Profile::Concentrations, pyb::arg("library"))
        .def("results", &Profile::Results, pyb::arg("start") = pyb::none(), pyb::arg("end") = pyb::none(),
             pyb::arg("mode") = "rate", pyb::arg("library") = pyb::none());
    m.def("_summary", &Summarise, pyb::arg("folders"), pyb::arg("window"), pyb::arg("mode"), pyb::arg("library"),
          pyb::arg("jobs"));
    m.def(
        "load", [](std::string path, bool headerOnly) { return Profile(std::move(path), headerOnly); },
        pyb::arg("path"), pyb::arg("header_only") = false);
}
