// The profile browser as an analyst and other programs use it, on the
// offscreen platform, beside a real main window.
#include <gtest/gtest.h>

#include "browser/qt/BrowserFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QListView>
#include <QLocalSocket>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/qt/KelViewWindow.h"
#include "app/qt/RecentMenu.h"
#include "app/qt/SessionBinding.h"
#include "browser/qt/CommandChannel.h"
#include "browser/qt/KelBrowse.h"
#include "common/DateTime.h"
#include "kinetics/KineticsLibrary.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

class BrowserWindow : public test::BrowserFixture {
protected:
    void Write(const test::ScratchDir& folder, const std::string& name, int year, std::uint64_t seed = 1) {
        WriteProfile(folder, name, EncodeDateTime({year, 5, 1, 12, 0, 0, 0}), seed);
    }
    void Click(const char* button) { browser->findChild<QPushButton*>(QLatin1String(button))->click(); }
    // A drag entering target and dropped there, as a file manager sends it;
    // false when target refused it. What a drop opens opens after the drop.
    static bool Drop(QWidget& target, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &drop);
        return drop.isAccepted();
    }
    static QUrl Local(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }
    // The full paths a recent submenu shows, top first.
    static std::vector<std::string> Shown(const QMenu* menu) {
        std::vector<std::string> paths;
        for (const QAction* action : menu->actions()) paths.push_back(action->toolTip().toStdString());
        return paths;
    }
};

TEST_F(BrowserWindow, ListsNewestFirstOpensItASecondLaterAndF5KeepsTheSelection) {
    Write(dir, "a.kel", 2006);
    Write(dir, "B.KEL", 2007);
    Open();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"b.kel", "a.kel"}));
    EXPECT_EQ(Selected(), "b.kel");
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(dir.Path()));
    EXPECT_EQ(session.Profile().FileName, "");
    QTest::qWait(1100);
    EXPECT_EQ(session.Profile().FileName, "B.KEL");

    ClickEntry(1);
    EXPECT_EQ(session.Profile().FileName, "a.kel");
    QTest::keyClick(browser, Qt::Key_F5);
    EXPECT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Selected(), "a.kel");
    QTest::keyClick(browser, Qt::Key_Escape);
    EXPECT_FALSE(browser->isVisible());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(store.FindString("Browser", "Folder"), fs::canonical(dir.Path()).string());
}

// The folder tree is read only when the window first shows; what was listed
// while it stayed hidden is what it then shows, and choosing a folder in the
// tree lists that one.
TEST_F(BrowserWindow, AHiddenBrowserShowsTheFolderItListedOnceOpened) {
    test::ScratchDir other;
    Write(other, "y.kel", 2008);
    Write(dir, "a.kel", 2006);
    main = std::make_unique<TFKelView>(session, store);
    browser = new TFKelBrowse(*main, store);
    browser->OpenProfilePath(QString::fromStdString(other.File("y.kel")));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"y.kel"}));

    browser->show();
    QApplication::setActiveWindow(browser);
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
    auto* tree = browser->findChild<QTreeView*>(QStringLiteral("DirectoryOutline1"));
    auto* folders = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_NE(folders, nullptr);
    EXPECT_EQ(fs::canonical(folders->filePath(tree->currentIndex()).toStdString()), fs::canonical(other.Path()));
    tree->setCurrentIndex(folders->index(QString::fromStdString(dir.Path())));
    QTest::keyClick(browser, Qt::Key_F5);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a.kel"}));
}

