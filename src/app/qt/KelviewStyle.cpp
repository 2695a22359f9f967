#include "app/qt/KelviewStyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QIconEngine>
#include <QLinearGradient>
#include <QMainWindow>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>

namespace kel {

namespace {

// The "more" chevrons of a tool bar or menu bar too narrow for its buttons,
// in the text colour of the palette at painting time.
class TChevronIcon : public QIconEngine {
public:
    explicit TChevronIcon(Qt::ArrowType direction) : direction_(direction) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QGuiApplication::palette();
        const QColor ink = palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active,
                                         QPalette::ButtonText);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(QRectF(rect).center());
        // Drawn pointing right in a unit box, then turned.
        const qreal turn = direction_ == Qt::DownArrow ? 90 : direction_ == Qt::LeftArrow ? 180 : 0;
        painter->rotate(turn);
        const qreal s = qMin(rect.width(), rect.height()) / 2.0;
        painter->scale(s, s);
        QPainterPath chevrons;
        for (const qreal x : {-0.5, 0.1}) {
            chevrons.moveTo(x, -0.8);
            chevrons.lineTo(x + 0.35, 0);
            chevrons.lineTo(x, 0.8);
        }
        painter->setPen(QPen(ink, 0.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(chevrons);
        painter->restore();
    }

    // Qt's own would paint onto a pixmap never cleared.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new TChevronIcon(direction_); }

private:
    Qt::ArrowType direction_;
};

}  // namespace

TKelviewStyle::TKelviewStyle(QStyle* base)
    : QProxyStyle(base), fusion_(base && base->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {}

QIcon TKelviewStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
    if (fusion_ && icon == SP_ToolBarHorizontalExtensionButton) {
        const bool rtl = (widget ? widget->layoutDirection() : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
        return QIcon(new TChevronIcon(rtl ? Qt::LeftArrow : Qt::RightArrow));
    }
    if (fusion_ && icon == SP_ToolBarVerticalExtensionButton) return QIcon(new TChevronIcon(Qt::DownArrow));
    return QProxyStyle::standardIcon(icon, option, widget);
}

void TKelviewStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
    if (!fusion_ || element != PE_FrameGroupBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Fusion's frame: a faint line with cut corners, a fainter one just
    // inside it and a barely shaded inside, below the title (when there is
    // one) as Fusion places it. Whole-pixel rectangles only: a smoothed
    // outline this large makes the raster engine start worker threads.
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const int margin = 3;
    const int top = box && !box->isCheckable() && box->title().isEmpty()
                        ? margin
                        : qMax(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget), option->fontMetrics.height()) + margin;
    const QRect frame = option->rect.adjusted(1, top + 1, 0, 0);
    const int l = frame.left(), t = frame.top(), r = frame.right(), b = frame.bottom();
    const auto span = [painter](int x1, int y1, int x2, int y2, const QColor& colour) {
        painter->fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), colour);
    };
    const QColor line(117, 117, 117, 50), corner(90, 90, 90, 31), inner(0, 0, 0, 7), inside(0, 0, 0, 3);
    span(l + 1, t, r - 1, t, line);
    span(l + 1, b, r - 1, b, line);
    span(l, t + 1, l, b - 1, line);
    span(r, t + 1, r, b - 1, line);
    for (const QPoint& p : {QPoint(l + 1, t + 1), QPoint(r - 1, t + 1), QPoint(l + 1, b - 1), QPoint(r - 1, b - 1)})
        span(p.x(), p.y(), p.x(), p.y(), corner);
    span(l + 2, t + 1, r - 2, t + 1, inner);
    span(l + 2, b - 1, r - 2, b - 1, inner);
    span(l + 1, t + 2, l + 1, b - 2, inner);
    span(r - 1, t + 2, r - 1, b - 2, inner);
    span(l + 2, t + 2, r - 2, b - 2, inside);
}

void TKelviewStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionToolBar*>(option);
    const bool mainTopBar = bar && bar->toolBarArea == Qt::TopToolBarArea && (bar->state & State_Horizontal) &&
                            widget && qobject_cast<const QMainWindow*>(widget->parentWidget());
    if (!fusion_ || element != CE_ToolBar || !mainTopBar) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // Fusion's: a faint gradient, a light line at the top, and at the bottom
    // a dark line, over a light one when the bar is the last of its area.
    const QRect& r = option->rect;
    const QColor window = option->palette.window().color();
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, window.lighter(104));
    gradient.setColorAt(1, window);
    painter->fillRect(r, gradient);
    const QColor light(255, 255, 255, 90), shadow(0, 0, 0, 60);
    const auto row = [&](int y, const QColor& colour) { painter->fillRect(QRect(r.left(), y, r.width(), 1), colour); };
    if (bar->positionOfLine == QStyleOptionToolBar::End || bar->positionOfLine == QStyleOptionToolBar::OnlyOne) {
        row(r.bottom(), light);
        row(r.bottom() - 1, shadow);
    } else {
        row(r.bottom(), shadow);
    }
    row(r.top(), light);
}

void UseKelviewStyle() { QApplication::setStyle(new TKelviewStyle(QStyleFactory::create(QApplication::style()->name()))); }

}  // namespace kel
