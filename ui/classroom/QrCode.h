// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A QR code of a line of text, as the class sheet prints each seat's join link: the modules from
// libqrencode, drawn as an image or written as SVG. Medium error correction: a sheet that was folded,
// smudged or photocopied still scans.
#include <QImage>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

class QrCode {
public:
    // The light margin a reader needs around the modules, in modules.
    static constexpr int kQuietZone = 4;
    // More than a join link ever is; a QR code of this much still scans from a sheet.
    static constexpr std::size_t kLongestText = 1024;

    // The code of `text`, or none when it is too long or cannot be encoded.
    static std::optional<QrCode> Of(std::string_view text);

    // Modules across (and down), without the quiet zone.
    int Size() const { return size_; }
    bool Dark(int x, int y) const { return dark_[static_cast<std::size_t>(y * size_ + x)]; }
    // Black on white with the quiet zone, `moduleSize` pixels a module.
    QImage Image(int moduleSize) const;
    // The same as an SVG element whose user units are modules, sized by whoever places it.
    std::string Svg() const;

private:
    int size_ = 0;
    std::vector<bool> dark_;
};

} // namespace vp7
