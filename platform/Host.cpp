// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Host.h"

namespace vp7 {

MsgButton MsgButtons::First() const {
    for (MsgButton b : {MsgButton::OK, MsgButton::Cancel, MsgButton::Yes, MsgButton::No})
        if (Has(b)) return b;
    return MsgButton::OK;
}

const char* MsgTypeName(MsgType t) {
    switch (t) {
    case MsgType::Warning:
        return "warning";
    case MsgType::Error:
        return "error";
    case MsgType::Information:
        return "information";
    case MsgType::Confirmation:
        return "confirmation";
    }
    return "error";
}

const char* MsgButtonName(MsgButton b) {
    switch (b) {
    case MsgButton::OK:
        return "OK";
    case MsgButton::Cancel:
        return "Cancel";
    case MsgButton::Yes:
        return "Yes";
    case MsgButton::No:
        return "No";
    case MsgButton::None:
        break;
    }
    return "None";
}

std::optional<MsgButton> MsgButtonFromName(const std::string& name) {
    for (MsgButton b : {MsgButton::OK, MsgButton::Cancel, MsgButton::Yes, MsgButton::No})
        if (name == MsgButtonName(b)) return b;
    return std::nullopt;
}

} // namespace vp7
