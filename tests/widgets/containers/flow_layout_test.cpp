// The flow layout: one column below 1200 pixels, two columns from there on
// with rows as high as their taller item, and its item list.

#include "flowlayout.h"

#include <QWidget>
#include <QtTest>

namespace {

// A widget of a fixed size hint.
class Block : public QWidget {
public:
    Block(int w, int h)
        : m_hint(w, h)
    {
        setMinimumSize(w / 2, h / 2);
    }
    QSize sizeHint() const override { return m_hint; }

private:
    QSize m_hint;
};

} // namespace

class FlowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void emptyMinimumSize()
    {
        FlowLayout layout(5, 2, 3);
        QCOMPARE(layout.minimumSize(), QSize(-1 + 10, -1 + 10));
        QCOMPARE(layout.count(), 0);
        QCOMPARE(layout.itemAt(0), nullptr);
        QCOMPARE(layout.takeAt(-1), nullptr);
        QCOMPARE(layout.horizontalSpacing(), 2);
        QCOMPARE(layout.expandingDirections(), Qt::Vertical);
        QVERIFY(!layout.hasHeightForWidth());
        QCOMPARE(layout.heightForWidth(100), -1);
    }

    void minimumSizeOfItems()
    {
        QWidget host;
        auto *layout = new FlowLayout(&host, 4, 6, 8);
        layout->addWidget(new Block(100, 20));
        layout->addWidget(new Block(40, 60));
        QCOMPARE(layout->minimumSize(), QSize(50 + 8, 30 + 8));
        QCOMPARE(layout->sizeHint(), layout->minimumSize());
        QLayoutItem *taken = layout->takeAt(0);
        QVERIFY(taken);
        QCOMPARE(layout->count(), 1);
        delete taken->widget();
        delete taken;
    }

    void oneColumnBelow1200()
    {
        QWidget host;
        auto *layout = new FlowLayout(&host, 10, 6, 8);
        auto *a = new Block(100, 20);
        auto *b = new Block(50, 30);
        layout->addWidget(a);
        layout->addWidget(b);
        layout->setGeometry(QRect(0, 0, 1219, 400));
        QCOMPARE(a->geometry(), QRect(10, 10, 100, 20));
        QCOMPARE(b->geometry(), QRect(10, 38, 50, 30));
    }

    void twoColumnsFrom1200()
    {
        QWidget host;
        auto *layout = new FlowLayout(&host, 10, 6, 8);
        auto *a = new Block(100, 20);
        auto *b = new Block(50, 30);
        auto *c = new Block(70, 25);
        auto *d = new Block(70, 10);
        for (QWidget *w : {a, b, c, d})
            layout->addWidget(w);
        // The area inside the margins is 1200 wide: columns of 597.
        layout->setGeometry(QRect(0, 0, 1220, 400));
        QCOMPARE(a->geometry(), QRect(10, 10, 597, 20));
        QCOMPARE(b->geometry(), QRect(10 + 6 + 597, 10, 597, 30));
        QCOMPARE(c->geometry(), QRect(10, 48, 597, 25));
        QCOMPARE(d->geometry(), QRect(613, 48, 597, 10));
    }
};

QTEST_MAIN(FlowLayoutTest)
#include "flow_layout_test.moc"
