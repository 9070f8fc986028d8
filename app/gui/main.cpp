// quivra-cc: the Quivra Control Center. "--simulate" runs it against the simulated devices and
// shows the simulator's panel; every other argument goes to the core (configuration file path,
// "DEBUG").
#include "ui/QuivraApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TQuivraApp program(TStartOptions::FromProcess());
    switch (program.Start()) {
    case TQuivraApp::StartResult::SecondInstance:
    case TQuivraApp::StartResult::EndNow:
        return 0;
    case TQuivraApp::StartResult::Running:
        break;
    }
    return program.Exec();
}
