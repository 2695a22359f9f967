#pragma once
// The title's date in the user's own date and time formats.
#include "app/KelViewSession.h"

namespace kel {

class QtDateTextFormatter : public TDateTextFormatter {
public:
    // The system locale's short date, a blank and its long time without a
    // time zone; no time at exactly midnight.
    std::string DateTimeText(double dateTime) const override;
};

}  // namespace kel
