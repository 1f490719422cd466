#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QTest>
#include <QTimer>
#include <sstream>

#include "OthelloAbout.h"
#include "Othelloconf.h"
#include "Othelloenvconf.h"
#include "Othellohistorydisplay.h"
#include "Othelloparams.h"

namespace {

// Every field the two dialogs may write: side, mode, level, times, after time-up / sound, auto
// pass, colour, size, speed, names.
std::string Fields(const OthelloParams& p) {
    std::ostringstream s;
    s << +p.PlayerColor << ' ' << +p.CpuMode << ' ' << +p.CpuLevel << ' ' << +p.PlayerTime << ' '
      << +p.CpuTime << ' ' << +p.DoAfterTimeUp << " / " << +p.SoundEffect << ' ' << +p.AutoPass
      << ' ' << +p.BoardColor << ' ' << +p.BoardSize << ' ' << +p.TurnSpeed << " [" << p.PlayerName
      << "][" << p.CpuName << "]";
    return s.str();
}
const std::string kDefaults = "1 0 3 7 1 1 / 1 0 4227200 1 1 [あなた][モルヴァン]";

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

class FormConfTest : public ::testing::Test {
protected:
    void Open(int state) {
        form.Params = &params;
        form.PlayState = state;
        form.show();
    }
    // What the dialog shows: side item, time control, the three lists, the hidden check box.
    std::string Shown() const {
        return QString("%1 %2 %3 %4 %5 %6")
            .arg(form.RadioGroupPlayerColor->ItemIndex())
            .arg(form.RadioButtonTime->isChecked() && !form.RadioButtonNum->isChecked())
            .arg(form.ComboBoxLevel->currentText(), form.ComboBoxPlayerTime->currentText(),
                 form.ComboBoxCpuTime->currentText())
            .arg(form.CheckBoxDoAfterTimeUp->isChecked())
            .toStdString();
    }
    // Side, the two mode buttons, the level label and list, the time labels, lists and box.
    std::string Enabled() const {
        std::string s;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 form.RadioGroupPlayerColor, form.RadioButtonNum, form.RadioButtonTime,
                 form.LabelNum, form.ComboBoxLevel, form.LabelPlayerTime, form.ComboBoxPlayerTime,
                 form.LabelCpuTime, form.ComboBoxCpuTime, form.CheckBoxDoAfterTimeUp}) {
            s += w->isEnabled() ? '1' : '0';
        }
        return s;
    }
    OthelloParams params;
    TFormConf form;
};

TEST_F(FormConfTest, ShowsTheRecordWithItsLists) {
    params.PlayerColor = -1;
    params.CpuMode = 1;
    params.CpuLevel = 7;
    params.PlayerTime = 2;
    params.CpuTime = 5;
    Open(1);
    EXPECT_EQ(form.windowTitle(), "対局設定");
    EXPECT_EQ(form.size(), QSize(249, 339));
    EXPECT_EQ(Shown(), "1 1 レベル８ ３分 ２０分 1");
    EXPECT_FALSE(form.CheckBoxDoAfterTimeUp->isVisible());
    EXPECT_EQ(form.ComboBoxLevel->count(), 9);
    EXPECT_EQ(form.ComboBoxPlayerTime->itemText(7), "無制限");
    EXPECT_EQ(form.ComboBoxCpuTime->count(), 7);
}

TEST_F(FormConfTest, EnablingFollowsPlayStateAndMode) {
    // Side and mode are locked during a game (states 2 and 4); the level list never is.
    for (auto [state, expected] :
         {std::pair{1, "1111100000"}, {2, "0001100000"}, {4, "0001100000"}, {8, "1111100000"}}) {
        Open(state);
        EXPECT_EQ(Enabled(), expected) << state;
        form.hide();
    }
    Open(1);
    Click(form.RadioButtonTime);
    EXPECT_EQ(Enabled(), "1110011111");
    Click(form.RadioButtonNum);
    EXPECT_EQ(Enabled(), "1111100000");
}

TEST_F(FormConfTest, OkWritesTheChoicesCancelAndEscapeNothing) {
    params.DoAfterTimeUp = false;
    const std::string before = Fields(params);
    Open(1);
    Click(form.BitBtn1);  // rewrites the same values
    EXPECT_EQ(Fields(params), before);

    Open(1);
    Click(form.RadioGroupPlayerColor->Item(1));
    Click(form.RadioButtonTime);
    form.ComboBoxCpuTime->setCurrentIndex(4);
    Click(form.BitBtn2);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Fields(params), before);
    Open(1);  // shows the record again, not the abandoned choices
    EXPECT_EQ(Shown(), "0 0 レベル４ 無制限 １分 0");
    Click(form.RadioButtonTime);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Fields(params), before);

    Open(1);
    Click(form.RadioGroupPlayerColor->Item(1));
    Click(form.RadioButtonTime);
    form.ComboBoxPlayerTime->setCurrentIndex(0);
    form.ComboBoxCpuTime->setCurrentIndex(6);
    form.ComboBoxLevel->setCurrentIndex(8);
    Click(form.BitBtn1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Fields(params), "-1 1 8 0 6 0 / 1 0 4227200 1 1 [あなた][モルヴァン]");
}

