// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/TrendWindow.h"

#include "formats/AtomicFile.h"
#include "platform/Host.h"
#include "session/trend/TrendCsv.h"
#include "session/trend/TrendRecorder.h"
#include "session/trend/TrendSettings.h"
#include "sim/Simulator.h"
#include "sim/files/Settings.h"
#include "ui/qt/Zoom.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <cmath>

namespace vp7 {
namespace {

// At most five redraws a second, however fast samples come: smooth enough for a 2 s stroke, and the
// window costs the program well under one percent of a core while the valve moves.
constexpr int kRedrawIntervalMs = 200;
// While the device rests, each sample repeats the last one drawn and only lengthens the flat lines: the
// window draws that every five seconds, so a quiet window costs next to nothing.
constexpr int kRestRedrawIntervalMs = 5000;
// The scroll bar moves in tenths of a second.
constexpr double kScrollUnitsPerSecond = 10;
// The % axis leaves room above 100 for the event marks.
constexpr double kAxisLow = -5, kAxisHigh = 108, kEventMarkLevel = 104;

struct Signal {
    const char* de;
    const char* en;
    QColor color;
};
// Position in the green of the picture's valve scale marker; the others told apart from it.
const std::array<Signal, 4> kSignals = {{
    {"Sollwert", "Setpoint", QColor(30, 90, 200)},
    {"Positionssollwert", "Position setpoint", QColor(225, 130, 0)},
    {"Istwert", "Position", QColor(0, 160, 60)},
    {"Regelabweichung", "Deviation", QColor(200, 30, 30)},
}};

double SignalValue(const TrendSample& s, int i) {
    switch (i) {
    case 0:
        return s.setpoint;
    case 1:
        return s.positionSetpoint;
    case 2:
        return s.position;
    default:
        return s.Deviation();
    }
}

QString Number(double v, int decimals) {
    return QString::number(v, 'f', decimals); // always "." whatever the locale, as in the CSV
}

} // namespace

TrendWindow::TrendWindow(Simulator& sim, const TrendRecorder& trend, TrendSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), sim_(&sim), trend_(&trend), settings_(settings),
      plot_(new QCustomPlot(this)), span_(new QComboBox(this)), pause_(new QPushButton(this)),
      save_(new QPushButton(this)), readout_(new QLabel(this)), hint_(new QLabel(this)),
      scroll_(new QScrollBar(Qt::Horizontal, this)) {
    setObjectName(QStringLiteral("TrendWindow"));
    setMinimumSize(TrendSettings::kMinWidth, TrendSettings::kMinHeight);
    saveFolder_ = QString::fromStdString(sim.settings.DataDir());
    auto* top = new QHBoxLayout;
    top->addWidget(span_);
    top->addWidget(pause_);
    top->addWidget(save_);
    top->addStretch();
    top->addWidget(hint_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(plot_, 1);
    column->addWidget(scroll_);
    column->addWidget(readout_);
    readout_->setTextFormat(Qt::RichText);
    pause_->setCheckable(true);
    span_->setObjectName(QStringLiteral("Span"));
    pause_->setObjectName(QStringLiteral("Pause"));
    save_->setObjectName(QStringLiteral("SaveTrend"));
    readout_->setObjectName(QStringLiteral("Readout"));

    for (int i = 0; i < 4; ++i) {
        QCPAxis* valueAxis = i == 3 ? plot_->yAxis2 : plot_->yAxis;
        graphs_[i] = plot_->addGraph(plot_->xAxis, valueAxis);
        // The position setpoint dashed: it often lies on the setpoint.
        // One pixel wide: a wider antialiased line costs some 25 ms a redraw of a full 30 s view.
        graphs_[i]->setPen(QPen(kSignals[i].color, 1, i == 1 ? Qt::DashLine : Qt::SolidLine));
        graphs_[i]->setAdaptiveSampling(true);
        // A value holds until the next sample: a setpoint entered jumps, it does not ramp from the
        // sample a second before.
        graphs_[i]->setLineStyle(QCPGraph::lsStepLeft);
    }
    eventMarks_ = plot_->addGraph();
    eventMarks_->setLineStyle(QCPGraph::lsNone);
    eventMarks_->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssTriangleInverted, Qt::black, Qt::yellow, 9));
    eventMarks_->removeFromLegend();
    for (auto*& cursor : cursors_) {
        cursor = new QCPItemStraightLine(plot_);
        cursor->setPen(QPen(Qt::black, 1, Qt::DashLine));
        cursor->setVisible(false);
    }
    // The signals, marks and cursors on a buffered layer of their own, drawn again without the axes.
    // Topmost, so that everything below shares one buffer: each paint then blends two, not three.
    plot_->addLayer(QStringLiteral("signals"), plot_->layer(QStringLiteral("overlay")),
                    QCustomPlot::limAbove);
    signalLayer_ = plot_->layer(QStringLiteral("signals"));
    signalLayer_->setMode(QCPLayer::lmBuffered);
    for (QCPGraph* g : graphs_)
        g->setLayer(signalLayer_);
    eventMarks_->setLayer(signalLayer_);
    for (QCPItemStraightLine* cursor : cursors_)
        cursor->setLayer(signalLayer_);
    QSharedPointer<QCPAxisTickerTime> ticker(new QCPAxisTickerTime);
    ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    plot_->xAxis->setTicker(ticker);
    plot_->yAxis->setRange(kAxisLow, kAxisHigh);
    plot_->yAxis2->setVisible(true);
    // The deviation's axis in its colour, so its zero is not read as 50 %.
    const QColor deviation = kSignals[3].color;
    plot_->yAxis2->setBasePen(QPen(deviation));
    plot_->yAxis2->setTickPen(QPen(deviation));
    plot_->yAxis2->setSubTickPen(QPen(deviation));
    plot_->yAxis2->setTickLabelColor(deviation);
    plot_->yAxis2->setLabelColor(deviation);
    plot_->yAxis2->setRange(-100, 100);
    // The legend in a row of its own above the plot, where no signal runs over it.
    plot_->legend->setVisible(true);
    plot_->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot_->legend->setBorderPen(Qt::NoPen);
    plot_->plotLayout()->insertRow(0);
    plot_->plotLayout()->addElement(0, 0, plot_->legend);
    plot_->plotLayout()->setRowStretchFactor(0, 0.001);
    plot_->setMouseTracking(true);
    plot_->installEventFilter(this);

