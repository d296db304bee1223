// Icons from the compiled-in Material Icons font: glyph names, the colour
// roles of the light and dark themes, and how the engine paints each mode
// and state.

#include "qfonticonengine.h"
#include "qmaterialfont.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QToolButton>
#include <QtTest>

namespace {

const QSize iconSize(48, 48);

QImage render(const QIcon &icon, QIcon::Mode mode = QIcon::Normal, QIcon::State state = QIcon::Off)
{
    return icon.pixmap(iconSize, mode, state).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The colours of the fully covered pixels of a painted glyph; anti-aliased
// edges are left out.
QSet<QRgb> solidColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                colours.insert(image.pixel(x, y));
    return colours;
}

QSet<QRgb> only(const QColor &colour)
{
    return {colour.rgba()};
}

} // namespace

class MaterialIconTest : public QObject {
    Q_OBJECT

private slots:
    // Runs first: nothing has changed the table yet.
    void colourTableAfterConstruction()
    {
        const QMaterialIcon *icons = QMaterialIcon::instance();
        QCOMPARE(icons->color(QMaterialIcon::Base), QColor(Qt::black));
        QCOMPARE(icons->color(QMaterialIcon::Checked), QColor(Qt::green));
        QCOMPARE(icons->color(QMaterialIcon::Success), QColor(Qt::green));
        QCOMPARE(icons->color(QMaterialIcon::Warning), QColor(Qt::darkYellow));
        QCOMPARE(icons->color(QMaterialIcon::Error), QColor(Qt::red));
        QVERIFY(icons->fontId() >= 0);
    }

    void freshOnlyOnce()
    {
        QMaterialIcon *icons = QMaterialIcon::instance();
        QVERIFY(icons->takeFresh());
        QVERIFY(!icons->takeFresh());
    }

