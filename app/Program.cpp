#include "Program.h"

#include "About.h"
#include "Main.h"
#include "playback/Videoform.h"

namespace framequill {

Program::Program() {
    FirstActivation = true;
    main_ = std::make_unique<TMainForm>();
    MainForm = main_.get();
    TMainForm* mainForm = main_.get();
    video_ =
        std::make_unique<TFormVideo>([mainForm](const std::string& text) { mainForm->SetFrameText(text); });
    FormVideo = video_.get();
    about_ = std::make_unique<TFormAbout>();
    FormAbout = about_.get();
}

Program::~Program() {
    about_.reset();
    FormAbout = nullptr;
    video_.reset();
    FormVideo = nullptr;
    main_.reset();
    MainForm = nullptr;
}

void Program::Show() {
    main_->ShowCentred();
}

} // namespace framequill
