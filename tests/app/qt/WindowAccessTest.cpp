// The main window for keyboard and screen-reader users and on small
// screens, on the offscreen platform: access keys, what assistive technology
// reads, the window's size in every mode and its place across restarts.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <memory>

#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/RecentMenu.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/qt/XYGraphBox.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

class WindowAccess : public ::testing::Test {
protected:
    WindowAccess() { test::UseKinetics(synth::DemoKineticsText()); }
    ~WindowAccess() override { KineticsLibrary().Clear(); }

    TFKelView& Open() {
        window = std::make_unique<TFKelView>(session, store);
        window->Binding().ShowError = [this](const QString& message) { errors << message; };
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }
    QString ShowProfile(const std::string& ion, const std::string& name) {
        TKel profile = test::ConstantProfile(3);
        profile.ion = ion;
        const QString path = QString::fromStdString(test::SaveProfile(dir, profile, name));
        EXPECT_TRUE(window->ShowProfile(path));
        return path;
    }
    static QString Read(QObject* object, QAccessible::Text text = QAccessible::Name) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
        return face ? face->text(text) : QStringLiteral("(not accessible)");
    }
    void Command(const char* name) { window->findChild<QAction*>(QLatin1String(name))->trigger(); }

    test::RecordedMessages boxes;
    test::ScratchDir dir;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    std::unique_ptr<TFKelView> window;
    QStringList errors;
};

// The access key of a caption: the character after a single "&".
QChar AccessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toLower();
        ++i;
    }
    return {};
}

// Every item of menu (its sub-menus included, each on its own) has an access
// key that no other item of the same menu has.
void ExpectOneItemPerAccessKey(const QMenu& menu, const QString& where) {
    QSet<QChar> keys;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator() || !action->isVisible()) continue;
        const QString caption = action->text();
        const QChar key = AccessKey(caption);
        EXPECT_FALSE(key.isNull()) << (where + ": \"" + caption + "\" has no access key").toStdString();
        EXPECT_FALSE(keys.contains(key)) << (where + ": \"" + caption + "\" repeats the key " + key).toStdString();
        keys.insert(key);
        if (action->menu()) ExpectOneItemPerAccessKey(*action->menu(), where + " > " + caption);
    }
}

