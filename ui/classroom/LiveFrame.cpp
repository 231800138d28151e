// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/LiveFrame.h"

#include <QBuffer>
#include <QImageReader>

namespace vp7 {

QImage ReadLiveFrame(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    if (reader.format() != "jpeg" && reader.format() != "png") return {};
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kLargestFrameSide || size.height() > kLargestFrameSide) return {};
    QImage image = reader.read();
    if (image.width() > kLargestFrameSide || image.height() > kLargestFrameSide) return {};
    return image;
}

} // namespace vp7