TEST_F(BrowserWindow, OpenCommandsFromOtherProgramsAndWhatIsIgnored) {
    test::ScratchDir other;
    Write(other, "y.kel", 2008);
    Write(dir, "a.kel", 2006);
    Open();
    const QString channel = QString::fromStdString(dir.File("channel"));
    TCommandServer server;
    ASSERT_TRUE(server.Listen(channel));
    QObject::connect(&server, &TCommandServer::Command, browser, &TFKelBrowse::SystemExecuteMacro, Qt::QueuedConnection);
    const auto send = [&](const QByteArray& bytes) {
        QLocalSocket socket;
        socket.connectToServer(channel);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
        QTest::qWait(50);
    };
    // Nothing of these opens or lists anything: no "open(", random bytes, a
    // line never ended, an endless line.
    send("close(\"" + QByteArray::fromStdString(other.File("y.kel")) + "\")\n");
    std::mt19937 random(7);
    QByteArray noise;
    for (int i = 0; i < 4096; ++i) noise += static_cast<char>(random());
    send(noise);
    send("open(\"" + QByteArray::fromStdString(other.File("y.kel")));
    send(QByteArray(kCommandLimit + 10, 'o') + "open(" + QByteArray::fromStdString(other.File("y.kel")) + ")\n");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a.kel"}));
    EXPECT_NE(session.Profile().FileName, "y.kel");

    ASSERT_TRUE(SendCommand(channel, QStringLiteral("open(\"%1\")").arg(QString::fromStdString(other.File("y.kel")))));
    QTRY_COMPARE(session.Profile().FileName, std::string("y.kel"));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"y.kel"}));
    EXPECT_EQ(Selected(), "y.kel");
    EXPECT_EQ(fs::canonical(browser->TreeFolder().toStdString()), fs::canonical(other.Path()));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(BrowserWindow, DroppedProfilesOpenDroppedFoldersAreListedAndOtherDropsAreRefused) {
    test::ScratchDir other, third;
    Write(other, "y.kel", 2008);
    Write(third, "t1.kel", 2001);
    Write(third, "t2.kel", 2002);
    Write(dir, "a.kel", 2006);
    Open();
    // Web addresses and plain text are no files of this computer.
    EXPECT_FALSE(Drop(*main, {QUrl(QStringLiteral("https://example.org/y.kel"))}));
    QMimeData text;
    text.setText(QString::fromStdString(other.File("y.kel")));
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());

    // The first local file of a drop on the main window opens, its folder listed.
    ASSERT_TRUE(Drop(*main, {QUrl(QStringLiteral("https://example.org/x.kel")), Local(other.File("y.kel")),
                             Local(dir.File("a.kel"))}));
    QTRY_COMPARE(session.Profile().FileName, std::string("y.kel"));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"y.kel"}));
    EXPECT_EQ(Selected(), "y.kel");

    // A folder dropped on the browser is listed there.
    ASSERT_TRUE(Drop(*browser, {Local(third.Path())}));
    QTRY_COMPARE(Texts(), (std::vector<std::string>{"t2.kel", "t1.kel"}));
    EXPECT_EQ(fs::canonical(browser->TreeFolder().toStdString()), fs::canonical(third.Path()));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    // A file that is no profile says why in the usual box.
    test::WriteFileForTest(other.File("notes.txt"), "not a profile");
    ASSERT_TRUE(Drop(*main, {Local(other.File("notes.txt"))}));
    QTRY_VERIFY(errors.size() + boxes.shown.size() == 1);
}

TEST_F(BrowserWindow, RecentProfilesAndFoldersNewestFirstSurviveARestartAndGoneOnesAreReported) {
    test::ScratchDir other, gone;
    Write(other, "y.kel", 2008);
    Write(gone, "g.kel", 2001);
    Write(dir, "g.kel", 2002);  // a namesake in the listed folder
    Write(dir, "a.kel", 2006);
    Open();
    StopTimer2();
    for (const std::string& path : {gone.File("g.kel"), other.File("y.kel"), dir.File("a.kel"), other.File("y.kel")})
        main->OpenProfilePath(QString::fromStdString(path));
    const auto real = [](const std::string& path) { return fs::canonical(path).string(); };
    const std::vector<std::string> profiles{real(other.File("y.kel")), real(dir.File("a.kel")),
                                            real(gone.File("g.kel"))};
    const std::vector<std::string> folders{real(other.Path()), real(dir.Path()), real(gone.Path())};
    EXPECT_EQ(Shown(main->Recent().ProfilesMenu()), profiles);
    EXPECT_EQ(Shown(main->Recent().FoldersMenu()), folders);

    browser = nullptr;
    main.reset();
    Open();
    StopTimer2();
    EXPECT_EQ(Shown(main->Recent().ProfilesMenu()), profiles);
    EXPECT_EQ(Shown(main->Recent().FoldersMenu()), folders);

    // A recent folder lists in the browser and moves up.
    main->Recent().FoldersMenu()->actions()[1]->trigger();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a.kel", "g.kel"}));
    EXPECT_EQ(Shown(main->Recent().FoldersMenu()), (std::vector<std::string>{folders[1], folders[0], folders[2]}));
    EXPECT_TRUE(errors.isEmpty() && boxes.shown.empty()) << errors.join('\n').toStdString();

    // Gone: chosen, each says so and leaves its list; the namesake of the
    // gone profile in the listed folder is not opened instead.
    fs::remove_all(gone.Path());
    main->Recent().ProfilesMenu()->actions()[2]->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second.rfind("Open Error! g.kel: ", 0), 0u) << boxes.shown[0].second;
    main->Recent().FoldersMenu()->actions()[2]->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("no longer exists"))) << errors[0].toStdString();
    EXPECT_EQ(Shown(main->Recent().ProfilesMenu()), (std::vector<std::string>{profiles[0], profiles[1]}));
    EXPECT_EQ(Shown(main->Recent().FoldersMenu()), (std::vector<std::string>{folders[1], folders[0]}));
}

