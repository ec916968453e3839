#include "Application.h"

#include "AppIcon.h"
#include "ErrorDisplay.h"

#include <QFont>
#include <QIcon>
#include <QSettings>

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
    // The program keeps nothing between runs. The toolkit's file dialog writes its history and last
    // folder to the user's settings; they go to a folder that lives as long as the program.
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settingsFolder_.path());
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
