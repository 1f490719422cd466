#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTimer>

#include "Othelloconf.h"
#include "Othelloenvconf.h"
#include "Othellohistorydisplay.h"

namespace {

// Every field the two dialogs may write: side, mode, level, times, after time-up / sound, auto
// pass, last move, coordinates and legal squares shown, colour, size, speed, names.
std::string Fields(const OthelloParams& p) {
    return QString::asprintf("%d %d %d %d %d %d / %d %d %d%d%d %d %d %d [%s][%s]", p.PlayerColor,
                             p.CpuMode, p.CpuLevel, p.PlayerTime, p.CpuTime, p.DoAfterTimeUp,
                             p.SoundEffect, p.AutoPass, p.ShowLastMove, p.ShowCoordinates,
                             p.ShowLegalMoves, p.BoardColor, p.BoardSize, p.TurnSpeed,
                             p.PlayerName.c_str(), p.CpuName.c_str())
        .toStdString();
}

class DialogsTest : public ::testing::Test {
protected:
    DialogsTest() { conf.Params = env.Params = &params; }
    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static QString Chosen(const RadioGroup* g) {
        return g->ItemIndex() < 0 ? "none" : g->Item(g->ItemIndex())->text();
    }
    // Closes a dialog with Cancel (0), Escape (1), the close box (2) or OK (3).
    static void Close(QDialog& dialog, QAbstractButton* ok, QAbstractButton* cancel, int how) {
        if (how == 1) QTest::keyClick(&dialog, Qt::Key_Escape);
        if (how == 2) dialog.close();
        if (how != 1 && how != 2) Click(how == 0 ? cancel : ok);
        EXPECT_FALSE(dialog.isVisible()) << how;
    }
    static std::string Join(const QStringList& parts) { return parts.join('|').toStdString(); }
    // Title, side, mode, the three lists, the hidden check box.
    std::string ConfShown() const {
        const bool time = conf.RadioButtonTime->isChecked();
        return Join({conf.windowTitle(), Chosen(conf.RadioGroupPlayerColor),
                     (time ? conf.RadioButtonTime : conf.RadioButtonNum)->text(),
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
                 conf.LabelCpuTime, conf.ComboBoxCpuTime, conf.CheckBoxDoAfterTimeUp})
            s += w->isEnabled() ? '1' : '0';
        return s;
    }
    std::string EnvShown() const {
        return Join({env.windowTitle(), Chosen(env.RadioGroupSoundEffect),
                     env.CheckBoxAutoPass->isChecked() ? "auto" : "-",
                     QString::asprintf("%d%d%d", env.CheckBoxShowLastMove->isChecked(),
                                       env.CheckBoxShowCoordinates->isChecked(),
                                       env.CheckBoxShowLegalMoves->isChecked()),
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

TEST_F(DialogsTest, GameSettingsEnableByStateAndModeOnlyOkWrites) {
    // Side and mode are locked during a game; the level list never is.
    for (auto [running, expected] : {std::pair{true, "0001100000"}, {false, "1111100000"}}) {
        conf.hide();
        conf.GameRunning = running;
        conf.show();
        EXPECT_EQ(ConfEnabled(), expected) << running;
    }
    Click(conf.RadioButtonTime);
    EXPECT_EQ(ConfEnabled(), "1110011111");
    Click(conf.RadioButtonNum);
    EXPECT_EQ(ConfEnabled(), "1111100000");
    const std::string defaults = Fields(params);
    Click(conf.BitBtn1);
    EXPECT_EQ(Fields(params), defaults);  // OK with the mode set back rewrites the same values
    params.DoAfterTimeUp = false;
    const std::string record = Fields(params);
    for (int how : {0, 1, 2, 3}) {
        conf.show();  // each opening shows the record, not abandoned choices
        EXPECT_EQ(ConfShown(), "対局設定|黒（先手）|探索局面数固定|レベル４|無制限|１分|-") << how;
        Click(conf.RadioGroupPlayerColor->Item(1));
        Click(conf.RadioButtonTime);
        conf.ComboBoxPlayerTime->setCurrentIndex(0);
        conf.ComboBoxCpuTime->setCurrentIndex(6);
        conf.ComboBoxLevel->setCurrentIndex(8);
        Close(conf, conf.BitBtn1, conf.BitBtn2, how);
        EXPECT_EQ(Fields(params),
                  how < 3 ? record : "-1 1 8 0 6 0 / 1 0 110 4227200 1 1 [あなた][モルヴァン]");
    }
    conf.show();
    EXPECT_EQ(ConfShown(), "対局設定|白（後手）|持ち時間制|レベル９|３０秒|３０分|-");
}

TEST_F(DialogsTest, EnvironmentOkWritesEverythingAsTypedOnlyOkDoes) {
    const std::string record = Fields(params);
    for (int how : {0, 1, 2, 3}) {
        // The record again, a colour chosen before Cancel dropped; the chooser opens on black
        // the first time, then on the colour last confirmed in it.
        env.show();
        EXPECT_EQ(EnvShown(), "設定|ならす|-|110|#808040|あなた|モルヴァン|ふつう|ふつう") << how;
        env.EditPlayerName->setText(" 名前 ");
        env.EditCpuName->clear();
        for (QCheckBox* box : {env.CheckBoxAutoPass, env.CheckBoxShowLastMove,
                               env.CheckBoxShowCoordinates, env.CheckBoxShowLegalMoves})
            Click(box);
        Click(env.RadioGroupBoardSize->Item(2));
        Click(env.RadioGroupTurnSpeed->Item(0));
        Click(env.RadioGroupSoundEffect->Item(1));
        ChooseColour(QColor(10, 20, 30), how == 0 ? QColor(Qt::black) : QColor(10, 20, 30));
        ChooseColour(QColor(), QColor(10, 20, 30));  // a cancelled chooser keeps the pending colour
        EXPECT_EQ(EnvShown(), "設定|ならさない|auto|001|#0a141e| 名前 ||ビッグ|ゆっくり") << how;
        Close(env, env.BitBtn1, env.BitBtn2, how);
        EXPECT_EQ(Fields(params),
                  how < 3 ? record : "1 0 3 7 1 1 / 0 1 001 1971210 2 0 [ 名前 ][]");
    }
    env.show();
    EXPECT_EQ(EnvShown(), "設定|ならさない|auto|001|#0a141e| 名前 ||ビッグ|ゆっくり");
}

TEST_F(DialogsTest, RecordTextCopiesAndCloses) {
    TFormHistory form;
    form.HistoryText = QString("f5d6c3d3c4f4").repeated(10).toStdString();  // 60 moves
    form.show();
    EXPECT_TRUE(!form.EditHistory->isReadOnly() && form.focusWidget() == form.BitBtn1);
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
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
}

}  // namespace
