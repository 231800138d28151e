// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/InitInfoWindow.h"

#include "sim/Simulator.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextEdit>

namespace vp7 {
namespace {

QLabel* MakeLabel(QWidget* parent, int x, int y) {
    auto* l = new QLabel(parent);
    QFont f = l->font();
    f.setPixelSize(13);
    l->setFont(f);
    l->move(x, y);
    return l;
}

QTextEdit* MakeText(QWidget* parent, int x, int y) {
    auto* t = new QTextEdit(parent);
    t->setReadOnly(true);
    t->setFocusPolicy(Qt::NoFocus); // not reached with the tab key
    t->setGeometry(x, y, 217, 89);
    return t;
}

QLabel* MakeStatus(QWidget* parent, int x, int y, int w, const char* background) {
    auto* l = new QLabel(parent);
    l->setGeometry(x, y, w, 24);
    l->setFrameShape(QFrame::Box);
    l->setStyleSheet(
        QStringLiteral("background-color: %1; color: black; font-weight: bold;").arg(background));
    return l;
}

constexpr QSize kDesignedSize(424, 480), kKnobsSize(139, 69);
// The keys' picture is drawn this many times as fine and reduced to the window's zoom.
constexpr int kKnobsDetail = 3;

// The three device keys as they sit under the display: mode, decrease, increase.
QPixmap KnobsPicture() {
    QPixmap pixmap(kKnobsSize * kKnobsDetail);
    pixmap.setDevicePixelRatio(kKnobsDetail);
    pixmap.fill(QColor(96, 96, 96));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const char* const symbols[] = {"\u25a1", "\u2212", "+"};
    for (int i = 0; i < 3; ++i) {
        const QRect key(10 + i * 44, 16, 32, 32);
        p.setBrush(QColor(40, 40, 40));
        p.setPen(QPen(QColor(200, 200, 200), 2));
        p.drawRoundedRect(key, 6, 6);
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setPixelSize(18);
        f.setBold(true);
        p.setFont(f);
        p.drawText(key, Qt::AlignCenter, QString::fromUtf8(symbols[i]));
    }
    return pixmap;
}

} // namespace

InitInfoWindow::InitInfoWindow(Simulator& sim, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      sim_(&sim) {
    setObjectName(QStringLiteral("InitInfoForm"));
    setWindowTitle(QStringLiteral("Initialisierung"));
    resize(kDesignedSize);
    runStatus_ = MakeLabel(this, 8, 8);
    currentRun_ = MakeStatus(this, 8, 32, 81, "rgb(0, 255, 0)");
    QFont big = currentRun_->font();
    big.setPixelSize(16);
    big.setBold(true);
    currentRun_->setFont(big);
    currentRun_->setObjectName(QStringLiteral("CurrentRunText"));
    runDiscr_ = MakeLabel(this, 184, 8);
    runText_ = MakeText(this, 184, 32);
    runText_->setObjectName(QStringLiteral("InitRunText"));
    runError_ = MakeLabel(this, 8, 144);
    errorText_ = MakeStatus(this, 8, 168, 161, "red");
    runToDo_ = MakeLabel(this, 184, 144);
    measureText_ = MakeText(this, 184, 168);
    runKey_ = MakeLabel(this, 8, 280);
    auto* knobs = new QLabel(this);
    knobs->setObjectName(QStringLiteral("KnobsImage"));
    knobs->setGeometry(QRect(QPoint(8, 304), kKnobsSize));
    knobs->setScaledContents(true); // the zoom's size, reduced smoothly
    knobs->setPixmap(KnobsPicture());
    runFunction_ = MakeLabel(this, 184, 280);
    keyText_ = MakeText(this, 184, 304);
    pause_ = new QPushButton(this);
    pause_->setObjectName(QStringLiteral("RunPauseButton"));
    pause_->setGeometry(184, 416, 75, 25);
    connect(pause_, &QPushButton::clicked, this, [this] { sim_->RunPauseClick(); });
}

void InitInfoWindow::SetZoom(double factor) {
    zoomed_.Apply(*this, factor);
    resize(FormZoom(factor)(kDesignedSize));
}

void InitInfoWindow::SyncFromForm() {
    const InitInfoState& info = sim_->form.initInfo;
    const std::pair<QLabel*, const std::string*> labels[] = {
        {runStatus_, &info.runStatusLabel},  {runDiscr_, &info.runDiscrLabel},
        {runError_, &info.runErrorLabel},    {runToDo_, &info.runToDoLabel},
        {runKey_, &info.runKeyLabel},        {runFunction_, &info.runFunctionLabel},
        {currentRun_, &info.currentRunText}, {errorText_, &info.errorText}};
    for (auto [label, text] : labels) {
        label->setText(QString::fromStdString(*text));
        if (label != currentRun_ && label != errorText_) label->adjustSize();
    }
    QStringList lines;
    for (const std::string& line : info.runLines)
        lines << QString::fromStdString(line);
    if (runText_->toPlainText() != lines.join('\n')) runText_->setPlainText(lines.join('\n'));
    measureText_->setPlainText(QString::fromStdString(info.measureText));
    keyText_->setPlainText(QString::fromStdString(info.keyText));
    pause_->setText(QString::fromStdString(info.pauseCaption));
    if (info.visible && !wasVisible_) {
        move(info.left, info.top); // every start brings the window back to its place
        show();
        KeepOnScreen(*this);
    } else if (!info.visible && wasVisible_) {
        hide();
    }
    wasVisible_ = info.visible;
}

// Only the end of the procedure hides the window: hidden by Esc or the window manager's close, it would
// take the Pause button away for the rest of the run.
void InitInfoWindow::reject() {
    if (!sim_->form.initInfo.visible) QDialog::reject();
}

void InitInfoWindow::closeEvent(QCloseEvent* event) {
    if (sim_->form.initInfo.visible)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace vp7
