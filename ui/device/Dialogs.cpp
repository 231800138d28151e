// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/Dialogs.h"

#include "sim/Simulator.h"
#include "sim/display/ScreenCheck.h"
#include "sim/operation/ParamTableView.h"
#include "sim/operation/ScaleDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace vp7 {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The parameter table's grid inside its window, and its columns.
constexpr int kGridMargin = 7, kGridWidth = 184 + 48, kGridBelow = 48, kColumnWidth = 100;
constexpr QSize kScaleDialogSize(361, 197), kScreenCheckSize(500, 284);

// A length of the zoomed window in the points it was designed in.
int DesignedLength(int zoomed, const FormZoom& zoom) {
    return static_cast<int>(std::lround(zoomed / zoom.Factor()));
}

QLabel* Label(QWidget* parent, int x, int y, int pixelSize, bool bold = false) {
    auto* l = new QLabel(parent);
    QFont f = l->font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    l->setFont(f);
    l->move(x, y);
    return l;
}

} // namespace

ParamTableWindow::ParamTableWindow(Simulator& sim, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), sim_(&sim) {
    setObjectName(QStringLiteral("Form3"));
    setFixedWidth(ParamTableView::Width);
    setMinimumHeight(ParamTableView::MinHeight);
    grid_ = new QTableWidget(0, 2, this);
    grid_->setObjectName(QStringLiteral("ParTab"));
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(15);
    mono.setBold(true);
    grid_->setFont(mono);
    designedFont_ = mono;
    // The header row is the table's own header, so it stays in place while the rows scroll.
    QHeaderView* header = grid_->horizontalHeader();
    header->setFont(mono);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    grid_->setColumnWidth(0, kColumnWidth);
    grid_->setColumnWidth(1, kColumnWidth);
}

void ParamTableWindow::SetZoom(double factor) {
    if (factor == zoom_.Factor()) return;
    const int designedHeight = DesignedLength(height(), zoom_);
    zoom_ = FormZoom(factor);
    const QFont font = ZoomedFont(designedFont_, factor);
    grid_->setFont(font);
    grid_->horizontalHeader()->setFont(font);
    grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + zoom_(8));
    grid_->setColumnWidth(0, zoom_(kColumnWidth));
    grid_->setColumnWidth(1, zoom_(kColumnWidth));
    setFixedWidth(zoom_(ParamTableView::Width));
    setMinimumHeight(zoom_(ParamTableView::MinHeight));
    resize(width(), zoom_(designedHeight));
}

void ParamTableWindow::SyncFromForm() {
    const ParTabState& t = sim_->form.parTab;
    setWindowTitle(Q(t.caption));
    // rows[0] is the header row; the grid holds the rows below it.
    if (!t.rows.empty()) grid_->setHorizontalHeaderLabels({Q(t.rows[0][0]), Q(t.rows[0][1])});
    const int dataRows = std::max(0, static_cast<int>(t.rows.size()) - 1);
    grid_->setRowCount(dataRows);
    for (int r = 0; r < dataRows; ++r)
        for (int c = 0; c < 2; ++c) {
            auto* item = grid_->item(r, c);
            if (!item) grid_->setItem(r, c, item = new QTableWidgetItem);
            item->setText(Q(t.rows[r + 1][c]));
        }
    if (t.visible && !shown_) {
        shown_ = true;
        move(t.left, t.top);
        resize(zoom_(ParamTableView::Width), zoom_(t.height));
        show();
        KeepOnScreen(*this);
    } else if (!t.visible && shown_) {
        shown_ = false;
        hide();
    }
}

void ParamTableWindow::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (!isVisible()) return;
    sim_->form.parTab.left = x();
    sim_->form.parTab.top = y();
}

void ParamTableWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The device keeps the window's height in points, as at 100 %.
    sim_->paramTableView.FormCanResize(DesignedLength(width(), zoom_), DesignedLength(height(), zoom_));
    grid_->setGeometry(zoom_(kGridMargin), zoom_(kGridMargin), zoom_(kGridWidth),
                       height() - zoom_(kGridBelow));
}

void ParamTableWindow::closeEvent(QCloseEvent* event) {
    shown_ = false;
    sim_->paramTableView.FormClose();
    event->accept();
}

void ParamTableWindow::keyPressEvent(QKeyEvent* event) {
    const auto m = event->modifiers();
    sim_->paramTableView.FormKeyDown(event->key() == Qt::Key_F5 ? ParamTableView::KeyF5 : 0,
                                     m & Qt::ShiftModifier, m & Qt::AltModifier, m & Qt::ControlModifier);
    QDialog::keyPressEvent(event);
}

