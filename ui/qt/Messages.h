// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's message boxes, for every window that shows a device: its title, and a text shown as it
// is, never as markup.
#include <QMessageBox>
#include <QString>

class QWidget;

namespace vp7 {

// The application title shown by the window system and in message boxes.
inline const QString kApplicationTitle = QStringLiteral("KELDAR-VP7 Nachbildung");

// A message box whose text is shown as it is, never as markup: it may hold a name or a file name.
void ShowPlainMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text);

// A file the user chose cannot be used: a message box with `heading` ("The recording cannot be
// played:"), the file and why; `german` for the reason that it cannot be read.
void RefuseFile(QWidget* parent, const QString& heading, const QString& path, const QString& why);
QString UnreadableFileText(bool german);

} // namespace vp7
