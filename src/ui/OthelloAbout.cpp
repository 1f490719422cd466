#include "OthelloAbout.h"

#include <QScreen>
#include <QShowEvent>

#include "FormWidgets.h"
#include "UiResources.h"

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    SetUpFixedDialog(this, QStringLiteral("バージョン情報"), 264, 126);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setGeometry(8, 8, 249, 73);
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(8, 8, 32, 32);
    ProgramIcon->setPixmap(::ProgramIcon().pixmap(32, 32));
    ProductName = new QLabel(Panel1);
    ProductName->setFont(DesignPixelFont(QStringLiteral("Tahoma"), 16, true));
    ProductName->move(64, 8);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(183, 92, 74, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    setWindowIcon(::ProgramIcon());
    FormCreate();
}

void TAboutBox::FormCreate() {
    ProductName->setText(QStringLiteral("モルヴァン ") + QStringLiteral("Ver 2.0 β 1.2"));
    ProductName->adjustSize();
}

void TAboutBox::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->geometry();
            move(area.left() + (area.width() - width()) / 2,
                 area.top() + (area.height() - height()) / 2);
        }
    }
    QDialog::showEvent(event);
}