    for (int seconds : TrendSettings::kSpans)
        span_->addItem(QString(), seconds);
    span_->setCurrentIndex(std::max<int>(0, span_->findData(settings_.spanSeconds)));
    connect(span_, &QComboBox::currentIndexChanged, this, [this] {
        settings_.spanSeconds = span_->currentData().toInt();
        Redraw();
    });
    connect(pause_, &QPushButton::toggled, this, [this] {
        Retranslate();
        Redraw();
    });
    connect(save_, &QPushButton::clicked, this, &TrendWindow::SaveDialog);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
        // Scrolling back holds the view; "Weiter" returns to the present.
        if (value < scroll_->maximum() && !pause_->isChecked()) pause_->setChecked(true);
        PlaceTimeWindow();
        plot_->replot();
    });
    redrawTimer_.setSingleShot(true);
    connect(&redrawTimer_, &QTimer::timeout, this, &TrendWindow::Redraw);
    sinceRedraw_.start();

    // The place kept in the settings, moved onto a screen when no screen shows it whole now.
    setGeometry(KeptOnScreen(QRect(settings_.left, settings_.top, settings_.width, settings_.height),
                             AvailableScreenAreas()));
    placed_ = true;
    Retranslate();
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::Retranslate() {
    const SimState& s = sim_->state;
    if (shownLanguage_ == s.Language && shownPaused_ == pause_->isChecked()) return;
    shownLanguage_ = s.Language;
    shownPaused_ = pause_->isChecked();
    setWindowTitle(QString::fromUtf8(s.Text("Verlauf", "Trend")));
    for (int i = 0; i < 4; ++i)
        graphs_[i]->setName(QString::fromUtf8(s.Text(kSignals[i].de, kSignals[i].en)));
    static constexpr const char* kSpanNames[][2] = {{"30 s", "30 s"},
                                                    {"2 min", "2 min"},
                                                    {"10 min", "10 min"},
                                                    {"30 min", "30 min"},
                                                    {"120 min", "120 min"}};
    for (int i = 0; i < span_->count(); ++i)
        span_->setItemText(i, QString::fromUtf8(s.Text(kSpanNames[i][0], kSpanNames[i][1])));
    pause_->setText(
        QString::fromUtf8(pause_->isChecked() ? s.Text("Weiter", "Resume") : s.Text("Pause", "Pause")));
    save_->setText(QString::fromUtf8(s.Text("Verlauf speichern", "Save trend")));
    hint_->setText(QString::fromUtf8(s.Text("Linksklick: Cursor A, Rechtsklick: Cursor B",
                                            "Left click: cursor A, right click: cursor B")));
    plot_->xAxis->setLabel(QString::fromUtf8(s.Text("Zeit", "Time")));
    plot_->yAxis->setLabel(QStringLiteral("%"));
    plot_->yAxis2->setLabel(QString::fromUtf8(s.Text("Regelabweichung %", "Deviation %")));
    UpdateReadout();
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void TrendWindow::Rebind(Simulator& sim, const TrendRecorder& trend) {
    sim_ = &sim;
    trend_ = &trend;
    for (QCPGraph* g : graphs_)
        g->data()->clear();
    eventMarks_->data()->clear();
    fedSamples_ = fedEvents_ = 0;
    pageStart_ = 0;
    drawnRevision_ = UINT64_MAX;
    shownLanguage_.reset();
    Retranslate();
    if (isVisible()) Redraw();
}

void TrendWindow::Recorded() {
    if (!isVisible() || pause_->isChecked() || trend_->Revision() == drawnRevision_) return;
    const int interval = OnlyRepeatsSinceDrawn() ? kRestRedrawIntervalMs : kRedrawIntervalMs;
    const qint64 due = std::max<qint64>(0, interval - sinceRedraw_.elapsed());
    if (redrawTimer_.isActive() && redrawTimer_.remainingTime() <= due) return;
    redrawTimer_.start(due);
}

bool TrendWindow::OnlyRepeatsSinceDrawn() const {
    const auto& samples = trend_->Samples();
    if (fedSamples_ == 0 || fedSamples_ <= samples.FirstKept() || trend_->Events().Pushed() != fedEvents_)
        return false;
    const TrendSample& drawn = samples.Numbered(fedSamples_ - 1);
    for (uint64_t n = fedSamples_; n < samples.Pushed(); ++n) {
        const TrendSample& s = samples.Numbered(n);
        if (s.mode != drawn.mode) return false;
        for (int i = 0; i < 4; ++i)
            if (SignalValue(s, i) != SignalValue(drawn, i)) return false;
    }
    return true;
}

double TrendWindow::SpanSeconds() const {
    return span_->currentData().toInt();
}

double TrendWindow::LatestSeconds() const {
    const auto& samples = trend_->Samples();
    return samples.Empty() ? 0 : samples.Back().timeMs / 1000.0;
}

void TrendWindow::FeedNewSamples() {
    const auto& samples = trend_->Samples();
    if (fedSamples_ < samples.FirstKept() && !samples.Empty()) {
        // The oldest samples left the recorder; they leave the plot too.
        const double oldest = samples[0].timeMs / 1000.0;
        for (QCPGraph* g : graphs_)
            g->data()->removeBefore(oldest);
        eventMarks_->data()->removeBefore(oldest);
        fedSamples_ = samples.FirstKept();
    }
    std::array<QVector<double>, 4> values;
    QVector<double> keys;
    for (; fedSamples_ < samples.Pushed(); ++fedSamples_) {
        const TrendSample& s = samples.Numbered(fedSamples_);
        keys.push_back(s.timeMs / 1000.0);
        for (int i = 0; i < 4; ++i)
            values[i].push_back(SignalValue(s, i));
    }
    for (int i = 0; i < 4; ++i)
        graphs_[i]->addData(keys, values[i], true);
    const auto& events = trend_->Events();
    fedEvents_ = std::max(fedEvents_, events.FirstKept());
    for (; fedEvents_ < events.Pushed(); ++fedEvents_)
        eventMarks_->addData(events.Numbered(fedEvents_).timeMs / 1000.0, kEventMarkLevel);
}

// Live, the view moves in pages: when the newest sample reaches the right edge, the view jumps so that
// it stands at three quarters. Between jumps only the signals are drawn again, not the axes.
double TrendWindow::LiveStart() {
    const double latest = LatestSeconds(), span = SpanSeconds();
    if (latest > pageStart_ + span || latest < pageStart_) pageStart_ = std::max(0.0, latest - 0.75 * span);
    return pageStart_;
}

void TrendWindow::UpdateScrollBar() {
    const QSignalBlocker block(scroll_);
    const double last = pause_->isChecked() ? std::max(0.0, LatestSeconds() - SpanSeconds()) : LiveStart();
    const int units = static_cast<int>(std::lround(last * kScrollUnitsPerSecond));
    scroll_->setRange(0, std::max(units, pause_->isChecked() ? scroll_->value() : 0));
    scroll_->setPageStep(static_cast<int>(SpanSeconds() * kScrollUnitsPerSecond));
    if (!pause_->isChecked()) scroll_->setValue(units);
}

// Sets the axes for the view; true when they changed, so they have to be drawn again.
bool TrendWindow::PlaceTimeWindow() {
    const QCPRange before = plot_->xAxis->range(), deviationBefore = plot_->yAxis2->range();
    const double start = scroll_->value() / kScrollUnitsPerSecond;
    plot_->xAxis->setRange(start, start + SpanSeconds());
    // The deviation's axis fits what is in view, symmetric about zero, in steps that rarely change.
    bool found = false;
    const QCPRange shown = graphs_[3]->getValueRange(found, QCP::sdBoth, plot_->xAxis->range());
    const double reach = found ? std::max(std::fabs(shown.lower), std::fabs(shown.upper)) : 0;
    double step = 1;
    for (double nice : {1, 2, 5, 10, 20, 50, 100})
        if ((step = nice) >= reach) break;
    plot_->yAxis2->setRange(-step * 1.05, step * 1.05);
    return plot_->xAxis->range() != before || plot_->yAxis2->range() != deviationBefore;
}

void TrendWindow::Redraw() {
    redrawTimer_.stop();
    FeedNewSamples();
    UpdateScrollBar();
    const bool axesMoved = PlaceTimeWindow();
    UpdateReadout();
    if (axesMoved)
        plot_->replot();
    else
        signalLayer_->replot();
    drawnRevision_ = trend_->Revision();
    sinceRedraw_.restart();
}

void TrendWindow::SetCursor(int which, double seconds) {
    QCPItemStraightLine* cursor = cursors_.at(which);
    cursor->point1->setCoords(seconds, 0);
    cursor->point2->setCoords(seconds, 1);
    cursor->setVisible(true);
    UpdateReadout();
    plot_->replot();
}

std::optional<double> TrendWindow::CursorTime(int which) const {
    const QCPItemStraightLine* cursor = cursors_.at(which);
    if (!cursor->visible()) return std::nullopt;
    return cursor->point1->coords().x();
}

// A small table: time and the four signals at each cursor, and their difference.
void TrendWindow::UpdateReadout() {
    std::array<std::optional<TrendSample>, 2> at;
    std::array<std::optional<double>, 2> times;
    for (int c = 0; c < 2; ++c) {
        times[c] = CursorTime(c);
        if (times[c]) at[c] = trend_->SampleAt(static_cast<int64_t>(std::llround(*times[c] * 1000)));
    }
    if (!times[0] && !times[1]) {
        readout_->clear();
        return;
    }
    const SimState& s = sim_->state;
    const auto cell = [](std::optional<double> v, int decimals) {
        return v ? QStringLiteral("<td align=right>%1</td>").arg(Number(*v, decimals))
                 : QStringLiteral("<td></td>");
    };
    const auto row = [&](const QString& name, std::optional<double> a, std::optional<double> b,
                         int decimals) {
        const std::optional<double> diff = a && b ? std::optional<double>(*b - *a) : std::nullopt;
        return QStringLiteral("<tr><td>%1</td>").arg(name) + cell(a, decimals) + cell(b, decimals) +
               cell(diff, decimals) + QStringLiteral("</tr>");
    };
    QString html = QStringLiteral("<table cellspacing=0 cellpadding=2><tr><td></td><th>A</th><th>B</th>"
                                  "<th>B &minus; A</th></tr>");
    html += row(QString::fromUtf8(s.Text("Zeit (s)", "Time (s)")), times[0], times[1], 3);
    for (int i = 0; i < 4; ++i) {
        const auto value = [&](int c) {
            return at[c] ? std::optional<double>(SignalValue(*at[c], i)) : std::nullopt;
        };
        html += row(QString::fromUtf8(s.Text(kSignals[i].de, kSignals[i].en)) + QStringLiteral(" (%)"),
                    value(0), value(1), 1);
    }
    readout_->setText(html + QStringLiteral("</table>"));
}

// Over an event mark: its texts in the language shown.
void TrendWindow::ShowEventTip(const QPoint& pos) {
    const auto& events = trend_->Events();
    QStringList texts;
    for (std::size_t i = 0; i < events.Size(); ++i) {
        const double x = plot_->xAxis->coordToPixel(events[i].timeMs / 1000.0);
        const double y = plot_->yAxis->coordToPixel(kEventMarkLevel);
        if (std::fabs(x - pos.x()) <= 5 && std::fabs(y - pos.y()) <= 8)
            texts << Number(events[i].timeMs / 1000.0, 3) + QStringLiteral(" s: ") +
                         QString::fromStdString(events[i].Text(sim_->state.Language));
    }
    if (texts.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(plot_->mapToGlobal(pos), texts.join(QLatin1Char('\n')), plot_);
}

bool TrendWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plot_ && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const double seconds = plot_->xAxis->pixelToCoord(mouse->position().x());
        if (mouse->button() == Qt::LeftButton) SetCursor(0, seconds);
        if (mouse->button() == Qt::RightButton) SetCursor(1, seconds);
        return true;
    }
    if (watched == plot_ && event->type() == QEvent::MouseMove)
        ShowEventTip(static_cast<QMouseEvent*>(event)->position().toPoint());
    return QWidget::eventFilter(watched, event);
}

