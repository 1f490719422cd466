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

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        conf.Params = &params;
        env.Params = &params;
    }
    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static QString Chosen(const RadioGroup* g) {
        return g->Item(std::max(g->ItemIndex(), 0))->text();
    }
    static std::string Join(const QStringList& parts) { return parts.join('|').toStdString(); }
    // Closes a dialog with Cancel (0), Escape (1), the close box (2) or OK (3).
    static void Close(QDialog& dialog, QAbstractButton* ok, QAbstractButton* cancel, int how) {
        if (how == 1) QTest::keyClick(&dialog, Qt::Key_Escape);
        if (how == 2) dialog.close();
        if (how != 1 && how != 2) Click(how == 0 ? cancel : ok);
        EXPECT_FALSE(dialog.isVisible()) << how;
    }
    // Side, mode, the three lists, the hidden check box.
    std::string ConfShown() const {
        const auto* mode =
            conf.RadioButtonTime->isChecked() ? conf.RadioButtonTime : conf.RadioButtonNum;
        return Join({Chosen(conf.RadioGroupPlayerColor), mode->text(),
                     conf.ComboBoxLevel->currentText(), conf.ComboBoxPlayerTime->currentText(),
                     conf.ComboBoxCpuTime->currentText(),
                     conf.CheckBoxDoAfterTimeUp->isChecked() ? "after" : "-"});
    }
    // Side, the two mode buttons, the level label and list, the time labels, lists and box.
    std::string ConfEnabled() const {
        std::string s;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 conf.RadioGroupPlayerColor, conf.RadioButtonNum, conf.RadioButtonTime,
                 conf.LabelNum, conf.ComboBoxLevel, conf.LabelPlayerTime, conf.ComboBoxPlayerTime,
                 conf.LabelCpuTime, conf.ComboBoxCpuTime, conf.CheckBoxDoAfterTimeUp}) {
            s += w->isEnabled() ? '1' : '0';
        }
        return s;
    }
    std::string EnvShown() const {
        return Join({Chosen(env.RadioGroupSoundEffect),
                     env.CheckBoxAutoPass->isChecked() ? "auto" : "-",
                     env.PanelBoardColor->palette().color(QPalette::Window).name(),
                     env.EditPlayerName->text(), env.EditCpuName->text(),
                     Chosen(env.RadioGroupBoardSize), Chosen(env.RadioGroupTurnSpeed)});
    }
    // Clicks "変更"; the chooser must open on start, and then accepts colour, or is cancelled
    // when colour is invalid.
    void ChooseColour(QColor colour, QColor start) {
        QTimer::singleShot(0, [&] {
            EXPECT_EQ(env.ColorDialogBoard->currentColor(), start);
            env.ColorDialogBoard->setCurrentColor(colour);
            colour.isValid() ? env.ColorDialogBoard->accept() : env.ColorDialogBoard->reject();
        });
        Click(env.Button1);
        QCoreApplication::processEvents();  // no chooser: the answer must not outlive this frame
    }
    OthelloParams params;
    TFormConf conf;
    TFormEnvConf env;
};

TEST_F(DialogsTest, GameSettingsEnableByPlayStateAndMode) {
    // Side and mode are locked during a game (states 2 and 4); the level list never is.
    for (auto [state, expected] :
         {std::pair{1, "1111100000"}, {2, "0001100000"}, {4, "0001100000"}, {8, "1111100000"}}) {
        conf.PlayState = state;
        conf.show();
        EXPECT_EQ(ConfEnabled(), expected) << state;
        conf.hide();
    }
    conf.show();
    EXPECT_EQ(conf.windowTitle(), "対局設定");
    EXPECT_TRUE(conf.CheckBoxDoAfterTimeUp->isChecked() &&
                !conf.CheckBoxDoAfterTimeUp->isVisible());
    Click(conf.RadioButtonTime);
    EXPECT_EQ(ConfEnabled(), "1110011111");
    Click(conf.RadioButtonNum);
    EXPECT_EQ(ConfEnabled(), "1111100000");
}

