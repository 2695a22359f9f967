#pragma once
// Plain values the session's commands take and give: the title's date
// formatter, the four text fields and what "&Save" wrote.
#include <string>

namespace kel {

// Turns a profile date into the title's date text in the user's formats.
class TDateTextFormatter {
public:
    virtual ~TDateTextFormatter() = default;
    // The user's short date, a blank and the long time; the time is left out
    // when it is exactly midnight.
    virtual std::string DateTimeText(double dateTime) const = 0;
};

// dd/mm/yyyy hh:nn:ss, for runs without a desktop locale and for tests.
class TFixedDateTextFormatter : public TDateTextFormatter {
public:
    std::string DateTimeText(double dateTime) const override;
};

// The main window's four text fields.
struct TProfileTexts {
    std::string FileName, Ion, Sample, Comment;
    bool operator==(const TProfileTexts&) const = default;
};

// What "&Save" wrote.
enum class TSaveOutcome { Worksheet, Profile, Failed };

}  // namespace kel
