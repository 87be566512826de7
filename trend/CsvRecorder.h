#pragma once
// Records every poll tick as one line of a CSV file (UTF-8 with a byte order mark, so that
// spreadsheets read the Chinese headings). Each line is flushed to the system as it is
// written: a crash or a pulled plug loses at most the line being written. A write that fails
// ends the recording; the file keeps what was written before it.

#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>

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
