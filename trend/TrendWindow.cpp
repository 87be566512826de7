#include "trend/TrendWindow.h"

#include <QChart>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "dialogs/DialogService.h"
#include "trend/SampleStore.h"
#include "trend/TrendChartView.h"

namespace mp {
namespace {

const std::array<QColor, 3> kPhaseColours = {QColor(220, 170, 0), QColor(0, 150, 0),
                                             QColor(200, 0, 0)};

qint64 RangeMs(CTrendWindow::Range range) {
    switch (range) {
        case CTrendWindow::LastMinute:
            return 60'000;
        case CTrendWindow::LastFiveMinutes:
            return 5 * 60'000;
        case CTrendWindow::LastThirtyMinutes:
            return 30 * 60'000;
        case CTrendWindow::All:
            break;
    }
    return -1;
}

// Line pieces per phase at most: beyond these, the oldest pieces are drawn as dots (a link that
// answers every other tick for a day would otherwise ask for thousands of series).
constexpr size_t kMostPieces = 200;

QString Number(const std::optional<double>& value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("--");
}

}  // namespace

CTrendWindow::CTrendWindow(const CSampleStore& store, IDialogService& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), Store_(store), Dialogs_(dialogs) {
    setObjectName(QStringLiteral("trendWindow"));
    resize(900, 640);

    auto* controls = new QHBoxLayout;
    RangeLabel_ = new QLabel(this);
    RangeBox_ = new QComboBox(this);
    RangeBox_->setObjectName(QStringLiteral("trendRangeBox"));
    for (int k = 0; k <= All; ++k) {
        RangeBox_->addItem(QString(), k);
    }
    RangeBox_->setCurrentIndex(Range_);
    RangeLabel_->setBuddy(RangeBox_);
    PauseButton_ = new QPushButton(this);
    PauseButton_->setObjectName(QStringLiteral("trendPauseButton"));
    ResetButton_ = new QPushButton(this);
    ResetButton_->setObjectName(QStringLiteral("trendResetZoomButton"));
    ExportButton_ = new QPushButton(this);
    ExportButton_->setObjectName(QStringLiteral("trendExportButton"));
    controls->addWidget(RangeLabel_);
    controls->addWidget(RangeBox_);
    controls->addWidget(PauseButton_);
    controls->addWidget(ResetButton_);
    controls->addStretch(1);
    controls->addWidget(ExportButton_);

    Currents_ = MakeChart(QStringLiteral("A"));
    Voltages_ = MakeChart(QStringLiteral("V"));
    RatedLine_ = AddOverlay(Currents_, QColor(0, 90, 200));
    LockedRotorLine_ = AddOverlay(Currents_, QColor(150, 0, 150));
    StartMark_ = AddOverlay(Currents_, QColor(90, 90, 90));
    StartEndMark_ = AddOverlay(Currents_, QColor(0, 0, 0));

    CursorLabel_ = new QLabel(this);
    CursorLabel_->setObjectName(QStringLiteral("trendCursorLabel"));
    CursorLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(Currents_.View, 1);
    layout->addWidget(Voltages_.View, 1);
    layout->addWidget(CursorLabel_);

    RetranslateTexts();

    connect(RangeBox_, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int index) { SetRange(static_cast<Range>(index)); });
    connect(PauseButton_, &QPushButton::clicked, this, [this] { SetPaused(!Paused_); });
    connect(ResetButton_, &QPushButton::clicked, this, [this] {
        Currents_.View->ResetZoom();
        Voltages_.View->ResetZoom();
        Redraw();
    });
    connect(ExportButton_, &QPushButton::clicked, this, [this] { ExportPicture(); });
    for (Chart* chart : {&Currents_, &Voltages_}) {
        connect(chart->View, &CTrendChartView::Hovered, this, &CTrendWindow::ShowValuesAt);
        connect(chart->View, &CTrendChartView::ZoomReset, this, &CTrendWindow::Redraw);
    }
}

void CTrendWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
    }
    QWidget::changeEvent(event);
}

