#include <QApplication>
#include <cstdio>
#include <cstring>

#include "Main.h"
#include "SettingsPath.h"
#include "Translations.h"
#include "UiResources.h"

namespace {

constexpr int kBadArguments = 2;

constexpr const char* kUsage =
    "Usage: morvane [FILE.mvr]\n"
    "Play Othello (Reversi) against the computer opponent Morvane.\n"
    "\n"
    "  FILE.mvr      start with this game record loaded\n"
    "  -h, --help    show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "Settings: morvane.ini in the working folder if it exists there, else\n"
    "$XDG_CONFIG_HOME/morvane/morvane.ini (by default ~/.config/morvane/morvane.ini).\n";

int BadArguments(const QString& message) {
    std::fprintf(stderr, "morvane: %s\nTry 'morvane --help'.\n", qPrintable(message));
    return kBadArguments;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that they need no display.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("morvane %s\n", MORVANE_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    InstallQtTranslations();
    QApplication::setApplicationName(QStringLiteral("モルヴァン"));
    QApplication::setApplicationVersion(QStringLiteral(MORVANE_VERSION));
    // Lets the desktop match the window to its menu entry and icon (on Wayland in particular).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.morvane.Morvane"));
    QApplication::setWindowIcon(ProgramIcon());

    // Qt has taken its own options (-platform, -style, ...) out; what is left is one record file.
    QString record;
    bool options = true;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (options && arg == QStringLiteral("--")) {
            options = false;
        } else if (options && arg.startsWith('-')) {
            return BadArguments(QStringLiteral("unknown option '%1'").arg(arg));
        } else if (!record.isEmpty()) {
            return BadArguments(QStringLiteral("one record file at most"));
        } else {
            record = arg;
        }
    }

    TFormMain window(nullptr, SettingsFilePath());
    window.show();
    // A record that cannot be read gets the load command's error box; the initial position stays.
    if (!record.isEmpty()) window.OpenRecordFile(record);
    return QApplication::exec();
}
