#include "app/qt/FlowLayout.h"

#include <QWidget>
#include <algorithm>
#include <vector>

namespace kel {

TFlowLayout::TFlowLayout(QWidget* parent) : QLayout(parent) {}

TFlowLayout::~TFlowLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

void TFlowLayout::addItem(QLayoutItem* item) { items_.append(item); }

QLayoutItem* TFlowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

QLayoutItem* TFlowLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int TFlowLayout::heightForWidth(int width) const { return Arrange(QRect(0, 0, width, 0), false); }

QSize TFlowLayout::minimumSize() const {
    QSize least;
    for (const QLayoutItem* item : items_)
        if (!item->isEmpty()) least = least.expandedTo(item->minimumSize());
    const QMargins margins = contentsMargins();
    return least + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize TFlowLayout::sizeHint() const {
    int width = 0, height = 0, shown = 0;
    for (const QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        width += item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
        ++shown;
    }
    const QMargins margins = contentsMargins();
    return {width + std::max(0, shown - 1) * spacing() + margins.left() + margins.right(),
            height + margins.top() + margins.bottom()};
}

void TFlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int TFlowLayout::Arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = std::max(0, spacing());
    // Only a panel that asks to expand takes a row's spare width: the others
    // keep the look of their buttons and fields.
    const auto grows = [](const QLayoutItem* item) {
        const QWidget* widget = item->widget();
        return widget && (widget->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag);
    };
    std::vector<QLayoutItem*> row;
    int top = area.top();
    const auto finishRow = [&] {
        if (row.empty()) return;
        int used = -gap, height = 0, growing = 0;
        for (QLayoutItem* item : row) {
            used += item->minimumSize().width() + gap;
            height = std::max(height, item->sizeHint().height());
            if (grows(item)) ++growing;
        }
        if (place) {
            // What the row leaves goes to the panels that grow, shared
            // evenly; without one the panels keep their widths.
            int spare = std::max(0, area.width() - used);
            int x = area.left();
            for (QLayoutItem* item : row) {
                int width = item->minimumSize().width();
                if (growing > 0 && grows(item)) {
                    const int share = spare / growing--;
                    width += share;
                    spare -= share;
                }
                item->setGeometry(QRect(x, top, width, height));
                x += width + gap;
            }
        }
        top += height + gap;
        row.clear();
    };
    int x = area.left();
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        const int width = item->minimumSize().width();
        if (!row.empty() && x + width > area.right() + 1) {
            finishRow();
            x = area.left();
        }
        row.push_back(item);
        x += width + gap;
    }
    finishRow();
    const QMargins margins = contentsMargins();
    return std::max(0, top - gap - area.top()) + margins.top() + margins.bottom();
}

}  // namespace kel
