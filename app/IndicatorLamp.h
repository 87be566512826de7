#pragma once
// CIndicatorLamp: one on/off indicator of the main window, a square for a digital input or
// a round lamp for an output, painted red, green, or grey while its state is unknown (not
// read yet, or not confirmed by the device), and washed out while the state shown is stale
// (its read found no reply).

#include <QWidget>

#include "monitoring/LiveValues.h"

namespace mp {

class CIndicatorLamp : public QWidget {
    Q_OBJECT
    // Round lamp on a light grey ground (outputs) instead of a solid square (inputs).
    Q_PROPERTY(bool round READ IsRound WRITE SetRound)

public:
    explicit CIndicatorLamp(QWidget* parent = nullptr);

    void SetState(Lamp state);
    Lamp State() const { return State_; }

    void SetStale(bool stale);
    bool IsStale() const { return Stale_; }

    bool IsRound() const { return Round_; }
    void SetRound(bool round);

    // The colour the lamp is painted in for its state and shape.
    QColor Colour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void DescribeState();

    Lamp State_ = Lamp::Unknown;
    bool Round_ = false;
    bool Stale_ = false;
};

}  // namespace mp
