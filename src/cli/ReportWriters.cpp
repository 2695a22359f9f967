#include "cli/ReportWriters.h"

#include <limits>

#include "common/CsvField.h"
#include "common/TextEncoding.h"

namespace kel::cli {

void JsonReportSink::BeginGroup(std::string_view key) {
    json_.BeginObject(key);
    ++depth_;
}

void JsonReportSink::EndGroup() {
    if (--depth_ == 0) {
        // The units close the document, so that a reader finds them whatever
        // the mode put before them.
        json_.BeginObject("units");
        for (const auto& [key, unit] : units_) json_.String(key, unit);
        json_.EndObject();
    }
    json_.EndObject();
}

void JsonReportSink::BeginItem(std::string_view name) {
    json_.BeginObject();
    json_.String("name", name);
}

void JsonReportSink::Quantity(std::string_view key, std::optional<double> value, std::string_view unit) {
    if (value)
        json_.Number(key, *value);
    else
        json_.Number(key, std::numeric_limits<double>::quiet_NaN());  // written as null
    if (!unit.empty()) units_.emplace(std::string(key), std::string(unit));
}

CsvReportSink::CsvReportSink() { out_ = "group,item,quantity,value,unit\r\n"; }

void CsvReportSink::Quantity(std::string_view key, std::optional<double> value, std::string_view unit) {
    Row(key, value ? JsonNumber(*value) : std::string(), unit);
}

void CsvReportSink::Row(std::string_view key, std::string_view value, std::string_view unit) {
    std::string group;
    for (const std::string& part : path_)
        if (!part.empty()) group += (group.empty() ? "" : ".") + part;
    AppendCsvField(out_, group);
    out_ += ',';
    AppendCsvField(out_, TextAsUtf8(item_));
    out_ += ',';
    AppendCsvField(out_, key);
    out_ += ',';
    AppendCsvField(out_, TextAsUtf8(std::string(value)));
    out_ += ',';
    AppendCsvField(out_, unit);
    out_ += "\r\n";
}

}  // namespace kel::cli
