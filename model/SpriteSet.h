// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every pre-made image of the device picture at its binding size: the unlit device picture itself,
// the 41 piston frames (and 41 more with the return spring), switches, lamps, gear marks, modules,
// feedback digits, tight-closing symbols and the supply gauge. The desktop program fills it with real
// artwork; tests and the headless runner use flat sprites, each one solid colour of its own, so a test
// can tell by one pixel which sprite sits where.
#include "model/PictureLayout.h"
#include "platform/Picture.h"

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace vp7 {

enum class SpriteId {
    DevicePicture,
    Kolben0, // followed by the other 40 piston frames, 2.5 % apart; use KolbenFrame(i)
    Bin1Ein = Kolben0 + 41,
    Bin1Aus,
    Bin1On,
    Bin1Off,
    Bin2Ein,
    Bin2Aus,
    Bin2On,
    Bin2Off,
    StoerMeldungEin,
    StoerMeldungAus,
    StoerMeldungOn,
    StoerMeldungOff,
    Alarm1Ein,
    Alarm1Aus,
    Alarm1On,
    Alarm1Off,
    Alarm2Ein,
    Alarm2Aus,
    Alarm2On,
    Alarm2Off,
    KippBlack,
    GearTopOn,
    GearTopOff,
    GearBottemOn,
    GearBottemOff,
    StromModul,
    StromModulBlack,
    Strom0, // Strom0 ... Strom9 follow in order
    StromBlank = Strom0 + 10,
    DichtAuf,
    DichtZu,
    DichtBlank,
    // The supply gauge's needle at the plant's supply pressure and at 0 bar (no supply air).
    SupplyGaugeAir,
    SupplyGaugeNoAir,
    // The piston frames of a single-acting (spring-return) actuator: the Kolben frames show the
    // double-acting one, without a spring and with air on both sides of the piston.
    SpringPiston0, // followed by the other 40, as the Kolben frames; use SpringPistonFrame(i)
    Count = SpringPiston0 + 41
};

constexpr int KolbenFrameCount = 41;
constexpr SpriteId KolbenFrame(int i) {
    return static_cast<SpriteId>(static_cast<int>(SpriteId::Kolben0) + i);
}
constexpr SpriteId SpringPistonFrame(int i) {
    return static_cast<SpriteId>(static_cast<int>(SpriteId::SpringPiston0) + i);
}
constexpr SpriteId StromDigit(int d) {
    return static_cast<SpriteId>(static_cast<int>(SpriteId::Strom0) + d);
}

// Flat colour of the unlit display in every device picture, the background the segments are drawn on.
constexpr Rgb LcdUnlitColor = MakeRgb(0xA9, 0xB8, 0x9C);

struct SpriteInfo {
    std::string_view name; // component name, e.g. "Kolben2_5", "GearBottemOn"
    int width, height;
};

const SpriteInfo& SpriteInfoOf(SpriteId id);
std::optional<SpriteId> SpriteByName(std::string_view name);

class SpriteSet {
public:
    // Flat sprites at the given scale: each a distinct solid colour, the device picture grey with a
    // black scale area and the display in the LCD colour. `WhenRead`: the device picture and the
    // simulator's picture copied from it defer their drawing (Picture::Defer), for a runner that reads
    // them now and then.
    enum class Drawing { Now, WhenRead };
    static SpriteSet Flat(int scale = 1, Drawing drawing = Drawing::Now);
    // The solid colour a flat sprite has (tests read it back from the picture).
    static Rgb FlatColor(SpriteId id);

    // Sprites made by `make` when first asked for: of a loaded set only what is shown costs anything
    // (the 82 piston frames are four fifths of it).
    using Maker = std::function<Picture(SpriteId)>;
    static SpriteSet OnDemand(Maker make);

    SpriteSet();
    const Picture& Get(SpriteId id) const {
        const auto i = static_cast<size_t>(id);
        if (!made_[i]) Make(id);
        return sprites_[i];
    }
    void Set(SpriteId id, Picture p);
    const Picture& Kolben(int frame) const { return Get(KolbenFrame(frame)); }
    // Which sprite of this set `p` is, if it is one.
    std::optional<SpriteId> IdOf(const Picture* p) const;
    // What tells this set's look from another's (the flat sprites from the artwork, one scale from
    // another): a hash of the device picture, its size and scale. A snapshot drawn with another look
    // is drawn anew.
    uint64_t Look() const;

private:
    void Make(SpriteId id) const;

    // Filled in place on demand; a sprite keeps its address, which drawing logs refer to.
    mutable std::vector<Picture> sprites_;
    mutable std::vector<char> made_;
    Maker make_;
    mutable std::optional<uint64_t> look_; // once asked for, until a sprite is replaced
};

} // namespace vp7
