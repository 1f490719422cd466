#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <string>

// The record text window: the move string in one read-only line, with a button that copies all
// of it to the clipboard. Escape closes it through a Cancel button that lies out of view.
class TFormHistory : public QDialog {
    Q_OBJECT

public:
    explicit TFormHistory(QWidget* parent = nullptr);

    // Set by the main window before each showing.
    std::string HistoryText;

    void FormShow();
    void Button1Click();

    QLineEdit* EditHistory;
    QPushButton* BitBtn1;
    QPushButton* Button1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;
};
