// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/artwork/Paint.h"

#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vp7::art {

QFont Font(qreal pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    // No hinting: the glyphs then scale with the painter and look the same at 100 % and 200 %.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void Label(QPainter& p, const QRectF& box, const QString& text, qreal pixelSize, const QColor& color,
           int align, bool bold, qreal spacing) {
    QFont f = Font(pixelSize, bold);
    if (spacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    p.setFont(f);
    p.setPen(color);
    p.drawText(box, align, text);
}

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QLinearGradient Horizontal(const QRectF& r, const QColor& left, const QColor& right) {
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, left);
    g.setColorAt(1, right);
    return g;
}

QLinearGradient RoundBar(qreal left, qreal right, const QColor& base) {
    QLinearGradient g(left, 0, right, 0);
    g.setColorAt(0, base.darker(170));
    g.setColorAt(0.3, base.lighter(135));
    g.setColorAt(0.45, base.lighter(115));
    g.setColorAt(1, base.darker(190));
    return g;
}

void Bevel(QPainter& p, const QRectF& r, qreal radius, const QBrush& face, bool raised) {
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(r, radius, radius);
    const QColor light(255, 255, 255, raised ? 60 : 22);
    const QColor dark(0, 0, 0, raised ? 120 : 150);
    // The lit and shaded halves of the rim, split along the diagonal through the corners.
    const QRectF edge = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath rim;
    rim.addRoundedRect(edge, radius, radius);
    const QPolygonF upperLeft({r.bottomLeft(), r.topLeft(), r.topRight()});
    QPainterPath half;
    half.addPolygon(upperLeft);
    half.closeSubpath();
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setClipPath(half);
    p.setPen(QPen(raised ? light : dark, 1));
    p.drawPath(rim);
    QPainterPath other;
    other.addRect(r.adjusted(-1, -1, 1, 1));
    p.setClipPath(other.subtracted(half));
    p.setPen(QPen(raised ? dark : light, 1));
    p.drawPath(rim);
    p.restore();
}

void DropShadow(QPainter& p, const QRectF& r, qreal radius, qreal offset) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        const qreal grow = 3 - i;
        p.setBrush(QColor(0, 0, 0, 22 + 10 * i));
        p.drawRoundedRect(r.translated(offset, offset).adjusted(-grow, -grow, grow, grow), radius + grow,
                          radius + grow);
    }
}

void Engrave(QPainter& p, const QRectF& box, const QString& text, qreal pixelSize, int align) {
    Label(p, box.translated(0.6, 0.7), text, pixelSize, QColor(255, 255, 255, 70), align, true);
    Label(p, box, text, pixelSize, QColor(0x1c, 0x24, 0x2d, 220), align, true);
}

void Screw(QPainter& p, QPointF c, qreal radius, qreal angleDeg, Head head) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawEllipse(c + QPointF(0.6, 0.8), radius + 0.4, radius + 0.4);
    QRadialGradient shine(c - QPointF(radius * 0.35, radius * 0.4), radius * 1.5);
    shine.setColorAt(0, QColor(0xee, 0xf0, 0xf2));
    shine.setColorAt(0.5, QColor(0xa4, 0xab, 0xb2));
    shine.setColorAt(1, QColor(0x55, 0x5c, 0x63));
    p.setBrush(shine);
    p.setPen(QPen(QColor(0x2a, 0x2e, 0x33), 0.6));
    p.drawEllipse(c, radius, radius);
    p.setPen(Qt::NoPen);
    if (head == Head::Dome) return;
    p.setBrush(QColor(0x25, 0x29, 0x2e));
    if (head == Head::HexSocket) {
        QPolygonF hex;
        for (int k = 0; k < 6; ++k) {
            const double a = (angleDeg + 60.0 * k) * std::numbers::pi / 180.0;
            hex << c + QPointF(std::cos(a), std::sin(a)) * radius * 0.45;
        }
        p.drawPolygon(hex);
        return;
    }
    p.save();
    p.translate(c);
    p.rotate(angleDeg);
    p.drawRect(QRectF(-radius * 0.78, -radius * 0.14, radius * 1.56, radius * 0.28));
    p.restore();
}

void HexBody(QPainter& p, const QRectF& outline, Qt::Orientation axis) {
    // A nut lying across is the upright one turned a quarter, so its flats stack instead.
    QRectF r = outline;
    p.save();
    if (axis == Qt::Horizontal) {
        p.translate(outline.center());
        p.rotate(90);
        r = QRectF(-outline.height() / 2, -outline.width() / 2, outline.height(), outline.width());
    }
    // Three flats of the nut facing the viewer, the middle one lit.
    const qreal third = r.width() / 4;
    p.setPen(QPen(QColor(0x2a, 0x2e, 0x33), 0.7));
    const QColor flats[] = {QColor(0x8f, 0x97, 0x9f), QColor(0xd3, 0xd8, 0xdc), QColor(0x6e, 0x76, 0x7e)};
    const qreal edges[] = {r.left(), r.left() + third, r.right() - third, r.right()};
    for (int k = 0; k < 3; ++k) {
        QRectF face(edges[k], r.top(), edges[k + 1] - edges[k], r.height());
        p.setBrush(Vertical(face, flats[k].lighter(110), flats[k].darker(115)));
        p.drawRect(face);
    }
    p.restore();
}

void Lens(QPainter& p, const QRectF& r, const QColor& color, bool lit) {
    const QPointF c = r.center();
    const qreal radius = std::min(r.width(), r.height()) / 2;
    p.setPen(Qt::NoPen);
    if (lit) {
        QRadialGradient glow(c, radius * 1.7);
        glow.setColorAt(0, QColor(color.red(), color.green(), color.blue(), 150));
        glow.setColorAt(1, QColor(color.red(), color.green(), color.blue(), 0));
        p.setBrush(glow);
        p.drawEllipse(r.adjusted(-radius * 0.6, -radius * 0.6, radius * 0.6, radius * 0.6));
    }
    QRadialGradient g(c - QPointF(r.width() * 0.15, r.height() * 0.15), radius * 1.4);
    if (lit) {
        g.setColorAt(0, QColor(255, 255, 235));
        g.setColorAt(0.35, color.lighter(120));
        g.setColorAt(1, color.darker(160));
    } else {
        g.setColorAt(0, color.darker(330));
        g.setColorAt(1, color.darker(700));
    }
    p.setBrush(g);
    p.setPen(QPen(QColor(0, 0, 0, 160), 0.6));
    p.drawEllipse(r);
    // The glass highlight, on unlit lenses the only thing that catches the light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, lit ? 150 : 70));
    p.drawEllipse(c - QPointF(r.width() * 0.18, r.height() * 0.2), r.width() * 0.16, r.height() * 0.11);
}

void Tube(QPainter& p, const QPainterPath& path, qreal width) {
    p.setBrush(Qt::NoBrush);
    const struct {
        qreal widthFactor;
        QColor color;
        QPointF shift;
    } layers[] = {
        {1.0, QColor(0x3c, 0x42, 0x48), {0, 0}},
        {0.7, QColor(0x9c, 0xa4, 0xab), {0, 0}},
        {0.25, QColor(0xe6, 0xea, 0xed), {-width * 0.15, -width * 0.15}},
    };
    for (const auto& l : layers) {
        p.setPen(QPen(l.color, width * l.widthFactor, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.drawPath(path.translated(l.shift));
    }
}

} // namespace vp7::art
