#pragma once
// A row of panels that wraps onto further rows when the window is too narrow
// for all of them side by side, so that a small screen still shows every
// field. Within a row each panel takes its smallest width; what is left goes
// to the panels whose size policy expands sideways, and every panel of a row
// is as high as the row.
#include <QLayout>
#include <QList>

namespace kel {

class TFlowLayout : public QLayout {
public:
    explicit TFlowLayout(QWidget* parent = nullptr);
    ~TFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // As narrow as the widest panel; as high as one row.
    QSize minimumSize() const override;
    // Every panel side by side.
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the panels within rect (only measures when place is false) and
    // returns the height they take.
    int Arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> items_;
};

}  // namespace kel
