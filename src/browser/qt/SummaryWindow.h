#pragma once
// "Summary…": the long table of `kelview-cli summary` for the listed folder,
// computed off the interface thread with progress and cancel, sortable by
// any column, and saved as the tool writes it (CSV or JSON).
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <string>

#include "browser/SessionTemplate.h"
#include "browser/StudySummary.h"
#include "common/Messages.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QThread;

namespace kel {

class TSummaryTableModel;

class TSummaryWindow : public QWidget {
    Q_OBJECT
public:
    // The summary of folder's profiles opened as setup says, on jobs threads.
    TSummaryWindow(QWidget* parent, std::string folder, TSessionTemplate setup, int jobs);
    ~TSummaryWindow() override;

    // Starts the work; the table fills when it is done.
    void Start();
    // Stops the work before its next profile; what was taken is not saved.
    void Cancel();
    // Asks where to save and writes the table there.
    void Save();
    bool Running() const { return thread_ != nullptr; }
    // The summary done (empty while running).
    const TSummary& Result() const { return summary_; }

    // Where the table goes; tests replace it (an empty answer cancels).
    std::function<QString(const QString& proposed)> AskSavePath;
    // Errors of this window, in a box over it; tests replace it.
    std::function<void(const QString& message)> ShowError;

signals:
    // The work ended: done, cancelled, or failed.
    void Finished();

private:
    void Progress(int index, int count, const QString& path);
    void Done();

    std::string folder_;
    TSessionTemplate setup_;
    int jobs_;
    TSummary summary_;
    // Filled by the work thread, taken on this one once it has ended.
    TSummary pending_;
    std::vector<TIoResult> unlisted_;
    TRecordedMessages messages_;
    std::atomic<bool> cancel_{false};
    QThread* thread_ = nullptr;
    TSummaryTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* save_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
};

}  // namespace kel
