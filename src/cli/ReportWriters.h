#pragma once
// The window report as JSON (with a "units" object naming the unit of every
// quantity) and as long CSV (one quantity per row).
#include <map>
#include <string>
#include <vector>

#include "cli/Json.h"
#include "reporting/WindowReport.h"

namespace kel::cli {

class JsonReportSink : public TReportSink {
public:
    void BeginGroup(std::string_view key) override;
    void EndGroup() override;
    void BeginList(std::string_view key) override { json_.BeginArray(key); }
    void EndList() override { json_.EndArray(); }
    void BeginItem(std::string_view name) override;
    void EndItem() override { json_.EndObject(); }
    void Quantity(std::string_view key, std::optional<double> value, std::string_view unit) override;
    void Text(std::string_view key, std::string_view value) override { json_.String(key, value); }
    void Flag(std::string_view key, bool value) override { json_.Bool(key, value); }
    // The whole document once the outermost group has ended.
    const std::string& Document() const { return json_.Text(); }

private:
    JsonWriter json_;
    int depth_ = 0;
    std::map<std::string, std::string, std::less<>> units_;
};

// Rows "group,item,quantity,value,unit" after a header; an empty value is
// what the window shows as "n.a.", and an element without a name is "#N",
// its place in the list from 0.
class CsvReportSink : public TReportSink {
public:
    CsvReportSink();
    void BeginGroup(std::string_view key) override { path_.emplace_back(key); }
    void EndGroup() override { path_.pop_back(); }
    void BeginList(std::string_view key) override {
        path_.emplace_back(key);
        index_ = 0;
    }
    void EndList() override { path_.pop_back(); }
    void BeginItem(std::string_view name) override {
        item_ = name.empty() ? "#" + std::to_string(index_) : std::string(name);
        ++index_;
    }
    void EndItem() override { item_.clear(); }
    void Quantity(std::string_view key, std::optional<double> value, std::string_view unit) override;
    void Text(std::string_view key, std::string_view value) override { Row(key, value, ""); }
    void Flag(std::string_view key, bool value) override { Row(key, value ? "1" : "0", ""); }
    const std::string& Document() const { return out_; }

private:
    void Row(std::string_view key, std::string_view value, std::string_view unit);
    std::vector<std::string> path_;
    std::string item_;
    int index_ = 0;
    std::string out_;
};

}  // namespace kel::cli
