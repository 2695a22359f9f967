#include "app/kinetics/qt/KineticsCommands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QListWidget>
#include <QVBoxLayout>
#include <exception>
#include <string>
#include <vector>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "common/Messages.h"
#include "kinetics/KineticsLibrary.h"
#include "app/kinetics/qt/CompoundView.h"
#include "app/kinetics/qt/KineticsEditor.h"

namespace kel {

namespace {

// The file's bytes one to a character, so that a text saved unchanged is the
// file it was; lines shown without their CR and given it back on saving when
// the file had CR LF line ends.
struct TEditedText {
    QString text;
    bool crlf = false;
};

TEditedText ForEditing(const std::string& bytes) {
    TEditedText edited{QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())), false};
    edited.crlf = edited.text.contains(QStringLiteral("\r\n"));
    if (edited.crlf) edited.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return edited;
}

std::string ForWriting(QString text, bool crlf) {
    if (crlf) text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toLatin1().toStdString();
}

}  // namespace

TKineticsCommands::TKineticsCommands(TFKelView& window)
    : QObject(&window), window_(window), binding_(window.Binding()) {
    window.KineticsViews.EditKinetics = [this] { EditKineticsClick(); };
    window.KineticsViews.ChangeMainFile = [this] { ChangeMainFileClick(); };
    window.KineticsViews.AddSupplementalFile = [this] { AddSupplementalFileClick(); };
    window.KineticsViews.Preview = [this](const QString& file, QWidget& preview) { PreviewFile(file, preview); };
}

TForm2& TKineticsCommands::CompoundView() {
    if (!view_) {
        view_ = new TForm2(&window_);
        view_->hide();
    }
    return *view_;
}

TFH3OPtxte& TKineticsCommands::Editor() {
    if (!editor_) editor_ = new TFH3OPtxte(&window_);
    return *editor_;
}

QString TKineticsCommands::KineticsFileDialog(const QString& current, bool selectCurrent) {
    if (AskKineticsFile) return AskKineticsFile(current);
    QFileDialog dialog(&window_, QStringLiteral("Kinetics file"), QFileInfo(current).absolutePath());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("text files (*.txt)"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (selectCurrent && !current.isEmpty()) dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

void TKineticsCommands::EditKineticsClick() {
    binding_.Run([](TKelViewSession& session) { session.EditKineticsClick(); });
    EditMainFile();
}

void TKineticsCommands::ChangeMainFileClick() {
    const QString chosen = KineticsFileDialog(QString::fromStdString(KineticsFileName()), true);
    binding_.Run([&chosen](TKelViewSession& session) {
        if (!chosen.isEmpty()) SetKineticsFileName(chosen.toStdString());
        ShowNotices(KineticsNotices(ReloadKineticsLibrary()));
        SaveFileName(session.Services().settings);
    });
    EditKineticsClick();
}

void TKineticsCommands::AddSupplementalFileClick() {
    // Nothing is chosen beforehand: the main file, added to itself, would
    // list every compound twice.
    const QString chosen = KineticsFileDialog(QString::fromStdString(KineticsFileName()), false);
    if (!chosen.isEmpty())
        binding_.Run([&chosen](TKelViewSession& session) {
            ShowNotices(KineticsNotices(session.Services().library.LoadFile(chosen.toStdString())));
        });
    EditKineticsClick();
}

void TKineticsCommands::EditMainFile() {
    TEditedText edited;
    if (!binding_.Run([&edited](TKelViewSession&) { edited = ForEditing(ReadMainKineticsText()); })) return;
    TFH3OPtxte& editor = Editor();
    editor.LoadText(edited.text, QString::fromStdString(KineticsFileName()));
    editor.SaveText = [this, crlf = edited.crlf](const QString& text) {
        return binding_.Run([&](TKelViewSession&) { WriteMainKineticsText(ForWriting(text, crlf)); });
    };
    editor.exec();
    binding_.Run([](TKelViewSession& session) {
        // The name is kept even when the file cannot be read again; the first
        // failure is the one reported.
        std::exception_ptr failure;
        try {
            ShowNotices(KineticsNotices(ReloadKineticsLibraryKeeping()));
        } catch (...) {
            failure = std::current_exception();
        }
        SaveFileName(session.Services().settings);
        if (failure) std::rethrow_exception(failure);
    });
}

void TKineticsCommands::PreviewFile(const QString& file, QWidget& preview) {
    TKbase library;
    std::vector<std::string> messages;
    binding_.Run([&](TKelViewSession&) { messages = KineticsMessages(library.LoadFile(file.toStdString())); });
    TForm2& view = CompoundView();
    if (view.parentWidget() != &preview) {
        view.setParent(&preview);
        if (!preview.layout()) {
            auto* layout = new QVBoxLayout(&preview);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        preview.layout()->addWidget(&view);
    }
    view.show();
    view.ShowLibrary(std::move(library));
    // What OK would show in boxes, seen before choosing: a user who cancels
    // learns of the suspect values too.
    auto* warnings = preview.findChild<QListWidget*>(QStringLiteral("lbKbaseWarnings"));
    if (!warnings) {
        warnings = new QListWidget(&preview);
        warnings->setObjectName(QStringLiteral("lbKbaseWarnings"));
        warnings->setAccessibleName(QStringLiteral("Warnings of the kinetic library"));
        warnings->setMaximumHeight(warnings->fontMetrics().height() * 5);
        preview.layout()->addWidget(warnings);
    }
    warnings->clear();
    for (const std::string& message : messages) warnings->addItem(QString::fromStdString(message));
    warnings->setVisible(!messages.empty());
}

}  // namespace kel
