// The browser's windows of several profiles: Compare and Summary.
// Before Qt, whose "slots" keyword would rewrite a name of the pool's.
#include "common/OrderedJobs.h"

#include <QDir>
#include <algorithm>
#include <QListView>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "browser/qt/CompareWindow.h"
#include "browser/qt/DetailsList.h"
#include "browser/qt/KelBrowse.h"
#include "browser/qt/SummaryWindow.h"
#include "kinetics/KineticsLibrary.h"

namespace kel {

void TFKelBrowse::btnCompareClick() {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedIndexes())
        if (model_->Entry(index.row())) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty()) {
        ReportError(QStringLiteral("Select the profiles to compare first: Ctrl-click or Shift-click them in the list."));
        return;
    }
    std::vector<std::string> paths;
    for (int row : rows)
        paths.push_back(QDir(listedFolder_)
                            .filePath(QString::fromStdString(listing_.Entries[static_cast<std::size_t>(row)].StoredName))
                            .toStdString());
    // The main window's settings as they are now; the window keeps them.
    auto* window = new TCompareWindow(this, std::move(paths),
                                      TSessionTemplate::Of(main_.Binding().Session(), main_.Binding().Session().Services().library));
    window->show();
}

void TFKelBrowse::btnSummaryClick() {
    if (listedFolder_.isEmpty()) {
        ReportError(QStringLiteral("List a folder of profiles first."));
        return;
    }
    auto* window = new TSummaryWindow(this, listedFolder_.toStdString(),
                                      TSessionTemplate::Of(main_.Binding().Session(), main_.Binding().Session().Services().library),
                                      DefaultJobCount());
    window->show();
    window->Start();
}

}  // namespace kel
