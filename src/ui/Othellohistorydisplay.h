#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>

// The record text window: the move string in one line, with a button that copies all of it to
// the clipboard and one that loads whatever the line holds (a move string, a GGF game or a board
// text pasted from elsewhere). Escape closes it through a Cancel button that lies out of view.
class TFormHistory : public QDialog {
    Q_OBJECT

public:
    explicit TFormHistory(QWidget* parent = nullptr);

    // Set by the main window before each showing.
    std::string HistoryText;
    // Loads the text as a record, reporting any fault itself; true closes the window. Set by the
    // main window.
    std::function<bool(const std::string& text)> OnLoadText;

    void FormShow();
    void Button1Click();
    void Button2Click();

    QLineEdit* EditHistory;
    QPushButton* BitBtn1;
    QPushButton* Button1;
    QPushButton* Button2;  // "棋譜を読込"
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;
};
