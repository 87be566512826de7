#pragma once
// The "实时曲线" window: the three phase currents and the three phase voltages against time in
// two charts, over the last 1, 5 or 30 minutes or the whole session. Pausing freezes the picture
// while the samples keep coming; the mouse zooms and pans; the values of the sample under the
// cursor are shown below; the charts can be saved as a PNG picture. The current chart carries
// the rated current and the locked-rotor current as horizontal lines and, after a start, the
// start and the end of the start time as vertical marks. Its words follow a language switch
// while it is open; the samples, the range, the zoom and the pause stay.

#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "trend/SampleStore.h"

class QChart;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QValueAxis;

namespace mp {

class CTrendChartView;
class IDialogService;

// The settings the current chart shows; an absent one is not drawn.
struct TrendOverlays {
    std::optional<double> RatedCurrent;         // A
    std::optional<double> LockedRotorMultiple;  // × rated current
    std::optional<double> StartTime;            // s
    std::optional<qint64> StartAt;              // ms since the epoch, the last start seen
};

class CTrendWindow : public QWidget {
    Q_OBJECT
public:
    enum Range { LastMinute, LastFiveMinutes, LastThirtyMinutes, All };

    CTrendWindow(const CSampleStore& store, IDialogService& dialogs, QWidget* parent = nullptr);
    ~CTrendWindow() override;

    // Redraws from the store unless paused; `nowMs` is the right end of the live range.
    void Refresh(qint64 nowMs, const TrendOverlays& overlays);

    void SetRange(Range range);
    bool Paused() const { return Paused_; }
    void SetPaused(bool paused);
    // The text below the charts for the sample nearest `timeMs`.
    void ShowValuesAt(qint64 timeMs);
    QString CursorText() const;
    // Saves both charts as one PNG picture; false when the operator cancelled or it failed
    // (the operator is told).
    bool ExportPicture();
    // Points drawn for phase k of the currents (0..2) or the voltages (3..5).
    int PointCount(int series) const;
    // Unbroken pieces the line of that phase is drawn in (a lone point counts as one).
    int PieceCount(int series) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Chart {
        QChart* Plot = nullptr;
        CTrendChartView* View = nullptr;
        QDateTimeAxis* TimeAxis = nullptr;
        QValueAxis* ValueAxis = nullptr;
        std::array<QLineSeries*, 3> Phases{};
        // Every piece of each phase's line, Phases[k] first (the one the legend names).
        std::array<std::vector<QLineSeries*>, 3> Pieces;
        // Points with no neighbour to join, as dots.
        std::array<QScatterSeries*, 3> Dots{};
    };
    Chart MakeChart(const QString& unit);
    QLineSeries* AddPiece(Chart& chart, size_t phase);
    // Draws phase k of the chart in the pieces `runs` gives, hiding what is left over.
    void DrawPhase(Chart& chart, size_t phase, const std::vector<TrendRun>& runs);
    QLineSeries* AddOverlay(Chart& chart, const QColor& colour);
    // Every word of the window in its language: titles, captions, range names, series names,
    // axis titles, accessible names and the values under the cursor.
    void RetranslateTexts();
    void Redraw();

    const CSampleStore& Store_;
    IDialogService& Dialogs_;
    Chart Currents_;
    Chart Voltages_;
    QLineSeries* RatedLine_ = nullptr;
    QLineSeries* LockedRotorLine_ = nullptr;
    QLineSeries* StartMark_ = nullptr;
    QLineSeries* StartEndMark_ = nullptr;
    QLabel* RangeLabel_ = nullptr;
    QComboBox* RangeBox_ = nullptr;
    QPushButton* PauseButton_ = nullptr;
    QPushButton* ResetButton_ = nullptr;
    QPushButton* ExportButton_ = nullptr;
    QLabel* CursorLabel_ = nullptr;
    Range Range_ = LastFiveMinutes;
    bool Paused_ = false;
    qint64 NowMs_ = 0;
    TrendOverlays Overlays_;
    std::optional<qint64> HoveredAt_;  // the time whose values the cursor label shows
};

}  // namespace mp
