#include "trend/CsvRecorder.h"

#include <QDateTime>
#include <QSaveFile>
#include <QStringList>

namespace mp {
namespace {

QString Value(const std::optional<double>& value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QString();
}

QString Bit(const std::optional<uint8_t>& bits, int k) {
    return bits ? QString::number((*bits >> k) & 1) : QString();
}

QString Flag(bool answered) {
    return answered ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

CCsvRecorder::CCsvRecorder() = default;

CCsvRecorder::~CCsvRecorder() {
    Stop();
}

QString CCsvRecorder::Heading() {
    // The column names are part of the file format, read by spreadsheets and scripts: they
    // stay the same in every window language.
    QStringList columns = {QStringLiteral("时间"),    QStringLiteral("A相电流"),
                           QStringLiteral("B相电流"), QStringLiteral("C相电流"),
                           QStringLiteral("A相电压"), QStringLiteral("B相电压"),
                           QStringLiteral("C相电压")};
    for (int k = 1; k <= 8; ++k) {
        columns << QStringLiteral("DI%1").arg(k);
    }
    columns << QStringLiteral("输出A") << QStringLiteral("输出B") << QStringLiteral("复归输出")
            << QStringLiteral("状态位") << QStringLiteral("电流应答") << QStringLiteral("输出应答")
            << QStringLiteral("输入应答") << QStringLiteral("电压应答")
            << QStringLiteral("状态应答");
    return columns.join(QLatin1Char(','));
}

QString CCsvRecorder::Line(const TrendSample& sample) {
    QStringList fields;
    fields << QDateTime::fromMSecsSinceEpoch(sample.TimeMs).toString(Qt::ISODateWithMs);
    for (const auto& current : sample.Currents) {
        fields << Value(current, 3);
    }
    for (const auto& voltage : sample.Voltages) {
        fields << Value(voltage, 2);
    }
    for (int k = 0; k < 8; ++k) {
        fields << Bit(sample.Inputs, k);
    }
    for (int k = 0; k < 3; ++k) {
        fields << Bit(sample.Outputs, k);
    }
    // Bit 7 first, as the status lamps read.
    fields << (sample.Status ? QStringLiteral("%1").arg(*sample.Status, 8, 2, QLatin1Char('0'))
                             : QString());
    const PollTickResult& a = sample.Answered;
    fields << Flag(a.Currents) << Flag(a.Outputs) << Flag(a.Inputs) << Flag(a.Voltages)
           << Flag(a.Status);
    return fields.join(QLatin1Char(','));
}

bool CCsvRecorder::Start(const QString& path) {
    Stop();
    Error_.clear();
    Size_ = 0;
    Lines_ = 0;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        Error_ = file->errorString();
        return false;
    }
    File_ = std::move(file);
    Path_ = path;
    return Write(QByteArray("\xEF\xBB\xBF") + Heading().toUtf8() + "\r\n");
}

bool CCsvRecorder::Append(const TrendSample& sample) {
    if (!File_) {
        return false;
    }
    if (!Write(Line(sample).toUtf8() + "\r\n")) {
        return false;
    }
    ++Lines_;
    return true;
}

bool CCsvRecorder::Write(const QByteArray& bytes) {
    // Unbuffered: the line goes to the system in this one call, or the call fails.
    const qint64 written = File_->write(bytes);
    if (written != bytes.size() || !File_->flush()) {
        Error_ = File_->errorString();
        // What part of the line reached the file is taken off again: the file ends with its
        // last whole line.
        File_->resize(Size_);
        File_->close();
        File_.reset();
        return false;
    }
    Size_ += written;
    return true;
}

bool CCsvRecorder::SaveAll(const QString& path, const std::vector<TrendSample>& samples,
                           QString* error) {
    QByteArray bytes = QByteArray("\xEF\xBB\xBF") + Heading().toUtf8() + "\r\n";
    for (const TrendSample& sample : samples) {
        bytes += Line(sample).toUtf8() + "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

void CCsvRecorder::Stop() {
    if (File_) {
        File_->close();
        File_.reset();
    }
}

}  // namespace mp
