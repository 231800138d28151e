// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/language/Output.h"

#include "model/FormState.h"
#include "platform/NumberFormat.h"
#include "session/language/StateValues.h"

#include <algorithm>

namespace vp7 {

std::string QuoteText(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue; // "\r\n" is one break
        if (c == '\n' || c == '\r')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out + "\"";
}

std::string FormatReal(double value) {
    return FormatFixed(value, 4, 18);
}

std::string FormatValue(const NamedValue& value) {
    struct Visitor {
        std::string operator()(const double* v) const { return FormatReal(*v); }
        std::string operator()(const int32_t* v) const { return std::to_string(*v); }
        std::string operator()(const uint32_t* v) const { return std::to_string(*v); }
        std::string operator()(const uint8_t* v) const { return std::to_string(*v); }
        std::string operator()(const std::string* v) const { return QuoteText(*v); }
        std::string operator()(const KeyCode* v) const { return std::to_string(static_cast<int>(*v)); }
        std::string operator()(const Mode* v) const { return std::to_string(static_cast<int>(*v)); }
        std::string operator()(const Language* v) const { return std::to_string(static_cast<int>(*v)); }
    };
    return std::visit(Visitor{}, value.ref);
}

std::string FormatControl(const Control& c) {
    switch (c.kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::MenuItem:
        return c.checked ? "1" : "0";
    case ControlKind::RadioGroup:
        return std::to_string(c.itemIndex);
    case ControlKind::Edit:
    case ControlKind::Label:
        return QuoteText(c.text);
    case ControlKind::Shape:
    case ControlKind::Image:
        return c.visible ? "1" : "0";
    default:
        return QuoteText(c.caption);
    }
}

bool UnquoteText(std::string_view q, std::string& out) {
    if (q.size() < 2 || q.front() != '"' || q.back() != '"') return false;
    const std::string_view in = q.substr(1, q.size() - 2);
    const auto hex = [](char h) {
        if (h >= '0' && h <= '9') return h - '0';
        if (h >= 'a' && h <= 'f') return h - 'a' + 10;
        if (h >= 'A' && h <= 'F') return h - 'A' + 10;
        return -1;
    };
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c == '"') return false; // an unescaped quote inside
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 1 >= in.size()) return false;
        const char e = in[++i];
        if (e == '"' || e == '\\') {
            out += e;
        } else if (e == 'x' && i + 2 < in.size() && hex(in[i + 1]) >= 0 && hex(in[i + 2]) >= 0) {
            out += static_cast<char>(hex(in[i + 1]) * 16 + hex(in[i + 2]));
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string UnescapeHtml(std::string_view html) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
    std::string out;
    for (size_t i = 0; i < html.size(); ++i) {
        const auto entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                         [&](const auto& e) { return html.substr(i).starts_with(e.first); });
        if (entity == std::end(kEntities)) {
            out += html[i];
            continue;
        }
        out += entity->second;
        i += entity->first.size() - 1;
    }
    return out;
}

} // namespace vp7
