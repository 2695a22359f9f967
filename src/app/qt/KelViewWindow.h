#pragma once
// The main window "Multi Ion Profile": the session's graphs, panels and
// commands. It only assembles panels and command groups; each binds to the
// session through the one TSessionBinding.
#include <QMainWindow>

#include "app/KelViewSession.h"

class QLabel;
class QSplitter;

namespace kel {

class TGraphPanel;
class TMainCommands;
class TSessionBinding;
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
    // Opens a profile as the browser does; false when it could not be shown
    // (the reason has been shown).
    bool ShowProfile(const QString& path);
    // The window that "&Open profile ..." and "Browse Profiles" show.
    void SetProfileBrowser(QWidget* browser) { browser_ = browser; }
    void AxesClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void OpenProfileClick();
    void StatusChanged();

    SettingsStore& store_;
    TSessionBinding* binding_;
    TGraphPanel* graphs_;
    TMainCommands* commands_;
    TVANTOROptionsDlg* options_;
    QSplitter* split_;
    QLabel* status_;
    QWidget* browser_ = nullptr;
    bool settingsSaved_ = false;
};

}  // namespace kel