TEST(CommandChannel, OneInstanceListensAndASocketLeftBehindIsReplaced) {
    test::ScratchDir runtime;
    const std::string path = runtime.File("channel");
    // An instance that ended without removing its socket.
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(stale);
    const QString name = QString::fromStdString(path);
    EXPECT_FALSE(SendCommand(name, QStringLiteral("open(a.kel)")));

    TCommandServer first, second;
    ASSERT_TRUE(first.Listen(name));
    EXPECT_FALSE(second.Listen(name));
    EXPECT_EQ(fs::status(path).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
    QStringList received;
    QObject::connect(&first, &TCommandServer::Command, [&](const QString& line) { received << line; });
    ASSERT_TRUE(SendCommand(name, QStringLiteral("open(\"a b.kel\")")));
    QTRY_COMPARE(received, QStringList{QStringLiteral("open(\"a b.kel\")")});
    EXPECT_EQ(OpenCommandPath(received[0]), QStringLiteral("a b.kel"));
    EXPECT_EQ(OpenCommandPath(QStringLiteral("x open(/d/y.kel) y")), QStringLiteral("/d/y.kel"));
    EXPECT_FALSE(OpenCommandPath(QStringLiteral("Open(/d/y.kel)")));
    EXPECT_FALSE(OpenCommandPath(QStringLiteral("open(\")")));
}

#ifdef KELVIEW_PROGRAM
// Starts kelview on profile, offscreen, with runtime as its runtime folder and home.
void StartKelview(QProcess& process, const test::ScratchDir& runtime, const std::string& profile) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.Path()));
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(runtime.Path()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KELVIEW_PROGRAM), {QString::fromStdString(profile)});
    ASSERT_TRUE(process.waitForStarted(10000));
}

// A kelview that handed its profile on ends by itself, successfully.
void ExpectHandedOver(QProcess& second) {
    for (int waited = 0; second.state() != QProcess::NotRunning && waited < 30000; waited += 20) QTest::qWait(20);
    ASSERT_EQ(second.state(), QProcess::NotRunning) << "the second kelview kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
}

TEST_F(BrowserWindow, ASecondKelviewHandsItsProfileToTheFirstAndEnds) {
    test::ScratchDir runtime, other;
    fs::permissions(runtime.Path(), fs::perms::owner_all);
    Write(other, "y.kel", 2008);
    Open();
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.Path()));
    TCommandServer server;
    const bool listening = server.Listen(CommandServerName());
    previous.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", previous);
    ASSERT_TRUE(listening);
    QObject::connect(&server, &TCommandServer::Command, browser, &TFKelBrowse::SystemExecuteMacro, Qt::QueuedConnection);

    QProcess second;
    StartKelview(second, runtime, other.File("y.kel"));
    ExpectHandedOver(second);
    QTRY_COMPARE(session.Profile().FileName, std::string("y.kel"));
    EXPECT_EQ(Selected(), "y.kel");
}

TEST_F(BrowserWindow, AFirstKelviewTakesProfilesOnceItsWindowIsUp) {
    test::ScratchDir runtime, other;
    fs::permissions(runtime.Path(), fs::perms::owner_all);
    Write(other, "x.kel", 2007);
    Write(other, "y.kel", 2008);
    QProcess first;
    StartKelview(first, runtime, other.File("x.kel"));
    // Its channel opens a moment after its window; a socket file shows it.
    const auto listening = [&] {
        for (const fs::directory_entry& entry : fs::directory_iterator(runtime.Path()))
            if (entry.path().filename().string().rfind("kelview-", 0) == 0 && fs::is_socket(entry.status())) return true;
        return false;
    };
    for (int waited = 0; !listening() && first.state() == QProcess::Running && waited < 30000; waited += 20)
        QTest::qWait(20);
    ASSERT_TRUE(listening()) << "the first kelview opened no channel";
    QProcess second;
    StartKelview(second, runtime, other.File("y.kel"));
    ExpectHandedOver(second);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(10000);
}
#endif

TEST_F(BrowserWindow, BatchWritesEveryFileNewestFirstAndCanBeCancelled) {
    Write(dir, "old.kel", 2006, 3);
    Write(dir, "new.kel", 2007, 4);
    Open();
    Click("btBatch");
    for (const char* name : {"new.kel.csv", "old.kel.csv", "new.kelPpb.csv", "old.kelPpb.csv"})
        EXPECT_TRUE(fs::exists(dir.File(name))) << name;
    const std::string newer = test::ReadFile(dir.File("new.kelPpb.csv"));
    const std::string older = test::ReadFile(dir.File("old.kelPpb.csv"));
    ASSERT_FALSE(newer.empty());
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), newer + older);
    EXPECT_EQ(Selected(), "old.kel");
    Click("btBatch");
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), newer + older);
    EXPECT_TRUE(informed.isEmpty());

    // Cancelled at once: nothing converted, the old outputs stay, and the
    // message says where the batch stopped.
    QTimer::singleShot(0, browser, [this] {
        if (auto* progress = browser->findChild<QProgressDialog*>(QStringLiteral("BatchProgress"))) progress->cancel();
    });
    Click("btBatch");
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), newer + older);
    ASSERT_EQ(informed.size(), 1);
    EXPECT_TRUE(informed[0].startsWith(QStringLiteral("Batch conversion cancelled before profile 1 of 2 (new.kel)")))
        << informed[0].toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    // A profile that cannot be opened ends the batch with its error in a box;
    // the one before it is converted.
    test::WriteFileForTest(dir.File("old.kel"), "<kel><ion>x</ion></kel>");
    Click("btBatch");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), newer);
}