TEST_F(DialogsTest, GameSettingsOkWritesTheChoicesOnlyOkDoes) {
    params.DoAfterTimeUp = false;
    const std::string record = Fields(params);
    conf.show();
    Click(conf.BitBtn1);
    EXPECT_EQ(Fields(params), record);  // OK without changes rewrites the same values
    for (int how : {0, 1, 2, 3}) {
        conf.show();  // each opening shows the record, not abandoned choices
        EXPECT_EQ(ConfShown(), "黒（先手）|探索局面数固定|レベル４|無制限|１分|-") << how;
        Click(conf.RadioGroupPlayerColor->Item(1));
        Click(conf.RadioButtonTime);
        conf.ComboBoxPlayerTime->setCurrentIndex(0);
        conf.ComboBoxCpuTime->setCurrentIndex(6);
        conf.ComboBoxLevel->setCurrentIndex(8);
        Close(conf, conf.BitBtn1, conf.BitBtn2, how);
        EXPECT_EQ(Fields(params),
                  how < 3 ? record : "-1 1 8 0 6 0 / 1 0 4227200 1 1 [あなた][モルヴァン]");
    }
    conf.show();
    EXPECT_EQ(ConfShown(), "白（後手）|持ち時間制|レベル９|３０秒|３０分|-");
}

TEST_F(DialogsTest, EnvironmentOkWritesEverythingAsTypedOnlyOkDoes) {
    const std::string record = Fields(params);
    for (int how : {0, 1, 2, 3}) {
        // The record again, a colour chosen before Cancel dropped; the chooser opens on black
        // the first time, then on the colour last confirmed in it.
        env.show();
        EXPECT_EQ(EnvShown(), "ならす|-|#808040|あなた|モルヴァン|ふつう|ふつう") << how;
        env.EditPlayerName->setText(" 名前 ");
        env.EditCpuName->clear();
        Click(env.CheckBoxAutoPass);
        Click(env.RadioGroupBoardSize->Item(2));
        Click(env.RadioGroupTurnSpeed->Item(0));
        Click(env.RadioGroupSoundEffect->Item(1));
        ChooseColour(QColor(10, 20, 30), how == 0 ? QColor(Qt::black) : QColor(10, 20, 30));
        ChooseColour(QColor(), QColor(10, 20, 30));  // a cancelled chooser keeps the pending colour
        EXPECT_EQ(EnvShown(), "ならさない|auto|#0a141e| 名前 ||ビッグ|ゆっくり") << how;
        Close(env, env.BitBtn1, env.BitBtn2, how);
        EXPECT_EQ(Fields(params), how < 3 ? record : "1 0 3 7 1 1 / 0 1 1971210 2 0 [ 名前 ][]");
    }
    env.show();
    EXPECT_EQ(env.windowTitle(), "設定");
    EXPECT_EQ(EnvShown(), "ならさない|auto|#0a141e| 名前 ||ビッグ|ゆっくり");
}

TEST_F(DialogsTest, RecordTextCopiesTheWholeTextAndEscapeCloses) {
    TFormHistory form;
    for (int i = 0; i < 10; ++i)
        form.HistoryText += "f5d6c3d3c4f4";  // a whole game's 60 moves
    form.show();
    EXPECT_EQ(form.windowTitle(), "棋譜");
    EXPECT_TRUE(form.EditHistory->isReadOnly());
    EXPECT_EQ(form.focusWidget(), form.BitBtn1);
    QApplication::clipboard()->setText("old");
    Click(form.Button1);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), form.HistoryText);
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

TEST_F(DialogsTest, AboutBoxShowsNameAndVersion) {
    TAboutBox box;
    box.show();
    EXPECT_EQ(box.windowTitle(), "バージョン情報");
    EXPECT_EQ(box.ProductName->text(), "モルヴァン Ver 2.0 β 1.2");
}

}  // namespace
