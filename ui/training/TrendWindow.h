// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend window: setpoint, position setpoint, position and deviation over time with the recorded
// events as marks, a choice of time spans, pause and scroll back, two measuring cursors and export as
// CSV or PNG. It only reads the recorder; it redraws at most five times a second, and only when
// something was recorded since it last drew; while the device rests, every five seconds.
#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "model/DeviceCodes.h"
#include "session/trend/TrendCsv.h"

#include <array>
#include <cstdint>
#include <optional>

class QComboBox;
class QCPGraph;
class QCPItemStraightLine;
class QCPLayer;
class QCustomPlot;
class QLabel;
class QPushButton;
class QScrollBar;

namespace vp7 {

class Simulator;
class TrendRecorder;
struct TrendSettings;

class TrendWindow : public QWidget {
    Q_OBJECT
public:
    TrendWindow(Simulator& sim, const TrendRecorder& trend, TrendSettings& settings, QWidget* parent);
    ~TrendWindow() override;
    // Shows the trend of a new session's device in place of the one shown, from its beginning.
    void Rebind(Simulator& sim, const TrendRecorder& trend);

    // After each event the simulator handled: schedules a redraw when something new was recorded.
    void Recorded();
    // Texts in the language shown, when it or the pause state changed.
    void Retranslate();
    // Writes the trend to `path`: CSV, or the plot as shown when the name ends in ".png". False after
    // telling the user why it could not be written.
    bool ExportTo(const QString& path, CsvForm form = CsvForm::International);
    // Where the save dialog opens: the device's data folder unless told otherwise.
    void SetSaveFolder(const QString& folder) { saveFolder_ = folder; }
    const QString& SaveFolder() const { return saveFolder_; }

    // The two measuring cursors, in seconds of recorded time.
    void SetCursor(int which, double seconds);
    std::optional<double> CursorTime(int which) const;
    QCustomPlot* Plot() const { return plot_; }
    // The small windows' zoom: the window's size scaled from the one kept, the plot's texts in the
    // application's font, which the zoom sets.
    void SetZoom(double zoom);

signals:
    // The window was closed by the user (the menu item unchecks).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Redraw();
    void FeedNewSamples();
    // True while every sample since the last redraw repeats the last one drawn and no event came.
    bool OnlyRepeatsSinceDrawn() const;
    bool PlaceTimeWindow();
    double LiveStart();
    void UpdateScrollBar();
    void UpdateReadout();
    void ShowEventTip(const QPoint& pos);
    void SaveDialog();
    QImage Picture() const;
    void KeepPlace();
    double SpanSeconds() const;
    double LatestSeconds() const;

    Simulator* sim_;
    const TrendRecorder* trend_;
    TrendSettings& settings_;
    QCustomPlot* plot_;
    std::array<QCPGraph*, 4> graphs_{};
    QCPGraph* eventMarks_ = nullptr;
    QCPLayer* signalLayer_ = nullptr;
    std::array<QCPItemStraightLine*, 2> cursors_{};
    QComboBox* span_;
    QPushButton *pause_, *save_;
    QLabel *readout_, *hint_;
    QScrollBar* scroll_;
    QTimer redrawTimer_;
    QElapsedTimer sinceRedraw_;
    uint64_t drawnRevision_ = UINT64_MAX;
    uint64_t fedSamples_ = 0, fedEvents_ = 0;
    double pageStart_ = 0;
    bool placed_ = false;
    double zoom_ = 1;
    QString saveFolder_;
    std::optional<Language> shownLanguage_;
    bool shownPaused_ = false;
};

} // namespace vp7
