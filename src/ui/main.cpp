#include <QApplication>

#include "Main.h"
#include "UiResources.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("モルヴァン"));
    QApplication::setWindowIcon(ProgramIcon());
    TFormMain window;
    window.show();
    return QApplication::exec();
}
