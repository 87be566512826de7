#pragma once
// What work on a whole plant needs of the plant open in the overview: the plant and its file,
// its running lines, the dialogs and the window to show them over. Each piece of work adds
// its item to the overview's menu "厂站" with it.

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <functional>

class QWidget;

namespace mp {

class CPlantLines;
class IDialogService;
struct Plant;

struct PlantWork {
    // The plant running now (nullptr: none, or one watched from a server: no direct line).
    std::function<const Plant*()> CurrentPlant;
    // Its file (empty: not saved yet).
    std::function<QString()> PlantPath;
    // Its lines (nullptr with no plant).
    std::function<CPlantLines*()> Lines;
    IDialogService* Dialogs = nullptr;
    QWidget* Parent = nullptr;

    // The folder the plant's files are found in (the working folder for an unsaved plant).
    QDir PlantDir() const {
        const QString path = PlantPath ? PlantPath() : QString();
        return path.isEmpty() ? QDir::current() : QFileInfo(path).absoluteDir();
    }
};

}  // namespace mp
