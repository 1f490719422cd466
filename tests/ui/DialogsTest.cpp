#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QTest>
#include <QTimer>
#include <functional>

#include "OthelloAbout.h"
#include "Othelloconf.h"
#include "Othelloenvconf.h"
#include "Othellohistorydisplay.h"
#include "Othelloparams.h"

namespace {

// Every field the two dialogs may write, to tell "nothing written" from "rewritten the same".
bool SameSettings(const OthelloParams& a, const OthelloParams& b) {
    return a.BoardColor == b.BoardColor && a.SoundEffect == b.SoundEffect &&
           a.PlayerColor == b.PlayerColor && a.CpuMode == b.CpuMode && a.CpuLevel == b.CpuLevel &&
           a.PlayerTime == b.PlayerTime && a.CpuTime == b.CpuTime &&
           a.DoAfterTimeUp == b.DoAfterTimeUp && a.AutoPass == b.AutoPass &&
           a.BoardSize == b.BoardSize && a.TurnSpeed == b.TurnSpeed &&
           a.PlayerName == b.PlayerName && a.CpuName == b.CpuName && a.Sizeable == b.Sizeable;
}

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// Runs action on the next modal window once a modal loop has started.
void OnNextModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

class FormConfTest : public ::testing::Test {
protected:
    void Open(int state) {
        form.Params = &params;
        form.PlayState = state;
        form.show();
    }
    OthelloParams params;
    TFormConf form;
};

TEST_F(FormConfTest, ShowsTheRecord) {
    params.PlayerColor = -1;
    params.CpuMode = 1;
    params.CpuLevel = 7;
    params.PlayerTime = 2;
    params.CpuTime = 5;
    Open(1);
    EXPECT_EQ(form.windowTitle(), "対局設定");
    EXPECT_EQ(form.size(), QSize(249, 339));
    EXPECT_EQ(form.RadioGroupPlayerColor->ItemIndex(), 1);
    EXPECT_TRUE(form.RadioButtonTime->isChecked());
    EXPECT_FALSE(form.RadioButtonNum->isChecked());
    EXPECT_EQ(form.ComboBoxLevel->currentText(), "レベル８");
    EXPECT_EQ(form.ComboBoxPlayerTime->currentText(), "３分");
    EXPECT_EQ(form.ComboBoxCpuTime->currentText(), "２０分");
    EXPECT_EQ(form.ComboBoxLevel->count(), 9);
    EXPECT_EQ(form.ComboBoxPlayerTime->count(), 8);
    EXPECT_EQ(form.ComboBoxPlayerTime->itemText(7), "無制限");
    EXPECT_EQ(form.ComboBoxCpuTime->count(), 7);
    EXPECT_TRUE(form.CheckBoxDoAfterTimeUp->isChecked());
    EXPECT_FALSE(form.CheckBoxDoAfterTimeUp->isVisible());
}

TEST_F(FormConfTest, TimeRadioTogglesTheLists) {
    Open(1);
    ASSERT_TRUE(form.RadioButtonNum->isChecked());
    EXPECT_TRUE(form.ComboBoxLevel->isEnabled());
    EXPECT_TRUE(form.LabelNum->isEnabled());
    EXPECT_FALSE(form.ComboBoxPlayerTime->isEnabled());
    EXPECT_FALSE(form.ComboBoxCpuTime->isEnabled());
    EXPECT_FALSE(form.LabelCpuTime->isEnabled());

    Click(form.RadioButtonTime);
    EXPECT_TRUE(form.RadioButtonTime->isChecked());
    EXPECT_FALSE(form.ComboBoxLevel->isEnabled());
    EXPECT_FALSE(form.LabelNum->isEnabled());
    EXPECT_TRUE(form.ComboBoxPlayerTime->isEnabled());
    EXPECT_TRUE(form.LabelPlayerTime->isEnabled());
    EXPECT_TRUE(form.ComboBoxCpuTime->isEnabled());
    EXPECT_TRUE(form.CheckBoxDoAfterTimeUp->isEnabled());

    Click(form.RadioButtonNum);
    EXPECT_TRUE(form.ComboBoxLevel->isEnabled());
    EXPECT_FALSE(form.ComboBoxPlayerTime->isEnabled());
}

TEST_F(FormConfTest, DuringAGameSideAndModeAreLockedButTheLevelIsNot) {
    Open(4);
    EXPECT_FALSE(form.RadioGroupPlayerColor->isEnabled());
    EXPECT_FALSE(form.RadioButtonNum->isEnabled());
    EXPECT_FALSE(form.RadioButtonTime->isEnabled());
    EXPECT_TRUE(form.ComboBoxLevel->isEnabled());
    form.hide();
    // After the game everything is free again.
    Open(8);
    EXPECT_TRUE(form.RadioGroupPlayerColor->isEnabled());
    EXPECT_TRUE(form.RadioButtonTime->isEnabled());
}

TEST_F(FormConfTest, OkWritesTheChoices) {
    Open(1);
    Click(form.RadioGroupPlayerColor->Item(1));
    Click(form.RadioButtonTime);
    form.ComboBoxPlayerTime->setCurrentIndex(0);
    form.ComboBoxCpuTime->setCurrentIndex(6);
    form.ComboBoxLevel->setCurrentIndex(8);
    Click(form.BitBtn1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(params.PlayerColor, -1);
    EXPECT_EQ(params.CpuMode, 1);
    EXPECT_EQ(params.PlayerTime, 0);
    EXPECT_EQ(params.CpuTime, 6);
    EXPECT_EQ(params.CpuLevel, 8);
    EXPECT_TRUE(params.DoAfterTimeUp);
}

TEST_F(FormConfTest, OkWithoutChangesKeepsTheValues) {
    params.PlayerColor = -1;
    params.CpuLevel = 0;
    params.DoAfterTimeUp = false;
    const OthelloParams before = params;
    Open(1);
    Click(form.BitBtn1);
    EXPECT_TRUE(SameSettings(params, before));
}

TEST_F(FormConfTest, CancelAndEscapeWriteNothing) {
    const OthelloParams before = params;
    Open(1);
    Click(form.RadioGroupPlayerColor->Item(1));
    Click(form.RadioButtonTime);
    form.ComboBoxCpuTime->setCurrentIndex(4);
    Click(form.BitBtn2);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(SameSettings(params, before));

    // The next opening shows the record again, not the abandoned choices.
    Open(1);
    EXPECT_EQ(form.RadioGroupPlayerColor->ItemIndex(), 0);
    EXPECT_TRUE(form.RadioButtonNum->isChecked());
    EXPECT_EQ(form.ComboBoxCpuTime->currentIndex(), params.CpuTime);
    Click(form.RadioButtonTime);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(SameSettings(params, before));
}

TEST_F(FormConfTest, OutOfRangeValuesShowTheNearestItem) {
    params.CpuLevel = 12;
    params.PlayerTime = -3;
    Open(1);
    EXPECT_EQ(form.ComboBoxLevel->currentIndex(), 8);
    EXPECT_EQ(form.ComboBoxPlayerTime->currentIndex(), 0);
}

class FormEnvConfTest : public ::testing::Test {
protected:
    void Open() {
        form.Params = &params;
        form.show();
    }
    // Clicks "変更" and answers the colour chooser: accept with colour, or cancel when invalid.
    QColor ChooseColour(QColor colour) {
        QColor openedOn;
        OnNextModal([&](QWidget* modal) {
            auto* chooser = qobject_cast<QColorDialog*>(modal);
            if (chooser == nullptr) return;
            openedOn = chooser->currentColor();
            if (colour.isValid()) {
                chooser->setCurrentColor(colour);
                chooser->accept();
            } else {
                chooser->reject();
            }
        });
        Click(form.Button1);
        return openedOn;
    }
    QColor PanelColour() const { return form.PanelBoardColor->palette().color(QPalette::Window); }

    OthelloParams params;
    TFormEnvConf form;
};

TEST_F(FormEnvConfTest, ShowsTheRecord) {
    params.SoundEffect = false;
    params.AutoPass = true;
    params.BoardColor = 0x00FF0000;  // blue
    params.PlayerName = "花子";
    params.CpuName = "相手";
    params.BoardSize = 2;
    params.TurnSpeed = 0;
    Open();
    EXPECT_EQ(form.windowTitle(), "設定");
    EXPECT_EQ(form.size(), QSize(439, 232));
    EXPECT_EQ(form.RadioGroupSoundEffect->ItemIndex(), 1);
    EXPECT_EQ(form.RadioGroupSoundEffect->Item(1)->text(), "ならさない");
    EXPECT_TRUE(form.CheckBoxAutoPass->isChecked());
    EXPECT_EQ(PanelColour(), QColor(0, 0, 255));
    EXPECT_EQ(form.EditPlayerName->text(), "花子");
    EXPECT_EQ(form.EditCpuName->text(), "相手");
    EXPECT_EQ(form.RadioGroupBoardSize->ItemIndex(), 2);
    EXPECT_EQ(form.RadioGroupBoardSize->Item(2)->text(), "ビッグ");
    EXPECT_EQ(form.RadioGroupTurnSpeed->ItemIndex(), 0);
    EXPECT_EQ(form.RadioGroupTurnSpeed->Item(2)->text(), "まっは");
}

TEST_F(FormEnvConfTest, OkWritesEverythingAsTyped) {
    Open();
    form.EditPlayerName->setText(" 名前 ");
    form.EditCpuName->clear();
    Click(form.CheckBoxAutoPass);
    Click(form.RadioGroupBoardSize->Item(0));
    Click(form.RadioGroupTurnSpeed->Item(2));
    Click(form.RadioGroupSoundEffect->Item(1));
    EXPECT_EQ(ChooseColour(QColor(255, 0, 0)), QColor(Qt::black));  // black the first time
    EXPECT_EQ(PanelColour(), QColor(255, 0, 0));
    Click(form.BitBtn1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(params.PlayerName, " 名前 ");
    EXPECT_EQ(params.CpuName, "");
    EXPECT_TRUE(params.AutoPass);
    EXPECT_EQ(params.BoardSize, 0);
    EXPECT_EQ(params.TurnSpeed, 2);
    EXPECT_FALSE(params.SoundEffect);
    EXPECT_EQ(params.BoardColor, 255);
}

TEST_F(FormEnvConfTest, ColourChosenThenCancelLeavesBoardColor) {
    const OthelloParams before = params;
    const QColor original = PanelColour();
    Open();
    ChooseColour(QColor(10, 20, 30));
    EXPECT_EQ(form.PendingColor, 10 + (20 << 8) + (30 << 16));
    Click(form.BitBtn2);
    EXPECT_TRUE(SameSettings(params, before));

    // The next opening shows the old colour; the chooser opens on the one last confirmed.
    Open();
    EXPECT_EQ(PanelColour(), QColor(128, 128, 64));
    EXPECT_NE(original, QColor(10, 20, 30));
    EXPECT_EQ(ChooseColour(QColor()), QColor(10, 20, 30));
    // Cancelling the chooser keeps the pending colour.
    EXPECT_EQ(PanelColour(), QColor(128, 128, 64));
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(SameSettings(params, before));
}

class FormHistoryTest : public ::testing::Test {
protected:
    TFormHistory form;
};

TEST_F(FormHistoryTest, CopiesTheWholeMoveStringAndStaysOpen) {
    std::string moves;
    for (int i = 0; i < 30; ++i)
        moves += "f5d6c3d3c4f4";
    form.HistoryText = moves.substr(0, 120);
    form.show();
    EXPECT_EQ(form.windowTitle(), "棋譜");
    EXPECT_EQ(form.size(), QSize(756, 82));
    EXPECT_EQ(form.EditHistory->text().toStdString(), form.HistoryText);
    EXPECT_TRUE(form.EditHistory->isReadOnly());
    EXPECT_EQ(form.focusWidget(), form.BitBtn1);

    QApplication::clipboard()->setText("old");
    Click(form.Button1);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), form.HistoryText);
    EXPECT_TRUE(form.isVisible());
    Click(form.BitBtn1);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(FormHistoryTest, EachShowingTakesTheNewTextAndEscapeCloses) {
    form.HistoryText = "f5d6";
    form.show();
    form.hide();
    form.HistoryText.clear();
    form.show();
    EXPECT_EQ(form.EditHistory->text(), "");
    // The Cancel button lies below the window's client area.
    EXPECT_GE(form.BitBtn2->geometry().top(), form.height());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST(AboutBoxTest, ShowsNameVersionAndIcon) {
    TAboutBox box;
    box.show();
    EXPECT_EQ(box.windowTitle(), "バージョン情報");
    EXPECT_EQ(box.size(), QSize(264, 126));
    EXPECT_EQ(box.ProductName->text(), "モルヴァン Ver 2.0 β 1.2");
    EXPECT_TRUE(box.ProductName->font().bold());
    EXPECT_EQ(box.ProgramIcon->pixmap().size(), QSize(32, 32));
    EXPECT_FALSE(box.ProgramIcon->pixmap().toImage().pixelColor(16, 16).alpha() == 0);
    Click(box.OKButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace
