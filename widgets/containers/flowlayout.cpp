#include "flowlayout.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

FlowLayout::FlowLayout(QWidget *parent, int margin, int hSpacing, int vSpacing)
    : QLayout(parent)
    , m_hSpace(hSpacing)
    , m_vSpace(vSpacing)
{
    setContentsMargins(margin, margin, margin, margin);
}

FlowLayout::FlowLayout(int margin, int hSpacing, int vSpacing)
    : m_hSpace(hSpacing)
    , m_vSpace(vSpacing)
{
    setContentsMargins(margin, margin, margin, margin);
}

FlowLayout::~FlowLayout()
{
    qDeleteAll(m_items);
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
}

int FlowLayout::horizontalSpacing() const
{
    return m_hSpace >= 0 ? m_hSpace : smartSpacing(QStyle::PM_LayoutHorizontalSpacing);
}

int FlowLayout::verticalSpacing() const
{
    return m_vSpace >= 0 ? m_vSpace : smartSpacing(QStyle::PM_LayoutVerticalSpacing);
}

int FlowLayout::smartSpacing(QStyle::PixelMetric metric) const
{
    QObject *owner = parent();
    if (!owner)
        return -1;
    if (owner->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(owner);
        return widget->style()->pixelMetric(metric, nullptr, widget);
    }
    return static_cast<QLayout *>(owner)->spacing();
}

Qt::Orientations FlowLayout::expandingDirections() const
{
    return Qt::Vertical;
}

bool FlowLayout::hasHeightForWidth() const
{
    return false;
}

int FlowLayout::heightForWidth(int) const
{
    return -1;
}

int FlowLayout::count() const
{
    return m_items.size();
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.takeAt(index);
}

QSize FlowLayout::minimumSize() const
{
    QSize size(-1, -1);
    for (const QLayoutItem *item : m_items)
        size = size.expandedTo(item->minimumSize());
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize FlowLayout::sizeHint() const
{
    return minimumSize();
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    doLayout(rect);
}

int FlowLayout::doLayout(const QRect &rect) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int hSpace = horizontalSpacing();
    if (hSpace < 0)
        hSpace = QApplication::style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Horizontal);
    int vSpace = verticalSpacing();
    if (vSpace < 0)
        vSpace = QApplication::style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Vertical);

    int y = area.y();
    if (area.width() < TwoColumnWidth) {
        for (QLayoutItem *item : m_items) {
            const QSize hint = item->sizeHint();
            item->setGeometry(QRect(QPoint(area.x(), y), hint));
            y += hint.height() + vSpace;
        }
    } else {
        // A row advances by its taller item, also when the last item has no
        // partner on the right.
        const int column = int((area.width() - hSpace) * 0.5);
        int rowHeight = 0;
        for (int i = 0; i < m_items.size(); ++i) {
            QLayoutItem *item = m_items.at(i);
            const int height = item->sizeHint().height();
            const bool right = i % 2 == 1;
            const int x = right ? area.x() + hSpace + column : area.x();
            item->setGeometry(QRect(x, y, column, height));
            rowHeight = std::max(rowHeight, height);
            if (right || i == m_items.size() - 1) {
                y += rowHeight + vSpace;
                rowHeight = 0;
            }
        }
    }
    const int used = m_items.isEmpty() ? 0 : y - vSpace - area.y();
    return used + rect.height() - area.height();
}
