#include "Application.h"
#include "ErrorDisplay.h"
#include "Program.h"

#include <cstdlib>
#include <exception>

int main(int, char** argv) {
    // mpv draws into an X11 window; under Wayland that window exists through XWayland.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    int noArguments = 1;
    framequill::Application application(noArguments, argv);
    try {
        framequill::Program program;
        program.Show();
        application.exec();
    } catch (const std::exception& error) {
        framequill::ShowStandardError(error.what());
    }
    return 0;
}
