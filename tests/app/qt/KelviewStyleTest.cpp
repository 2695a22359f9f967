// The application style: Fusion's group-box frame, tool-bar chevrons and main
// tool bars drawn in code look like Fusion's; other styles are left alone.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QStyleFactory>
#include <QToolBar>
#include <QVBoxLayout>
#include <memory>

#include "app/qt/KelviewStyle.h"

namespace kel {
namespace {

QImage GroupBoxPicture(QStyle& style, const QString& title) {
    QGroupBox box(title);
    box.setStyle(&style);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(new QLabel(QStringLiteral("x")));
    box.resize(200, 80);
    QImage picture(box.size(), QImage::Format_ARGB32);
    picture.fill(Qt::white);
    box.render(&picture);
    return picture;
}

// Pixels whose grey levels differ by more than tolerance.
int Differences(const QImage& a, const QImage& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > tolerance) ++count;
    return count;
}

TEST(KelviewStyle, GroupBoxFramesLookLikeFusions) {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    TKelviewStyle ours(QStyleFactory::create(QStringLiteral("fusion")));
    for (const QString& title : {QStringLiteral("Profile"), QString()}) {
        const QImage expected = GroupBoxPicture(*fusion, title);
        const QImage drawn = GroupBoxPicture(ours, title);
        // Only the rounding of the corners may differ, and only slightly.
        EXPECT_EQ(Differences(expected, drawn, 12), 0) << title.toStdString();
        EXPECT_LE(Differences(expected, drawn, 1), 32) << title.toStdString();
    }
}

QImage MainWindowPicture(QStyle& style, int bars) {
    QMainWindow window;
    window.setStyle(&style);
    for (int i = 0; i < bars; ++i) {
        QToolBar* bar = window.addToolBar(QStringLiteral("Bar"));
        bar->setStyle(&style);
        bar->addAction(QStringLiteral("Expand"));
    }
    window.setCentralWidget(new QWidget);
    window.resize(400, 200);
    QImage picture(window.size(), QImage::Format_ARGB32);
    window.render(&picture);
    return picture;
}

TEST(KelviewStyle, MainToolBarsAreFusions) {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    TKelviewStyle ours(QStyleFactory::create(QStringLiteral("fusion")));
    for (int bars : {1, 2}) EXPECT_EQ(MainWindowPicture(ours, bars), MainWindowPicture(*fusion, bars)) << bars;
}

TEST(KelviewStyle, OtherStylesPassThrough) {
    const std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("windows")));
    TKelviewStyle ours(QStyleFactory::create(QStringLiteral("windows")));
    EXPECT_EQ(GroupBoxPicture(ours, QStringLiteral("Profile")), GroupBoxPicture(*windows, QStringLiteral("Profile")));
}

TEST(KelviewStyle, ExtensionChevronsPointAlongTheBar) {
    TKelviewStyle ours(QStyleFactory::create(QStringLiteral("fusion")));
    // The inked pixel furthest along the bar: the chevrons' tip.
    const auto tip = [&](QStyle::StandardPixmap which, bool across) {
        const QImage icon = ours.standardIcon(which, nullptr, nullptr).pixmap(16, 16).toImage();
        QPoint furthest(-1, -1);
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                if (qAlpha(icon.pixel(x, y)) > 128 && (across ? x > furthest.x() : y > furthest.y())) furthest = {x, y};
        return furthest;
    };
    const QPoint right = tip(QStyle::SP_ToolBarHorizontalExtensionButton, true);
    const QPoint down = tip(QStyle::SP_ToolBarVerticalExtensionButton, false);
    ASSERT_GE(right.x(), 0);
    ASSERT_GE(down.y(), 0);
    // Each tip is in the middle across the bar, and past the middle along it.
    EXPECT_NEAR(right.y(), 7.5, 1.5);
    EXPECT_GT(right.x(), 10);
    EXPECT_NEAR(down.x(), 7.5, 1.5);
    EXPECT_GT(down.y(), 10);
}

}  // namespace
}  // namespace kel
