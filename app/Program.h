#pragma once

#include <memory>

namespace framequill {

class TMainForm;
class TFormVideo;
class TFormAbout;

// The program's three windows, made hidden in the order main, video, about, and destroyed in the
// reverse order.
class Program {
public:
    Program();
    ~Program();

    // Shows the main window centred; its first activation starts the splash.
    void Show();

private:
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TFormVideo> video_;
    std::unique_ptr<TFormAbout> about_;
};

} // namespace framequill
