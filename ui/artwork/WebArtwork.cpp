// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/artwork/WebArtwork.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace vp7 {
namespace {

int SpriteCount() {
    return static_cast<int>(SpriteId::Count);
}

// Wider than the widest sprite (the device picture); WebP takes at most 16383 pixels a side, which
// two scales of a sheet stay well inside.
constexpr int kSheetWidth = 1024;
// How many sheets the sprites are spread over at most: about one per core decoding them.
constexpr int kSheetsWanted = 4;

} // namespace

WebArtwork::WebArtwork(const QString& dir)
    : dir_(QDir(dir).filePath(QStringLiteral("artwork"))),
      format_(QImageWriter::supportedImageFormats().contains("webp") ? "webp" : "png") {
    Pack(places_, sheets_);
}

void WebArtwork::Pack(std::vector<Place>& places, std::vector<Sheet>& sheets) {
    std::vector<int> order(SpriteCount());
    std::iota(order.begin(), order.end(), 0);
    const auto info = [](int i) { return SpriteInfoOf(static_cast<SpriteId>(i)); };
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return info(a).height > info(b).height; });
    long long area = 0;
    for (int i : order)
        area += static_cast<long long>(info(i).width) * info(i).height;
    const long long shareOfArea = area / kSheetsWanted;
    places.assign(order.size(), {});
    sheets.assign(1, {});
    int x = 0, shelfTop = 0, shelfHeight = 0;
    long long filled = 0;
    for (int i : order) {
        const SpriteInfo& sprite = info(i);
        if (x + sprite.width > kSheetWidth) { // the next shelf
            shelfTop += shelfHeight;
            x = shelfHeight = 0;
            if (filled >= shareOfArea) { // the next sheet, begun on a new shelf
                sheets.push_back({});
                shelfTop = 0;
                filled = 0;
            }
        }
        places[i] = {static_cast<int>(sheets.size()) - 1, x, shelfTop};
        x += sprite.width;
        shelfHeight = std::max(shelfHeight, sprite.height);
        filled += static_cast<long long>(sprite.width) * sprite.height;
        Sheet& sheet = sheets.back();
        sheet.width = std::max(sheet.width, x);
        sheet.height = std::max(sheet.height, shelfTop + shelfHeight);
    }
}

bool WebArtwork::AddSprites(const SpriteSet& sprites, int scale) {
    // The sheets replace whatever an older build left there.
    QDir(dir_.filePath(QString::number(scale))).removeRecursively();
    if (!dir_.mkpath(QString::number(scale))) return false;
    std::vector<QImage> images;
    for (const Sheet& sheet : sheets_) {
        images.emplace_back(sheet.width * scale, sheet.height * scale, QImage::Format_RGB32);
        images.back().fill(Qt::black);
    }
    for (int i = 0; i < SpriteCount(); ++i) {
        const Picture& pic = sprites.Get(static_cast<SpriteId>(i));
        const Place& place = places_[i];
        QImage& image = images[place.sheet];
        const auto rowBytes = static_cast<size_t>(pic.DeviceWidth()) * sizeof(Rgb);
        for (int row = 0; row < pic.DeviceHeight(); ++row)
            std::memcpy(image.scanLine(place.y * scale + row) + place.x * scale * sizeof(Rgb),
                        pic.Bits() + static_cast<size_t>(row) * pic.DeviceWidth(), rowBytes);
    }
    for (size_t n = 0; n < images.size(); ++n) {
        const QString name =
            QStringLiteral("%1/sheet%2.%3").arg(scale).arg(n).arg(QLatin1StringView(format_));
        QImageWriter writer(dir_.filePath(name), format_);
        writer.setQuality(Lossless());
        if (!writer.write(images[n])) return false;
    }
    return true;
}

bool WebArtwork::WriteList(std::span<const int> scales) const {
    QJsonArray list;
    for (int i = 0; i < SpriteCount(); ++i) {
        const SpriteInfo& info = SpriteInfoOf(static_cast<SpriteId>(i));
        const Place& place = places_[i];
        list.append(QJsonObject{{"name", QString::fromLatin1(info.name.data(), info.name.size())},
                                {"width", info.width},
                                {"height", info.height},
                                {"sheet", place.sheet},
                                {"x", place.x},
                                {"y", place.y}});
    }
    QJsonArray sheets;
    for (const Sheet& sheet : sheets_)
        sheets.append(QJsonObject{{"width", sheet.width}, {"height", sheet.height}});
    QJsonArray drawn;
    for (int scale : scales)
        drawn.append(scale);
    const QJsonObject root{
        {"format", QString::fromLatin1(format_)}, {"scales", drawn}, {"sheets", sheets}, {"sprites", list}};
    QFile file(dir_.filePath(QStringLiteral("sprites.json")));
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(root).toJson()) >= 0;
}

// WebP is lossless at quality 100; PNG's quality is its compression turned around, 0 the tightest.
int WebArtwork::Lossless() const {
    return format_ == "webp" ? 100 : 0;
}

} // namespace vp7
