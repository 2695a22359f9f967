#pragma once
// The main window's command table: the main menu, the graph's pop-up menu
// and the tool bar, with their captions, accelerators and shortcuts. Toggles
// show what the session holds after every command.
#include <QKeySequence>
#include <QObject>
#include <functional>

#include "app/KelViewSession.h"

class QAction;
class QCheckBox;
class QMainWindow;
class QMenu;
class QToolBar;

namespace kel {

class TSessionBinding;
class TXYGraphBox;

class TMainCommands : public QObject {
    Q_OBJECT
public:
    // Commands that leave the session: the window's own dialogs and outputs.
    struct TWindowCommands {
        std::function<void()> OpenProfile;   // "&Open profile ...", "Browse Profiles"
        std::function<void()> Axes;          // "Set Axes"
        std::function<void()> CopyPicture;   // "Copy picture"
        std::function<void()> Print;         // "Print"
        std::function<void()> Options;       // "Options"
        std::function<void()> About;         // "About"
        std::function<void()> CopyData;      // the graph's "&Copy": count rates as text
        std::function<void()> Save;          // "&Save ...", "&Save"
        std::function<void()> OpenAnalysis;  // "Open ana&lysis ..."
        std::function<void()> SaveAnalysis;  // "Save anal&ysis ..."
        std::function<void()> EditKinetics;  // "Edit Kinetics"
        std::function<void()> ChangeKineticsFile;  // "&Change main kinetics file"
        std::function<void()> AddKineticsFile;     // "&Add supplemental kinetics file"
        std::function<void()> ExportImage;         // "Export &image..."
        std::function<void()> ExportData;          // "Export &window data..."
        std::function<void()> ToggleCurves;        // "C&urves": the curves panel shown or hidden
    };

    TMainCommands(TSessionBinding& binding, QMainWindow& window, TXYGraphBox& graph, TWindowCommands commands);

    QAction* Action(const char* name) const;
    QMenu* GraphMenu() const { return graphMenu_; }
    QMenu* FileMenu() const { return fileMenu_; }

private:
    QAction* Make(const char* name, const QString& caption, const QKeySequence& shortcut = {});
    QAction* Session(const char* name, const QString& caption, void (TKelViewSession::*command)(),
                     const QKeySequence& shortcut = {});
    QAction* Window(const char* name, const QString& caption, const std::function<void()>& command,
                    const QKeySequence& shortcut = {});
    void MainMenu(QMainWindow& window);
    void PopupMenu(TXYGraphBox& graph);
    void ToolBar(QMainWindow& window);
    void ModesChanged();
    // "Undo" and "Redo" usable only while there is a step to take.
    void UndoChanged();

    TSessionBinding& binding_;
    TWindowCommands commands_;
    QMenu* graphMenu_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QCheckBox* cbT0Start_ = nullptr;
};

}  // namespace kel
