#include "app/qt/RecentMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace kel {

namespace {

// Wide enough for a deep folder, narrow enough for the menu to stay a menu.
constexpr int kItemTextWidth = 520;

std::string Std(const QString& text) { return text.toStdString(); }

}  // namespace

TRecentMenu::TRecentMenu(QMenu& file, QAction* before, const SettingsStore& store)
    : QObject(&file), files_(ReadRecentFiles(store)) {
    profiles_ = new QMenu(QStringLiteral("Recent pro&files"), &file);
    profiles_->setObjectName(QStringLiteral("RecentProfiles1"));
    folders_ = new QMenu(QStringLiteral("Recent fol&ders"), &file);
    folders_->setObjectName(QStringLiteral("RecentFolders1"));
    file.insertMenu(before, profiles_);
    file.insertMenu(before, folders_);
    Show();
}

void TRecentMenu::AddProfile(const QString& path) {
    AddRecent(files_.Profiles, Std(path));
    AddRecent(files_.Folders, Std(QFileInfo(path).absolutePath()));
    Show();
}

void TRecentMenu::AddFolder(const QString& folder) {
    AddRecent(files_.Folders, Std(folder));
    Show();
}

void TRecentMenu::ForgetProfile(const QString& path) {
    ForgetRecent(files_.Profiles, Std(path));
    Show();
}

void TRecentMenu::ForgetFolder(const QString& folder) {
    ForgetRecent(files_.Folders, Std(folder));
    Show();
}

void TRecentMenu::Show() {
    Fill(*profiles_, "RecentProfile", files_.Profiles, &TRecentMenu::ProfileChosen);
    Fill(*folders_, "RecentFolder", files_.Folders, &TRecentMenu::FolderChosen);
}

void TRecentMenu::Fill(QMenu& menu, const char* name, const std::vector<std::string>& paths,
                       void (TRecentMenu::*chosen)(const QString&)) {
    // The old items go later: the one chosen may be the reason for this
    // refill and is still being triggered.
    for (QAction* old : menu.actions()) {
        menu.removeAction(old);
        old->setObjectName(QString());
        old->deleteLater();
    }
    menu.setEnabled(!paths.empty());
    int number = 0;
    for (const std::string& stored : paths) {
        const QString path = QString::fromStdString(stored);
        const QString shown = QDir::toNativeSeparators(path);
        ++number;
        // The number is the accelerator (1 to 9, then 0); an ampersand in a
        // path is shown as itself.
        const QString text = QStringLiteral("&%1 %2").arg(number % 10).arg(
            menu.fontMetrics().elidedText(shown, Qt::ElideMiddle, kItemTextWidth).replace('&', QStringLiteral("&&")));
        QAction* action = menu.addAction(text);
        action->setObjectName(QString::fromLatin1(name) + QString::number(number));
        action->setToolTip(shown);
        action->setStatusTip(shown);
        connect(action, &QAction::triggered, this, [this, chosen, path] { emit(this->*chosen)(path); });
    }
    menu.setToolTipsVisible(true);
}

}  // namespace kel
