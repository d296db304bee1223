// Group box titles under the application's style with the title room
// proxy: the title's rectangle holds the whole text, in English and in
// Russian, left-aligned, centred and checkable; installing twice keeps one
// proxy over the style in use.

#include "titleroomstyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QTest>

class TitleRoomStyleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void wholeTitle_data();
    void wholeTitle();
    void installedOnce();
};

void TitleRoomStyleTest::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    installTitleRoomStyle();
}

void TitleRoomStyleTest::wholeTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("checkable");
    QTest::newRow("Russian") << QStringLiteral("Уровень абстракции оборудования") << int(Qt::AlignLeft) << false;
    QTest::newRow("English") << QStringLiteral("KOLM Virtual Machine") << int(Qt::AlignLeft) << false;
    QTest::newRow("trailing space") << QStringLiteral("Устройство ") << int(Qt::AlignLeft) << false;
    QTest::newRow("centred") << QStringLiteral("Виртуальная машина KOLM") << int(Qt::AlignHCenter) << false;
    QTest::newRow("right") << QStringLiteral("Виртуальная машина KOLM") << int(Qt::AlignRight) << false;
    QTest::newRow("checkable") << QStringLiteral("Шлюзы UDP") << int(Qt::AlignLeft) << true;
}

void TitleRoomStyleTest::wholeTitle()
{
    QFETCH(QString, title);
    QFETCH(int, alignment);
    QFETCH(bool, checkable);
    QGroupBox box(title);
    box.setAlignment(alignment);
    box.setCheckable(checkable);
    box.resize(600, 100);
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = title;
    option.textAlignment = Qt::Alignment(alignment);
    option.subControls = QStyle::SC_GroupBoxLabel | (checkable ? QStyle::SC_GroupBoxCheckBox : QStyle::SC_None);
    const QRect rect = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    QVERIFY2(rect.width() >= box.fontMetrics().horizontalAdvance(title),
             qPrintable(QStringLiteral("%1 < %2").arg(rect.width()).arg(box.fontMetrics().horizontalAdvance(title))));
    QVERIFY(rect.left() >= 0);
    QVERIFY(rect.right() < box.width());
}

void TitleRoomStyleTest::installedOnce()
{
    QStyle *style = QApplication::style();
    QVERIFY(qobject_cast<TitleRoomStyle *>(style));
    installTitleRoomStyle();
    QCOMPARE(QApplication::style(), style);
    QCOMPARE(static_cast<QProxyStyle *>(style)->baseStyle()->objectName(), QStringLiteral("fusion"));
}

QTEST_MAIN(TitleRoomStyleTest)
#include "title_room_style_test.moc"
