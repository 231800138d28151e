// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtTranslation.h"

#include "model/DeviceCodes.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace vp7 {

QtTranslation::~QtTranslation() {
    if (installed_) QCoreApplication::removeTranslator(&german_);
}

void QtTranslation::Follow(Language language) {
    const bool german = language == Language::German;
    if (german && !tried_) {
        tried_ = true;
        // Debian's qt6-translations-l10n; without it Qt's texts simply stay English.
        loaded_ =
            german_.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    const bool wanted = german && loaded_;
    if (wanted == installed_) return;
    if (wanted) {
        installed_ = QCoreApplication::installTranslator(&german_);
    } else {
        QCoreApplication::removeTranslator(&german_);
        installed_ = false;
    }
}

} // namespace vp7
