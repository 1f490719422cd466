#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "FormWidgets.h"
#include "Othelloparams.h"

// The game settings dialog: side, fixed search amount or time control, level and the two time
// allowances. Edits *Params in place on OK; side and mode are locked while a game runs.
class TFormConf : public QDialog {
    Q_OBJECT

public:
    explicit TFormConf(QWidget* parent = nullptr);

    OthelloParams* Params = nullptr;
    bool GameRunning = false;

    void FormShow();
    void RadioButtonNumClick();
    void RadioButtonTimeClick();
    void BitBtn1Click();

    RadioGroup* RadioGroupPlayerColor;
    QLabel* Label6;
    QFrame* Bevel1;
    QRadioButton* RadioButtonNum;
    QLabel* LabelNum;
    QComboBox* ComboBoxLevel;
    QRadioButton* RadioButtonTime;
    QLabel* LabelPlayerTime;
    QComboBox* ComboBoxPlayerTime;
    QLabel* LabelCpuTime;
    QComboBox* ComboBoxCpuTime;
    QCheckBox* CheckBoxDoAfterTimeUp;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void ApplyEnablingRule();
};
