#pragma once

#include <QApplication>
#include <QTemporaryDir>

namespace framequill {

// The application object. An exception that leaves the handling of one event is shown in the standard
// error box, and the program goes on with the next event.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTemporaryDir settingsFolder_;
};

} // namespace framequill
