// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <utility>

namespace vp7 {

void QtHost::ProcessMessages() {
    QCoreApplication::processEvents();
}

bool QtHost::LeftButtonDown() const {
    if (script_) return script_->ScriptLeftButtonDown();
    return keyHeld_ || (QGuiApplication::mouseButtons() & Qt::LeftButton);
}

MsgButton QtHost::MessageDlg(const std::string& text, MsgType type, MsgButtons buttons) {
    BeforeModal();
    if (script_) {
        const MsgButton answer = script_->TakeAnswer().value_or(buttons.First());
        if (playedMessage_) playedMessage_(text, answer);
        return answer;
    }
    QMessageBox box(window_);
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(QString::fromStdString(text));
    switch (type) {
    case MsgType::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgType::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgType::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgType::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    }
    const std::pair<MsgButton, QMessageBox::StandardButton> map[] = {{MsgButton::OK, QMessageBox::Ok},
                                                                     {MsgButton::Cancel, QMessageBox::Cancel},
                                                                     {MsgButton::Yes, QMessageBox::Yes},
                                                                     {MsgButton::No, QMessageBox::No}};
    QMessageBox::StandardButtons qbuttons;
    for (auto [ours, theirs] : map)
        if (buttons.Has(ours)) qbuttons |= theirs;
    box.setStandardButtons(qbuttons ? qbuttons : QMessageBox::Ok);
    const int chosen = box.exec();
    // Closing the box with Escape or the title bar counts as Cancel where there is one.
    MsgButton answer = buttons.Has(MsgButton::Cancel) ? MsgButton::Cancel : buttons.First();
    for (auto [ours, theirs] : map)
        if (chosen == theirs) answer = ours;
    Answered({.kind = ActionKind::Answer, .answer = answer});
    return answer;
}

std::string QtFileFilter(const std::string& filter) {
    // Pairs of description and pattern; Qt wants only the descriptions, which carry their patterns.
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i < parts.size(); i += 2)
        out << parts[i];
    return out.join(";;").toStdString();
}

std::optional<std::string> QtHost::OpenFileDialog(const std::string& filter, const std::string& initialDir) {
    BeforeModal();
    if (script_) return script_->NextFile(FileUse::Open);
    if (nextOpen_) {
        const std::optional<std::string> chosen = std::exchange(nextOpen_, std::nullopt);
        Answered({.kind = ActionKind::FileChosen, .text = chosen});
        return chosen;
    }
    const QString path = QFileDialog::getOpenFileName(window_, {}, QString::fromStdString(initialDir),
                                                      QString::fromStdString(QtFileFilter(filter)));
    const std::optional<std::string> chosen =
        path.isEmpty() ? std::nullopt : std::optional<std::string>(path.toStdString());
    Answered({.kind = ActionKind::FileChosen, .text = chosen});
    return chosen;
}

std::optional<std::string> QtHost::SaveFileDialog(const std::string& filter, const std::string& initialDir,
                                                  const std::string& defaultSuffix) {
    BeforeModal();
    if (script_) return script_->NextFile(FileUse::Save);
    QFileDialog dialog(window_, {}, QString::fromStdString(initialDir),
                       QString::fromStdString(QtFileFilter(filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Known to the dialog, the suffix is added before it asks about overwriting, so "a" asks for "a.vp7".
    dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
    std::optional<std::string> chosen;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        chosen = dialog.selectedFiles().constFirst().toStdString();
    Answered({.kind = ActionKind::FileChosen, .text = chosen});
    return chosen;
}

void QtHost::TextOut(Picture& picture, int x, int y, const std::string& text, const Font& font, Rgb color,
                     Rgb brush) {
    // Paint straight into the picture's pixels at its scale, so text stays sharp on dense screens.
    QImage image(reinterpret_cast<uchar*>(picture.Bits()), picture.DeviceWidth(), picture.DeviceHeight(),
                 picture.DeviceWidth() * 4, QImage::Format_RGB32);
    QPainter p(&image);
    p.scale(picture.Scale(), picture.Scale());
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(font.pixelHeight > 0 ? font.pixelHeight
                                        : static_cast<int>(std::lround(font.size * 96.0 / 72.0)));
    f.setBold(font.bold);
    p.setFont(f);
    const QString s = QString::fromStdString(text);
    const QFontMetrics fm(f);
    const QRect cell(x, y, fm.horizontalAdvance(s), fm.height());
    p.fillRect(cell, QColor::fromRgb(brush));
    p.setPen(QColor::fromRgb(color));
    p.drawText(cell, Qt::AlignLeft | Qt::AlignTop, s);
    p.end();
    const Rect covered{cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1};
    picture.MarkDirty(covered);
    // The text is clipped to its cell, which it fills first: it hides whatever lay there before.
    picture.NoteDrawn(covered, [this, x, y, text, font, color, brush](Picture& again) {
        TextOut(again, x, y, text, font, color, brush);
    });
}

QFont HelpLabelFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(17);
    return f;
}

int QtHost::LabelWidth(const std::string& text) const {
    const QFontMetrics fm(HelpLabelFont());
    int width = 0;
    for (const QString& line : QString::fromStdString(text).remove('\r').split('\n'))
        width = std::max(width, fm.horizontalAdvance(line));
    return width + 4;
}

void QtHost::ShowModalDialog(ModalDialog dialog) {
    BeforeModal();
    if (script_) return script_->RunModalDialog(dialog);
    if (onDialog_) onDialog_(dialog);
}

ScreenInfo QtHost::Screen() const {
    if (script_) return script_->ScriptScreen();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 0};
    const QSize size = screen->size();
    return {size.width(), size.height(), screen->depth()};
}

void QtHost::RequestClose() {
    if (script_) return script_->NoteCloseRequest();
    QMetaObject::invokeMethod(window_, "close", Qt::QueuedConnection);
}

} // namespace vp7