class FormEnvConfTest : public ::testing::Test {
protected:
    void Open() {
        form.Params = &params;
        form.show();
    }
    // Clicks "変更" and accepts colour in the chooser, or cancels it when colour is invalid.
    // Returns the colour the chooser opened on.
    QColor ChooseColour(QColor colour) {
        QColor openedOn;
        QTimer::singleShot(0, [&] {
            auto* chooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            if (chooser == nullptr) return;
            openedOn = chooser->currentColor();
            if (colour.isValid()) chooser->setCurrentColor(colour);
            colour.isValid() ? chooser->accept() : chooser->reject();
        });
        Click(form.Button1);
        QCoreApplication::processEvents();  // no chooser: the answer must not outlive this frame
        return openedOn;
    }
    QColor Panel() const { return form.PanelBoardColor->palette().color(QPalette::Window); }

    OthelloParams params;
    TFormEnvConf form;
};

TEST_F(FormEnvConfTest, ShowsTheRecordAndOkWritesEverythingAsTyped) {
    params.SoundEffect = false;
    params.BoardColor = 0x00FF0000;  // blue
    params.BoardSize = 2;
    params.TurnSpeed = 0;
    Open();
    EXPECT_EQ(form.windowTitle(), "設定");
    EXPECT_EQ(form.size(), QSize(439, 232));
    EXPECT_EQ(form.RadioGroupSoundEffect->ItemIndex(), 1);
    EXPECT_EQ(form.RadioGroupSoundEffect->Item(1)->text(), "ならさない");
    EXPECT_FALSE(form.CheckBoxAutoPass->isChecked());
    EXPECT_EQ(Panel(), QColor(0, 0, 255));
    EXPECT_EQ(form.EditPlayerName->text() + form.EditCpuName->text(), "あなたモルヴァン");
    EXPECT_EQ(form.RadioGroupBoardSize->Item(form.RadioGroupBoardSize->ItemIndex())->text(),
              "ビッグ");
    EXPECT_EQ(form.RadioGroupTurnSpeed->Item(form.RadioGroupTurnSpeed->ItemIndex())->text(),
              "ゆっくり");

    form.EditPlayerName->setText(" 名前 ");
    form.EditCpuName->clear();
    Click(form.CheckBoxAutoPass);
    Click(form.RadioGroupBoardSize->Item(0));
    Click(form.RadioGroupTurnSpeed->Item(2));
    Click(form.RadioGroupSoundEffect->Item(0));
    EXPECT_EQ(ChooseColour(QColor(10, 20, 30)), QColor(Qt::black));  // black the first time
    EXPECT_EQ(Panel(), QColor(10, 20, 30));
    Click(form.BitBtn1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Fields(params), "1 0 3 7 1 1 / 1 1 1971210 0 2 [ 名前 ][]");
}

TEST_F(FormEnvConfTest, ColourChosenThenCancelLeavesBoardColor) {
    Open();
    ChooseColour(QColor(10, 20, 30));
    Click(form.BitBtn2);
    EXPECT_EQ(Fields(params), kDefaults);
    // The next opening shows the old colour; the chooser opens on the one last confirmed, and
    // cancelling it keeps the pending colour.
    Open();
    EXPECT_EQ(Panel(), QColor(128, 128, 64));
    EXPECT_EQ(ChooseColour(QColor()), QColor(10, 20, 30));
    EXPECT_EQ(Panel(), QColor(128, 128, 64));
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Fields(params), kDefaults);
}

TEST(FormHistoryTest, CopiesTheWholeTextAndEscapeCloses) {
    TFormHistory form;
    std::string moves;
    for (int i = 0; i < 10; ++i)
        moves += "f5d6c3d3c4f4";  // a whole game's 60 moves
    form.HistoryText = moves;
    form.show();
    EXPECT_EQ(form.windowTitle(), "棋譜");
    EXPECT_EQ(form.size(), QSize(756, 82));
    EXPECT_TRUE(form.EditHistory->isReadOnly());
    EXPECT_EQ(form.focusWidget(), form.BitBtn1);
    QApplication::clipboard()->setText("old");
    Click(form.Button1);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), moves);
    EXPECT_TRUE(form.isVisible());
    Click(form.BitBtn1);
    EXPECT_FALSE(form.isVisible());
    // Each showing takes the new text; Escape closes through the Cancel button hidden below.
    form.HistoryText.clear();
    form.show();
    EXPECT_EQ(form.EditHistory->text(), "");
    EXPECT_GE(form.BitBtn2->geometry().top(), form.height());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
}

TEST(AboutBoxTest, ShowsNameVersionAndIcon) {
    TAboutBox box;
    box.show();
    EXPECT_EQ(box.windowTitle(), "バージョン情報");
    EXPECT_EQ(box.size(), QSize(264, 126));
    EXPECT_EQ(box.ProductName->text(), "モルヴァン Ver 2.0 β 1.2");
    EXPECT_TRUE(box.ProductName->font().bold());
    EXPECT_EQ(box.ProgramIcon->pixmap().size(), QSize(32, 32));
    Click(box.OKButton);
    EXPECT_FALSE(box.isVisible());
}

}  // namespace
