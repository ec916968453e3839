// Writes the program's icon as PNG files for the icon theme: MakeIcons <folder> <size>...
#include "AppIcon.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // No display is needed to draw into a pixmap.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: MakeIcons <folder> <size>...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString file = QString("%1/framequill-%2.png").arg(argv[1]).arg(size);
        if (!framequill::DrawAppIcon(size).save(file))
            return 1;
    }
    return 0;
}
