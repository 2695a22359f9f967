#pragma once
// The profile browser "Multi ions explorer": walks folders of profiles, opens
// one in the main window with a click, deletes files, makes folders, converts
// the listed folder in one batch, and takes the open commands of other
// programs. Created hidden with the main window; closing only hides it.
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "browser/Kelbrows.h"
#include "common/Settings.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class QHeaderView;
class QListView;
class QSplitter;
class QTimer;
class QTreeView;

namespace kel {

class TDetailsModel;
class TFKelView;

class TFKelBrowse : public QWidget {
    Q_OBJECT
public:
    // The browser of main, over the folder it listed last (kept in store) or
    // else the current folder, listed now; Timer2 opens the newest profile.
    TFKelBrowse(TFKelView& main, SettingsStore& store);
    ~TFKelBrowse() override;

    // Makes folder current and lists its profiles, newest first.
    void ListFolder(const QString& folder);
    // Relists the tree's folder, keeping the selected file when that folder
    // was listed already, else selecting the newest profile; arms Timer2.
    void RefreshListing();
    // Shows the profile at path in the tree, the list and the main window.
    void OpenProfilePath(const QString& path);
    // Lists folder as a click on it in the tree does, and shows the browser.
    void ShowFolder(const QString& folder);
    // A command of another program: open(PATH) opens PATH; others are ignored.
    void SystemExecuteMacro(const QString& line);
    // The name under which path's folder stores the file (any case of path),
    // with its folder; empty when there is none.
    static QString StoredFileName(const QString& path);

    const TProfileListing& Listing() const { return listing_; }
    // The folder selected in the tree.
    QString TreeFolder() const;

    // Ask the user; tests replace them to answer as a user would.
    std::function<bool(const QString& question)> Confirm;
    std::function<std::optional<QString>()> AskFolderName;
    std::function<void(const QString& message)> Inform;

protected:
    // Folders and profiles dropped here are taken as on the main window.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void FitColumns();
    // Where the user left the window, else beside the main window.
    void Place();
    void SavePlace();
    void BuildControls();
    void AttachFolderTree();
    void Select(int row);
    int FindEntry(const QString& storedName) const;
    void SelectTreeFolder(const QString& folder);
    void RevealTreeFolder();
    // Opens the selected profile; a failed open selects the one still shown.
    void LBDetailsClick();
    void SelectShownProfile();
    void Timer2Timer();
    void DeleteClick();
    void btNewFolderClick();
    void btBatchClick();
    // The profiles selected in the list side by side in a window of their own.
    void btnCompareClick();
    // The listed folder's summary in a window of its own.
    void btnSummaryClick();
    void ShellComboBox1Change(int index);
    void ReportError(const QString& message);
    void WatchChanged();
    void WatchedFolderChanged();

    TFKelView& main_;
    SettingsStore& store_;
    TProfileListing listing_;
    QString listedFolder_;
    // The folder selected in the tree, kept while the tree is not built yet.
    QString treeFolder_;
    // Whether the tree still scrolls to treeFolder_ as the model fills in.
    bool revealTreeFolder_ = false;
    TDetailsModel* model_ = nullptr;
    QComboBox* shellCombo_ = nullptr;
    QTreeView* tree_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    QHeaderView* header_ = nullptr;
    QSplitter* split_ = nullptr;
    bool laidOut_ = false;  // the sizes fixed on the first show
    QListView* list_ = nullptr;
    QTimer* timer2_ = nullptr;
    QCheckBox* watch_ = nullptr;
    QCheckBox* follow_ = nullptr;
    QCheckBox* followFile_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* watchDelay_ = nullptr;
};

}  // namespace kel
