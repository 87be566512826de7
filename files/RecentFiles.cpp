#include "files/RecentFiles.h"

#include <QDir>
#include <QSettings>

namespace mp {
namespace {

const QString kKey = QStringLiteral("files/recentSettingsFiles");

}  // namespace

CRecentFiles::CRecentFiles(QSettings* store) : Store_(store) {
    if (Store_ != nullptr) {
        Paths_ = Store_->value(kKey).toStringList();
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
        Store_->setValue(kKey, Paths_);
        Store_->sync();
    }
}

}  // namespace mp
