#include "cli/FieldSettings.h"

#include <array>

#include "common/Errors.h"
#include "common/Messages.h"
#include "common/NumberText.h"

namespace kel::cli {

namespace {

// The main window's toggles: their state and the click that changes it.
struct TSwitch {
    std::string_view name;
    bool (TKelViewSession::*isDown)() const;
    void (TKelViewSession::*click)();
};

constexpr std::array<TSwitch, 4> kSwitches = {{
    {"btnApplyDeMr", &TKelViewSession::CorrectDown, &TKelViewSession::btnApplyDeMrClick},
    {"cbT0Start", &TKelViewSession::T0AtStart, &TKelViewSession::cbT0StartClick},
    {"btnNormId", &TKelViewSession::NormIdDown, &TKelViewSession::btnNormIdClick},
    {"sbKeepLog", &TKelViewSession::KeepLogDown, &TKelViewSession::sbKeepLogClick},
}};

constexpr std::string_view kSensitMode = "SensitMode";

const TSwitch* SwitchOfName(std::string_view name) {
    for (const TSwitch& s : kSwitches)
        if (s.name == name) return &s;
    return nullptr;
}

// The integer of text within [low, high]; otherwise the field-style message.
bool ReadChoice(const std::string& text, int low, int high, int& value) {
    std::string trimmed = text.substr(text.find_first_not_of(' '));
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    try {
        value = TextToInt(trimmed);
    } catch (const EConvertError& e) {
        ShowMessage(e.what());
        return false;
    }
    if (value < low || value > high) {
        ShowMessage(trimmed + " is not in the range from " + std::to_string(low) + " to " + std::to_string(high));
        return false;
    }
    return true;
}

}  // namespace

bool IsSettableControl(std::string_view name) {
    return TKelViewSession::FieldOfName(name).has_value() || SwitchOfName(name) != nullptr || name == kSensitMode;
}

bool ApplyFieldSetting(TKelViewSession& session, const TFieldSetting& setting) {
    if (auto field = TKelViewSession::FieldOfName(setting.name)) return session.EditField(*field, setting.value);
    int value = 0;
    if (const TSwitch* toggle = SwitchOfName(setting.name)) {
        if (!ReadChoice(setting.value, 0, 1, value)) return false;
        if ((session.*toggle->isDown)() != (value == 1)) (session.*toggle->click)();
        return true;
    }
    return ReadChoice(setting.value, 0, 4, value) && session.SetSensitMode(value);
}

}  // namespace kel::cli
