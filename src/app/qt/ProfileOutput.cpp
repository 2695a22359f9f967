// The window's two ways to hand the profile to the outside: the graph's
// "&Copy" of count rates and "&Save".
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "app/qt/TopPanel.h"

namespace kel {

namespace {

const QString kProfilesFilter = QStringLiteral("Profiles (*.kel)");
const QString kWorksheetFilter = QStringLiteral("Worksheet (*.csv)");

// The save dialog: in the current folder, asking before it overwrites; a
// name typed without extension takes the chosen filter's.
QString SaveDialog(QWidget* parent, const QString& proposed) {
    QFileDialog dialog(parent, QStringLiteral("Save As"), QDir::currentPath());
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({kProfilesFilter, kWorksheetFilter});
    dialog.setDefaultSuffix(QStringLiteral("kel"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter == kWorksheetFilter ? QStringLiteral("csv") : QStringLiteral("kel"));
    });
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

}  // namespace

void TFKelView::CopyDataClick() {
    std::string text;
    if (!binding_->Run([&text](TKelViewSession& s) { text = s.CopyDataText(); })) return;
    // The row names are UTF-8, as every profile text is.
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TFKelView::btSaveMSClick() {
    const TProfileTexts texts = top_->FieldTexts();
    if (!binding_->Run([&texts](TKelViewSession& s) { s.PrepareSave(texts); })) return;
    const QString proposed = QString::fromStdString(binding_->Session().Profile().FileName);
    const QString path = AskSavePath ? AskSavePath(proposed) : SaveDialog(this, proposed);
    if (path.isEmpty()) return;
    TSaveOutcome outcome = TSaveOutcome::Failed;
    binding_->Run([&](TKelViewSession& s) { outcome = s.SaveProfileAs(path.toStdString()); });
    // A failed save keeps the window's profile with its edits: opening the
    // file from disk now would throw them away.
    if (outcome != TSaveOutcome::Profile) return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (ProfileSaved)
        ProfileSaved(absolute);
    else
        ShowProfile(absolute);
}

}  // namespace kel
