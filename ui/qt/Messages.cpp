// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/Messages.h"

#include <QApplication>

namespace vp7 {

void ShowPlainMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void RefuseFile(QWidget* parent, const QString& heading, const QString& path, const QString& why) {
    ShowPlainMessage(parent, QMessageBox::Critical,
                     heading + QLatin1Char('\n') + path + QStringLiteral("\n\n") + why);
}

QString UnreadableFileText(bool german) {
    return german ? QStringLiteral("Die Datei kann nicht gelesen werden.")
                  : QStringLiteral("The file cannot be read.");
}

} // namespace vp7
