#include "trend/TrendWindow.h"

#include <QChart>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "files/FileDialogs.h"
#include "trend/SampleStore.h"
#include "trend/TrendChartView.h"

namespace mp {
namespace {

const std::array<QColor, 3> kPhaseColours = {QColor(220, 170, 0), QColor(0, 150, 0),
                                             QColor(200, 0, 0)};
const std::array<const char*, 3> kPhaseNames = {"A相", "B相", "C相"};

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

QString Number(const std::optional<double>& value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("--");
}

}  // namespace

CTrendWindow::CTrendWindow(const CSampleStore& store, IFileDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), Store_(store), Dialogs_(dialogs) {
    setObjectName(QStringLiteral("trendWindow"));
    setWindowTitle(QStringLiteral("实时曲线"));
    resize(900, 640);

    auto* controls = new QHBoxLayout;
    auto* rangeLabel = new QLabel(QStringLiteral("时间范围"), this);
    RangeBox_ = new QComboBox(this);
    RangeBox_->setObjectName(QStringLiteral("trendRangeBox"));
    RangeBox_->addItems({QStringLiteral("最近1分钟"), QStringLiteral("最近5分钟"),
                         QStringLiteral("最近30分钟"), QStringLiteral("全部")});
    RangeBox_->setCurrentIndex(Range_);
    rangeLabel->setBuddy(RangeBox_);
    PauseButton_ = new QPushButton(QStringLiteral("暂停"), this);
    PauseButton_->setObjectName(QStringLiteral("trendPauseButton"));
    auto* resetButton = new QPushButton(QStringLiteral("复位缩放"), this);
    resetButton->setObjectName(QStringLiteral("trendResetZoomButton"));
    auto* exportButton = new QPushButton(QStringLiteral("导出图片..."), this);
    exportButton->setObjectName(QStringLiteral("trendExportButton"));
    controls->addWidget(rangeLabel);
    controls->addWidget(RangeBox_);
    controls->addWidget(PauseButton_);
    controls->addWidget(resetButton);
    controls->addStretch(1);
    controls->addWidget(exportButton);

    Currents_ = MakeChart(QStringLiteral("相电流"), QStringLiteral("A"));
    Voltages_ = MakeChart(QStringLiteral("相电压"), QStringLiteral("V"));
    RatedLine_ = AddOverlay(Currents_, QStringLiteral("额定电流"), QColor(0, 90, 200));
    LockedRotorLine_ = AddOverlay(Currents_, QStringLiteral("堵转电流"), QColor(150, 0, 150));
    StartMark_ = AddOverlay(Currents_, QStringLiteral("起动"), QColor(90, 90, 90));
    StartEndMark_ = AddOverlay(Currents_, QStringLiteral("启动时间"), QColor(0, 0, 0));

    CursorLabel_ = new QLabel(QStringLiteral("将鼠标移到曲线上查看数值"), this);
    CursorLabel_->setObjectName(QStringLiteral("trendCursorLabel"));
    CursorLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(Currents_.View, 1);
    layout->addWidget(Voltages_.View, 1);
    layout->addWidget(CursorLabel_);

    connect(RangeBox_, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int index) { SetRange(static_cast<Range>(index)); });
    connect(PauseButton_, &QPushButton::clicked, this, [this] { SetPaused(!Paused_); });
    connect(resetButton, &QPushButton::clicked, this, [this] {
        Currents_.View->ResetZoom();
        Voltages_.View->ResetZoom();
        Redraw();
    });
    connect(exportButton, &QPushButton::clicked, this, [this] { ExportPicture(); });
    for (Chart* chart : {&Currents_, &Voltages_}) {
        connect(chart->View, &CTrendChartView::Hovered, this, &CTrendWindow::ShowValuesAt);
        connect(chart->View, &CTrendChartView::ZoomReset, this, &CTrendWindow::Redraw);
    }
}

CTrendWindow::~CTrendWindow() = default;

