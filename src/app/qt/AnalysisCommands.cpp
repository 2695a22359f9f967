// The window's analysis files: "Save analysis ...", "Open analysis ..." and
// the caption that names the shown profile.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "app/AnalysisFile.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "common/Errors.h"

namespace kel {

namespace {

const QString kAnalysisFilter = QStringLiteral("Analyses (*.kelview.json)");

QString AnalysisDialog(QWidget* parent, const QString& proposed, bool saving) {
    QFileDialog dialog(parent, saving ? QStringLiteral("Save analysis") : QStringLiteral("Open analysis"),
                       QDir::currentPath());
    dialog.setObjectName(QStringLiteral("AnalysisDialog1"));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(kAnalysisFilter);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

// The profile's own name, without its ending, beside it: NAME.kelview.json.
QString ProposedAnalysis(const std::string& profilePath) {
    const QFileInfo profile(QString::fromStdString(profilePath));
    return profile.absoluteDir().filePath(profile.completeBaseName() + QString::fromUtf8(kAnalysisFileEnding.data()));
}

}  // namespace

bool TFKelView::OpenAnalysis(const QString& path) {
    TAnalysisOpenResult opened;
    const bool ran = binding_->Run([&](TKelViewSession& session) {
        opened = session.OpenAnalysis(path.toStdString());
        if (!opened.error.empty()) throw EKelError(opened.error);
    });
    if (ran && !opened.notices.empty()) {
        QStringList notices;
        for (const std::string& notice : opened.notices) notices << QString::fromStdString(notice);
        binding_->ShowError(notices.join(QLatin1Char('\n')));
    }
    return ran && opened.shown;
}

void TFKelView::SaveAnalysisClick() {
    const std::string profile = binding_->Session().ProfilePath();
    const QString proposed = profile.empty() ? QString() : ProposedAnalysis(profile);
    QString path = AskAnalysisPath ? AskAnalysisPath(proposed, true) : AnalysisDialog(this, proposed, true);
    if (path.isEmpty()) return;
    // The ending is what tells an analysis from a profile when it is opened.
    if (!IsAnalysisFileName(path.toStdString())) path += QString::fromUtf8(kAnalysisFileEnding.data());
    binding_->Run([&path](TKelViewSession& session) {
        const TIoResult saved = session.SaveAnalysis(path.toStdString());
        if (!saved) throw EKelError("The analysis could not be saved to \"" + path.toStdString() + "\": " + saved.reason);
    });
}

void TFKelView::OpenAnalysisClick() {
    const QString path = AskAnalysisPath ? AskAnalysisPath({}, false) : AnalysisDialog(this, {}, false);
    if (!path.isEmpty()) OpenAnalysis(path);
}

void TFKelView::TitleChanged() {
    const std::string& profile = binding_->Session().ProfilePath();
    const QString caption = QStringLiteral("Multi Ion Profile");
    setWindowTitle(profile.empty() ? caption
                                   : caption + QStringLiteral(" - ") + QFileInfo(QString::fromStdString(profile)).fileName());
}

}  // namespace kel
