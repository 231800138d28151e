// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/artwork/WebArtwork.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vp7 {
namespace {

int SpriteCount() {
    return static_cast<int>(SpriteId::Count);
}

} // namespace

WebArtwork::WebArtwork(const QString& dir)
    : dir_(QDir(dir).filePath(QStringLiteral("artwork"))),
      format_(QImageWriter::supportedImageFormats().contains("webp") ? "webp" : "png") {}

bool WebArtwork::AddSprites(const SpriteSet& sprites, int scale) {
    if (!dir_.mkpath(QString::number(scale))) return false;
    for (int i = 0; i < SpriteCount(); ++i) {
        const auto id = static_cast<SpriteId>(i);
        const Picture& pic = sprites.Get(id);
        const QImage image(reinterpret_cast<const uchar*>(pic.Bits()), pic.DeviceWidth(), pic.DeviceHeight(),
                           pic.DeviceWidth() * 4, QImage::Format_RGB32);
        const QString name = QStringLiteral("%1/%2.%3")
                                 .arg(scale)
                                 .arg(QLatin1StringView(SpriteInfoOf(id).name))
                                 .arg(QLatin1StringView(format_));
        QImageWriter writer(dir_.filePath(name), format_);
        writer.setQuality(Lossless());
        if (!writer.write(image)) return false;
    }
    return true;
}

bool WebArtwork::WriteList(std::span<const int> scales) const {
    QJsonArray list;
    for (int i = 0; i < SpriteCount(); ++i) {
        const SpriteInfo& info = SpriteInfoOf(static_cast<SpriteId>(i));
        list.append(QJsonObject{{"name", QString::fromLatin1(info.name.data(), info.name.size())},
                                {"width", info.width},
                                {"height", info.height}});
    }
    QJsonArray drawn;
    for (int scale : scales)
        drawn.append(scale);
    const QJsonObject root{{"format", QString::fromLatin1(format_)}, {"scales", drawn}, {"sprites", list}};
    QFile file(dir_.filePath(QStringLiteral("sprites.json")));
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(root).toJson()) >= 0;
}

// WebP is lossless at quality 100; PNG's quality is its compression turned around, 0 the tightest.
int WebArtwork::Lossless() const {
    return format_ == "webp" ? 100 : 0;
}

} // namespace vp7
