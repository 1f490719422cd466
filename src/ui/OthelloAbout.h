#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

// The About box: program icon, name and version. Centred on the screen whenever it is shown.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QPushButton* OKButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
};
