#pragma once
// Records every poll tick as one line of a CSV file (UTF-8 with a byte order mark, so that
// spreadsheets read the Chinese headings). Each line goes to the system in one write and is
// flushed: a crash or a pulled plug loses at most the line being written. A write that fails
// or is cut short ends the recording, and the file is cut back to its last whole line.

#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "trend/TrendSample.h"

namespace mp {

class CCsvRecorder {
public:
    CCsvRecorder();
    ~CCsvRecorder();

    // Creates (or replaces) the file and writes the heading line. False with the reason in
    // Error() when it cannot.
    bool Start(const QString& path);
    // Appends the sample's line. False, with the recording ended and the reason in Error(),
    // when the line could not be written whole.
    bool Append(const TrendSample& sample);
    void Stop();

    bool Recording() const { return File_ != nullptr; }
    QString Path() const { return Path_; }
    QString Error() const { return Error_; }
    // Bytes written to the file so far (heading included).
    int64_t Size() const { return Size_; }
    int64_t Lines() const { return Lines_; }

    // Writes a whole set of samples (a start capture) as one file, heading first, put in the
    // place of an older file only once it is whole. False with the reason in `error`.
    static bool SaveAll(const QString& path, const std::vector<TrendSample>& samples,
                        QString* error);

    // The samples of a recording or capture file this tool wrote, oldest first; nothing, with
    // the reason in `error`, when the file cannot be read or is not such a file.
    static std::optional<std::vector<TrendSample>> ReadAll(const QString& path, QString* error);

    static QString Heading();
    // The line of one sample, without its line end: a missing value is an empty field.
    static QString Line(const TrendSample& sample);

private:
    bool Write(const QByteArray& bytes);

    std::unique_ptr<QFile> File_;
    QString Path_;
    QString Error_;
    int64_t Size_ = 0;
    int64_t Lines_ = 0;
};

}  // namespace mp
