#pragma once
// The browser's list of profiles: a model over the listing and a delegate
// that writes each file's name, date and ion under the header's sections,
// and under "Details" why a file could not be read.
// Items are of one height, so that a folder of thousands lists as fast as
// the core reads it.
#include <QAbstractListModel>
#include <QStyledItemDelegate>

#include "app/qt/QtDateTextFormatter.h"
#include "browser/Kelbrows.h"

class QHeaderView;

namespace kel {

// The list's text until the first listing.
inline constexpr const char* kNoFilesText = "No files found !";

class TDetailsModel : public QAbstractListModel {
public:
    TDetailsModel(const TProfileListing& listing, QObject* parent);

    // Bracket every change of the listing's entries; the first change ends
    // the placeholder text.
    void BeginChange() { beginResetModel(); }
    void EndChange();
    // The entry shown in row, or null for the placeholder.
    const TListEntry* Entry(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const TProfileListing& listing_;
    bool listed_ = false;
};

// Widens the header's sections until what the list writes under each (name,
// date, ion, details) and every caption fit; a section never narrows, so a
// width the user chose stays.
void FitSections(QHeaderView& header, const TProfileListing& listing, const QFontMetrics& metrics,
                 const TDateTextFormatter& dates);

class TDetailsDelegate : public QStyledItemDelegate {
public:
    TDetailsDelegate(const TDetailsModel& model, const QHeaderView& header, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const TDetailsModel& model_;
    const QHeaderView& header_;
    QtDateTextFormatter dates_;
};

}  // namespace kel
