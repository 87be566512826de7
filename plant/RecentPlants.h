#pragma once
// The plant files opened or saved last, newest first, kept between runs in the tool's user
// settings beside (not among) the recent settings files. The "厂站" menu lists Paths(), calls
// Add(path) after a plant file was opened or saved and Remove(path) when one can no longer
// be opened.

#include "files/RecentFiles.h"

namespace mp {

inline constexpr char kRecentPlantsKey[] = "plant/recentPlants";

// The list kept in `store` (nothing is kept between runs without one).
inline CRecentFiles RecentPlants(QSettings* store) {
    return CRecentFiles(store, QLatin1String(kRecentPlantsKey));
}

}  // namespace mp
