#pragma once
// The simulator's window (--simulate): the indicator's three LEDs at their brightness, the
// tracker's on state and joystick output, plugging and unplugging of each device, a pad that
// moves the simulated head, and the simulator's fault switches.

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;

namespace sim {
class SimHidController;
}

class TSimLeds;
class TSimHeadPad;

class TSimPanel : public QWidget {
    Q_OBJECT
public:
    // The controller is not owned and must outlive the panel.
    explicit TSimPanel(sim::SimHidController& controller, QWidget* parent = nullptr);

    // Reads the models into the panel (also done ten times a second).
    void Refresh();

private:
    QWidget* BuildDevices();
    QWidget* BuildHead();
    QWidget* BuildFaults();

    sim::SimHidController& sim_;
    TSimLeds* leds_ = nullptr;
    QLabel* trackerState_ = nullptr;
    QLabel* axes_ = nullptr;
    QCheckBox* trackerPlug_ = nullptr;
    QCheckBox* indicatorPlug_ = nullptr;
    QCheckBox* unrelatedPlug_ = nullptr;
    QCheckBox* bootPlug_ = nullptr;
    TSimHeadPad* head_ = nullptr;
    QTimer refresh_;
};
