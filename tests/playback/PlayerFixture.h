#pragma once

#include "fixtures/Barcode.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <string>

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

} // namespace framequill::testing
