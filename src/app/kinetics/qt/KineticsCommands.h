#pragma once
// The main window's kinetics commands ("Edit Kinetics", "&Change main
// kinetics file", "&Add supplemental kinetics file") and the options
// dialog's compound preview, with the compound view and the text editor they
// show. Installed once on the window; both views are made when first needed
// (most sessions never open them, and a window shows sooner without them) and
// then live as long as the window does.
#include <QObject>
#include <QString>
#include <functional>

namespace kel {

class TFKelView;
class TFH3OPtxte;
class TForm2;
class TSessionBinding;

class TKineticsCommands : public QObject {
    Q_OBJECT
public:
    // Hands the commands to window.
    explicit TKineticsCommands(TFKelView& window);

    // "Edit Kinetics": "ppb" up and applied, then EditMainFile.
    void EditKineticsClick();
    // "&Change main kinetics file".
    void ChangeMainFileClick();
    // "&Add supplemental kinetics file".
    void AddSupplementalFileClick();
    // The main file in the editor; "Save" writes it back (a failure is shown
    // and the editor stays open). Whatever the editor's result, the library
    // is read again from the file (kept as it was when that fails) and the
    // file's name goes to the settings.
    void EditMainFile();
    // The compounds of file in the compound view, docked into preview.
    void PreviewFile(const QString& file, QWidget& preview);

    // The views, made on first use.
    TForm2& CompoundView();
    TFH3OPtxte& Editor();

    // The open dialog "Kinetics file" in the current main file's folder: the
    // chosen file, or empty when cancelled. Tests answer it themselves.
    std::function<QString(const QString& current)> AskKineticsFile;

private:
    // With selectCurrent the current file is chosen already.
    QString KineticsFileDialog(const QString& current, bool selectCurrent);

    TFKelView& window_;
    TSessionBinding& binding_;
    TForm2* view_ = nullptr;  // both owned by the window once made
    TFH3OPtxte* editor_ = nullptr;
};

}  // namespace kel