void CTrendWindow::RetranslateTexts() {
    setWindowTitle(tr("实时曲线"));
    RangeLabel_->setText(tr("时间范围"));
    // The items keep their places, so the chosen range stays chosen.
    const QString ranges[] = {tr("最近1分钟"), tr("最近5分钟"), tr("最近30分钟"), tr("全部")};
    for (int k = 0; k <= All; ++k) {
        RangeBox_->setItemText(k, ranges[k]);
    }
    RangeBox_->setAccessibleName(tr("时间范围"));
    PauseButton_->setText(Paused_ ? tr("继续") : tr("暂停"));
    ResetButton_->setText(tr("复位缩放"));
    ExportButton_->setText(tr("导出图片..."));

    const QString phaseNames[] = {tr("A相"), tr("B相"), tr("C相")};
    const std::pair<Chart*, QString> charts[] = {{&Currents_, tr("相电流")},
                                                 {&Voltages_, tr("相电压")}};
    for (const auto& [chart, title] : charts) {
        chart->Plot->setTitle(title);
        chart->View->setAccessibleName(title);
        for (size_t k = 0; k < 3; ++k) {
            chart->Phases[k]->setName(phaseNames[k]);
        }
    }
    Currents_.ValueAxis->setTitleText(tr("电流 (A)"));
    Voltages_.ValueAxis->setTitleText(tr("电压 (V)"));
    RatedLine_->setName(tr("额定电流"));
    LockedRotorLine_->setName(tr("堵转电流"));
    StartMark_->setName(tr("起动"));
    StartEndMark_->setName(tr("启动时间"));

    if (HoveredAt_) {
        ShowValuesAt(*HoveredAt_);
    } else {
        CursorLabel_->setText(tr("将鼠标移到曲线上查看数值"));
    }
}

CTrendWindow::~CTrendWindow() = default;

CTrendWindow::Chart CTrendWindow::MakeChart(const QString& unit) {
    Chart chart;
    chart.Plot = new QChart;
    // Legends below the plots, so that both time axes line up.
    chart.Plot->legend()->setAlignment(Qt::AlignBottom);
    chart.TimeAxis = new QDateTimeAxis;
    chart.TimeAxis->setFormat(QStringLiteral("HH:mm:ss"));
    chart.TimeAxis->setTickCount(7);
    chart.ValueAxis = new QValueAxis;
    chart.ValueAxis->setLabelFormat(QStringLiteral("%.1f"));
    chart.Plot->addAxis(chart.TimeAxis, Qt::AlignBottom);
    chart.Plot->addAxis(chart.ValueAxis, Qt::AlignLeft);
    for (size_t k = 0; k < 3; ++k) {
        auto* series = new QLineSeries;
        series->setPen(QPen(kPhaseColours[k], 1.5));
        chart.Plot->addSeries(series);
        series->attachAxis(chart.TimeAxis);
        series->attachAxis(chart.ValueAxis);
        chart.Phases[k] = series;
        chart.Pieces[k].push_back(series);
        auto* dots = new QScatterSeries;
        dots->setMarkerSize(4);
        dots->setColor(kPhaseColours[k]);
        dots->setBorderColor(kPhaseColours[k]);
        chart.Plot->addSeries(dots);
        dots->attachAxis(chart.TimeAxis);
        dots->attachAxis(chart.ValueAxis);
        chart.Dots[k] = dots;
    }
    // The legend names each phase once, by its first piece.
    for (QLegendMarker* marker : chart.Plot->legend()->markers()) {
        if (qobject_cast<QScatterSeries*>(marker->series()) != nullptr) {
            marker->setVisible(false);
        }
    }
    chart.View = new CTrendChartView(chart.Plot, this);
    chart.View->setObjectName(unit == QLatin1String("A") ? QStringLiteral("trendCurrentChart")
                                                         : QStringLiteral("trendVoltageChart"));
    chart.View->setMinimumHeight(220);
    return chart;
}

QLineSeries* CTrendWindow::AddPiece(Chart& chart, size_t phase) {
    auto* series = new QLineSeries;
    series->setPen(QPen(kPhaseColours[phase], 1.5));
    chart.Plot->addSeries(series);
    series->attachAxis(chart.TimeAxis);
    series->attachAxis(chart.ValueAxis);
    for (QLegendMarker* marker : chart.Plot->legend()->markers(series)) {
        marker->setVisible(false);
    }
    chart.Pieces[phase].push_back(series);
    return series;
}

