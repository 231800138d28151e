#include "platform/BmpFile.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace vp7 {
namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

} // namespace

bool WriteBmp(const std::string& path, const Picture& picture) {
    const int w = picture.Width(), h = picture.Height();
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(h);
    std::vector<uint8_t> out;
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
            out.push_back(c & 0xFF);
            out.push_back((c >> 8) & 0xFF);
            out.push_back((c >> 16) & 0xFF);
        }
        out.resize(out.size() + (rowBytes - static_cast<uint32_t>(w) * 3), 0);
    }
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    f.close();
    return static_cast<bool>(f);
}

} // namespace vp7
