#pragma once
// The numeric entry field: a line edit over a TFloatField that keeps its value
// within a range, shows it with a number of significant digits, steps it with
// a small spin button or the arrow keys, and refuses text that is not a
// number in range when the user leaves it. The field is its own, or one that
// a session owns (Bind), in which case every edit is one of its commands.
#include <QLineEdit>

#include "plot/Floatedi.h"

namespace kel {

// A field with no handlers, owned by its widget; shows its refusals itself.
class TOwnFloatField : public TFloatFieldAccess {
public:
    TFloatField Own;
    const TFloatField& Field() const override { return Own; }
    void Type(const std::string& text) override { Own.ParseText(text); }
    bool Leave(const std::string& text) override;
    void Spin(bool up) override;
};

class TFloatEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFloatEdit(QWidget* parent = nullptr);

    double Value() const { return access_->Field().Value(); }
    double MinValue() const { return access_->Field().MinValue(); }
    double MaxValue() const { return access_->Field().MaxValue(); }
    // Edits access's field from now on (not owned; it must outlive the widget).
    void Bind(TFloatFieldAccess* access);
    // Shows the field's text again, unless the user's own edit is under way.
    void Refresh();

    // For a field of its own: range, step and digits at once; the value is
    // kept when it stays in range and is 0 otherwise.
    void Configure(double minValue, double maxValue, double increment = 0, int precision = 4);
    // For a field of its own: takes x when it is within the range and shows
    // it in the display format; ignores it otherwise. Fires no OnChange.
    void SetValue(double x);

    bool SpinButton() const { return spin_ != nullptr; }
    void SetSpinButton(bool on);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }

    // One spin step, up or down, after the strict check.
    void SpinClick(bool up);

signals:
    // The user changed the value by typing or spinning; Value() is in range.
    void OnChange();
    // The user left the field; its text is back in the display format.
    void OnExit();
    // A spin step was taken.
    void OnClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void TextEdited(const QString& text);
    void ShowFieldText();
    void SelectAllUnlessMouseHeld();
    void PlaceSpinButton();

    TOwnFloatField own_;
    TFloatFieldAccess* access_ = &own_;
    QWidget* spin_ = nullptr;
    bool autoSelect_ = true;
    bool editing_ = false;  // inside one of the user's edits
};

}  // namespace kel
