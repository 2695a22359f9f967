// The profile browser on the desktop, on the offscreen platform: where its
// window opens, its columns, what assistive technology reads of it, and
// deleted profiles going to the desktop's trash.
#include <gtest/gtest.h>

#include "browser/qt/BrowserFixture.h"
#include "synth/DamagedFiles.h"

#include <QAccessible>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <filesystem>

#include "browser/qt/BrowserPlace.h"
#include "common/DateTime.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

class BrowserDesktop : public test::BrowserFixture {
protected:
    // The main window at frame, shown, then the browser made and shown as
    // "Browse Profiles" does.
    void OpenBeside(const QRect& frame) {
        main = std::make_unique<TFKelView>(session, store);
        main->Binding().ShowError = [this](const QString& message) { errors << message; };
        main->setGeometry(frame);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        browser = new TFKelBrowse(*main, store);
        browser->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(browser));
        StopTimer2();
    }
    static QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // Where widget lies on the screen.
    static QRect OnScreen(const QWidget* widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }
};

TEST_F(BrowserDesktop, TheBrowserOpensBesideTheMainWindowAndNeverOverItsMenuOrFields) {
    // Room below a short main window.
    const QRect room = Available();
    OpenBeside(QRect(room.topLeft() + QPoint(0, 30), QSize(room.width() / 2, room.height() / 4)));
    EXPECT_TRUE(room.contains(browser->frameGeometry())) << "off the screen";
    EXPECT_FALSE(browser->frameGeometry().intersects(main->frameGeometry())) << "over the main window";
    main.reset();

    // No room beside a main window that fills the screen: its menu and its
    // profile fields stay in sight.
    OpenBeside(room);
    EXPECT_TRUE(room.contains(browser->frameGeometry()));
    EXPECT_FALSE(browser->frameGeometry().intersects(OnScreen(main->menuBar())));
    EXPECT_FALSE(browser->frameGeometry().intersects(OnScreen(main->findChild<QGroupBox*>(QStringLiteral("pnTexts")))));
}

TEST_F(BrowserDesktop, TheBrowserOpensWhereTheUserLeftIt) {
    const QRect room = Available();
    OpenBeside(QRect(room.topLeft(), room.size() / 2));
    browser->move(room.topLeft() + QPoint(60, 70));
    QTest::qWait(20);
    const QRect chosen = browser->geometry();
    browser->hide();
    main.reset();

    OpenBeside(QRect(room.topLeft(), room.size() / 2));
    EXPECT_EQ(browser->geometry(), chosen);
}

TEST(BrowserPlace, BesideWhereThereIsRoomElseAwayFromTheTopLeft) {
    const QRect screen(0, 0, 1366, 768);
    const QSize frame(820, 360);
    // Right of a narrow main window, at its top.
    EXPECT_EQ(PlaceBeside(QRect(0, 0, 500, 700), frame, screen), QRect(QPoint(500, 0), frame));
    // Left of one at the right edge.
    EXPECT_EQ(PlaceBeside(QRect(866, 100, 500, 600), frame, screen), QRect(QPoint(46, 100), frame));
    // Below a wide, short one, moved in so that it stays on the screen.
    EXPECT_EQ(PlaceBeside(QRect(700, 0, 666, 300), frame, screen), QRect(QPoint(546, 300), frame));
    // A main window that fills the screen: the bottom right corner.
    EXPECT_EQ(PlaceBeside(screen, frame, screen), QRect(QPoint(546, 408), frame));
    // A window larger than the screen is made to fit it.
    EXPECT_EQ(PlaceBeside(screen, QSize(2000, 900), screen), screen);
}

TEST_F(BrowserDesktop, ColumnsAreWideEnoughForTheirTexts) {
    const std::string longName = "breath-sample-of-the-second-volunteer-after-lunch-repeated.kel";
    WriteProfile(dir, longName, EncodeDateTime({2007, 3, 4, 10, 11, 12, 0}), 1);
    synth::WriteDamagedProfile(dir.File("damaged.kel"), synth::TDamage::ZipWithoutMember);
    Open();
    StopTimer2();
    const auto* header = browser->findChild<QHeaderView*>(QStringLiteral("HeaderDetails"));
    const QFontMetrics metrics = List()->fontMetrics();
    for (int section = 0; section < header->count(); ++section)
        EXPECT_GE(header->sectionSize(section), header->sectionSizeHint(section)) << "caption of section " << section;
    for (const TListEntry& entry : browser->Listing().Entries) {
        EXPECT_GT(header->sectionSize(0), metrics.horizontalAdvance(QString::fromStdString(entry.Text))) << entry.Text;
        const std::string details = DetailsText(entry);
        EXPECT_GT(header->sectionSize(5), metrics.horizontalAdvance(QString::fromStdString(details))) << details;
    }
    const auto& entries = browser->Listing().Entries;
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const TListEntry& e) { return !DetailsText(e).empty(); }));
}

TEST_F(BrowserDesktop, AssistiveTechnologyMeetsTheBrowserAsAWindow) {
    Open();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(browser);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("Multi ions explorer"));
    EXPECT_GT(window->childCount(), 0);
}

TEST_F(BrowserDesktop, DeletedProfilesGoToTheDesktopsTrash) {
    WriteProfile(dir, "a.kel", EncodeDateTime({2006, 1, 1, 0, 0, 0, 0}), 1);
    WriteProfile(dir, "b.kel", EncodeDateTime({2007, 1, 1, 0, 0, 0, 0}), 2);
    const std::string kept = test::ReadFile(dir.File("b.kel"));
    Open();
    StopTimer2();
    const auto* status = main->findChild<QLabel*>(QStringLiteral("StatusBar1"));
    ClickEntry(0);
    browser->findChild<QPushButton*>(QStringLiteral("btDelete"))->click();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_FALSE(fs::exists(dir.File("b.kel")));
    EXPECT_EQ(test::ReadFile(Trash() + "/files/b.kel"), kept);
    EXPECT_TRUE(fs::exists(Trash() + "/info/b.kel.trashinfo"));
    EXPECT_EQ(Texts(), std::vector<std::string>{"a.kel"});
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("Moved to the trash: "))) << status->text().toStdString();
    EXPECT_TRUE(status->text().endsWith(QStringLiteral("b.kel")));

}

}  // namespace
}  // namespace kel
