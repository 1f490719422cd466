#pragma once

#include <QCheckBox>
#include <QColor>
#include <QColorDialog>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "FormWidgets.h"
#include "Othelloparams.h"

// The environment settings dialog: names, board colour (through the platform colour chooser),
// automatic passing, board size, flip speed, sound and what the board shows besides the stones.
// Edits *Params in place on OK; a colour chosen before Cancel is dropped.
class TFormEnvConf : public QDialog {
    Q_OBJECT

public:
    explicit TFormEnvConf(QWidget* parent = nullptr);

    OthelloParams* Params = nullptr;
    // The board colour chosen so far (packed RGB, red in the low byte); written on OK.
    int PendingColor = 0;

    void FormShow();
    void Button1Click();
    void BitBtn1Click();

    QFrame* Bevel1;
    QLabel* Label1;
    QLineEdit* EditPlayerName;
    QLabel* Label2;
    QLineEdit* EditCpuName;
    QLabel* Label3;
    QFrame* PanelBoardColor;
    QPushButton* Button1;
    QCheckBox* CheckBoxAutoPass;
    QCheckBox* CheckBoxShowLastMove;
    QCheckBox* CheckBoxShowCoordinates;
    QCheckBox* CheckBoxShowLegalMoves;
    RadioGroup* RadioGroupBoardSize;
    RadioGroup* RadioGroupTurnSpeed;
    RadioGroup* RadioGroupSoundEffect;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QColorDialog* ColorDialogBoard;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPendingColor();

    // The chooser opens on the colour last confirmed in it, not on the board's.
    QColor lastChosen_ = Qt::black;
};
