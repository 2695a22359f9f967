#include "browser/qt/SummaryWindow.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include "app/KelViewSession.h"
#include "common/NumberText.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The columns holding numbers, which sort by value; the rest sort as text.
bool NumberColumn(int column) { return column >= 7 && column <= 9; }

}  // namespace

// The summary's rows as the table shows them.
class TSummaryTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(std::vector<TSummaryRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(kSummaryColumns.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return Text(kSummaryColumns[static_cast<std::size_t>(section)]);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const TSummaryRow& r = rows_[static_cast<std::size_t>(index.row())];
        const std::string* cells[] = {&r.file, &r.date,          &r.ion,           &r.sample,
                                      &r.comment, &r.window,     &r.name,          &r.mean,
                                      &r.relativeError, &r.detectionLimit, &r.unit};
        const std::string& cell = *cells[index.column()];
        if (role == Qt::DisplayRole) return Text(cell);
        // An empty number sorts before every number.
        if (role == Qt::UserRole) {
            if (!NumberColumn(index.column())) return Text(cell);
            return cell.empty() ? -1e308 : TextToFloatDef(cell, -1e308);
        }
        if (role == Qt::TextAlignmentRole && NumberColumn(index.column()))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }

private:
    std::vector<TSummaryRow> rows_;
};

TSummaryWindow::TSummaryWindow(QWidget* parent, std::string folder, TSessionTemplate setup, int jobs)
    : QWidget(parent, Qt::Window), folder_(std::move(folder)), setup_(std::move(setup)), jobs_(jobs) {
    setObjectName(QStringLiteral("SummaryWindow"));
    setAccessibleName(QStringLiteral("Summary…"));
    setWindowTitle(QStringLiteral("Summary of %1").arg(QDir::toNativeSeparators(Text(folder_))));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(960, 560);
    AskSavePath = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save summary"), proposed,
                                            QStringLiteral("CSV tables (*.csv);;JSON (*.json)"));
    };
    ShowError = [this](const QString& message) {
        QMessageBox::critical(this, QApplication::applicationDisplayName(), message);
    };

    auto* layout = new QVBoxLayout(this);
    auto* settings = new QLabel(Text(setup_.Description()) + QStringLiteral(" The whole of each profile; the "
                                                                              "oldest profile first."),
                                this);
    Name(settings, "lbSettings", settings->text());
    settings->setWordWrap(true);
    layout->addWidget(settings);

    model_ = new TSummaryTableModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(Qt::UserRole);
    table_ = new QTableView(this);
    Name(table_, "tbSummary", QStringLiteral("Summary table"));
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(-1, Qt::AscendingOrder);  // the summary's own order until a heading is clicked
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    layout->addWidget(table_, 1);

    notes_ = new QPlainTextEdit(this);
    Name(notes_, "edNotes", QStringLiteral("Profiles left out"));
    notes_->setReadOnly(true);
    notes_->setMaximumHeight(90);
    notes_->hide();
    layout->addWidget(notes_);

    auto* row = new QHBoxLayout;
    status_ = new QLabel(this);
    Name(status_, "lbProgress", QStringLiteral("Progress"));
    progress_ = new QProgressBar(this);
    Name(progress_, "pbSummary", QStringLiteral("Progress"));
    row->addWidget(status_, 1);
    row->addWidget(progress_);
    const auto button = [this, row](const char* name, const QString& caption, const QString& accessible) {
        auto* b = new QPushButton(caption, this);
        Name(b, name, accessible);
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    cancelButton_ = button("btCancel", QStringLiteral("&Cancel"), QStringLiteral("Cancel"));
    save_ = button("btSave", QStringLiteral("&Save…"), QStringLiteral("Save…"));
    QPushButton* close = button("btClose", QStringLiteral("Close"), QStringLiteral("Close"));
    layout->addLayout(row);
    connect(cancelButton_, &QPushButton::clicked, this, &TSummaryWindow::Cancel);
    connect(save_, &QPushButton::clicked, this, &TSummaryWindow::Save);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    save_->setEnabled(false);
    cancelButton_->setEnabled(false);
}

TSummaryWindow::~TSummaryWindow() {
    // The work reads nothing of this window's once told to stop but the
    // flag and the members it fills; it ends at its next profile.
    if (thread_) {
        cancel_ = true;
        thread_->wait();
        delete thread_;
    }
}

