// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/artwork/SplashPicture.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace vp7 {
namespace {

constexpr int kWidth = 800, kHeight = 240;

void Text(QPainter& p, const QRect& r, const QString& text, int pixelSize, bool bold, QColor color,
          int align) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(color);
    p.drawText(r, align, text);
}

} // namespace

Picture DrawSplashPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        // Upper band, rows 11 to 98: the name, with a green accent bar.
        QLinearGradient steel(0, 11, 0, 98);
        steel.setColorAt(0, QColor(40, 48, 60));
        steel.setColorAt(1, QColor(14, 16, 22));
        p.fillRect(QRect(0, 11, kWidth, 88), steel);
        Text(p, QRect(30, 14, 560, 70), QStringLiteral("KELDAR VP7"), 58, true, QColor(235, 238, 242),
             Qt::AlignLeft | Qt::AlignVCenter);
        Text(p, QRect(500, 20, 280, 60), QStringLiteral("Stellungsregler\nPositioner"), 20, false,
             QColor(170, 180, 195), Qt::AlignRight | Qt::AlignVCenter);
        p.fillRect(QRect(30, 88, 740, 5), QColor(138, 255, 138));
        // Lower band, rows 129 to 195: what the program is, on a dark red field with a light stripe.
        p.fillRect(QRect(0, 129, kWidth, 67), QColor(117, 0, 0));
        p.fillRect(QRect(30, 175, 740, 4), QColor(255, 124, 124));
        Text(p, QRect(30, 131, 740, 42),
             QStringLiteral("Nachbildung für Ausbildung und Vorführung  ·  Training simulator"), 20, false,
             QColor(255, 235, 235), Qt::AlignLeft | Qt::AlignVCenter);
        Text(p, QRect(30, 179, 740, 16), QStringLiteral("0/4-20 mA  ·  PA  ·  FF"), 12, false,
             QColor(255, 200, 200), Qt::AlignRight | Qt::AlignVCenter);
    }
    Picture picture(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const bool band = (y >= 11 && y <= 98) || (y >= 129 && y <= 195);
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < kWidth; ++x)
            picture.Bits()[y * kWidth + x] = band ? (row[x] & 0xFFFFFF) : 0;
    }
    // The three marker pixels the check looks for, whatever the antialiasing did around them.
    picture.Bits()[135 * kWidth + 200] = MakeRgb(117, 0, 0);
    picture.Bits()[177 * kWidth + 356] = MakeRgb(255, 124, 124);
    picture.Bits()[91 * kWidth + 373] = MakeRgb(138, 255, 138);
    return picture;
}

} // namespace vp7
