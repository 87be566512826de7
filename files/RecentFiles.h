#pragma once
// The files opened or saved last, newest first, kept between runs in the tool's user
// settings: the settings files, and under another key other kinds of file (the plants).

#include <QString>
#include <QStringList>

class QSettings;

namespace mp {

class CRecentFiles {
public:
    static constexpr int kLimit = 8;

    // The settings files' list.
    static const char* const kSettingsFilesKey;

    // Keeps the list in `store` under `key` (nothing is kept between runs without a store).
    explicit CRecentFiles(QSettings* store, const QString& key = QLatin1String(kSettingsFilesKey));

    QStringList Paths() const { return Paths_; }
    // Puts the file first.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Keep();

    QSettings* Store_;
    QString Key_;
    QStringList Paths_;
};

}  // namespace mp
