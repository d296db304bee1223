#include "darkpalette.h"

#include <QColor>

const char darkToolTipStyleSheet[] =
    "QToolTip { color: #ffffff; background-color: #2a82da; border: 1px solid #f0f0f0; border-radius: 2px; }";

QPalette darkPalette()
{
    const QColor window(0x35, 0x35, 0x35);
    const QColor accent(0x2A, 0x82, 0xDA);
    const QColor grey(0x80, 0x80, 0x80);

    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, QColor(0x19, 0x19, 0x19));
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, accent);
    palette.setColor(QPalette::ToolTipText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Link, accent);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::black);

    palette.setColor(QPalette::Active, QPalette::Button, grey.darker(200));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, grey);
    palette.setColor(QPalette::Disabled, QPalette::Text, grey);
    palette.setColor(QPalette::Disabled, QPalette::Light, window);
    return palette;
}
