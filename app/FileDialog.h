#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace framequill {

// What one run of a file dialog is asked. The filter is "description|patterns", patterns separated by
// ";", as in "Text files (*.txt, *.sub)|*.TXT;*.SUB;"; empty for none.
struct DialogRequest {
    bool save = false;
    std::string filter;
    std::string fileName;
    QWidget* parent = nullptr;
};

// Runs a dialog and gives the chosen full path, or nothing when the user cancelled.
using DialogRunner = std::function<std::optional<std::string>(const DialogRequest&)>;

// The platform's dialog: an open dialog accepts the name of a file that does not exist; a save dialog
// asks before it replaces a file.
std::optional<std::string> RunQtFileDialog(const DialogRequest& request);

// A file dialog that keeps its filter and the file name chosen last between runs.
class FileDialog {
public:
    explicit FileDialog(bool save) : save_(save) {}

    std::string Filter;
    std::string FileName;

    // True when the user chose a file, which is then in FileName.
    bool Execute(QWidget* parent, const DialogRunner& runner);

private:
    bool save_;
};

} // namespace framequill