void TrendWindow::SaveDialog() {
    const SimState& s = sim_->state;
    QFileDialog dialog(this, QString::fromUtf8(s.Text("Verlauf speichern", "Save trend")), saveFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString csv = QStringLiteral("CSV (*.csv)"), png = QStringLiteral("PNG (*.png)");
    // A German spreadsheet reads "," as the decimal point and ";" between the fields.
    const QString germanCsv = QStringLiteral("CSV, deutsches Format: ; und , (*.csv)");
    const bool german = s.Language == Language::German;
    dialog.setNameFilters(german ? QStringList{germanCsv, csv, png} : QStringList{csv, png});
    // Known to the dialog, the suffix is added before it asks about overwriting.
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, png](const QString& filter) {
        dialog.setDefaultSuffix(filter == png ? QStringLiteral("png") : QStringLiteral("csv"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    ExportTo(dialog.selectedFiles().constFirst(),
             dialog.selectedNameFilter() == germanCsv ? CsvForm::German : CsvForm::International);
}

bool TrendWindow::ExportTo(const QString& path, CsvForm form) {
    bool written = false;
    if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        written = buffer.open(QIODevice::WriteOnly) && Picture().save(&buffer, "PNG") &&
                  WriteFileAtomically(path.toStdString(), std::string_view(bytes.constData(), bytes.size()));
    } else {
        written = SaveTrendCsv(*trend_, path.toStdString(), form);
    }
    if (!written) {
        const SimState& s = sim_->state;
        sim_->host.MessageDlg(
            s.Text("Der Verlauf konnte nicht gespeichert werden:\n", "The trend could not be saved:\n") +
                path.toStdString(),
            MsgType::Error, MsgButton::OK);
    }
    return written;
}

// The plot as shown, with the cursors' table below it when a cursor is set.
QImage TrendWindow::Picture() const {
    const QPixmap plot = plot_->toPixmap();
    if (readout_->text().isEmpty()) return plot.toImage();
    const QPixmap table = readout_->grab();
    const QSize tableSize = table.deviceIndependentSize().toSize();
    QImage picture(plot.width(), plot.height() + tableSize.height(), QImage::Format_RGB32);
    picture.fill(palette().color(QPalette::Window));
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, plot);
    painter.drawPixmap(QRect(QPoint(0, plot.height()), tableSize), table);
    return picture;
}

// The size is kept in points at 100 %, so the window keeps its proportions at every zoom.
void TrendWindow::KeepPlace() {
    if (!placed_ || !isVisible()) return;
    settings_.left = geometry().left();
    settings_.top = geometry().top();
    settings_.width = static_cast<int>(std::lround(width() / zoom_));
    settings_.height = static_cast<int>(std::lround(height() / zoom_));
}

void TrendWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    KeepPlace();
}

void TrendWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    KeepPlace();
}

void TrendWindow::SetZoom(double zoom) {
    if (zoom != zoom_) {
        zoom_ = zoom;
        const FormZoom scaled(zoom);
        setMinimumSize(scaled(QSize(TrendSettings::kMinWidth, TrendSettings::kMinHeight)));
        const QSize size = scaled(QSize(settings_.width, settings_.height));
        resize(size.boundedTo(QSize(TrendSettings::kMaxExtent, TrendSettings::kMaxExtent)));
        if (isVisible()) KeepOnScreen(*this);
    }
    const QFont font = QApplication::font();
    for (QCPAxis* axis : plot_->axisRect()->axes()) {
        axis->setTickLabelFont(font);
        axis->setLabelFont(font);
    }
    plot_->legend->setFont(font);
    if (isVisible()) plot_->replot();
}

void TrendWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    KeepOnScreen(*this); // with its frame, once the window system gave it one
    settings_.visible = true;
    Redraw();
}

void TrendWindow::closeEvent(QCloseEvent* event) {
    settings_.visible = false;
    emit Closed();
    QWidget::closeEvent(event);
}

} // namespace vp7
