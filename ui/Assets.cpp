#include "ui/Assets.h"

#include "ui/JpegImage.h"
#include "ui/Palette.h"

#include <QFile>

namespace ui::assets {

QImage banner()
{
    QFile file(QStringLiteral(":/assets/banner.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeJpeg(file.readAll());
}

QImage buttonPicture(Glyph glyph, GlyphColour colour)
{
    QImage picture(16, 16, QImage::Format_RGB888);
    picture.fill(palette::kButtonBlue);
    QRgb ink = (colour == GlyphColour::White ? QColor(Qt::white) : palette::kWindow).rgb();
    if (glyph == Glyph::Bar) {
        // 8 pixels long, 2 thick, low in the picture like a minimised window's bar.
        for (int x = 4; x < 12; ++x) {
            picture.setPixel(x, 10, ink);
            picture.setPixel(x, 11, ink);
        }
    } else {
        // Two diagonals spanning 8 columns and 7 rows.
        for (int i = 0; i < 8; ++i) {
            int y = 4 + (i * 6 + 3) / 7;
            picture.setPixel(4 + i, y, ink);
            picture.setPixel(11 - i, y, ink);
        }
    }
    return picture;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : { 16, 32, 48, 128 })
        icon.addFile(QStringLiteral(":/assets/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace ui::assets
