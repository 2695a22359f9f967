#pragma once
// The File menu's "Recent profiles" and "Recent folders": they show the
// recent lists, newest first, and report the path the user chooses. What a
// list holds is decided by the core's AddRecent and ForgetRecent.
#include <QObject>
#include <QString>

#include "app/RecentFiles.h"

class QAction;
class QMenu;

namespace kel {

class TRecentMenu : public QObject {
    Q_OBJECT
public:
    // The two submenus in file, before the action `before`, showing the
    // lists last written to store.
    TRecentMenu(QMenu& file, QAction* before, const SettingsStore& store);

    const TRecentFiles& Files() const { return files_; }
    // A profile was shown from path: it and its folder move to the top.
    void AddProfile(const QString& path);
    void AddFolder(const QString& folder);
    void ForgetProfile(const QString& path);
    void ForgetFolder(const QString& folder);
    void Save(SettingsStore& store) const { WriteRecentFiles(store, files_); }

    QMenu* ProfilesMenu() const { return profiles_; }
    QMenu* FoldersMenu() const { return folders_; }

signals:
    void ProfileChosen(const QString& path);
    void FolderChosen(const QString& folder);

private:
    void Show();
    void Fill(QMenu& menu, const char* name, const std::vector<std::string>& paths,
              void (TRecentMenu::*chosen)(const QString&));

    QMenu* profiles_;
    QMenu* folders_;
    TRecentFiles files_;
};

}  // namespace kel
