// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/RewindDialog.h"

#include "session/exercise/ExerciseReport.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace vp7 {
namespace {

constexpr int64_t kMinuteMs = 60000;
constexpr int kMargin = 16;
constexpr int kMarkHalfWidth = 4;
constexpr int kLabelSpacing = 48; // points between two minute labels at least

} // namespace

class RewindTimeline : public QWidget {
public:
    RewindTimeline(int64_t lengthMs, std::vector<RewindMark> marks, std::function<void()> changed)
        : length_(std::max<int64_t>(1, lengthMs)), marks_(std::move(marks)), changed_(std::move(changed)) {
        setObjectName(QStringLiteral("RewindTimeline"));
        setMinimumSize(560, 90);
        setMouseTracking(true);
        // The last event before now is where a trainer most often wants to go back to: just before it.
        for (const RewindMark& mark : marks_)
            if (mark.ms >= 0 && mark.ms <= length_) chosen_ = std::max<int64_t>(0, mark.ms - 1);
    }
    int64_t Chosen() const { return chosen_; }
    void Choose(int64_t ms) {
        chosen_ = std::clamp<int64_t>(ms, 0, length_);
        update();
        changed_();
    }

protected:
    int X(int64_t ms) const { return kMargin + static_cast<int>((width() - 2 * kMargin) * ms / length_); }
    int64_t Ms(int x) const {
        return std::clamp<int64_t>(int64_t(x - kMargin) * length_ / std::max(1, width() - 2 * kMargin), 0,
                                   length_);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int axis = height() / 2;
        p.setPen(palette().color(QPalette::WindowText));
        p.drawLine(X(0), axis, X(length_), axis);
        const int64_t minutes = length_ / kMinuteMs;
        const int64_t labelEvery =
            std::max<int64_t>(1, kLabelSpacing * minutes / std::max(1, width() - 2 * kMargin) + 1);
        for (int64_t m = 0; m <= minutes; ++m) {
            const int x = X(m * kMinuteMs);
            p.drawLine(x, axis - 5, x, axis + 5);
            if (m % labelEvery == 0)
                p.drawText(QRect(x - 30, axis + 8, 60, 16), Qt::AlignHCenter, QStringLiteral("%1:00").arg(m));
        }
        p.setPen(QColor(150, 110, 0));
        p.setBrush(QColor(255, 210, 0));
        for (const RewindMark& mark : marks_) {
            const int x = X(mark.ms);
            p.drawPolygon(QPolygon({QPoint(x - kMarkHalfWidth, axis - 16),
                                    QPoint(x + kMarkHalfWidth, axis - 16), QPoint(x, axis - 7)}));
        }
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawLine(X(chosen_), 6, X(chosen_), height() - 6);
    }
    void mousePressEvent(QMouseEvent* e) override { Choose(Ms(e->position().toPoint().x())); }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint at = e->position().toPoint();
        if (e->buttons() & Qt::LeftButton) Choose(Ms(at.x()));
        QString tip;
        for (const RewindMark& mark : marks_)
            if (std::abs(X(mark.ms) - at.x()) <= kMarkHalfWidth)
                tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) +
                       QString::fromStdString(MinutesSeconds(mark.ms)) + QStringLiteral("  ") + mark.text;
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(e->globalPosition().toPoint(), tip, this);
    }

private:
    int64_t length_;
    std::vector<RewindMark> marks_;
    std::function<void()> changed_;
    int64_t chosen_ = 0;
};

RewindDialog::RewindDialog(QWidget* parent, int64_t lengthMs, std::vector<RewindMark> marks, bool german)
    : QDialog(parent), german_(german) {
    setObjectName(QStringLiteral("RewindDialog"));
    setWindowTitle(german ? QStringLiteral("Zurückspulen") : QStringLiteral("Rewind"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(german ? QStringLiteral("Zu welchem Zeitpunkt der Sitzung zurückspulen?")
                                        : QStringLiteral("Rewind the session to which moment?"),
                                 this));
    timeline_ = new RewindTimeline(lengthMs, std::move(marks), [this] { ShowChosen(); });
    layout->addWidget(timeline_);
    chosen_ = new QLabel(this);
    chosen_->setObjectName(QStringLiteral("RewindChosen"));
    layout->addWidget(chosen_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    ShowChosen();
}

int64_t RewindDialog::ChosenMs() const {
    return timeline_->Chosen();
}

void RewindDialog::Choose(int64_t ms) {
    timeline_->Choose(ms);
}

void RewindDialog::ShowChosen() {
    const QString time = QString::fromStdString(MinutesSeconds(timeline_->Chosen()));
    chosen_->setText((german_
                          ? QStringLiteral("Zurück auf %1; was danach kam, wird in einer Datei aufbewahrt.")
                          : QStringLiteral("Back to %1; what came after is kept in a file."))
                         .arg(time));
}

} // namespace vp7
