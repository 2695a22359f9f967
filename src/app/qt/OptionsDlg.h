#pragma once
// The options dialog "VANTOR options": the sensitivity indicators the plot
// writes behind each compound and the main kinetics library. It lives as long
// as the main window and reads the session again each time it is shown.
#include <QDialog>
#include <functional>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace kel {

class TSessionBinding;

class TVANTOROptionsDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog over parent (the main window), changing the session only
    // through binding. Open it modally with exec().
    TVANTOROptionsDlg(TSessionBinding& binding, QWidget* parent = nullptr);

    // The current kinetics file name and sensitivity into the controls.
    void FormShow();
    // "OK" and "&Apply": the controls' values into the session in one command.
    void ApplyClick();
    // The browse button: a kinetics file chosen in the file dialog.
    void BrowseKbaseClick();

    // The preview area of the "Kinetic library" page, where the compound
    // view of the chosen file docks.
    QWidget* KbasePreview() const { return pnKbasePreview; }
    // Shows the compounds of a file in the preview area; called each time
    // the file name field changes. The compound view lives in a library
    // above this one, which sets it.
    std::function<void(const QString& file, QWidget& preview)> PreviewKbase;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* DisplayPage();
    QWidget* KineticsPage();

    TSessionBinding& binding_;
    QTabWidget* PageControl1;
    QButtonGroup* rgSensitivity;
    QLineEdit* edKbase;
    QPushButton* btBrowseKbase;
    QWidget* pnKbasePreview;
    QPushButton* btOK;
    QPushButton* btCancel;
    QPushButton* btApply;
    QPushButton* btHelp;
};

}  // namespace kel
