#pragma once
// The application's style: the chosen one, with two of Fusion's pictures
// drawn instead of read. Reading any picture makes Qt load every image-format
// plugin first, which was a tenth of the main window's start-up; the drawn
// ones are also sharp at any screen scale. Fusion's main tool bar is drawn
// with whole-pixel rectangles where Fusion draws translucent lines, which
// start the raster engine's worker threads. Other styles pass through.
#include <QProxyStyle>

namespace kel {

class TKelviewStyle : public QProxyStyle {
public:
    // Wraps base (owned from here on).
    explicit TKelviewStyle(QStyle* base);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

private:
    bool fusion_;
};

// Gives the application TKelviewStyle around the style it would have used.
void UseKelviewStyle();

}  // namespace kel
