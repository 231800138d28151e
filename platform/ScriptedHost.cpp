// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ScriptedHost.h"

#include <algorithm>

namespace vp7 {

void ScriptedHost::ProcessMessages() {
    if (onProcess_) onProcess_();
}

MsgButton ScriptedHost::MessageDlg(const std::string& text, MsgType type, MsgButtons buttons) {
    const MsgButton answer = TakeAnswer().value_or(buttons.First());
    messages_.push_back({text, type, buttons, answer});
    if (onMessage_) onMessage_(messages_.back());
    return answer;
}

std::optional<std::string> ScriptedHost::OpenFileDialog(const std::string&, const std::string&) {
    return NextFile(FileUse::Open);
}
std::optional<std::string> ScriptedHost::SaveFileDialog(const std::string&, const std::string&,
                                                        const std::string&) {
    return NextFile(FileUse::Save);
}

int ScriptedHost::TextHeight(const Font& font) {
    return font.pixelHeight > 0 ? font.pixelHeight : font.size * 4 / 3 + 3;
}

int ScriptedHost::TextWidth(const std::string& text, const Font& font) {
    int chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++chars; // count UTF-8 code points, not bytes
    return chars * (font.size * 2 / 3 + (font.bold ? 2 : 1));
}

int ScriptedHost::LabelWidth(const std::string& text) const {
    int longest = 0, current = 0;
    for (unsigned char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            current = 0;
            continue;
        }
        if ((c & 0xC0) != 0x80) longest = std::max(longest, ++current);
    }
    return longest * 9 + 4;
}

// Each character becomes a block in the text colour inside its cell, so a test can tell that text is
// there and where, without depending on installed fonts.
void ScriptedHost::TextOut(Picture& picture, int x, int y, const std::string& text, const Font& font,
                           Rgb color, Rgb brush) {
    const int h = TextHeight(font), w = TextWidth(text, font);
    const Rgb oldBrush = picture.BrushColor();
    picture.SetBrushColor(brush);
    picture.FillRect({x, y, x + w, y + h});
    picture.SetBrushColor(color);
    const int cell = font.size * 2 / 3 + (font.bold ? 2 : 1);
    int cx = x;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;
        if (c != ' ') picture.FillRect({cx, y + 2, cx + cell - 1, y + h - 2});
        cx += cell;
    }
    picture.SetBrushColor(oldBrush);
}

} // namespace vp7