    void codepoint_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("code");
        QTest::newRow("zoom_in") << "zoom_in" << true << 0xe8ff;
        QTest::newRow("first name of the font's map") << "10k" << true << 0xe951;
        QTest::newRow("last name of the font's map") << "zoom_out_map" << true << 0xe56b;
        QTest::newRow("unknown") << "no_such_icon" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("names are case-sensitive") << "Zoom_In" << false << 0;
    }

    void codepoint()
    {
        QFETCH(QString, name);
        QFETCH(bool, known);
        QFETCH(int, code);
        bool ok = !known;
        QCOMPARE(QMaterialIcon::codepoint(name, &ok), QChar(code));
        QCOMPARE(ok, known);
        QCOMPARE(QMaterialIcon::codepoint(name), QChar(code));
    }

    void defaultColours_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QVector<QColor>>("expected");
        QTest::newRow("light") << false
                               << QVector<QColor>{Qt::black, QColor("#4CAF50"), QColor("#4CAF50"), QColor("#FFCC80"),
                                                  QColor("#EF9A9A")};
        QTest::newRow("dark") << true
                              << QVector<QColor>{Qt::white, QColor("#A5D6A7"), QColor("#A5D6A7"), QColor("#FF9800"),
                                                 QColor("#F44336")};
    }

    void defaultColours()
    {
        QFETCH(bool, dark);
        QFETCH(QVector<QColor>, expected);
        QMaterialIcon *icons = QMaterialIcon::instance();
        icons->setDefaultColors(!dark);
        icons->setDefaultColors(dark);
        for (int role = QMaterialIcon::Base; role <= QMaterialIcon::Error; ++role)
            QCOMPARE(icons->color(QMaterialIcon::Color(role)), expected.at(role));
        QCOMPARE(icons->property("base").value<QColor>(), expected.at(QMaterialIcon::Base));
    }

    void iconHasTheColourOfItsRole_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("role");
        for (bool dark : {false, true}) {
            const char *theme = dark ? "dark" : "light";
            QTest::addRow("%s, unchecked: Base", theme) << dark << int(QIcon::Off) << int(QMaterialIcon::Base);
            QTest::addRow("%s, checked: Checked", theme) << dark << int(QIcon::On) << int(QMaterialIcon::Checked);
        }
    }

    void iconHasTheColourOfItsRole()
    {
        QFETCH(bool, dark);
        QFETCH(int, state);
        QFETCH(int, role);
        QMaterialIcon::instance()->setDefaultColors(dark);
        const QIcon icon = QMaterialIcon::icon(QStringLiteral("stop"));
        QVERIFY(!icon.isNull());
        const QColor expected = QMaterialIcon::instance()->color(QMaterialIcon::Color(role));
        QCOMPARE(solidColours(render(icon, QIcon::Normal, QIcon::State(state))), only(expected));
        QCOMPARE(solidColours(render(icon, QIcon::Active, QIcon::State(state))), only(expected));
    }

    void givenColourWins()
    {
        QMaterialIcon::instance()->setDefaultColors(false);
        const QIcon icon = QMaterialIcon::icon(QStringLiteral("stop"), QColor("#123456"));
        QCOMPARE(solidColours(render(icon)), only(QColor("#123456")));
    }

    void disabledAndSelectedTakeThePaletteColours_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("group");
        QTest::newRow("disabled") << int(QIcon::Disabled) << int(QIcon::Off) << int(QPalette::Disabled);
        QTest::newRow("disabled, checked") << int(QIcon::Disabled) << int(QIcon::On) << int(QPalette::Disabled);
        QTest::newRow("selected, checked") << int(QIcon::Selected) << int(QIcon::On) << int(QPalette::Active);
    }

    void disabledAndSelectedTakeThePaletteColours()
    {
        QFETCH(int, mode);
        QFETCH(int, state);
        QFETCH(int, group);
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor("#0000aa"));
        palette.setColor(QPalette::Active, QPalette::ButtonText, QColor("#00aa00"));
        QApplication::setPalette(palette);

        const QIcon icon = QMaterialIcon::icon(QStringLiteral("stop"), QColor("#123456"));
        const QColor expected = palette.color(QPalette::ColorGroup(group), QPalette::ButtonText);
        QCOMPARE(solidColours(render(icon, QIcon::Mode(mode), QIcon::State(state))), only(expected));
    }

    void checkedButtonShowsTheOnGlyph()
    {
        QMaterialIcon::instance()->setDefaultColors(false);
        const QColor checkedColour = QMaterialIcon::instance()->color(QMaterialIcon::Checked);
        QToolButton button;
        button.setCheckable(true);
        QMaterialIcon::setIcon(QStringLiteral("check_box"), QStringLiteral("check_box_outline_blank"), &button);

        const QImage on = render(button.icon(), QIcon::Normal, QIcon::On);
        const QImage off = render(button.icon(), QIcon::Normal, QIcon::Off);
        QCOMPARE(on, render(QMaterialIcon::icon(QStringLiteral("check_box"), checkedColour)));
        QCOMPARE(off, render(QMaterialIcon::icon(QStringLiteral("check_box_outline_blank"))));
        QVERIFY(on != render(QMaterialIcon::icon(QStringLiteral("check_box_outline_blank"), checkedColour)));
    }

    void actionGetsTheIcon()
    {
        QAction action;
        QMaterialIcon::setIcon(QStringLiteral("zoom_in"), &action, QColor("#123456"));
        QCOMPARE(render(action.icon()), render(QMaterialIcon::icon(QStringLiteral("zoom_in"), QColor("#123456"))));
        QMaterialIcon::setIcon(QStringLiteral("add"), QStringLiteral("zoom_in"), &action);
        QCOMPARE(render(action.icon(), QIcon::Disabled, QIcon::On),
                 render(QMaterialIcon::icon(QStringLiteral("add")), QIcon::Disabled));
    }

    void iconsKeepTheColourTheyWereBuiltWith()
    {
        QMaterialIcon *icons = QMaterialIcon::instance();
        icons->setDefaultColors(false);
        const QIcon before = QMaterialIcon::icon(QStringLiteral("stop"));
        icons->setDefaultColors(true);
        const QIcon after = QMaterialIcon::icon(QStringLiteral("stop"));
        QCOMPARE(solidColours(render(before)), only(Qt::black));
        QCOMPARE(solidColours(render(after)), only(Qt::white));
    }

    // The glyph fills 80 % of the rectangle's height, rounded to whole
    // pixels.
    void glyphSizeFollowsTheRectangle_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("20 px") << 20 << 16;
        QTest::newRow("24 px") << 24 << 19;
        QTest::newRow("50 px") << 50 << 40;
    }

    void glyphSizeFollowsTheRectangle()
    {
        QFETCH(int, height);
        QFETCH(int, pixelSize);
        const QSize size(height, height);
        const QString family = QFontDatabase::applicationFontFamilies(QMaterialIcon::instance()->fontId()).value(0);
        const QChar glyph = QMaterialIcon::codepoint(QStringLiteral("zoom_in"));

        QFontIconEngine engine;
        engine.setFontFamily(family);
        engine.setLetter(glyph, QIcon::Off);
        engine.setBaseColor(Qt::black);
        const QImage painted = engine.pixmap(size, QIcon::Normal, QIcon::Off).toImage();

        const auto byHand = [&](int pixels) {
            QPixmap pixmap(size);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            QFont font(family);
            font.setPixelSize(pixels);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, QString(glyph));
            painter.end();
            return pixmap.toImage();
        };
        QCOMPARE(painted, byHand(pixelSize));
        QVERIFY(painted != byHand(pixelSize + 1));
        QVERIFY(painted != byHand(pixelSize - 1));
    }

    void cloneDrawsTheSameIcon()
    {
        QFontIconEngine engine;
        engine.setFontFamily(QFontDatabase::applicationFontFamilies(QMaterialIcon::instance()->fontId()).value(0));
        engine.setLetter(QMaterialIcon::codepoint(QStringLiteral("add")), QIcon::On);
        engine.setLetter(QMaterialIcon::codepoint(QStringLiteral("zoom_in")), QIcon::Off);
        engine.setBaseColor(QColor("#123456"));
        engine.setCheckColor(QColor("#654321"));
        QScopedPointer<QIconEngine> copy(engine.clone());
        for (QIcon::State state : {QIcon::On, QIcon::Off})
            QCOMPARE(copy->pixmap(iconSize, QIcon::Normal, state).toImage(),
                     engine.pixmap(iconSize, QIcon::Normal, state).toImage());
    }

    // Without a registered font there are no icons; registering it again (as
    // for a new application object) brings them back.
    void noFontNoIcons()
    {
        QMaterialIcon *icons = QMaterialIcon::instance();
        icons->deinit();
        QCOMPARE(icons->fontId(), -1);
        QVERIFY(QMaterialIcon::icon(QStringLiteral("add")).isNull());
        QToolButton button;
        QMaterialIcon::setIcon(QStringLiteral("add"), &button);
        QVERIFY(button.icon().isNull());
        QCOMPARE(QMaterialIcon::codepoint(QStringLiteral("add")), QChar(0xe145));

        icons->init();
        QVERIFY(icons->fontId() >= 0);
        QVERIFY(!QMaterialIcon::icon(QStringLiteral("add")).isNull());
        QCOMPARE(QMaterialIcon::codepoint(QStringLiteral("zoom_in")), QChar(0xe8ff));
    }
};

// The singleton outlives the application object: main() ends after the
// application is gone and the process must still exit cleanly.
QTEST_MAIN(MaterialIconTest)
#include "material_icon_test.moc"
