#pragma once

#include <QDialog>
#include <QLabel>

#include <functional>

namespace framequill {

class IntervalTimer;

// A label that reports a click of the left mouse button.
class ClickLabel : public QLabel {
public:
    ClickLabel(QWidget* parent, std::function<void()> onClick)
        : QLabel(parent), onClick_(std::move(onClick)) {}

protected:
    void mousePressEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> onClick_;
};

// The about window: the title picture with the version, the year and a link to the user guide. It closes
// by itself when its timer runs out, or at once when the picture is clicked.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    TFormAbout();
    ~TFormAbout() override;

    IntervalTimer* Timer1;
    QLabel* Image1;
    QWidget* Shape1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;

    void FormClick();
    void Timer1Timer();
    void FormShow();
    void Label2Click();

    // Shows the window modally and returns when it has closed. The first showing centres it over the
    // main window; later ones keep that place.
    void ShowModal();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool placed_ = false;
};

extern TFormAbout* FormAbout;

// The user guide that the link opens.
QUrl UserGuideUrl();

} // namespace framequill
