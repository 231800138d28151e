// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's own texts — the standard buttons ("OK" / "Abbrechen"), the file and print dialogs — in the
// program's language: Qt's German translation is installed while the program speaks German and taken
// out for English.
#include "model/DeviceCodes.h"

#include <QTranslator>

#include <cstdint>

namespace vp7 {

class QtTranslation {
public:
    ~QtTranslation();
    // Installs or removes the German translation; nothing happens when the language stays.
    void Follow(Language language);
    // Whether Qt's German texts are in use (false also when the translation is not installed).
    bool German() const { return installed_; }

private:
    QTranslator german_;
    bool loaded_ = false, tried_ = false, installed_ = false;
};

} // namespace vp7
