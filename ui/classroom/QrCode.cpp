// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/QrCode.h"

#include <qrencode.h>

#include <QPainter>

#include <memory>

namespace vp7 {

std::optional<QrCode> QrCode::Of(std::string_view text) {
    if (text.empty() || text.size() > kLongestText) return std::nullopt;
    // Bytes as they are: a link's case matters (the authority's fingerprint is in lower case).
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> encoded(
        QRcode_encodeData(static_cast<int>(text.size()), reinterpret_cast<const unsigned char*>(text.data()),
                          0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!encoded || encoded->width <= 0) return std::nullopt;
    QrCode code;
    code.size_ = encoded->width;
    const std::size_t modules = static_cast<std::size_t>(code.size_) * static_cast<std::size_t>(code.size_);
    code.dark_.resize(modules);
    for (std::size_t i = 0; i < modules; ++i)
        code.dark_[i] = (encoded->data[i] & 1) != 0; // the lowest bit is the module; the others say its role
    return code;
}

QImage QrCode::Image(int moduleSize) const {
    const int side = (size_ + 2 * kQuietZone) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < size_; ++y)
        for (int x = 0; x < size_; ++x)
            if (Dark(x, y))
                painter.fillRect((x + kQuietZone) * moduleSize, (y + kQuietZone) * moduleSize, moduleSize,
                                 moduleSize, Qt::black);
    return image;
}

// One path of a square per dark module; crisp at any size a browser prints it.
std::string QrCode::Svg() const {
    const int side = size_ + 2 * kQuietZone;
    std::string svg = "<svg class=\"qr\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      std::to_string(side) + " " + std::to_string(side) +
                      "\" shape-rendering=\"crispEdges\"><rect width=\"" + std::to_string(side) +
                      "\" height=\"" + std::to_string(side) + "\" fill=\"#fff\"/><path fill=\"#000\" d=\"";
    for (int y = 0; y < size_; ++y)
        for (int x = 0; x < size_; ++x)
            if (Dark(x, y))
                svg +=
                    "M" + std::to_string(x + kQuietZone) + " " + std::to_string(y + kQuietZone) + "h1v1h-1z";
    return svg + "\"/></svg>";
}

} // namespace vp7
