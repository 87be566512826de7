#include "trend/CsvRecorder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
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

std::optional<double> Number(const QString& field, bool* ok) {
    if (field.isEmpty()) {
        return std::nullopt;
    }
    const double value = field.toDouble(ok);
    return value;
}

// Bits from `count` fields of "0"/"1"; nothing when they are all empty (the read got no reply).
std::optional<uint8_t> Bits(const QStringList& fields, int first, int count, bool* ok) {
    uint8_t bits = 0;
    int empty = 0;
    for (int k = 0; k < count; ++k) {
        const QString& field = fields[first + k];
        if (field.isEmpty()) {
            ++empty;
        } else if (field == QLatin1String("1")) {
            bits = static_cast<uint8_t>(bits | 1U << k);
        } else if (field != QLatin1String("0")) {
            *ok = false;
        }
    }
    if (empty != 0 && empty != count) {
        *ok = false;
    }
    return empty == count ? std::nullopt : std::optional<uint8_t>(bits);
}

}  // namespace

CCsvRecorder::CCsvRecorder() = default;

CCsvRecorder::~CCsvRecorder() {
    Stop();
}

std::optional<std::vector<TrendSample>> CCsvRecorder::ReadAll(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    if (lines.isEmpty() || lines.front() != Heading()) {
        *error =
            QCoreApplication::translate("CCsvRecorder", "不是本工具的记录文件 (第一行不是列名)");
        return std::nullopt;
    }
    const int columns = static_cast<int>(Heading().count(QLatin1Char(',')) + 1);
    std::vector<TrendSample> samples;
    for (int n = 1; n < lines.size(); ++n) {
        const QStringList fields = lines[n].split(QLatin1Char(','));
        bool ok = fields.size() == columns;
        TrendSample sample;
        if (ok) {
            const QDateTime time = QDateTime::fromString(fields[0], Qt::ISODateWithMs);
            ok = time.isValid();
            sample.TimeMs = time.toMSecsSinceEpoch();
            for (int k = 0; k < 3; ++k) {
                sample.Currents[static_cast<size_t>(k)] = Number(fields[1 + k], &ok);
                sample.Voltages[static_cast<size_t>(k)] = Number(fields[4 + k], &ok);
            }
            sample.Inputs = Bits(fields, 7, 8, &ok);
            sample.Outputs = Bits(fields, 15, 3, &ok);
            if (!fields[18].isEmpty()) {
                bool whole = fields[18].size() == 8;
                const uint value = fields[18].toUInt(&whole, 2);
                ok = ok && whole;
                sample.Status = static_cast<uint8_t>(value);
            }
            PollTickResult& a = sample.Answered;
            a.Currents = fields[19] == QLatin1String("1");
            a.Outputs = fields[20] == QLatin1String("1");
            a.Inputs = fields[21] == QLatin1String("1");
            a.Voltages = fields[22] == QLatin1String("1");
            a.Status = fields[23] == QLatin1String("1");
        }
        if (!ok) {
            *error = QCoreApplication::translate("CCsvRecorder", "第 %1 行无法读取").arg(n + 1);
            return std::nullopt;
        }
        samples.push_back(sample);
    }
    return samples;
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
