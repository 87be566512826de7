#pragma once
// The translation context of the texts of work on a whole plant outside its windows.

#include <QCoreApplication>

namespace mp {

class BatchText {
    Q_DECLARE_TR_FUNCTIONS(mp::PlantBatch)
};

}  // namespace mp
