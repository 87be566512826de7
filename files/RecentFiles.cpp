#include "files/RecentFiles.h"

#include <QDir>
#include <QSettings>

namespace mp {

const char* const CRecentFiles::kSettingsFilesKey = "files/recentSettingsFiles";

CRecentFiles::CRecentFiles(QSettings* store, const QString& key) : Store_(store), Key_(key) {
    if (Store_ != nullptr) {
        Paths_ = Store_->value(Key_).toStringList();
        while (Paths_.size() > kLimit) {
            Paths_.removeLast();
        }
    }
}

void CRecentFiles::Add(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    Paths_.removeAll(clean);
    Paths_.prepend(clean);
    while (Paths_.size() > kLimit) {
        Paths_.removeLast();
    }
    Keep();
}

void CRecentFiles::Remove(const QString& path) {
    Paths_.removeAll(QDir::cleanPath(path));
    Keep();
}

void CRecentFiles::Keep() {
    if (Store_ != nullptr) {
        Store_->setValue(Key_, Paths_);
        Store_->sync();
    }
}

}  // namespace mp
