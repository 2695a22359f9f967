// The command channel trusts nobody but its own user: not a socket, a folder
// or a listener that another user could have put in its place.
#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "browser/qt/CommandChannel.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUser = 65534;

// A Unix socket bound at path (not yet listening).
int BoundSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << path;
    return fd;
}

// Bytes a listener received within a short while: what a planted listener
// would have learnt.
long BytesReceived(int listening, int waitMs) {
    pollfd ready{listening, POLLIN, 0};
    if (::poll(&ready, 1, waitMs) <= 0) return 0;
    const int connection = ::accept(listening, nullptr, nullptr);
    if (connection < 0) return 0;
    char buffer[256];
    pollfd data{connection, POLLIN, 0};
    long got = ::poll(&data, 1, waitMs) > 0 ? ::read(connection, buffer, sizeof buffer) : 0;
    ::close(connection);
    return got < 0 ? 0 : got;
}

bool Root() { return ::geteuid() == 0; }

TEST(CommandChannelTrust, SocketsAndFoldersAnotherUserCouldHavePlacedAreNeverHandedAPath) {
    test::ScratchDir runtime;
    fs::permissions(runtime.Path(), fs::perms::owner_all);
    const std::string path = runtime.File("kelview-channel");
    const QString name = QString::fromStdString(path);

    // A link to this user's own listening socket: whoever made the link
    // decides where it points.
    test::ScratchDir elsewhere;
    const int target = BoundSocket(elsewhere.File("real"));
    ASSERT_EQ(::listen(target, 4), 0);
    fs::create_symlink(elsewhere.File("real"), path);
    EXPECT_FALSE(ChannelDistrust(name).isEmpty());
    EXPECT_FALSE(SendCommand(name, QStringLiteral("open(a.kel)")));
    EXPECT_EQ(BytesReceived(target, 200), 0);
    fs::remove(path);

    // A listener in a folder others may write to.
    const int planted = BoundSocket(path);
    ASSERT_EQ(::listen(planted, 4), 0);
    fs::permissions(runtime.Path(), fs::perms::group_all | fs::perms::others_all, fs::perm_options::add);
    EXPECT_FALSE(SendCommand(name, QStringLiteral("open(a.kel)")));
    EXPECT_EQ(BytesReceived(planted, 200), 0);
    TCommandServer server;
    EXPECT_FALSE(server.Listen(QString::fromStdString(runtime.File("mine"))));
    EXPECT_TRUE(server.Failure().contains(QStringLiteral("other users can write"))) << server.Failure().toStdString();
    fs::permissions(runtime.Path(), fs::perms::owner_all);

    // The same listener in a private folder is this user's own.
    EXPECT_TRUE(ChannelDistrust(name).isEmpty()) << ChannelDistrust(name).toStdString();
    if (!Root()) GTEST_SKIP() << "sockets and folders of another user need root to make";

    // A socket file of another user in this user's folder.
    ASSERT_EQ(::lchown(path.c_str(), kOtherUser, kOtherUser), 0);
    EXPECT_TRUE(ChannelDistrust(name).contains(QStringLiteral("belongs to user 65534")));
    EXPECT_FALSE(SendCommand(name, QStringLiteral("open(a.kel)")));
    EXPECT_EQ(BytesReceived(planted, 200), 0);
    ::close(planted);
    ::close(target);

    // A folder another user owns takes no socket of this user's.
    ASSERT_EQ(::chown(runtime.Path().c_str(), kOtherUser, kOtherUser), 0);
    EXPECT_FALSE(server.Listen(QString::fromStdString(runtime.File("mine"))));
    EXPECT_TRUE(server.Failure().contains(QStringLiteral("belongs to user 65534"))) << server.Failure().toStdString();
    ASSERT_EQ(::chown(runtime.Path().c_str(), 0, 0), 0);
}

TEST(CommandChannelTrust, AListenerRunningAsAnotherUserIsNeverHandedAPath) {
    if (!Root()) GTEST_SKIP() << "a listener of another user needs root to start";
    test::ScratchDir runtime;
    fs::permissions(runtime.Path(), fs::perms::owner_all);
    const std::string path = runtime.File("kelview-channel");
    // The socket file is this user's (it was bound here); the process that
    // listens on it runs as someone else, as after a socket was passed on.
    const int bound = BoundSocket(path);
    ::chmod(path.c_str(), 0700);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0 || ::listen(bound, 4) != 0) ::_exit(2);
        ::_exit(BytesReceived(bound, 3000) > 0 ? 1 : 0);
    }
    ::close(bound);
    // The listener is up once the socket takes connections.
    for (int i = 0; i < 200; ++i) {
        const int probe = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        const bool up = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(probe);
        if (up) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(ChannelDistrust(QString::fromStdString(path)).isEmpty());
    EXPECT_FALSE(SendCommand(QString::fromStdString(path), QStringLiteral("open(\"/home/me/a.kel\")")));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other user's listener received the path";
}

TEST(CommandChannelTrust, WithoutARuntimeFolderTheSocketLivesInAPrivateFolderThatNobodyElseMayHold) {
    test::ScratchDir temporary;
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray temporaryBefore = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QByteArray::fromStdString(temporary.Path()));
    const std::string user = std::to_string(::geteuid());
    const std::string folder = temporary.File("kelview-channel-" + user);
    if (Root()) {
        // Another user holds the place of the runtime folder the platform
        // would fall back to, and of ours.
        fs::create_directory(temporary.File("runtime-root"));
        fs::create_directory(folder);
        ASSERT_EQ(::chown(temporary.File("runtime-root").c_str(), kOtherUser, kOtherUser), 0);
        ASSERT_EQ(::chown(folder.c_str(), kOtherUser, kOtherUser), 0);
        EXPECT_TRUE(CommandServerName().isEmpty()) << CommandServerName().toStdString();
        TCommandServer server;
        EXPECT_FALSE(server.Listen(CommandServerName()));
        EXPECT_FALSE(server.Failure().isEmpty());
        EXPECT_FALSE(SendCommand(CommandServerName(), QStringLiteral("open(a.kel)")));
        fs::remove(folder);
    }
    const QString name = CommandServerName();
    runtimeBefore.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtimeBefore);
    temporaryBefore.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", temporaryBefore);
    if (Root()) {
        EXPECT_EQ(name.toStdString(), folder + "/kelview-" + user);
        struct stat status {};
        ASSERT_EQ(::lstat(folder.c_str(), &status), 0);
        EXPECT_TRUE(S_ISDIR(status.st_mode));
        EXPECT_EQ(status.st_mode & 0777, 0700u);
    }
    ASSERT_FALSE(name.isEmpty());
    TCommandServer server;
    ASSERT_TRUE(server.Listen(name)) << server.Failure().toStdString();
    QStringList received;
    QObject::connect(&server, &TCommandServer::Command, [&](const QString& line) { received << line; });
    ASSERT_TRUE(SendCommand(name, QStringLiteral("open(b.kel)")));
    QTRY_COMPARE(received, QStringList{QStringLiteral("open(b.kel)")});
}

}  // namespace
}  // namespace kel
