#pragma once

#include "playback/MediaPlayer.h"
#include "playback/Videoform.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace framequill::testing {

// The test videos, made once per test program by the fixture script.
inline QString MediaFolder() {
    static QTemporaryDir folder;
    static const bool made = QProcess::execute("bash", {FRAMEQUILL_MEDIA_SCRIPT, folder.path()}) == 0;
    if (!made)
        qFatal("the fixture script could not make the test videos");
    return folder.path();
}

inline std::string Media(const char* name) {
    return QDir(MediaFolder()).filePath(name).toStdString();
}

// Reads the frame number that the picture on screen carries in its top-left corner.
inline int FrameOnScreen(QWidget* display) {
    QCoreApplication::processEvents();
    const QPoint corner = display->mapToGlobal(QPoint(0, 0));
    const QImage strip =
        QGuiApplication::primaryScreen()->grabWindow(0, corner.x(), corner.y(), 256, 16).toImage();
    int number = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (qGray(strip.pixel(bit * 16 + 8, 8)) > 128)
            number |= 1 << bit;
    return number;
}

} // namespace framequill::testing
