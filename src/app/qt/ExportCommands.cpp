#include "app/qt/ExportCommands.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "app/qt/SessionBinding.h"
#include "plot/qt/GraphExport.h"
#include "plot/qt/WidgetNames.h"
#include "plot/qt/XYGraphBox.h"

namespace kel {

namespace {

const QString kImageFilter = QStringLiteral("Pictures (*.png *.svg *.pdf)");

QSpinBox* SideBox(const char* name, const QString& caption, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    Name(box, name, caption);
    box->setRange(1, kMaxPictureSide);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

// The file, and the size: the graph's on the screen or one typed in.
TImageExportChoice ImageDialog(QWidget* parent, QSize shown) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ExportImageDlg"));
    dialog.setWindowTitle(QStringLiteral("Export image"));
    auto* form = new QFormLayout(&dialog);
    auto* path = new QLineEdit(QDir::current().filePath(QStringLiteral("graph.png")), &dialog);
    Name(path, "edImageFile", QStringLiteral("File"));
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), &dialog);
    Name(browse, "btImageBrowse", QStringLiteral("Browse"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(path, 1);
    fileRow->addWidget(browse);
    form->addRow(QStringLiteral("File:"), fileRow);
    auto* windowSize = new QRadioButton(
        QStringLiteral("&Window size (%1 x %2)").arg(shown.width()).arg(shown.height()), &dialog);
    Name(windowSize, "rbWindowSize", windowSize->text().remove(QLatin1Char('&')));
    auto* typedSize = new QRadioButton(QStringLiteral("&Size:"), &dialog);
    Name(typedSize, "rbTypedSize", QStringLiteral("Size"));
    windowSize->setChecked(true);
    auto* width = SideBox("seImageWidth", QStringLiteral("Width"), shown.width(), &dialog);
    auto* height = SideBox("seImageHeight", QStringLiteral("Height"), shown.height(), &dialog);
    width->setEnabled(false);
    height->setEnabled(false);
    QObject::connect(typedSize, &QRadioButton::toggled, width, &QWidget::setEnabled);
    QObject::connect(typedSize, &QRadioButton::toggled, height, &QWidget::setEnabled);
    form->addRow(windowSize);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(typedSize);
    sizeRow->addWidget(width);
    sizeRow->addWidget(height);
    form->addRow(sizeRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, path] {
        const QString chosen =
            QFileDialog::getSaveFileName(&dialog, QStringLiteral("Export image"), path->text(), kImageFilter);
        if (!chosen.isEmpty()) path->setText(chosen);
    });
    if (dialog.exec() != QDialog::Accepted) return {};
    return {path->text().trimmed(), typedSize->isChecked() ? QSize(width->value(), height->value()) : shown};
}

}  // namespace

TExportCommands::TExportCommands(TSessionBinding& binding, TXYGraphBox& graph, QWidget& window)
    : QObject(&window), binding_(binding), graph_(graph), window_(window) {}

void TExportCommands::ExportImageClick() {
    const QSize shown = graph_.size();
    const TImageExportChoice choice = AskImage ? AskImage(shown) : ImageDialog(&window_, shown);
    if (choice.path.isEmpty()) return;
    const std::string path = choice.path.toStdString();
    const QString named = QStringLiteral("Cannot export the image \"%1\": ").arg(choice.path);
    TImageFormat format{};
    if (!ImageFormatOfPath(path, format)) {
        binding_.ShowError(named + QStringLiteral("the name must end in .png, .svg or .pdf."));
        return;
    }
    std::string error;
    bool written = false;
    // The picture is the graph the window shows, drawn by the renderer of
    // "kelview-cli plot"; the session is read, not changed.
    binding_.Run([&](TKelViewSession& session) {
        written = ExportGraph(session.DrawingGraph(1), path, format, choice.size.width(), choice.size.height(), &error);
    });
    graph_.RequestRepaint();
    if (!written) binding_.ShowError(named + QString::fromStdString(error));
}

void TExportCommands::ExportDataClick() {
    const QString chosen =
        AskDataPath ? AskDataPath()
                    : QFileDialog::getSaveFileName(&window_, QStringLiteral("Export window data"),
                                                   QDir::current().filePath(QStringLiteral("window.csv")),
                                                   QStringLiteral("CSV (*.csv)"));
    if (chosen.isEmpty()) return;
    TIoResult result;
    binding_.Run([&](TKelViewSession& session) { result = session.ExportWindowData(chosen.toStdString()); });
    if (!result.ok()) binding_.ShowError(QString::fromStdString(result.description()));
}

}  // namespace kel