void TSummaryWindow::Start() {
    if (thread_) return;
    cancel_ = false;
    summary_ = {};
    pending_ = {};
    unlisted_.clear();
    model_->SetRows({});
    save_->setEnabled(false);
    cancelButton_->setEnabled(true);
    notes_->clear();
    notes_->hide();
    status_->setText(QStringLiteral("Listing %1…").arg(QDir::toNativeSeparators(Text(folder_))));
    progress_->setRange(0, 0);
    thread_ = QThread::create([this] {
        // The boxes of profiles that read on are kept for the notes: a
        // thread of its own shows none.
        TThreadMessageCapture capture(messages_);
        try {
            const std::vector<std::string> paths = StudyProfiles({folder_}, unlisted_);
            TSummarySetup setup;
            setup.newSession = [this] { return setup_.NewSession(); };
            setup.open = [this](TKelViewSession& session, const std::string& path) { return setup_.Open(session, path); };
            pending_ = SummariseStudy(paths, setup, jobs_, [this](int index, int count, const std::string& path) {
                QMetaObject::invokeMethod(
                    this, [this, index, count, p = Text(path)] { Progress(index, count, p); }, Qt::QueuedConnection);
                return !cancel_.load();
            });
        } catch (const std::exception& e) {
            pending_.skipped.push_back(TIoResult::Failure(TIoStatus::Failed, folder_, e.what()));
            pending_.cancelled = true;
        }
    });
    connect(thread_, &QThread::finished, this, &TSummaryWindow::Done);
    thread_->start();
}

void TSummaryWindow::Cancel() {
    if (!thread_) return;
    cancel_ = true;
    cancelButton_->setEnabled(false);
    status_->setText(QStringLiteral("Cancelling…"));
}

void TSummaryWindow::Progress(int index, int count, const QString& path) {
    if (!thread_ || cancel_) return;
    progress_->setRange(0, count);
    progress_->setValue(index);
    status_->setText(QStringLiteral("Summarising profile %1 of %2: %3")
                         .arg(index + 1)
                         .arg(count)
                         .arg(QDir::toNativeSeparators(path)));
}

void TSummaryWindow::Done() {
    thread_->deleteLater();
    thread_ = nullptr;
    summary_ = std::move(pending_);
    pending_ = {};
    model_->SetRows(summary_.rows);
    table_->resizeColumnsToContents();
    cancelButton_->setEnabled(false);
    progress_->setRange(0, 1);
    progress_->setValue(summary_.cancelled ? 0 : 1);
    QStringList notes;
    for (const TIoResult& failure : unlisted_) notes << Text(failure.description());
    for (const TIoResult& s : summary_.skipped)
        notes << QStringLiteral("skipped \"%1\": %2").arg(QDir::toNativeSeparators(Text(s.file)), Text(s.reason));
    for (const TRecordedMessages::TMessage& m : messages_.Recorded()) notes << Text(m.caption + ": " + m.text);
    messages_ = {};
    notes_->setPlainText(notes.join(QLatin1Char('\n')));
    notes_->setVisible(!notes.isEmpty());
    // A table cut short is not the folder's summary: it is shown, never saved.
    const bool whole = !summary_.cancelled && !summary_.rows.empty();
    save_->setEnabled(whole);
    if (summary_.cancelled)
        status_->setText(QStringLiteral("Cancelled: %1 rows of the profiles taken before it; not saved.")
                             .arg(summary_.rows.size()));
    else if (summary_.rows.empty() && summary_.skipped.empty())
        status_->setText(QStringLiteral("No profiles (*.kel) in \"%1\"; nothing to save.")
                             .arg(QDir::toNativeSeparators(Text(folder_))));
    else if (summary_.rows.empty())
        status_->setText(QStringLiteral("No profile could be summarised; nothing to save."));
    else
        status_->setText(QStringLiteral("%1 rows, %2 profiles left out.").arg(summary_.rows.size()).arg(summary_.skipped.size()));
    emit Finished();
}

void TSummaryWindow::Save() {
    if (thread_ || summary_.cancelled || summary_.rows.empty()) return;
    const QString path = AskSavePath(QDir(Text(folder_)).filePath(QStringLiteral("summary.csv")));
    if (path.isEmpty()) return;
    if (TIoResult saved = SaveSummary(path.toStdString(), summary_.rows, summary_.skipped); !saved)
        ShowError(Text(saved.description()));
    else
        status_->setText(QStringLiteral("Saved to %1").arg(QDir::toNativeSeparators(path)));
}

}  // namespace kel