ScaleDialogWindow::ScaleDialogWindow(Simulator& sim, QWidget* parent)
    : QDialog(parent, Qt::Tool), sim_(&sim) {
    setObjectName(QStringLiteral("Form4"));
    setFixedSize(kScaleDialogSize);
    label1_ = Label(this, 16, 10, 13);
    xe_ = new QLineEdit(this);
    xe_->setGeometry(16, 32, 169, 21);
    label2_ = Label(this, 16, 66, 13);
    xa_ = new QLineEdit(this);
    xa_->setGeometry(16, 88, 169, 21);
    label3_ = Label(this, 224, 16, 13);
    Label(this, 224, 40, 13)->setText(QStringLiteral("0 <= Xa <= 90"));
    Label(this, 224, 64, 13)->setText(QStringLiteral("10 <= Xe <= 100"));
    Label(this, 224, 88, 13)->setText(QStringLiteral("Xe >= Xa + 10"));
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setGeometry(16, 128, 75, 25);
    ok->setDefault(true);
    cancel_ = new QPushButton(this);
    cancel_->setGeometry(112, 128, 75, 25);
    connect(ok, &QPushButton::clicked, this, [this] {
        sim_->form.scaleDialog.setpoint100Edit = xe_->text().toStdString();
        sim_->form.scaleDialog.setpoint0Edit = xa_->text().toStdString();
        if (sim_->scaleDialog.Button1Click()) {
            accept();
            return;
        }
        // Refused values keep the dialog open as typed; a recording repeats the attempt.
        sim_->Answered({.kind = ActionKind::ScaleDialog,
                        .text = sim_->form.scaleDialog.setpoint100Edit,
                        .text2 = sim_->form.scaleDialog.setpoint0Edit});
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void ScaleDialogWindow::SetZoom(double factor) {
    zoomed_.Apply(*this, factor);
    setFixedSize(FormZoom(factor)(kScaleDialogSize));
}

void ScaleDialogWindow::Run() {
    const ScaleDialogState& d = sim_->form.scaleDialog;
    setWindowTitle(Q(d.caption));
    label1_->setText(Q(d.label1));
    label2_->setText(Q(d.label2));
    label3_->setText(Q(d.label3));
    for (QLabel* l : {label1_, label2_, label3_})
        l->adjustSize();
    cancel_->setText(Q(d.cancelCaption));
    xe_->setText(Q(d.setpoint100Edit));
    xa_->setText(Q(d.setpoint0Edit));
    const bool accepted = exec() == QDialog::Accepted;
    sim_->Answered({.kind = ActionKind::ScaleDialog,
                    .text = accepted ? std::optional(d.setpoint100Edit) : std::nullopt,
                    .text2 = accepted ? std::optional(d.setpoint0Edit) : std::nullopt});
}

void ScreenCheckWindow::SetZoom(double factor) {
    zoomed_.Apply(*this, factor);
    setFixedSize(FormZoom(factor)(kScreenCheckSize));
}

ScreenCheckWindow::ScreenCheckWindow(Simulator& sim, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), sim_(&sim) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(kScreenCheckSize);
    const int rows[] = {24, 48, 96, 120, 144};
    for (int i = 0; i < 5; ++i)
        lines_[i] = Label(this, 24, rows[i], 17, true);
    continue_ = new QPushButton(this);
    continue_->setGeometry(24, 192, 193, 25);
    close_ = new QPushButton(this);
    close_->setGeometry(280, 192, 193, 25);
    check_ = new QCheckBox(this);
    check_->setGeometry(24, 240, 393, 24);
    connect(continue_, &QPushButton::clicked, this, [this] {
        sim_->Answered({.kind = ActionKind::Answer, .answer = MsgButton::OK});
        sim_->screenCheck.Button1Click();
        accept();
    });
    connect(close_, &QPushButton::clicked, this, [this] {
        sim_->Answered({.kind = ActionKind::Answer, .answer = MsgButton::Cancel});
        sim_->screenCheck.Button2Click();
        accept();
    });
    connect(check_, &QCheckBox::toggled, this, [this](bool on) { sim_->screenCheck.ScreenCheckClick(on); });
}

void ScreenCheckWindow::Run() {
    const ScreenCheckState& d = sim_->form.screenCheck;
    for (int i = 0; i < 5; ++i) {
        lines_[i]->setText(Q(d.lines[i]));
        lines_[i]->adjustSize();
    }
    continue_->setText(Q(d.continueCaption));
    close_->setText(Q(d.closeCaption));
    check_->setText(Q(d.checkCaption));
    const QSignalBlocker block(check_);
    check_->setChecked(d.checked);
    exec();
}

} // namespace vp7
