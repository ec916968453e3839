#pragma once

#include "app/About.h"
#include "app/GlyphButton.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/ScriptModel.h"
#include "playback/Videoform.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

namespace framequill::testing {

// Real input through the X server, as a user's keys and clicks arrive: xdotool runs beside the event loop,
// so that the program sees each event when the server sends it.
inline void Xdotool(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.start("xdotool", arguments);
    QTRY_COMPARE_WITH_TIMEOUT(xdotool.state(), QProcess::NotRunning, 10000);
}

inline void ClickAt(QPoint global, int button = 1) {
    Xdotool({"mousemove", QString::number(global.x()), QString::number(global.y()), "click",
             QString::number(button)});
}

// What an error box showed.
struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
};

// Runs action and answers every message box it brings up with OK; returns what the boxes showed.
inline std::vector<BoxSeen> AnswerBoxes(const std::function<void()>& action) {
    std::vector<BoxSeen> seen;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.push_back(
                {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())});
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start();
    action();
    QTest::qWait(60);
    return seen;
}

// Answers the program's file dialogs from a list, and keeps what each was asked.
class ScriptedDialogs {
public:
    std::deque<std::optional<std::string>> answers;
    std::vector<DialogRequest> requests;

    DialogRunner Runner() {
        return [this](const DialogRequest& request) {
            requests.push_back(request);
            if (answers.empty())
                return std::optional<std::string>();
            auto answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
};

} // namespace framequill::testing
