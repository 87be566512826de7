#pragma once
// The settings files opened or saved last, newest first, kept between runs in the tool's
// user settings.

#include <QStringList>

class QSettings;

namespace mp {

class CRecentFiles {
public:
    static constexpr int kLimit = 8;

    // Keeps the list in `store` (nothing is kept between runs without one).
    explicit CRecentFiles(QSettings* store);

    QStringList Paths() const { return Paths_; }
    // Puts the file first.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Keep();

    QSettings* Store_;
    QStringList Paths_;
};

}  // namespace mp