TEST_F(BrowserWindow, AWatchedFolderShowsNewProfilesAndFollowsTheNewest) {
    Write(dir, "a.kel", 2006);
    Open();
    QTest::qWait(1100);  // a.kel opened by the timer
    browser->findChild<QCheckBox*>(QStringLiteral("cbWatch"))->setChecked(true);
    Write(dir, "old.kel", 2005);
    QTRY_COMPARE(Texts(), (std::vector<std::string>{"a.kel", "old.kel"}));
    ClickEntry(1);
    Write(dir, "older.kel", 2004);
    QTRY_COMPARE(Texts().size(), std::size_t{3});
    EXPECT_EQ(Selected(), "old.kel");

    browser->findChild<QCheckBox*>(QStringLiteral("cbFollow"))->setChecked(true);
    Write(dir, "new.kel", 2007);
    QTRY_COMPARE(session.Profile().FileName, std::string("new.kel"));
    EXPECT_EQ(Selected(), "new.kel");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(BrowserWindow, WatchingTheFolderFollowsTheShownFileWithoutOpeningItAgain) {
    Write(dir, "a.kel", 2006);
    Open();
    QTest::qWait(1100);  // a.kel opened by the timer
    auto* followFile = browser->findChild<QCheckBox*>(QStringLiteral("cbFollowFile"));
    ASSERT_NE(followFile, nullptr);
    EXPECT_FALSE(followFile->isChecked());
    browser->findChild<QCheckBox*>(QStringLiteral("cbWatch"))->setChecked(true);
    browser->findChild<QCheckBox*>(QStringLiteral("cbFollow"))->setChecked(true);
    EXPECT_TRUE(session.FollowFileOn());
    EXPECT_TRUE(followFile->isChecked());

    // The user's own comment, which opening the file again would replace.
    main->Binding().Run([](TKelViewSession& s) {
        TProfileTexts texts = s.Texts();
        texts.Comment = "by hand";
        s.UpdateComments(texts);
    });
    const auto counts = session.Profile().Counts;
    // The same file as the next cycle writes it, aside and renamed over it:
    // newer, other counts.
    Write(dir, "a.tmp", 2008, 2);
    fs::rename(dir.File("a.tmp"), dir.File("a.kel"));
    QTRY_VERIFY(session.Profile().Counts != counts);
    QTest::qWait(1000);  // the folder's relisting, and its timer
    EXPECT_EQ(session.Texts().Comment, "by hand");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a.kel"}));

    // The browser's toggle is the session's, both ways.
    followFile->click();
    EXPECT_FALSE(session.FollowFileOn());
    main->Binding().Run([](TKelViewSession& s) { s.FollowFileClick(); });
    EXPECT_TRUE(followFile->isChecked());
    browser->findChild<QCheckBox*>(QStringLiteral("cbWatch"))->setChecked(false);
    EXPECT_FALSE(session.FollowFileOn());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(BrowserWindow, FailingDeleteAndNewFolderAreReported) {
    Write(dir, "a.kel", 2006);
    Write(dir, "b.kel", 2007);
    Open();
    QTest::qWait(1100);  // b.kel opened by the timer
    // The file turns into a folder with contents, which no delete removes.
    fs::remove(dir.File("b.kel"));
    fs::create_directories(dir.File("b.kel/inside"));
    Click("btDelete");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Could not delete \""))) << errors[0].toStdString();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"b.kel", "a.kel"}));

    ClickEntry(1);
    Click("btDelete");
    EXPECT_FALSE(fs::exists(dir.File("a.kel")));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"b.kel"}));

    browser->AskFolderName = [] { return std::optional<QString>(QStringLiteral("b.kel")); };
    Click("btNewFolder");
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[1].startsWith(QStringLiteral("Could not create the folder"))) << errors[1].toStdString();
    browser->AskFolderName = [] { return std::optional<QString>(QStringLiteral("day2")); };
    Click("btNewFolder");
    EXPECT_EQ(errors.size(), 2);
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(dir.File("day2")));
}

}  // namespace
}  // namespace kel
