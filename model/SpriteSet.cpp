// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SpriteSet.h"

#include "platform/BytesHash.h"

#include <array>
#include <string>

namespace vp7 {
namespace {

constexpr int kCount = static_cast<int>(SpriteId::Count);

std::array<std::string, kCount> MakeNames() {
    std::array<std::string, kCount> n;
    n[0] = "Image1";
    static const char* kFrames[] = {
        "0",  "2_5",  "5",  "7_5",  "10", "12_5", "15", "17_5", "20", "22_5", "25", "27_5", "30", "32_5",
        "35", "37_5", "40", "42_5", "45", "47_5", "50", "52_5", "55", "57_5", "60", "62_5", "65", "67_5",
        "70", "72_5", "75", "77_5", "80", "82_5", "85", "87_5", "90", "92_5", "95", "97_5", "100"};
    for (int i = 0; i < KolbenFrameCount; ++i) {
        n[static_cast<int>(KolbenFrame(i))] = std::string("Kolben") + kFrames[i];
        n[static_cast<int>(SpringPistonFrame(i))] = std::string("SpringPiston") + kFrames[i];
    }
    int i = static_cast<int>(SpriteId::Bin1Ein);
    for (const char* base : {"Bin1", "Bin2", "StoerMeldung", "Alarm1", "Alarm2"})
        for (const char* state : {"Ein", "Aus", "On", "Off"})
            n[i++] = std::string(base) + state;
    for (const char* s : {"KippBlack", "GearTopOn", "GearTopOff", "GearBottemOn", "GearBottemOff",
                          "StromModul", "StromModulBlack"})
        n[i++] = s;
    for (int d = 0; d < 10; ++d)
        n[i++] = "Strom" + std::to_string(d);
    for (const char* s :
         {"StromBlank", "DichtAuf", "DichtZu", "DichtBlank", "SupplyGaugeAir", "SupplyGaugeNoAir"})
        n[i++] = s;
    return n;
}

const std::array<std::string, kCount>& Names() {
    static const auto names = MakeNames();
    return names;
}

SpriteInfo Size(int i) {
    const auto id = static_cast<SpriteId>(i);
    const auto of = [](layout::Size size) { return SpriteInfo{{}, size.width, size.height}; };
    if (id == SpriteId::DevicePicture) return of(layout::PictureSize);
    if (id < SpriteId::Bin1Ein || id >= SpriteId::SpringPiston0) return of(layout::PistonSize);
    if (id >= SpriteId::SupplyGaugeAir)
        return of({layout::SupplyGaugeArea.Width(), layout::SupplyGaugeArea.Height()});
    if (id <= SpriteId::KippBlack) return of(layout::SwitchSize);
    if (id <= SpriteId::GearTopOff) return of(layout::GearTopSize);
    if (id <= SpriteId::GearBottemOff) return of(layout::GearBottomSize);
    if (id <= SpriteId::StromModulBlack) return of(layout::FeedbackModuleSize);
    if (id <= SpriteId::StromBlank) return of(layout::FeedbackDigitSize);
    return of(layout::TightSymbolSize);
}

std::array<SpriteInfo, kCount> MakeInfos() {
    std::array<SpriteInfo, kCount> infos;
    for (int i = 0; i < kCount; ++i) {
        infos[i] = Size(i);
        infos[i].name = Names()[i];
    }
    return infos;
}

const std::array<SpriteInfo, kCount>& Infos() {
    static const auto infos = MakeInfos();
    return infos;
}

} // namespace

const SpriteInfo& SpriteInfoOf(SpriteId id) {
    return Infos()[static_cast<size_t>(id)];
}

std::optional<SpriteId> SpriteByName(std::string_view name) {
    for (int i = 0; i < kCount; ++i)
        if (Infos()[i].name == name) return static_cast<SpriteId>(i);
    return std::nullopt;
}

Rgb SpriteSet::FlatColor(SpriteId id) {
    const int i = static_cast<int>(id);
    if (id == SpriteId::DevicePicture) return MakeRgb(0x60, 0x60, 0x60);
    // The red channel tells the sprites of a group apart and green the groups; both keep them clear of
    // the drawing colours (black, yellow, lime, cyan, magenta, blue) and of the display colour.
    constexpr int kGroupSize = 112; // red runs from 0x10 to 0xEE within a group
    return MakeRgb(0x10 + 2 * (i % kGroupSize), 0x70 + 0x20 * (i / kGroupSize), 0xA0 + (i % 2) * 0x10);
}

SpriteSet::SpriteSet() : sprites_(kCount), made_(kCount, 1) {}

SpriteSet SpriteSet::OnDemand(Maker make) {
    SpriteSet set;
    set.made_.assign(kCount, 0);
    set.make_ = std::move(make);
    return set;
}

void SpriteSet::Set(SpriteId id, Picture p) {
    const auto i = static_cast<size_t>(id);
    sprites_[i] = std::move(p);
    made_[i] = 1;
    look_.reset();
}

uint64_t SpriteSet::Look() const {
    if (!look_) {
        const Picture& device = Get(SpriteId::DevicePicture);
        const int shape[] = {device.Width(), device.Height(), device.Scale()};
        const uint64_t hash = BytesHash({reinterpret_cast<const char*>(shape), sizeof shape});
        look_ =
            BytesHash({reinterpret_cast<const char*>(device.Bits()),
                       static_cast<std::size_t>(device.DeviceWidth()) * device.DeviceHeight() * sizeof(Rgb)},
                      hash);
    }
    return *look_;
}

std::optional<SpriteId> SpriteSet::IdOf(const Picture* p) const {
    const std::less<const Picture*> before;
    if (before(p, sprites_.data()) || !before(p, sprites_.data() + sprites_.size())) return std::nullopt;
    return static_cast<SpriteId>(p - sprites_.data());
}

void SpriteSet::Make(SpriteId id) const {
    const auto i = static_cast<size_t>(id);
    sprites_[i] = make_(id);
    made_[i] = 1;
}

SpriteSet SpriteSet::Flat(int scale, Drawing drawing) {
    SpriteSet set;
    for (int i = 0; i < kCount; ++i) {
        const auto id = static_cast<SpriteId>(i);
        const SpriteInfo& info = SpriteInfoOf(id);
        set.sprites_[i] = Picture(info.width, info.height, FlatColor(id), scale);
    }
    Picture& device = set.sprites_[0];
    if (drawing == Drawing::WhenRead) device.Defer();
    device.SetBrushColor(0);
    device.FillRect(layout::ScaleArea); // the scales are drawn on black
    device.SetBrushColor(LcdUnlitColor);
    device.FillRect(layout::LcdArea);
    device.TakeDirty();
    return set;
}

} // namespace vp7
