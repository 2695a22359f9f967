#pragma once
// The main window "Multi Ion Profile": the session's graphs and commands.
// It only assembles panels and command groups; each binds to the session
// through the one TSessionBinding.
#include <QMainWindow>

#include "app/KelViewSession.h"

class QLabel;

namespace kel {

class TGraphPanel;
class TSessionBinding;

class TFKelView : public QMainWindow {
    Q_OBJECT
public:
    // The window over session, whose settings it reads from store now and
    // writes back when it closes.
    TFKelView(TKelViewSession& session, SettingsStore& store);

    TSessionBinding& Binding() const { return *binding_; }
    TGraphPanel& Graphs() const { return *graphs_; }
    // Opens a profile as the browser does; errors are shown, not thrown.
    bool ShowProfile(const QString& path);
    void AxesClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void CreateCommands();
    void StatusChanged();

    SettingsStore& store_;
    TSessionBinding* binding_;
    TGraphPanel* graphs_;
    QLabel* status_;
};

}  // namespace kel
