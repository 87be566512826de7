#pragma once
// "全部比较": the chosen feeders' relays read and compared with their effective settings, one
// row per feeder and a column per setting that differs somewhere ("relay → effective"),
// exported as CSV. Each finished compare hands its results to whoever keeps them.

#include <QDir>
#include <functional>
#include <memory>

#include "batch/FeederRunDlg.h"
#include "batch/PlantCompare.h"

namespace mp {

class CCompareDlg : public CFeederRunDlg {
    Q_OBJECT
public:
    CCompareDlg(const Plant& plant, const QDir& plantDir, RelayRead read, IDialogService& dialogs,
                QWidget* parent = nullptr, CPlantCompare::Clock now = {});
    ~CCompareDlg() override;

    // Runs with the results of every compare that ends (stopped or not).
    void SetResultsHandler(std::function<void(const CompareResults&)> handler) {
        Results_ = std::move(handler);
    }
    QPushButton* ExportButton() const { return Export_; }
    const CPlantCompare* Compare() const { return Compare_.get(); }
    // Writes the table to a CSV file the operator picks.
    void ExportCsv();

protected:
    bool StartWork(const QVector<int>& feeders) override;
    void StopWork() override;
    void RetranslateTexts() override;

private:
    void ShowRows();

    Plant Plant_;
    QDir PlantDir_;
    RelayRead Read_;
    CPlantCompare::Clock Now_;
    std::function<void(const CompareResults&)> Results_;
    QPushButton* Export_ = nullptr;
    std::unique_ptr<CPlantCompare> Compare_;
};

}  // namespace mp
