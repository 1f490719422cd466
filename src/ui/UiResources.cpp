#include "UiResources.h"

QIcon ProgramIcon() {
    QIcon icon;
    for (const char* path : {":/icons/morvane_16.png", ":/icons/morvane_32.png",
                             ":/icons/morvane_48.png", ":/icons/morvane_256.png"}) {
        icon.addFile(QString::fromLatin1(path));
    }
    return icon;
}
