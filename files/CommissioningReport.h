#pragma once
// The commissioning report, an as-left record of one device: the connection and the time the
// device was read, the tool's version, the settings, calibration coefficients, stored events,
// communication parameters and live values the device gave at that read, the settings file
// the window holds and its write records, the writes made to the device since the program
// started, and fields for the engineer's and the witness's signatures; laid out on A4 pages,
// saved as PDF or printed.

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>

#include "files/ReportRead.h"
#include "files/SettingsFile.h"
#include "relay/DeviceWriteLog.h"

class QPagedPaintDevice;
class QTextDocument;

namespace mp {

struct ReportInput {
    QDateTime CreatedAt;
    QString ToolVersion;
    DeviceLine Line;   // port, address and rate the device was read on
    QString PortName;  // the port as the report names it, in its language
    int Parity = 0;    // of that line: 0 none, 1 odd, 2 even
    DeviceReading Device;
    // The settings file whose values the window holds (empty: none), its note and write
    // records, and how many of its settings the device holds otherwise (-1: not compared).
    QString FileName;
    QString Note;
    QList<WriteRecord> FileWrites;
    int FileDifferences = -1;
    QList<DeviceWriteEntry> Writes;  // writes made to this device since the program started
    int OtherWrites = 0;             // writes made to other devices, not listed
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
