#include "app/kinetics/qt/CompoundView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

constexpr int kColumnWidths[] = {22, 74, 108, 114, 21};
constexpr int kRowHeight = 17;
constexpr int kSeparatorHeight = 4;
// Where a row keeps the index of its compound (the grid's Tcislo tag).
constexpr int kCompoundRole = Qt::UserRole;

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("View by compounds"));
    ListBox1 = new QListWidget(this);
    Name(ListBox1, "ListBox1", QStringLiteral("Compound names"));
    ListBox1->setFixedWidth(140);
    Label1 = new QLabel(QStringLiteral("compound"), this);
    Name(Label1, "Label1", QStringLiteral("Compound"));
    StringGrid1 = new QTableWidget(0, 5, this);
    Name(StringGrid1, "StringGrid1", QStringLiteral("Precursor and product lines"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    for (int c = 0; c < 5; ++c) StringGrid1->setColumnWidth(c, kColumnWidths[c]);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setWordWrap(false);
    StringGrid1->setTextElideMode(Qt::ElideNone);  // cut at the column's edge, as the columns were made for
    // The columns' widths in pixels were made for lines in a small
    // proportional font, whose blanks are narrow.
    QFont small = StringGrid1->font();
    small.setPointSize(8);
    small.setStretch(QFont::SemiCondensed);
    StringGrid1->setFont(small);
    int width = 2 * StringGrid1->frameWidth() + StringGrid1->verticalScrollBar()->sizeHint().width();
    for (int w : kColumnWidths) width += w;
    StringGrid1->setMinimumWidth(width);

    auto* right = new QVBoxLayout;
    right->addWidget(Label1);
    right->addWidget(StringGrid1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ListBox1);
    layout->addLayout(right, 1);

    connect(ListBox1, &QListWidget::itemClicked, this, &TForm2::FillGrid);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &TForm2::StringGrid1DblClick);
}

void TForm2::ShowLibrary(TKbase library) {
    library_ = std::move(library);
    FormShow();
}

void TForm2::FormShow() {
    ListBox1->clear();
    QStringList names;
    for (int i = 0; i < library_.Count(); ++i) {
        TKrecord& compound = library_.Compound(i);
        const QString name = FromStd(compound.Name);
        qsizetype position = names.indexOf(name);
        if (position < 0) {
            position = names.size();
            names.append(name);
        }
        compound.GroupIndex = static_cast<std::int32_t>(position);
    }
    ListBox1->addItems(names);
    ListBox1->setCurrentRow(static_cast<int>(names.indexOf(QStringLiteral(" "))));
    FillGrid();
}

void TForm2::SetRow(int row, const QStringList& cells, int compound) {
    for (int c = 0; c < 5; ++c) StringGrid1->setItem(row, c, new QTableWidgetItem(cells.value(c)));
    StringGrid1->item(row, 1)->setData(kCompoundRole, compound);
}

void TForm2::FillGrid() {
    StringGrid1->setRowCount(0);
    if (ListBox1->count() == 0) return;
    if (ListBox1->currentRow() < 0) ListBox1->setCurrentRow(0);
    const int group = ListBox1->currentRow();
    int r = 0;
    const auto addRow = [&](const QStringList& cells, int compound, int height) {
        StringGrid1->insertRow(r);
        StringGrid1->setRowHeight(r, height);
        SetRow(r++, cells, compound);
    };
    for (int i = 0; i < library_.Count(); ++i) {
        const TKrecord& compound = library_.Compound(i);
        if (compound.GroupIndex != group) continue;
        const int width = library_.DescribeCompound(i);
        const std::vector<std::string>& lines = library_.Lines;
        Label1->setText(FromStd(compound.Name));
        addRow({QStringLiteral(" "), FromStd(lines[2]), FromStd(lines[3]), FromStd(lines[4]), QStringLiteral(" ")}, i,
               kRowHeight);
        for (int line = 1; line < compound.LineCount; ++line) {
            library_.DescribeRow(i, line, width);
            addRow({QStringLiteral(" "), QString(), FromStd(library_.Lines[3]), FromStd(library_.Lines[4]), QString()},
                   i, kRowHeight);
        }
        addRow({}, i, kSeparatorHeight);
    }
    ShowMarks();
}

int TForm2::CompoundOfRow(int row) const {
    const QTableWidgetItem* item = StringGrid1->item(row, 1);
    return item && item->data(kCompoundRole).isValid() ? item->data(kCompoundRole).toInt() : 0;
}

void TForm2::ShowMarks() {
    for (int row = 0; row < StringGrid1->rowCount(); ++row) {
        const int compound = CompoundOfRow(row);
        const bool marked = compound < library_.Count() && library_.Compound(compound).Marked;
        const QString mark = marked ? QStringLiteral("x") : QStringLiteral(" ");
        StringGrid1->item(row, 0)->setText(mark);
        StringGrid1->item(row, 4)->setText(mark);
    }
}

void TForm2::StringGrid1DblClick() {
    const int compound = CompoundOfRow(StringGrid1->currentRow());
    if (compound >= library_.Count()) return;
    TKrecord& record = library_.Compound(compound);
    record.Marked = !record.Marked;
    ShowMarks();
}

}  // namespace kel
