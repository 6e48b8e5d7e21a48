#include "app/gui/Application.h"

int main(int argc, char** argv) {
    return quenlo::gui::RunApplication(argc, argv);
}
