#include "Othellohistorydisplay.h"

#include <QShowEvent>
#include <algorithm>

#include "FormWidgets.h"

TFormHistory::TFormHistory(QWidget* parent) : QDialog(parent) {
    SetUpFixedDialog(this, QStringLiteral("棋譜"), 756, 82);

    EditHistory = new QLineEdit(this);
    EditHistory->setGeometry(8, 8, 737, 21);
    BitBtn1 = MakeOkButton(this, QRect(528, 40, 97, 33));
    Button1 = new QPushButton(QStringLiteral("クリップボードにコピー"), this);
    Button1->setGeometry(632, 40, 113, 33);
    Button1->setAutoDefault(false);
    // The copy button widens to the left as far as its text needs, keeping its right edge under
    // the field's; the load button, as wide as its text, and then OK follow it to the left at the
    // designed distance between OK and the copy button.
    const int gap = Button1->x() - (BitBtn1->x() + BitBtn1->width());
    const int widen = std::max(0, Button1->sizeHint().width() - Button1->width());
    Button1->setGeometry(Button1->geometry().adjusted(-widen, 0, 0, 0));
    Button2 = new QPushButton(QStringLiteral("棋譜を読込"), this);
    Button2->setAutoDefault(false);
    Button2->setGeometry(Button1->x() - gap - Button2->sizeHint().width(), Button1->y(),
                         Button2->sizeHint().width(), Button1->height());
    BitBtn1->move(Button2->x() - gap - BitBtn1->width(), BitBtn1->y());
    // Below the client area, so never seen; it keeps Escape bound to closing the window.
    BitBtn2 = MakeCancelButton(this, QRect(216, 112, 81, 33));

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button1, &QPushButton::clicked, this, &TFormHistory::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormHistory::Button2Click);
    // Once the text is edited, Enter loads it instead of closing the window; while loading is
    // not allowed Enter still closes it.
    connect(EditHistory, &QLineEdit::textEdited, this,
            [this] { Button2->setDefault(Button2->isEnabled()); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormHistory::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void TFormHistory::FormShow() {
    EditHistory->setText(QString::fromStdString(HistoryText));
    EditHistory->setCursorPosition(0);
    BitBtn1->setDefault(true);
    BitBtn1->setFocus();
}

void TFormHistory::Button1Click() {
    EditHistory->selectAll();
    EditHistory->copy();
}

void TFormHistory::Button2Click() {
    if (OnLoadText && OnLoadText(EditHistory->text().toStdString())) accept();
}
