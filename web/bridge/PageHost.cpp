// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/bridge/PageHost.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>

namespace vp7 {

namespace {

// clang-format off: the JavaScript inside is not C++.
// The desktop draws text in DejaVu Sans (the page serves the same font from its own origin): text at
// the picture's scale into an RGBA buffer (malloc'd, device pixels) with its cell's logical size.
EM_JS(unsigned char*, DrawTextInPage,
      (const char* text, int pixelSize, int bold, int scale, int color, int brush, int* cellWidth,
       int* cellHeight),
      {
          const font = (bold ? "bold " : "") + pixelSize + "px DejaVuSans, \"DejaVu Sans\"";
          if (!Module.vp7Measure) Module.vp7Measure = new OffscreenCanvas(1, 1).getContext("2d");
          const measure = Module.vp7Measure;
          measure.font = font;
          const words = UTF8ToString(text);
          const metrics = measure.measureText(words);
          // The cell as the desktop measures it: the advance, and the font ascent and descent.
          const width = Math.max(1, Math.round(metrics.width));
          const height =
              Math.max(1, Math.ceil(metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent));
          const canvas = new OffscreenCanvas(width * scale, height * scale);
          const context = canvas.getContext("2d");
          const css = function(rgb) {
              return "#" + (rgb & 0xffffff).toString(16).padStart(6, "0");
          };
          context.fillStyle = css(brush);
          context.fillRect(0, 0, canvas.width, canvas.height);
          context.scale(scale, scale);
          context.font = font;
          context.fillStyle = css(color);
          context.fillText(words, 0, metrics.fontBoundingBoxAscent);
          const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
          const out = _malloc(pixels.length);
          HEAPU8.set(pixels, out);
          HEAP32[cellWidth >> 2] = width;
          HEAP32[cellHeight >> 2] = height;
          return out;
      });

// The widest line of a hover help label in its font, and a margin, as the desktop measures it.
EM_JS(int, LabelWidthInPage, (const char* text), {
    if (!Module.vp7Measure) Module.vp7Measure = new OffscreenCanvas(1, 1).getContext("2d");
    const measure = Module.vp7Measure;
    measure.font = "17px DejaVuSans, \"DejaVu Sans\"";
    const lines = UTF8ToString(text).split(String.fromCharCode(13)).join("").split(String.fromCharCode(10));
    let widest = 0;
    for (const line of lines)
        widest = Math.max(widest, Math.round(measure.measureText(line).width));
    return widest + 4;
});

// clang-format on

constexpr double kPixelsPerPoint = 96.0 / 72.0;

struct FreeWithFree {
    void operator()(unsigned char* p) const { std::free(p); }
};

} // namespace

MsgButton PageHost::MessageDlg(const std::string& text, MsgType type, MsgButtons buttons) {
    if (!AnswerQueued()) {
        if (buttons.Has(MsgButton::Cancel))
            QueueAnswer(MsgButton::Cancel);
        else if (buttons.Has(MsgButton::No))
            QueueAnswer(MsgButton::No);
    }
    return ScriptedHost::MessageDlg(text, type, buttons);
}

const PageHost::DrawnText& PageHost::Drawn(const std::string& text, int pixelSize, bool bold, int scale,
                                           Rgb color, Rgb brush) {
    std::string key = text;
    key += '\0';
    key += std::to_string(pixelSize) + ' ' + std::to_string(bold) + ' ' + std::to_string(scale) + ' ' +
           std::to_string(color) + ' ' + std::to_string(brush);
    if (const auto found = drawn_.find(key); found != drawn_.end()) return found->second;
    // A device writes the same few texts again and again (a value, a unit, a mode); what it wrote once
    // in a while (every counter's value) must not grow without end.
    if (drawn_.size() >= kDrawnTextsKept) drawn_.clear();
    DrawnText drawn;
    const std::unique_ptr<unsigned char, FreeWithFree> rgba(
        DrawTextInPage(text.c_str(), pixelSize, bold, scale, static_cast<int>(color), static_cast<int>(brush),
                       &drawn.width, &drawn.height));
    drawn.rgba.assign(rgba.get(), rgba.get() + static_cast<size_t>(drawn.width * scale) *
                                                   static_cast<size_t>(drawn.height * scale) * 4);
    return drawn_.emplace(std::move(key), std::move(drawn)).first->second;
}

void PageHost::TextOut(Picture& picture, int x, int y, const std::string& text, const Font& font, Rgb color,
                       Rgb brush) {
    const int pixelSize =
        font.pixelHeight > 0 ? font.pixelHeight : static_cast<int>(std::lround(font.size * kPixelsPerPoint));
    const DrawnText& drawn = Drawn(text, pixelSize, font.bold, picture.Scale(), color, brush);
    // The text is clipped to its cell, which it fills first: it hides whatever lay there before. The
    // device's picture notes it until the page reads the frame; the drawn text stays in the cache
    // (or is drawn again if it left it meanwhile).
    picture.Paint({x, y, x + drawn.width, y + drawn.height},
                  [this, x, y, text, pixelSize, font, color, brush](Picture& p) {
                      WriteText(p, x, y, Drawn(text, pixelSize, font.bold, p.Scale(), color, brush));
                  });
}

void PageHost::WriteText(Picture& picture, int x, int y, const DrawnText& drawn) {
    const int width = drawn.width, height = drawn.height, scale = picture.Scale();
    // The cell clipped to the picture, in device pixels.
    const int left = std::max(0, x * scale), top = std::max(0, y * scale);
    const int right = std::min(picture.DeviceWidth(), (x + width) * scale);
    const int bottom = std::min(picture.DeviceHeight(), (y + height) * scale);
    Rgb* bits = picture.Bits();
    for (int row = top; row < bottom; ++row)
        for (int column = left; column < right; ++column) {
            const unsigned char* p =
                drawn.rgba.data() + 4 * ((row - y * scale) * width * scale + (column - x * scale));
            bits[row * picture.DeviceWidth() + column] = MakeRgb(p[0], p[1], p[2]);
        }
}

int PageHost::LabelWidth(const std::string& text) const {
    return LabelWidthInPage(text.c_str());
}

void PageHost::ShowModalDialog(ModalDialog dialog) {
    dialogsAsked_.push_back(dialog);
    ScriptedHost::ShowModalDialog(dialog);
}

std::vector<ModalDialog> PageHost::TakeDialogsAsked() {
    return std::exchange(dialogsAsked_, {});
}

void PageHost::RequestClose() {
    if (closeHeld_ && closeHeld_())
        closeAskedHeld_ = true;
    else
        ScriptedHost::RequestClose();
}

} // namespace vp7
