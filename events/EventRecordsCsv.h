#pragma once
// The event records as a CSV file: the time of reading, the device address and the summary,
// then one row per event with its number, code and text. UTF-8 with a byte-order mark, so
// that spreadsheet programs read the Chinese texts; lines end in CR LF.
//
// The file is for people to read, so its captions and texts are in the window's language, as
// the event window shows them; the code column keeps each event's number whatever the
// language.

#include <QByteArray>
#include <QString>

#include "events/EventRecordTexts.h"

namespace mp {

QByteArray EventRecordsCsv(const EventRecordTexts& texts);

// Writes the whole file, or leaves what was there and says why.
bool SaveEventRecordsCsv(const EventRecordTexts& texts, const QString& path, QString* reason);

}  // namespace mp
