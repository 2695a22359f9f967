#pragma once
// "View by compounds": the compounds of a kinetics file by name, and the
// precursor and product lines of the chosen name's compounds in a grid. It
// keeps its own library, apart from the program's, so that marking a
// compound here changes nothing elsewhere.
#include <QWidget>

#include "kinetics/Kbasetxt.h"

class QLabel;
class QListWidget;
class QTableWidget;

namespace kel {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Takes library as the view's own and lists its compounds afresh.
    void ShowLibrary(TKbase library);
    const TKbase& Library() const { return library_; }

    // The distinct names in library order (each compound's GroupIndex set
    // to its name's position), the entry " " chosen if there is one, and the grid.
    void FormShow();
    // The grid for the chosen name (the first when none is chosen).
    void FillGrid();
    // Toggles Marked of the compound of the grid's current row and shows
    // the marks again.
    void StringGrid1DblClick();

private:
    // The compound a grid row belongs to (0 for a row without one).
    int CompoundOfRow(int row) const;
    void ShowMarks();
    void SetRow(int row, const QStringList& cells, int compound);

    TKbase library_;
    QListWidget* ListBox1;
    QLabel* Label1;
    QTableWidget* StringGrid1;
};

}  // namespace kel