void CTrendWindow::DrawPhase(Chart& chart, size_t phase, const std::vector<TrendRun>& runs) {
    const auto lines = static_cast<size_t>(std::count_if(
        runs.begin(), runs.end(), [](const TrendRun& run) { return run.size() > 1; }));
    size_t asDots = lines > kMostPieces ? lines - kMostPieces : 0;
    std::vector<QList<QPointF>> pieces;
    QList<QPointF> dots;
    for (const TrendRun& run : runs) {
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(run.size()));
        for (const auto& [t, v] : run) {
            points.append(QPointF(static_cast<double>(t), v));
        }
        if (run.size() == 1 || (asDots > 0 && asDots--)) {
            dots.append(points);
        } else {
            pieces.push_back(std::move(points));
        }
    }
    while (chart.Pieces[phase].size() < pieces.size()) {
        AddPiece(chart, phase);
    }
    for (size_t i = 0; i < chart.Pieces[phase].size(); ++i) {
        if (i < pieces.size()) {
            chart.Pieces[phase][i]->replace(pieces[i]);
        } else if (chart.Pieces[phase][i]->count() > 0) {
            chart.Pieces[phase][i]->clear();
        }
    }
    chart.Dots[phase]->replace(dots);
}

QLineSeries* CTrendWindow::AddOverlay(Chart& chart, const QColor& colour) {
    auto* series = new QLineSeries;
    series->setPen(QPen(colour, 1, Qt::DashLine));
    chart.Plot->addSeries(series);
    series->attachAxis(chart.TimeAxis);
    series->attachAxis(chart.ValueAxis);
    return series;
}

void CTrendWindow::SetRange(Range range) {
    Range_ = range;
    if (RangeBox_->currentIndex() != range) {
        RangeBox_->setCurrentIndex(range);
    }
    Currents_.View->ResetZoom();
    Voltages_.View->ResetZoom();
    Redraw();
}

void CTrendWindow::SetPaused(bool paused) {
    Paused_ = paused;
    PauseButton_->setText(paused ? tr("继续") : tr("暂停"));
    if (!paused) {
        Redraw();
    }
}

void CTrendWindow::Refresh(qint64 nowMs, const TrendOverlays& overlays) {
    if (Paused_) {
        return;
    }
    NowMs_ = nowMs;
    Overlays_ = overlays;
    Redraw();
}

void CTrendWindow::Redraw() {
    const auto& samples = Store_.Samples();
    const qint64 span = RangeMs(Range_);
    qint64 from = span < 0 ? (samples.empty() ? NowMs_ : samples.front().TimeMs) : NowMs_ - span;
    qint64 to = std::max(NowMs_, from + 1000);
    const size_t first = Store_.FirstAtOrAfter(from);

    double currentMax = 0;
    double voltageMax = 0;
    double voltageMin = 0;
    for (size_t k = 0; k < 3; ++k) {
        // A read without reply, a stop of polling or a long gap breaks the line: nothing is
        // drawn where nothing was measured.
        const std::vector<TrendRun> currents =
            LineRuns(samples, first, [k](const TrendSample& sample) { return sample.Currents[k]; });
        const std::vector<TrendRun> voltages =
            LineRuns(samples, first, [k](const TrendSample& sample) { return sample.Voltages[k]; });
        for (const TrendRun& run : currents) {
            for (const auto& point : run) {
                currentMax = std::max(currentMax, point.second);
            }
        }
        for (const TrendRun& run : voltages) {
            for (const auto& point : run) {
                voltageMin = voltageMax > 0 ? std::min(voltageMin, point.second) : point.second;
                voltageMax = std::max(voltageMax, point.second);
            }
        }
        DrawPhase(Currents_, k, currents);
        DrawPhase(Voltages_, k, voltages);
    }

    const auto horizontal = [&](QLineSeries* line, std::optional<double> value) {
        if (value && *value > 0) {
            line->replace({QPointF(from, *value), QPointF(to, *value)});
            currentMax = std::max(currentMax, *value);
        } else {
            line->clear();
        }
    };
    const std::optional<double> rated = Overlays_.RatedCurrent;
    horizontal(RatedLine_, rated);
    horizontal(LockedRotorLine_,
               rated && Overlays_.LockedRotorMultiple
                   ? std::optional<double>(*rated * *Overlays_.LockedRotorMultiple)
                   : std::nullopt);
    const double top = currentMax > 0 ? currentMax * 1.15 : 1.0;
    const auto vertical = [&](QLineSeries* line, std::optional<qint64> at) {
        if (at && *at >= from && *at <= to) {
            line->replace({QPointF(*at, 0), QPointF(*at, top)});
        } else {
            line->clear();
        }
    };
    vertical(StartMark_, Overlays_.StartAt);
    vertical(StartEndMark_,
             Overlays_.StartAt && Overlays_.StartTime
                 ? std::optional<qint64>(*Overlays_.StartAt + static_cast<qint64>(std::llround(
                                                                  *Overlays_.StartTime * 1000)))
                 : std::nullopt);

    if (!Currents_.View->Zoomed()) {
        Currents_.TimeAxis->setRange(QDateTime::fromMSecsSinceEpoch(from),
                                     QDateTime::fromMSecsSinceEpoch(to));
        Currents_.ValueAxis->setRange(0, top);
    }
    if (!Voltages_.View->Zoomed()) {
        Voltages_.TimeAxis->setRange(QDateTime::fromMSecsSinceEpoch(from),
                                     QDateTime::fromMSecsSinceEpoch(to));
        // The voltages stay near the rated voltage: the axis spans what was measured.
        const double margin = std::max(5.0, (voltageMax - voltageMin) * 0.15);
        Voltages_.ValueAxis->setRange(voltageMax > 0 ? std::max(0.0, voltageMin - margin) : 0.0,
                                      voltageMax > 0 ? voltageMax + margin : 1.0);
    }
}