CTrendWindow::Chart CTrendWindow::MakeChart(const QString& title, const QString& unit) {
    Chart chart;
    chart.Plot = new QChart;
    chart.Plot->setTitle(title);
    // Legends below the plots, so that both time axes line up.
    chart.Plot->legend()->setAlignment(Qt::AlignBottom);
    chart.TimeAxis = new QDateTimeAxis;
    chart.TimeAxis->setFormat(QStringLiteral("HH:mm:ss"));
    chart.TimeAxis->setTickCount(7);
    chart.ValueAxis = new QValueAxis;
    chart.ValueAxis->setTitleText(unit);
    chart.ValueAxis->setLabelFormat(QStringLiteral("%.1f"));
    chart.Plot->addAxis(chart.TimeAxis, Qt::AlignBottom);
    chart.Plot->addAxis(chart.ValueAxis, Qt::AlignLeft);
    for (size_t k = 0; k < 3; ++k) {
        auto* series = new QLineSeries;
        series->setName(QString::fromUtf8(kPhaseNames[k]));
        series->setPen(QPen(kPhaseColours[k], 1.5));
        chart.Plot->addSeries(series);
        series->attachAxis(chart.TimeAxis);
        series->attachAxis(chart.ValueAxis);
        chart.Phases[k] = series;
    }
    chart.View = new CTrendChartView(chart.Plot, this);
    chart.View->setObjectName(unit == QLatin1String("A") ? QStringLiteral("trendCurrentChart")
                                                         : QStringLiteral("trendVoltageChart"));
    chart.View->setAccessibleName(title);
    chart.View->setMinimumHeight(220);
    return chart;
}

QLineSeries* CTrendWindow::AddOverlay(Chart& chart, const QString& name, const QColor& colour) {
    auto* series = new QLineSeries;
    series->setName(name);
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
    PauseButton_->setText(paused ? QStringLiteral("继续") : QStringLiteral("暂停"));
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

    std::array<QList<QPointF>, 6> points;
    double currentMax = 0;
    double voltageMax = 0;
    double voltageMin = 0;
    for (size_t i = first; i < samples.size(); ++i) {
        const TrendSample& sample = samples[i];
        const auto t = static_cast<double>(sample.TimeMs);
        for (size_t k = 0; k < 3; ++k) {
            // A read without reply leaves no point: the line joins the answered ticks.
            if (sample.Currents[k]) {
                points[k].append(QPointF(t, *sample.Currents[k]));
                currentMax = std::max(currentMax, *sample.Currents[k]);
            }
            if (sample.Voltages[k]) {
                points[3 + k].append(QPointF(t, *sample.Voltages[k]));
                voltageMin = voltageMax > 0 ? std::min(voltageMin, *sample.Voltages[k])
                                            : *sample.Voltages[k];
                voltageMax = std::max(voltageMax, *sample.Voltages[k]);
            }
        }
    }
    for (size_t k = 0; k < 3; ++k) {
        Currents_.Phases[k]->replace(points[k]);
        Voltages_.Phases[k]->replace(points[3 + k]);
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
    return chart.Phases[static_cast<size_t>(series % 3)]->count();
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
    QString text =
        QDateTime::fromMSecsSinceEpoch(s.TimeMs).toString(QStringLiteral("HH:mm:ss.zzz"));
    for (size_t k = 0; k < 3; ++k) {
        text += QStringLiteral("  %1电流 %2 A")
                    .arg(QString::fromUtf8(kPhaseNames[k]), Number(s.Currents[k], 3));
    }
    for (size_t k = 0; k < 3; ++k) {
        text += QStringLiteral("  %1电压 %2 V")
                    .arg(QString::fromUtf8(kPhaseNames[k]), Number(s.Voltages[k], 2));
    }
    CursorLabel_->setText(text);
}

QString CTrendWindow::CursorText() const {
    return CursorLabel_->text();
}

bool CTrendWindow::ExportPicture() {
    const QString suggested =
        QStringLiteral("实时曲线-%1.png")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path =
        Dialogs_.SaveFileName(this, QStringLiteral("导出图片"), suggested,
                              QStringLiteral("PNG 图片 (*.png)"), QStringLiteral("png"));
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
    if (!picture.save(path, "PNG")) {
        Dialogs_.Inform(this, QStringLiteral("图片未能保存到 %1。").arg(path));
        return false;
    }
    return true;
}

}  // namespace mp
