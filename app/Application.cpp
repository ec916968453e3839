#include "Application.h"

#include "AppIcon.h"
#include "ErrorDisplay.h"

#include <QFont>
#include <QIcon>

#include <clocale>
#include <csignal>
#include <exception>

namespace framequill {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Framequill");
    setFont(QFont("Sans Serif", 8));
    setWindowIcon(QIcon(DrawAppIcon(64)));
    // mpv reads numbers in the C locale; Qt has just set the user's.
    std::setlocale(LC_NUMERIC, "C");
    // A file-size limit would otherwise end the program in the middle of a save, with every unsaved line
    // lost; ignored, the write fails and the save reports it.
    std::signal(SIGXFSZ, SIG_IGN);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowStandardError(error.what());
    } catch (...) {
        ShowStandardError("Unknown error");
    }
    return true;
}

} // namespace framequill
