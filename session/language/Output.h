// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the scenario runner writes values: reals with four decimals, integers and flags as integers,
// texts in double quotes with line breaks as \n.
#include <string>
#include <string_view>

namespace vp7 {

struct NamedValue;
struct Control;

std::string QuoteText(std::string_view text);
std::string FormatReal(double value);
std::string FormatValue(const NamedValue& value);
// The value part of `print CONTROL`: check mark, item index, text or caption.
std::string FormatControl(const Control& control);
// Text for an HTML page: &, <, > and " as entities.
std::string EscapeHtml(std::string_view text);
// The text EscapeHtml made the entities of, back.
std::string UnescapeHtml(std::string_view html);
// Reads a double-quoted argument with \xNN, \" and \\ escapes; false when malformed.
bool UnquoteText(std::string_view quoted, std::string& out);

} // namespace vp7
