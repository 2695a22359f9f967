#pragma once
// The numeric entry field: a line edit over a TFloatField that keeps its value
// within a range, shows it with a number of significant digits, steps it with
// a small spin button or the arrow keys, and refuses text that is not a
// number in range when the user leaves it.
#include <QLineEdit>

#include "plot/Floatedi.h"

namespace kel {

class TFloatEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFloatEdit(QWidget* parent = nullptr);

    double Value() const { return model_.Value(); }
    double MinValue() const { return model_.MinValue(); }
    double MaxValue() const { return model_.MaxValue(); }
    double Increment() const { return model_.Increment(); }
    int Precision() const { return model_.Precision(); }
    // Range, step and digits at once; the value is kept when it stays in range
    // and is 0 otherwise, as a field freshly set up would hold.
    void Configure(double minValue, double maxValue, double increment = 0, int precision = 4);
    // Takes x when it is within the range and shows it in the display format;
    // ignores it otherwise. Fires no OnChange: program values are not edits.
    void SetValue(double x);

    bool SpinButton() const { return spin_ != nullptr; }
    void SetSpinButton(bool on);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }

    // The strict check of leaving the field (message box and old value back
    // on a refusal); returns the value the field holds afterwards.
    double ValidateText();
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
    void ShowModelText();
    void SelectAllUnlessMouseHeld();
    void PlaceSpinButton();

    TFloatField model_;
    QWidget* spin_ = nullptr;
    bool autoSelect_ = true;
    bool validating_ = false;
};

}  // namespace kel
