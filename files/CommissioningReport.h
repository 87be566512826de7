#pragma once
// The commissioning report: one document with the date, the connection, every setting, the
// calibration coefficients and event records when they were read, and a snapshot of the live
// values; laid out on A4 pages, saved as PDF or printed.

#include <QDateTime>
#include <QImage>
#include <QString>
#include <optional>

#include "events/EventRecordTexts.h"
#include "files/SettingsFile.h"
#include "files/SettingsValues.h"
#include "maintenance/CalibrationGrid.h"
#include "monitoring/LiveValues.h"

class QPagedPaintDevice;
class QTextDocument;

namespace mp {

struct ReportInput {
    QDateTime CreatedAt;
    DeviceLine Line;
    SettingsValues Values;                        // the window's settings
    QString ValuesSource;                         // where they came from, in words
    QString Note;                                 // the settings file's note, if any
    std::optional<CalibrationGrid> Coefficients;  // as last read from the device
    std::optional<EventRecordTexts> Events;       // as last read from the device
    LiveValues Live;
    bool Polling = false;  // the live values are being refreshed
};

// The report as HTML, every value escaped.
QString CommissioningReportHtml(const ReportInput& input);

// Lays the report out on A4 pages in a Chinese font; every page of the PDF, the print and
// the page pictures comes from this layout.
void LayOutReport(QTextDocument& document, const QString& html);

// Writes the PDF whole, or leaves what was there and says why.
bool SaveReportPdf(const QString& html, const QString& path, QString* reason);

// Prints every page on the device (a printer the operator chose).
void PrintReport(const QString& html, QPagedPaintDevice& printer);

// A picture of one page (from 0), `scale` times 96 dots per inch.
QImage RenderReportPage(const QString& html, int page, qreal scale);

}  // namespace mp
