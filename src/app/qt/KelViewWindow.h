#pragma once
// The main window "Multi Ion Profile": the session's graphs, panels and
// commands. It only assembles panels and command groups; each binds to the
// session through the one TSessionBinding.
#include <QMainWindow>
#include <functional>

#include "app/KelViewSession.h"

class QLabel;
class QSplitter;

namespace kel {

class TCurvesPanel;
class TExportCommands;
class TGraphPanel;
class TMainCommands;
class TRecentMenu;
class TSessionBinding;
class TTopPanel;
class TVANTOROptionsDlg;

class TFKelView : public QMainWindow {
    Q_OBJECT
public:
    // The window over session, whose settings it reads from store now and
    // writes back when it closes.
    TFKelView(TKelViewSession& session, SettingsStore& store);
    ~TFKelView() override;

    TSessionBinding& Binding() const { return *binding_; }
    TGraphPanel& Graphs() const { return *graphs_; }
    TMainCommands& Commands() const { return *commands_; }
    TCurvesPanel& Curves() const { return *curves_; }
    TExportCommands& Exports() const { return *exports_; }
    // Opens a profile as the browser does; false when it could not be shown
    // (the reason has been shown).
    bool ShowProfile(const QString& path);
    // The window that "&Open profile ..." and "Browse Profiles" show.
    void SetProfileBrowser(QWidget* browser) { browser_ = browser; }
    // Opens the profile at path as a command of another program does: the
    // browser lists its folder and selects it. A recent profile that is gone
    // leaves the menu once its failure has been shown.
    void OpenProfilePath(const QString& path);
    // Lists folder in the browser and shows the browser; a folder that no
    // longer exists is reported and leaves the recent folders.
    void OpenFolder(const QString& folder);
    // A path dropped on a window of the program: a folder is listed, any
    // other file opened as a profile.
    void OpenDropped(const QString& path);
    TRecentMenu& Recent() const { return *recent_; }

    // How the profile browser opens a path and lists a folder; it installs
    // them. Without a browser the window opens files itself and lists nothing.
    struct TBrowserCommands {
        std::function<void(const QString& path)> OpenProfilePath;
        std::function<void(const QString& folder)> ListFolder;
    };
    TBrowserCommands BrowserCommands;
    void AxesClick();
    void Options1Click();
    // The graph's "&Copy": the selected window's count rates onto the clipboard.
    void CopyDataClick();
    // "&Save": the profile with the window's texts, or its worksheet.
    void btSaveMSClick();

    // Lists the folder of a profile just saved to path and opens it again
    // from there; the profile browser connects here. Without it the window
    // opens the file itself.
    std::function<void(const QString& path)> ProfileSaved;
    // The save dialog: the chosen path, or empty when cancelled. Tests
    // answer it themselves.
    std::function<QString(const QString& proposed)> AskSavePath;

    // Opens an analysis file ("NAME.kelview.json"): its profile with the
    // analysis restored; false when it could not be shown. The reason, or
    // the files changed since it was saved, are shown by name.
    bool OpenAnalysis(const QString& path);
    // "Save analysis ...": asks where (AskAnalysisPath in tests) and writes
    // the analysis there.
    void SaveAnalysisClick();
    // "Open analysis ...": asks which (AskAnalysisPath in tests) and opens it.
    void OpenAnalysisClick();
    // The analysis file dialogs: the chosen path, or empty when cancelled;
    // saving is true for the save dialog.
    std::function<QString(const QString& proposed, bool saving)> AskAnalysisPath;

    // The kinetics commands and the options dialog's compound preview, which
    // live in a library above the window's and are set by it.
    struct TKineticsViews {
        std::function<void()> EditKinetics;
        std::function<void()> ChangeMainFile;
        std::function<void()> AddSupplementalFile;
        std::function<void(const QString& file, QWidget& preview)> Preview;
    };
    TKineticsViews KineticsViews;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void OpenProfileClick();
    void StatusChanged();
    // The caption with the shown profile's name after it.
    void TitleChanged();

    SettingsStore& store_;
    TSessionBinding* binding_;
    TGraphPanel* graphs_;
    TMainCommands* commands_;
    TCurvesPanel* curves_;
    TExportCommands* exports_;
    TRecentMenu* recent_;
    TTopPanel* top_;
    TVANTOROptionsDlg* options_ = nullptr;
    QSplitter* split_;
    QLabel* status_;
    QWidget* browser_ = nullptr;
    bool settingsSaved_ = false;
};

}  // namespace kel
