#include "browser/qt/CompareWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "common/SafeFile.h"
#include "plot/qt/GraphExport.h"
#include "plot/qt/WidgetNames.h"
#include "plot/qt/XYGraphBox.h"

namespace kel {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// A typed bound: a number with "." as the decimal point.
std::optional<double> Bound(const QLineEdit& edit) {
    try {
        return TextToFloat(edit.text().trimmed().toStdString());
    } catch (const EKelError&) {
        return std::nullopt;
    }
}

}  // namespace

TCompareWindow::TCompareWindow(QWidget* parent, std::vector<std::string> paths, TSessionTemplate setup)
    : QWidget(parent, Qt::Window), paths_(std::move(paths)), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("CompareWindow"));
    setAccessibleName(QStringLiteral("Compare"));
    setWindowTitle(QStringLiteral("Compare profiles"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 640);
    AskSavePath = [this](const QString& caption, const QString& filter, const QString& proposed) {
        return QFileDialog::getSaveFileName(this, caption, proposed, filter);
    };
    ShowError = [this](const QString& message) {
        QMessageBox::critical(this, QApplication::applicationDisplayName(), message);
    };

    auto* layout = new QVBoxLayout(this);
    auto* settings = new QLabel(Text(setup_.Description()), this);
    Name(settings, "lbSettings", settings->text());
    settings->setWordWrap(true);
    layout->addWidget(settings);

    auto* row = new QHBoxLayout;
    const auto label = [this, row](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        row->addWidget(l);
        row->addWidget(buddy);
    };
    name_ = new QComboBox(this);
    Name(name_, "cbName", setup_.Ppb() ? QStringLiteral("Compound") : QStringLiteral("Channel"));
    label(setup_.Ppb() ? QStringLiteral("&Compound:") : QStringLiteral("&Channel:"), name_);
    time_ = new QComboBox(this);
    Name(time_, "cbTime", QStringLiteral("Time axis"));
    time_->addItems({QStringLiteral("from each profile's start"), QStringLiteral("clock time")});
    label(QStringLiteral("&Time:"), time_);
    from_ = new QLineEdit(this);
    Name(from_, "edFrom", QStringLiteral("Window from (s)"));
    to_ = new QLineEdit(this);
    Name(to_, "edTo", QStringLiteral("Window to (s)"));
    from_->setPlaceholderText(QStringLiteral("whole profile"));
    to_->setPlaceholderText(QStringLiteral("whole profile"));
    label(QStringLiteral("&Window from (s):"), from_);
    label(QStringLiteral("t&o:"), to_);
    auto* apply = new QPushButton(QStringLiteral("&Apply window"), this);
    Name(apply, "btApplyWindow", QStringLiteral("Apply window"));
    row->addWidget(apply);
    row->addStretch(1);
    layout->addLayout(row);

    auto* split = new QSplitter(Qt::Vertical, this);
    graph_ = new TXYGraphBox(split);
    Name(graph_, "XYGraphCompare", QStringLiteral("Compared curves"));
    table_ = new QTableWidget(split);
    Name(table_, "tbResults", QStringLiteral("Results per profile"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    failures_ = new QLabel(this);
    Name(failures_, "lbFailures", QStringLiteral("Profiles not compared"));
    failures_->setWordWrap(true);
    layout->addWidget(failures_);

    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* name, const QString& caption, const QString& accessible) {
        auto* b = new QPushButton(caption, this);
        Name(b, name, accessible);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* image = button("btExportImage", QStringLiteral("Export &image…"), QStringLiteral("Export image…"));
    QPushButton* csv = button("btExportTable", QStringLiteral("Export ta&ble…"), QStringLiteral("Export table…"));
    buttons->addStretch(1);
    QPushButton* close = button("btClose", QStringLiteral("Close"), QStringLiteral("Close"));
    layout->addLayout(buttons);

    connect(name_, &QComboBox::currentIndexChanged, this, &TCompareWindow::ShowName);
    connect(time_, &QComboBox::currentIndexChanged, this, &TCompareWindow::ShowName);
    connect(apply, &QPushButton::clicked, this, &TCompareWindow::ApplyWindow);
    connect(from_, &QLineEdit::returnPressed, this, &TCompareWindow::ApplyWindow);
    connect(to_, &QLineEdit::returnPressed, this, &TCompareWindow::ApplyWindow);
    connect(image, &QPushButton::clicked, this, &TCompareWindow::ExportImage);
    connect(csv, &QPushButton::clicked, this, &TCompareWindow::ExportTable);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    Reload(std::nullopt);
}

std::string TCompareWindow::Shown() const { return name_->currentText().toStdString(); }

void TCompareWindow::Reload(std::optional<std::pair<double, double>> window) {
    const QString shown = name_->currentText();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_.Load(paths_, setup_, window);
    QApplication::restoreOverrideCursor();
    QStringList failed;
    for (const TIoResult& failure : model_.Failures()) failed << Text(failure.description());
    failures_->setText(failed.isEmpty() ? QString() : QStringLiteral("Not compared: ") + failed.join(QStringLiteral("; ")));
    failures_->setVisible(!failed.isEmpty());
    {
        const QSignalBlocker quiet(name_);
        name_->clear();
        for (const std::string& name : model_.Names()) name_->addItem(Text(name));
        const int kept = name_->findText(shown);
        name_->setCurrentIndex(kept >= 0 ? kept : 0);
    }
    ShowName();
}

void TCompareWindow::ShowName() {
    model_.BuildGraph(graph_->XYgraph(), Shown(),
                      time_->currentIndex() == 1 ? TCompareTime::Clock : TCompareTime::FromStart);
    graph_->RequestRepaint();
    FillTable();
}

void TCompareWindow::FillTable() {
    const std::vector<TSummaryRow> rows = model_.TableRows(Shown());
    const QString unit = Text(model_.Unit());
    table_->clear();
    table_->setColumnCount(6);
    table_->setHorizontalHeaderLabels({QStringLiteral("Profile"), QStringLiteral("Date"), QStringLiteral("Window (s)"),
                                       QStringLiteral("Mean (%1)").arg(unit), QStringLiteral("Relative error (%)"),
                                       QStringLiteral("Detection limit (%1)").arg(unit)});
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TSummaryRow& row = rows[static_cast<std::size_t>(r)];
        const std::string cells[] = {FileNameOf(row.file), row.date, row.window, row.mean, row.relativeError,
                                     row.detectionLimit};
        for (int c = 0; c < 6; ++c) table_->setItem(r, c, new QTableWidgetItem(Text(cells[c])));
    }
    table_->resizeColumnsToContents();
}

void TCompareWindow::ApplyWindow() {
    const bool whole = from_->text().trimmed().isEmpty() && to_->text().trimmed().isEmpty();
    if (whole) {
        Reload(std::nullopt);
        return;
    }
    const std::optional<double> from = Bound(*from_), to = Bound(*to_);
    if (!from || !to) {
        ShowError(QStringLiteral("The window needs two numbers of seconds, such as 20 and 45; leave both empty for "
                                 "the whole profile."));
        return;
    }
    Reload(std::pair{*from, *to});
}

void TCompareWindow::ExportImage() {
    const QString path = AskSavePath(QStringLiteral("Export image"), QStringLiteral("Pictures (*.png *.svg *.pdf)"),
                                     QStringLiteral("compare.png"));
    if (path.isEmpty()) return;
    TImageFormat format;
    if (!ImageFormatOfPath(path.toStdString(), format)) {
        ShowError(QStringLiteral("\"%1\" was not written: its name does not end in .png, .svg or .pdf.").arg(path));
        return;
    }
    std::string error;
    if (!ExportGraph(graph_->XYgraph(), path.toStdString(), format, std::max(graph_->width(), 400),
                     std::max(graph_->height(), 300), &error))
        ShowError(QStringLiteral("\"%1\" was not written: %2").arg(path, Text(error)));
}

void TCompareWindow::ExportTable() {
    const QString path =
        AskSavePath(QStringLiteral("Export table"), QStringLiteral("CSV tables (*.csv)"), QStringLiteral("compare.csv"));
    if (path.isEmpty()) return;
    if (TIoResult saved = ReplaceFileAtomically(path.toStdString(), model_.TableCsv(Shown())); !saved)
        ShowError(Text(saved.description()));
}

}  // namespace kel
