#include "browser/qt/DetailsList.h"

#include <QHeaderView>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "common/DateTime.h"

namespace kel {

namespace {

constexpr int kItemHeight = 16;
constexpr int kDateSection = 1;
constexpr int kIonSection = 2;
constexpr int kDetailsSection = 5;
// The delegate writes 2 pixels in from the item's edge; a text keeps as much
// clear of the next section.
constexpr int kTextPadding = 8;

}  // namespace

TDetailsModel::TDetailsModel(const TProfileListing& listing, QObject* parent)
    : QAbstractListModel(parent), listing_(listing) {}

void TDetailsModel::EndChange() {
    listed_ = true;
    endResetModel();
}

const TListEntry* TDetailsModel::Entry(int row) const {
    if (!listed_ || row < 0 || row >= static_cast<int>(listing_.Entries.size())) return nullptr;
    return &listing_.Entries[static_cast<std::size_t>(row)];
}

int TDetailsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return listed_ ? static_cast<int>(listing_.Entries.size()) : 1;
}

QVariant TDetailsModel::data(const QModelIndex& index, int role) const {
    // The Details column is narrow; the whole of what it says shows on hover.
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) {
        const TListEntry* entry = Entry(index.row());
        const std::string details = entry ? DetailsText(*entry) : std::string();
        return details.empty() ? QVariant() : QVariant(QString::fromStdString(details));
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    if (const TListEntry* entry = Entry(index.row())) return QString::fromStdString(entry->Text);
    return listed_ ? QVariant() : QVariant(QString::fromLatin1(kNoFilesText));
}

Qt::ItemFlags TDetailsModel::flags(const QModelIndex& index) const {
    return Entry(index.row()) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                              : Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void FitSections(QHeaderView& header, const TProfileListing& listing, const QFontMetrics& metrics,
                 const TDateTextFormatter& dates) {
    std::vector<int> needed(static_cast<std::size_t>(header.count()), 0);
    for (int section = 0; section < header.count(); ++section)
        needed[static_cast<std::size_t>(section)] = header.sectionSizeHint(section);
    const auto fit = [&](int section, const std::string& text) {
        int& width = needed[static_cast<std::size_t>(section)];
        width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(text)) + kTextPadding);
    };
    // A date as wide as any date: the one with the widest digits and names.
    fit(kDateSection, dates.DateTimeText(EncodeDateTime({2000, 12, 28, 23, 58, 58, 0})));
    for (const TListEntry& entry : listing.Entries) {
        fit(0, entry.Text);
        if (entry.Details) {
            fit(kIonSection, entry.Details->ion);
            fit(kDetailsSection, DetailsText(entry));
        }
    }
    for (int section = 0; section < header.count(); ++section)
        if (header.sectionSize(section) < needed[static_cast<std::size_t>(section)])
            header.resizeSection(section, needed[static_cast<std::size_t>(section)]);
}

TDetailsDelegate::TDetailsDelegate(const TDetailsModel& model, const QHeaderView& header, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), header_(header) {}

void TDetailsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
    painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
    painter->setFont(option.font);
    // Written from the item's top edge and not clipped to their sections.
    const int baseline = option.rect.top() + option.fontMetrics.ascent();
    const int left = option.rect.left() + 2;
    painter->drawText(left, baseline, index.data().toString());
    if (const TListEntry* entry = model_.Entry(index.row()); entry && entry->Details) {
        const int date = left + header_.sectionSize(0);
        painter->drawText(date, baseline, QString::fromStdString(dates_.DateTimeText(entry->Details->ProfileDate)));
        painter->drawText(date + header_.sectionSize(1), baseline, QString::fromStdString(entry->Details->ion));
        painter->drawText(left + header_.sectionPosition(kDetailsSection), baseline,
                          QString::fromStdString(DetailsText(*entry)));
    }
    painter->restore();
}

QSize TDetailsDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    // Large fonts get the room they need; the usual one fits the fixed height.
    return {header_.length(), std::max(kItemHeight, option.fontMetrics.height())};
}

}  // namespace kel
