#include "kolmprojecthexview.h"
#include "ui_kolmprojecthexview.h"

#include "fixedwidthfont.h"

#include <QFontMetricsF>
#include <QScreen>
#include <QScrollBar>
#include <QtMath>

namespace {

// The smallest font the bytes are shown in, in points.
constexpr int MinPointSize = 8;

} // namespace

KolmProjectHexview::KolmProjectHexview(QWidget* parent)
    : QDialog(parent),
      ui(new Ui::KolmProjectHexview)
{
    ui->setupUi(this);
    // Bytes line up in columns only in a fixed-width font.
    ui->plainTextEdit->setFont(fixedWidthFont());
    fitByteLine();
}

void KolmProjectHexview::fitByteLine()
{
    QPlainTextEdit* edit = ui->plainTextEdit;
    // A line of sixteen bytes with the comma and blank that follow it.
    const QString line = cArray(QByteArray(17, '\0'), QString()).section(QLatin1Char('\n'), 1, 1);
    const QMargins margins = layout()->contentsMargins();
    const int around = qCeil(2 * edit->document()->documentMargin()) + edit->cursorWidth()
        + 2 * edit->frameWidth() + edit->verticalScrollBar()->sizeHint().width() + margins.left()
        + margins.right();
    auto needed = [&](const QFont& font) {
        return around + qCeil(QFontMetricsF(font).horizontalAdvance(line));
    };
    // The dialog grows up to the screen's width; on a narrower screen the
    // font shrinks as far as it stays readable.
    const int room = qMax(width(), screen()->availableGeometry().width());
    QFont font = edit->font();
    while (needed(font) > room && font.pointSize() > MinPointSize)
        font.setPointSize(font.pointSize() - 1);
    edit->setFont(font);
    if (needed(font) > width())
        resize(qMin(needed(font), room), height());
}

KolmProjectHexview::~KolmProjectHexview()
{
    delete ui;
}

void KolmProjectHexview::setData(const QByteArray& data, const QString& name)
{
    m_data = data;
    m_name = name;
    makeCArray();
}

void KolmProjectHexview::makeCArray()
{
    ui->plainTextEdit->clear();
    ui->plainTextEdit->setPlainText(cArray(m_data, m_name));
}

QString KolmProjectHexview::cArray(const QByteArray& data, const QString& name)
{
    static const char digits[] = "0123456789abcdef";
    QString arrayName = name;
    arrayName.replace(QLatin1Char(' '), QLatin1Char('_'));
    if (arrayName.isEmpty())
        arrayName = QStringLiteral("binary");

    QString text;
    // Each byte takes at most ", \n0x00": seven characters.
    text.reserve(64 + arrayName.size() + data.size() * 7);
    text += QLatin1String("static const unsigned char ");
    text += arrayName;
    text += QStringLiteral("[%1] = {").arg(data.size());
    for (int i = 0; i < data.size(); ++i) {
        if (i != 0)
            text += QLatin1String(", ");
        if (i % 16 == 0)
            text += QLatin1Char('\n');
        const auto byte = static_cast<unsigned char>(data.at(i));
        text += QLatin1String("0x");
        text += QLatin1Char(digits[byte >> 4]);
        text += QLatin1Char(digits[byte & 0xf]);
    }
    text += QLatin1String("\n};\n");
    return text;
}
