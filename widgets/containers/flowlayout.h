#ifndef KOLM_FLOWLAYOUT_H
#define KOLM_FLOWLAYOUT_H

// A layout that stacks its items in one column, or on an area 1200 pixels
// wide or wider in two columns of equal width (even items left, odd items
// right).

#include <QLayout>
#include <QList>
#include <QStyle>

class FlowLayout : public QLayout {
public:
    static constexpr int TwoColumnWidth = 1200;

    explicit FlowLayout(QWidget *parent, int margin = -1, int hSpacing = -1, int vSpacing = -1);
    explicit FlowLayout(int margin = -1, int hSpacing = -1, int vSpacing = -1);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int horizontalSpacing() const;
    int verticalSpacing() const;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;
    QSize sizeHint() const override;

private:
    // Places the items in rect and returns the height they take, margins
    // included.
    int doLayout(const QRect &rect) const;
    int smartSpacing(QStyle::PixelMetric metric) const;

    QList<QLayoutItem *> m_items;
    int m_hSpace;
    int m_vSpace;
};

#endif