TEST_F(WindowAccess, EveryMenuItemHasAnAccessKeyOfItsOwn) {
    Open();
    // The recent lists filled, as after a while of use.
    for (int i = 0; i < 12; ++i) window->Recent().AddProfile(QString::fromStdString(dir.File("p" + std::to_string(i) + ".kel")));
    QMenuBar* bar = window->menuBar();
    QSet<QChar> titles;
    for (QAction* action : bar->actions()) {
        const QChar key = AccessKey(action->text());
        EXPECT_FALSE(key.isNull() || titles.contains(key)) << action->text().toStdString();
        titles.insert(key);
        ExpectOneItemPerAccessKey(*action->menu(), action->text());
    }
    QMenu* popup = window->Graphs().XYGraphBox1()->PopupMenu();
    ASSERT_NE(popup, nullptr);
    ExpectOneItemPerAccessKey(*popup, QStringLiteral("graph menu"));

    // Pressing a key of the pop-up runs its item at once, the second of two
    // "C" items included: here "Change main kinetics file".
    bool changeAsked = false;
    window->KineticsViews.ChangeMainFile = [&changeAsked] { changeAsked = true; };
    popup->popup(window->Graphs().XYGraphBox1()->mapToGlobal(QPoint(50, 50)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    const QChar change = AccessKey(window->findChild<QAction*>(QStringLiteral("ChangeKbase2"))->text());
    QTest::keyClick(popup, change.toLatin1());
    EXPECT_TRUE(changeAsked);
    EXPECT_FALSE(popup->isVisible());
}

TEST_F(WindowAccess, ScreenReadersHearTheStatusTheGraphAndItsMenu) {
    Open();
    auto* status = window->findChild<QLabel*>(QStringLiteral("StatusBar1"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(Read(status), QStringLiteral("Ready"));
    ShowProfile("H3O+", "plain.kel");
    EXPECT_EQ(Read(status), QStringLiteral("plain.kel"));
    window->Binding().Run([](TKelViewSession& s) { s.ShowNotice("5 sections selected"); });
    EXPECT_EQ(Read(status), QStringLiteral("5 sections selected"));
    EXPECT_EQ(Read(window->statusBar()), QStringLiteral("Status"));

    // The graph: its name, and as description its title and the lines
    // written on it, which follow every refresh.
    TXYGraphBox* graph = window->Graphs().XYGraphBox1();
    EXPECT_EQ(Read(graph), QStringLiteral("Time profiles"));
    const QStringList lines = Read(graph, QAccessible::Description).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0].toStdString(), session.Graph1().TitleTop());
    const std::vector<TComment> shown = test::CommentsWithTag(session.Graph1(), 0);
    ASSERT_EQ(static_cast<std::size_t>(lines.size()), shown.size() + 1);
    for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(lines[static_cast<qsizetype>(i) + 1].toStdString(), shown[i].Text);
    Command("BtnPpb");
    const QString ppb = Read(graph, QAccessible::Description);
    EXPECT_NE(ppb.split(QLatin1Char('\n')), lines);
    EXPECT_TRUE(ppb.contains(QString::fromStdString(test::CommentsWithTag(session.Graph1(), 0).at(0).Text)));

    // The pop-up menu: named, and each item read by its caption, its key
    // apart from it.
    QMenu* popup = graph->PopupMenu();
    popup->popup(graph->mapToGlobal(QPoint(50, 50)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    EXPECT_FALSE(Read(popup).isEmpty());
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(popup);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
    QStringList items;
    for (int i = 0; i < menu->childCount(); ++i)
        if (menu->child(i)->role() != QAccessible::Separator) items << menu->child(i)->text(QAccessible::Name).trimmed();
    EXPECT_EQ(items, (QStringList{"Expand", "Show all", "Set scales ...", "Select all", "Copy", "Edit Kinetics",
                                  "Change main kinetics file"}));
    EXPECT_EQ(menu->child(3)->text(QAccessible::Accelerator), QKeySequence(Qt::CTRL | Qt::Key_A).toString());
    popup->hide();
}

TEST_F(WindowAccess, EveryModeFitsA1366By768Screen) {
    Open();
    ShowProfile("FAMS H3O+", "fams.kel");  // opens in D/H mode
    ASSERT_TRUE(session.IsotopeDown());
    const auto fits = [this](const char* mode) {
        const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
        EXPECT_LE(least.width(), 1366) << mode;
        EXPECT_LE(least.height(), 768) << mode;
    };
    fits("D/H");
    Command("BtnPpb");
    ASSERT_TRUE(session.PpbDown());
    fits("ppb");
    Command("sbInfo");
    fits("intermediate results");
    Command("sbInfo");
    ASSERT_EQ(session.ModeDown(), TModeButton::None);
    fits("count rates");
    Command("btnApplyDeMr");
    fits("count rates, uncorrected");
}

TEST_F(WindowAccess, TheWindowComesBackWhereItWasLeft) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    // At the top of the screen, where a desktop without a window manager
    // draws no title bar.
    Open();
    const QPoint frameTopLeft = window->geometry().topLeft() - window->frameGeometry().topLeft();
    window->setGeometry(QRect(available.topLeft() + frameTopLeft, window->minimumSizeHint()));
    QTest::qWait(20);
    const QRect left = window->geometry();
    const QRect frame = window->frameGeometry();
    window->close();
    window.reset();
    // Start after start: never a pixel lower.
    for (int start = 0; start < 3; ++start) {
        Open();
        QTest::qWait(20);
        EXPECT_EQ(window->geometry(), left) << "start " << start;
        EXPECT_EQ(window->frameGeometry(), frame) << "start " << start;
        window->close();
        window.reset();
    }
}

}  // namespace
}  // namespace kel
