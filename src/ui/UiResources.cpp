#include "UiResources.h"

QIcon ToolBarIcon(int index) {
    const QString path = QString::fromLatin1(kToolBarIcons[static_cast<std::size_t>(index)]);
    QIcon icon(path);
    icon.addFile(QString(path).replace(QStringLiteral(".png"), QStringLiteral("_32.png")));
    return icon;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const char* path : {":/icons/morvane_16.png", ":/icons/morvane_32.png",
                             ":/icons/morvane_48.png", ":/icons/morvane_256.png"}) {
        icon.addFile(QString::fromLatin1(path));
    }
    return icon;
}
