#include "plot/qt/FloatEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <functional>
#include <optional>

#include "common/Messages.h"

namespace kel {

bool TOwnFloatField::Leave(const std::string& text) {
    std::optional<TNotice> refusal;
    Own.ValidateText(text, &refusal);
    if (refusal) {
        ShowNotices({*refusal});
        return false;
    }
    Own.SetValue(Own.Value());
    return true;
}

void TOwnFloatField::Spin(bool up) {
    if (std::optional<TNotice> refusal = Own.Spin(up)) ShowNotices({*refusal});
}

namespace {

constexpr int kSpinWidth = 10;

// The small up/down button inside the field: the upper half steps up, the
// lower half down.
class TSpinArrows : public QWidget {
public:
    TSpinArrows(QWidget* parent, std::function<void(bool up)> onClick)
        : QWidget(parent), onClick_(std::move(onClick)) {
        setCursor(Qt::ArrowCursor);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int half = height() / 2;
        DrawHalf(painter, QRect(0, 0, width(), half), QStyle::PE_IndicatorSpinUp, pressed_ == 1);
        DrawHalf(painter, QRect(0, half, width(), height() - half), QStyle::PE_IndicatorSpinDown, pressed_ == -1);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        pressed_ = event->position().y() < height() / 2.0 ? 1 : -1;
        update();
        onClick_(pressed_ == 1);
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        pressed_ = 0;
        update();
    }

private:
    void DrawHalf(QPainter& painter, const QRect& r, QStyle::PrimitiveElement arrow, bool down) const {
        QStyleOption option;
        option.initFrom(this);
        option.rect = r;
        if (down) option.state |= QStyle::State_Sunken;
        painter.fillRect(r, palette().button());
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        style()->drawPrimitive(arrow, &option, &painter, this);
    }

    std::function<void(bool up)> onClick_;
    int pressed_ = 0;
};

}  // namespace

TFloatEdit::TFloatEdit(QWidget* parent) : QLineEdit(parent) {
    ShowFieldText();
    connect(this, &QLineEdit::textEdited, this, &TFloatEdit::TextEdited);
}

void TFloatEdit::Bind(TFloatFieldAccess* access) {
    access_ = access ? access : &own_;
    ShowFieldText();
}

void TFloatEdit::Refresh() {
    if (!editing_) ShowFieldText();
}

void TFloatEdit::Configure(double minValue, double maxValue, double increment, int precision) {
    own_.Own = TFloatField(own_.Own.Value(), minValue, maxValue, increment, precision);
    ShowFieldText();
}

void TFloatEdit::SetValue(double x) {
    if (!own_.Own.SetValue(x)) return;
    ShowFieldText();
    SelectAllUnlessMouseHeld();
}

void TFloatEdit::ShowFieldText() {
    const QString shown = QString::fromStdString(access_->Field().Text());
    if (text() != shown) setText(shown);
}

void TFloatEdit::SelectAllUnlessMouseHeld() {
    // A click into the field places the caret; only keyboard entry selects.
    // A field without the focus keeps no selection on show.
    if (autoSelect_ && hasFocus() && !(QApplication::mouseButtons() & Qt::LeftButton && underMouse())) selectAll();
}

void TFloatEdit::TextEdited(const QString& text) {
    const double before = Value();
    editing_ = true;
    access_->Type(text.toStdString());
    editing_ = false;
    const QString trimmed = QString::fromStdString(access_->Field().Text());
    if (trimmed != text) {
        // The caret stays after the character it followed.
        int leading = 0;
        while (leading < text.size() && text[leading] == QLatin1Char(' ')) ++leading;
        const int caret = cursorPosition() - std::min(leading, cursorPosition());
        setText(trimmed);
        setCursorPosition(std::min(caret, static_cast<int>(trimmed.size())));
    }
    if (Value() != before) emit OnChange();
}

void TFloatEdit::SpinClick(bool up) {
    setFocus(Qt::OtherFocusReason);
    const double before = Value();
    editing_ = true;
    access_->Spin(up);
    editing_ = false;
    ShowFieldText();
    SelectAllUnlessMouseHeld();
    if (Value() != before) emit OnChange();
    emit OnClick();
}

void TFloatEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        SpinClick(event->key() == Qt::Key_Up);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TFloatEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    SelectAllUnlessMouseHeld();
}

void TFloatEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Switching to another window or opening a menu is not leaving the
    // field; the message box of a refusal must not validate a second time.
    if (editing_ || event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    const double before = Value();
    editing_ = true;
    const bool taken = access_->Leave(text().toStdString());
    editing_ = false;
    ShowFieldText();
    if (!taken) {
        setFocus(Qt::OtherFocusReason);
        selectAll();
    } else if (Value() != before) {
        emit OnChange();
    }
    emit OnExit();
}

void TFloatEdit::SetSpinButton(bool on) {
    if (on == SpinButton()) return;
    if (on) {
        spin_ = new TSpinArrows(this, [this](bool up) { SpinClick(up); });
        spin_->show();
    } else {
        delete spin_;
        spin_ = nullptr;
    }
    PlaceSpinButton();
}

void TFloatEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceSpinButton();
}

void TFloatEdit::PlaceSpinButton() {
    // The text never runs under the button.
    if (!spin_) {
        setTextMargins(0, 0, 0, 0);
        return;
    }
    spin_->setGeometry(width() - kSpinWidth - 2, 1, kSpinWidth, height() - 3);
    setTextMargins(0, 0, kSpinWidth + 1, 0);
}

}  // namespace kel
