// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/artwork/Artwork.h"

#include "ui/artwork/Paint.h"
#include "ui/artwork/Scene.h"

#include <QImage>
#include <QResource>

#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <zstd.h>

namespace vp7 {
namespace {

using namespace art;

// Paints `draw` (in picture coordinates) over `pic`, a sprite covering `place` of the device picture.
template <class Draw> void PaintOver(Picture& pic, const QRect& place, Draw&& draw) {
    QImage image(reinterpret_cast<uchar*>(pic.Bits()), pic.DeviceWidth(), pic.DeviceHeight(),
                 pic.DeviceWidth() * 4, QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
        p.scale(pic.Scale(), pic.Scale());
        p.translate(-place.topLeft());
        draw(p);
    }
    // QPainter sets the unused top byte; the picture's pixels are plain 0x00RRGGBB.
    Rgb* px = pic.Bits();
    for (size_t i = 0, n = static_cast<size_t>(pic.DeviceWidth()) * pic.DeviceHeight(); i < n; ++i)
        px[i] &= 0xFFFFFF;
}

template <class Draw> Picture Render(const QRect& place, int scale, Draw&& draw) {
    Picture pic(place.width(), place.height(), 0, scale);
    PaintOver(pic, place, std::forward<Draw>(draw));
    return pic;
}

// A sprite drawn in its own coordinates, independent of where the program shows it.
template <class Draw> Picture RenderLocal(SpriteId id, int scale, Draw&& draw) {
    const SpriteInfo& info = SpriteInfoOf(id);
    return Render(QRect(0, 0, info.width, info.height), scale, std::forward<Draw>(draw));
}

QRect PlaceOf(SpriteId id, QPoint at) {
    const SpriteInfo& info = SpriteInfoOf(id);
    return {at.x(), at.y(), info.width, info.height};
}

SpriteId Offset(SpriteId id, int by) {
    return static_cast<SpriteId>(static_cast<int>(id) + by);
}

void PaintDevice(QPainter& p) {
    PaintWall(p);
    PaintCompartment(p);
    PaintScalePanel(p);
    PaintPositioner(p, false, false, true);
    PaintActuatorSurroundings(p);
    PaintActuator(p, 0, false); // the double-acting valve a fresh program starts with
}

void AddElements(SpriteSet& set, int scale) {
    struct Place {
        SpriteId first;
        Element kind;
    };
    static const Place kPlaces[] = {{SpriteId::Bin1Ein, Element::Input},
                                    {SpriteId::Bin2Ein, Element::Input},
                                    {SpriteId::StoerMeldungEin, Element::FaultOutput},
                                    {SpriteId::Alarm1Ein, Element::AlarmOutput},
                                    {SpriteId::Alarm2Ein, Element::AlarmOutput}};
    // German on, German off, English on, English off, as the sprite ids follow each other.
    static const char* kWords[] = {"EIN", "AUS", "ON", "OFF"};
    for (const Place& place : kPlaces)
        for (int k = 0; k < 4; ++k) {
            const SpriteId id = Offset(place.first, k);
            set.Set(id, RenderLocal(id, scale, [&](QPainter& p) {
                        PaintElement(p, place.kind, k % 2 == 0, QString::fromLatin1(kWords[k]));
                    }));
        }
    set.Set(SpriteId::KippBlack,
            RenderLocal(SpriteId::KippBlack, scale, [](QPainter& p) { PaintEmptyPlace(p); }));
}

void AddGearMarks(SpriteSet& set, int scale) {
    const struct {
        SpriteId id;
        bool top, lit;
    } marks[] = {{SpriteId::GearTopOn, true, true},
                 {SpriteId::GearTopOff, true, false},
                 {SpriteId::GearBottemOn, false, true},
                 {SpriteId::GearBottemOff, false, false}};
    for (const auto& m : marks)
        set.Set(m.id, Render(PlaceOf(m.id, m.top ? kGear90Place : kGear33Place), scale, [&](QPainter& p) {
                    PaintWall(p);
                    PaintPositioner(p, m.top && m.lit, !m.top && m.lit, true);
                }));
}

void AddFeedbackModule(SpriteSet& set, int scale) {
    set.Set(SpriteId::StromModul,
            RenderLocal(SpriteId::StromModul, scale, [](QPainter& p) { PaintFeedbackModule(p, true); }));
    set.Set(SpriteId::StromModulBlack, RenderLocal(SpriteId::StromModulBlack, scale,
                                                   [](QPainter& p) { PaintFeedbackModule(p, false); }));
    for (int d = -1; d < 10; ++d) {
        const SpriteId id = d < 0 ? SpriteId::StromBlank : StromDigit(d);
        set.Set(id, RenderLocal(id, scale, [d](QPainter& p) { PaintLedDigit(p, d); }));
    }
}

void AddSupplyGauge(SpriteSet& set, int scale) {
    for (bool air : {true, false}) {
        const SpriteId id = air ? SpriteId::SupplyGaugeAir : SpriteId::SupplyGaugeNoAir;
        set.Set(id, Render(PlaceOf(id, {layout::SupplyGaugeArea.left, layout::SupplyGaugeArea.top}), scale,
                           [air](QPainter& p) {
                               PaintWall(p);
                               PaintPositioner(p, false, false, air);
                           }));
    }
}

void AddActuator(SpriteSet& set, int scale) {
    // Only the bore changes from frame to frame, so each frame repaints it over the resting one.
    const QRect place = PlaceOf(SpriteId::Kolben0, kPistonPlace);
    const Picture resting = Render(place, scale, [](QPainter& p) {
        PaintWall(p);
        PaintActuatorSurroundings(p);
        PaintActuator(p, 0, false);
    });
    // The Kolben frames show the double-acting actuator, the others the spring-return one.
    for (bool spring : {false, true})
        for (int i = 0; i < KolbenFrameCount; ++i) {
            Picture frame = resting;
            PaintOver(frame, place, [i, spring](QPainter& p) {
                p.setClipRect(ActuatorBore());
                PaintBore(p, i / double(KolbenFrameCount - 1), spring);
            });
            set.Set(spring ? SpringPistonFrame(i) : KolbenFrame(i), std::move(frame));
        }
    const struct {
        SpriteId id;
        Tight kind;
    } tight[] = {{SpriteId::DichtAuf, Tight::Open},
                 {SpriteId::DichtZu, Tight::Close},
                 {SpriteId::DichtBlank, Tight::None}};
    for (const auto& t : tight)
        set.Set(t.id, RenderLocal(t.id, scale, [&](QPainter& p) { PaintTightWindow(p, t.kind); }));
}

} // namespace

namespace art {

void PaintWall(QPainter& p) {
    const QRectF all(QPointF(), ToQt(layout::PictureSize));
    p.fillRect(all, Vertical(all, pal::kWallTop, pal::kWallBottom));
}

void PaintScalePanel(QPainter& p) {
    Bevel(p, QRectF(-8, 401.5, 216.5, 304), 6, QColor(0x1d, 0x21, 0x25), true);
    const Rect& area = layout::ScaleArea;
    p.fillRect(QRect(area.left, area.top, area.Width(), area.Height()), Qt::black);
}

} // namespace art

SpriteSet RenderArtwork(int scale) {
    SpriteSet set;
    set.Set(SpriteId::DevicePicture,
            Render(QRect(0, 0, layout::PictureSize.width, layout::PictureSize.height), scale,
                   [](QPainter& p) { PaintDevice(p); }));
    AddActuator(set, scale);
    AddElements(set, scale);
    AddGearMarks(set, scale);
    AddFeedbackModule(set, scale);
    AddSupplyGauge(set, scale);
    return set;
}

QString ArtworkResource(int scale, SpriteId id) {
    return QStringLiteral(":/artwork/%1/%2").arg(scale).arg(QLatin1StringView(SpriteInfoOf(id).name));
}

std::optional<Picture> LoadSprite(SpriteId id, int scale) {
    const QResource resource(ArtworkResource(scale, id));
    if (!resource.isValid()) return std::nullopt;
    const SpriteInfo& info = SpriteInfoOf(id);
    Picture pic(info.width, info.height, 0, scale);
    const auto size = sizeof(Rgb) * static_cast<size_t>(pic.DeviceWidth()) * pic.DeviceHeight();
    if (resource.compressionAlgorithm() == QResource::ZstdCompression) {
        // Straight into the picture: the device picture is megabytes, and every fresh page costs.
        const size_t made = ZSTD_decompress(pic.Bits(), size, resource.data(), resource.size());
        return made == size ? std::optional(std::move(pic)) : std::nullopt;
    }
    const QByteArray bytes = resource.uncompressedData();
    if (static_cast<size_t>(bytes.size()) != size) return std::nullopt;
    std::memcpy(pic.Bits(), bytes.constData(), size);
    return pic;
}

SpriteSet LoadArtwork(int scale) {
    if (!QResource(ArtworkResource(scale, SpriteId::DevicePicture)).isValid()) return RenderArtwork(scale);
    // A sprite missing or of another size (a build mixed up) is drawn, with all others, once.
    auto drawn = std::make_shared<std::optional<SpriteSet>>();
    return SpriteSet::OnDemand([scale, drawn](SpriteId id) {
        if (std::optional<Picture> loaded = LoadSprite(id, scale)) return std::move(*loaded);
        if (!*drawn) drawn->emplace(RenderArtwork(scale));
        return (*drawn)->Get(id);
    });
}

} // namespace vp7