int CTrendWindow::PointCount(int series) const {
    const Chart& chart = series < 3 ? Currents_ : Voltages_;
    const auto phase = static_cast<size_t>(series % 3);
    int count = chart.Dots[phase]->count();
    for (const QLineSeries* piece : chart.Pieces[phase]) {
        count += piece->count();
    }
    return count;
}

int CTrendWindow::PieceCount(int series) const {
    const Chart& chart = series < 3 ? Currents_ : Voltages_;
    const auto phase = static_cast<size_t>(series % 3);
    int count = chart.Dots[phase]->count();
    for (const QLineSeries* piece : chart.Pieces[phase]) {
        count += piece->count() > 0 ? 1 : 0;
    }
    return count;
}

void CTrendWindow::ShowValuesAt(qint64 timeMs) {
    const auto& samples = Store_.Samples();
    if (samples.empty()) {
        return;
    }
    size_t i = std::min(Store_.FirstAtOrAfter(timeMs), samples.size() - 1);
    if (i > 0 && timeMs - samples[i - 1].TimeMs < samples[i].TimeMs - timeMs) {
        --i;
    }
    const TrendSample& s = samples[i];
    HoveredAt_ = timeMs;
    // One sentence of the seven values, so that a translation may order them as it needs.
    const QString text =
        tr("%1  A相电流 %2 A  B相电流 %3 A  C相电流 %4 A  A相电压 %5 V  B相电压 %6 V  C相电压 %7 V")
            .arg(QDateTime::fromMSecsSinceEpoch(s.TimeMs).toString(QStringLiteral("HH:mm:ss.zzz")),
                 Number(s.Currents[0], 3), Number(s.Currents[1], 3), Number(s.Currents[2], 3),
                 Number(s.Voltages[0], 2), Number(s.Voltages[1], 2), Number(s.Voltages[2], 2));
    CursorLabel_->setText(text);
}

QString CTrendWindow::CursorText() const {
    return CursorLabel_->text();
}

bool CTrendWindow::ExportPicture() {
    const QString suggested =
        tr("实时曲线-%1.png")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path = Dialogs_.SaveFileName(this, tr("导出图片"), suggested,
                                               tr("PNG 图片 (*.png)"), QStringLiteral("png"));
    if (path.isEmpty()) {
        return false;
    }
    const QPixmap top = Currents_.View->grab();
    const QPixmap bottom = Voltages_.View->grab();
    QPixmap picture(std::max(top.width(), bottom.width()), top.height() + bottom.height());
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, top);
        painter.drawPixmap(0, top.height(), bottom);
    }
    // A picture that cannot be written whole leaves an older file of that name as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !picture.save(&file, "PNG") ||
        !file.commit()) {
        Dialogs_.Inform(this, tr("图片未能保存到 %1。").arg(path));
        return false;
    }
    return true;
}

}  // namespace mp
