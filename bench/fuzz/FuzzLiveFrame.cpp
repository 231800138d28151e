// SPDX-License-Identifier: GPL-3.0-or-later
// The live view's frame reader on the instructor's station: any bytes from the broker, and a frame it
// takes is never larger than it allows.
#include "ui/classroom/LiveFrame.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QImage frame =
        vp7::ReadLiveFrame(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!frame.isNull() &&
        (frame.width() > vp7::kLargestFrameSide || frame.height() > vp7::kLargestFrameSide))
        std::abort();
    return 0;
}
