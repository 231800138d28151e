// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BmpFile.h"

#include "platform/FileRead.h"

#include <cstdint>
#include <fstream>

namespace vp7 {
namespace {

void Put16(std::string& b, uint32_t v) {
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// Larger than any picture this program shows; a bigger file is refused before it is read.
constexpr std::uintmax_t kMaxBmpBytes = 64u << 20;

uint8_t Byte(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]);
}
uint32_t Get32(const std::string& b, size_t at) {
    return Byte(b, at) | Byte(b, at + 1) << 8 | Byte(b, at + 2) << 16 |
           static_cast<uint32_t>(Byte(b, at + 3)) << 24;
}
uint16_t Get16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(Byte(b, at) | Byte(b, at + 1) << 8);
}

} // namespace

std::optional<Picture> ReadBmp(const std::string& path) {
    const auto file = ReadWholeFile(path, kMaxBmpBytes);
    if (!file) return std::nullopt;
    const std::string& b = *file;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    const uint32_t dataOffset = Get32(b, 10), headerSize = Get32(b, 14);
    if (headerSize < 40) return std::nullopt;
    const int32_t width = static_cast<int32_t>(Get32(b, 18));
    int32_t height = static_cast<int32_t>(Get32(b, 22));
    const uint16_t bits = Get16(b, 28);
    const uint32_t compression = Get32(b, 30);
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return std::nullopt;
    if ((bits != 24 && bits != 32) || (compression != 0 && !(compression == 3 && bits == 32)))
        return std::nullopt;
    const uint64_t bytesPerPixel = bits / 8;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bytesPerPixel + 3) & ~uint64_t{3};
    if (dataOffset > b.size() || rowBytes * static_cast<uint64_t>(height) > b.size() - dataOffset)
        return std::nullopt;
    Picture pic(width, height);
    for (int32_t y = 0; y < height; ++y) {
        const size_t row =
            dataOffset + static_cast<size_t>(rowBytes) * static_cast<size_t>(topDown ? y : height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            const size_t at = row + static_cast<size_t>(x) * bytesPerPixel;
            pic.Bits()[static_cast<size_t>(y) * width + x] =
                MakeRgb(Byte(b, at + 2), Byte(b, at + 1), Byte(b, at));
        }
    }
    return pic;
}

std::string BmpBytes(const Picture& picture) {
    const int w = picture.Width(), h = picture.Height();
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(h);
    std::string out;
    out.reserve(54 + dataSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + dataSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40); // BITMAPINFOHEADER
    Put32(out, static_cast<uint32_t>(w));
    Put32(out, static_cast<uint32_t>(h));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, dataSize);
    Put32(out, 2835); // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgb c = picture.Pixel(x, y);
            out.push_back(static_cast<char>(c & 0xFF));
            out.push_back(static_cast<char>((c >> 8) & 0xFF));
            out.push_back(static_cast<char>((c >> 16) & 0xFF));
        }
        out.resize(out.size() + (rowBytes - static_cast<uint32_t>(w) * 3), 0);
    }
    return out;
}

bool WriteBmp(const std::string& path, const Picture& picture) {
    const std::string bytes = BmpBytes(picture);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.close();
    return static_cast<bool>(f);
}

} // namespace vp7
