#pragma once
// "Compare": the profiles chosen in the browser side by side, one curve per
// profile of the channel or compound picked, and a table of each profile's
// mean, relative error and detection limit over the whole profile or a
// typed window. The numbers are the compare model's; this window binds.
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "browser/CompareModel.h"
#include "browser/SessionTemplate.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kel {

class TXYGraphBox;

class TCompareWindow : public QWidget {
    Q_OBJECT
public:
    // Opens paths as setup says (the main window's settings) and shows the
    // first channel or compound.
    TCompareWindow(QWidget* parent, std::vector<std::string> paths, TSessionTemplate setup);

    const TCompareModel& Model() const { return model_; }
    // The channel or compound shown.
    std::string Shown() const;

    // Where an export goes; tests replace it to answer as a user would (an
    // empty answer cancels).
    std::function<QString(const QString& caption, const QString& filter, const QString& proposed)> AskSavePath;
    // Errors of this window, in a box over it; tests replace it.
    std::function<void(const QString& message)> ShowError;

    // The commands of the window's buttons.
    void ApplyWindow();
    void ExportImage();
    void ExportTable();

private:
    void Reload(std::optional<std::pair<double, double>> window);
    void ShowName();
    void FillTable();

    std::vector<std::string> paths_;
    TSessionTemplate setup_;
    TCompareModel model_;
    QComboBox* name_ = nullptr;
    QComboBox* time_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLabel* failures_ = nullptr;
    TXYGraphBox* graph_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace kel
