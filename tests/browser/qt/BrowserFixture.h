#pragma once
// A profile browser beside a real main window, on the offscreen platform,
// listing a scratch folder: what the browser's window tests share.
#include <gtest/gtest.h>

// The generator has a field named slots, which Qt's headers define away.
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"
#include "support/SessionTestSupport.h"

#include <QApplication>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "browser/qt/KelBrowse.h"
#include "common/DateTime.h"
#include "kinetics/KineticsLibrary.h"

namespace kel::test {

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (previous_)
            setenv(name_, previous_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

class BrowserFixture : public ::testing::Test {
protected:
    BrowserFixture() : previous_(std::filesystem::current_path()) {
        UseKinetics(synth::DemoKineticsText());
        store.WriteString("Browser", "Folder", dir.Path());
        std::filesystem::create_directories(home.File("data"));
    }
    ~BrowserFixture() override {
        browser = nullptr;
        main.reset();
        std::filesystem::current_path(previous_);
        KineticsLibrary().Clear();
    }
    // The desktop's trash of the scratch home, where deleted profiles go.
    std::string Trash() const { return home.File("data/Trash"); }
    // A legacy profile of the given date and noise in folder.
    static void WriteProfile(const ScratchDir& folder, const std::string& name, double date, std::uint64_t seed) {
        synth::ProfileOptions options = synth::DefaultOptions(seed);
        options.dateOrigin = date;
        synth::WriteLegacyFile(folder.File(name), synth::MakeProfile(options));
    }
    // Makes the main window and the browser, which lists the folder, and
    // waits until the browser is the active window.
    TFKelBrowse& Open() {
        main = std::make_unique<TFKelView>(session, store);
        main->Binding().ShowError = [this](const QString& message) { errors << message; };
        browser = new TFKelBrowse(*main, store);
        browser->Inform = [this](const QString& message) { informed << message; };
        browser->Confirm = [](const QString&) { return true; };
        browser->show();
        QApplication::setActiveWindow(browser);
        EXPECT_TRUE(QTest::qWaitForWindowActive(browser));
        return *browser;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const TListEntry& entry : browser->Listing().Entries) texts.push_back(entry.Text);
        return texts;
    }
    std::string Selected() const {
        const TProfileListing& listing = browser->Listing();
        return listing.Selected < 0 ? "" : listing.Entries[static_cast<std::size_t>(listing.Selected)].Text;
    }
    QListView* List() const { return browser->findChild<QListView*>(QStringLiteral("LBDetails")); }
    void ClickEntry(int row) {
        const QPoint centre = List()->visualRect(List()->model()->index(row, 0)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, centre);
    }
    // The browser opens no profile of its own accord during the test.
    void StopTimer2() { browser->findChild<QTimer*>(QStringLiteral("Timer2"))->stop(); }

    // Deleted profiles go to the trash of a scratch home, never the user's.
    ScratchDir home;
    ScopedEnvironment homeVariable{"HOME", home.Path()};
    ScopedEnvironment dataVariable{"XDG_DATA_HOME", home.File("data")};
    ScratchDir dir;
    RecordedMessages boxes;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    std::unique_ptr<TFKelView> main;
    TFKelBrowse* browser = nullptr;
    QStringList errors, informed;

private:
    std::filesystem::path previous_;
};

}  // namespace kel::test
