#ifndef KOLM_QMODEWIDGET_H
#define KOLM_QMODEWIDGET_H

// A segmented mode selector: one segment per item, a slider that glides to
// the current segment, and items that can be disabled.

#include <QColor>
#include <QPropertyAnimation>
#include <QStringList>
#include <QVector>
#include <QWidget>

class QModeWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int slider READ slider WRITE setSlider)

public:
    explicit QModeWidget(QWidget *parent = nullptr);

    // One segment per text, all enabled, none current.
    void setItems(const QStringList &texts);
    QStringList items() const;
    void setColors(const QColor &background, const QColor &slider);

    int currentIndex() const;
    bool isItemEnabled(int i) const;
    int slider() const;
    void setSlider(int x);

    // The segment under p; -1 without items.
    int index(const QPoint &p) const;
    // The rectangle of segment i; the whole widget without items.
    QRect boundary(int i) const;

    void reset();
    void enable(int i);
    void disable(int i);

public slots:
    void setCurrentIndex(int i);

signals:
    void clicked(int i);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool contains(int i) const;
    int segmentWidth() const;
    void slideTo(int i);

    QStringList m_items;
    QVector<bool> m_enabled;
    int m_current = -1;
    int m_slider = -1;
    QPropertyAnimation m_animation;
    QColor m_background = Qt::black;
    QColor m_sliderColor = Qt::white;
};

#endif
