#include "Othelloenvconf.h"

#include <QShowEvent>
#include <QValidator>

namespace {

// Takes only names that the settings file gives back exactly (see OthelloParams::IsStorableName):
// a line break, a character that code page 932 cannot hold, or "#", ";", "=" is refused as typed
// or pasted.
class NameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return OthelloParams::IsStorableName(input.toStdString()) ? Acceptable : Invalid;
    }
};

// The edit fields get the height the classic control has at this font.
constexpr int kEditHeight = 21;

QColor UnpackColour(int rgb) {
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

int PackColour(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

}  // namespace

TFormEnvConf::TFormEnvConf(QWidget* parent) : QDialog(parent) {
    // A row of the board's display options below the designed controls makes it 32 taller.
    SetUpFixedDialog(this, QStringLiteral("設定"), 439, 264);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 425, 209);

    Label1 = MakeLabel(this, QStringLiteral("あなたの名前"), 24, 24);
    EditPlayerName = new QLineEdit(this);
    EditPlayerName->setGeometry(120, 24, 81, kEditHeight);
    Label2 = MakeLabel(this, QStringLiteral("コンピュータの名前"), 24, 61);
    EditCpuName = new QLineEdit(this);
    EditCpuName->setGeometry(120, 56, 81, kEditHeight);
    for (QLineEdit* edit : {EditPlayerName, EditCpuName}) {
        edit->setValidator(new NameValidator(edit));
        edit->setMaxLength(OthelloParams::kMaxNameLength);
    }

    Label3 = MakeLabel(this, QStringLiteral("盤の色"), 24, 104);
    PanelBoardColor = new QFrame(this);
    PanelBoardColor->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelBoardColor->setLineWidth(2);
    PanelBoardColor->setAutoFillBackground(true);
    PanelBoardColor->setGeometry(72, 96, 65, 25);
    Button1 = new QPushButton(QStringLiteral("変更"), this);
    Button1->setGeometry(144, 96, 57, 25);
    Button1->setAutoDefault(false);
    KeepClearOf(Label1, EditPlayerName);
    KeepClearOf(Label2, EditCpuName);
    KeepClearOf(Label3, PanelBoardColor);

    CheckBoxAutoPass = new QCheckBox(QStringLiteral("パスを自動化する"), this);
    CheckBoxAutoPass->setGeometry(24, 144, 129, 17);
    CheckBoxShowLastMove = new QCheckBox(QStringLiteral("最後の手を表示"), this);
    CheckBoxShowLastMove->setGeometry(24, 192, 121, 17);
    CheckBoxShowCoordinates = new QCheckBox(QStringLiteral("座標を表示"), this);
    CheckBoxShowCoordinates->setGeometry(152, 192, 89, 17);
    CheckBoxShowLegalMoves = new QCheckBox(QStringLiteral("打てる場所を表示"), this);
    CheckBoxShowLegalMoves->setGeometry(248, 192, 169, 17);

    RadioGroupBoardSize = new RadioGroup(
        QStringLiteral("盤面のサイズ"),
        {QStringLiteral("小"), QStringLiteral("ふつう"), QStringLiteral("ビッグ")}, 3, this);
    RadioGroupBoardSize->setGeometry(232, 16, 193, 49);
    RadioGroupTurnSpeed = new RadioGroup(
        QStringLiteral("石の返る速さ"),
        {QStringLiteral("ゆっくり"), QStringLiteral("ふつう"), QStringLiteral("まっは")}, 3, this);
    RadioGroupTurnSpeed->setGeometry(232, 72, 193, 49);
    RadioGroupSoundEffect =
        new RadioGroup(QStringLiteral("効果音"),
                       {QStringLiteral("ならす"), QStringLiteral("ならさない")}, 2, this);
    RadioGroupSoundEffect->setGeometry(232, 128, 193, 49);

    BitBtn1 = MakeOkButton(this, QRect(248, 224, 89, 33));
    BitBtn2 = MakeCancelButton(this, QRect(344, 224, 89, 33));

    ColorDialogBoard = new QColorDialog(this);

    connect(Button1, &QPushButton::clicked, this, &TFormEnvConf::Button1Click);
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormEnvConf::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void TFormEnvConf::FormShow() {
    if (Params == nullptr) return;
    RadioGroupSoundEffect->SetItemIndex(Params->SoundEffect ? 0 : 1);
    CheckBoxAutoPass->setChecked(Params->AutoPass);
    CheckBoxShowLastMove->setChecked(Params->ShowLastMove);
    CheckBoxShowCoordinates->setChecked(Params->ShowCoordinates);
    CheckBoxShowLegalMoves->setChecked(Params->ShowLegalMoves);
    PendingColor = Params->BoardColor;
    ShowPendingColor();
    // A name from a hand-edited file shows as the file will keep it, so that it can be edited.
    EditPlayerName->setText(
        QString::fromStdString(OthelloParams::StorableName(Params->PlayerName)));
    EditCpuName->setText(QString::fromStdString(OthelloParams::StorableName(Params->CpuName)));
    RadioGroupBoardSize->SetItemIndex(Params->BoardSize);
    RadioGroupTurnSpeed->SetItemIndex(Params->TurnSpeed);
}

void TFormEnvConf::Button1Click() {
    ColorDialogBoard->setCurrentColor(lastChosen_);
    if (ColorDialogBoard->exec() != QDialog::Accepted) return;
    lastChosen_ = ColorDialogBoard->selectedColor();
    PendingColor = PackColour(lastChosen_);
    ShowPendingColor();
}

void TFormEnvConf::BitBtn1Click() {
    if (Params == nullptr) return;
    Params->SoundEffect = RadioGroupSoundEffect->ItemIndex() == 0;
    Params->AutoPass = CheckBoxAutoPass->isChecked();
    Params->ShowLastMove = CheckBoxShowLastMove->isChecked();
    Params->ShowCoordinates = CheckBoxShowCoordinates->isChecked();
    Params->ShowLegalMoves = CheckBoxShowLegalMoves->isChecked();
    Params->BoardColor = PendingColor;
    Params->BoardSize = RadioGroupBoardSize->ItemIndex();
    Params->PlayerName = EditPlayerName->text().toStdString();
    Params->CpuName = EditCpuName->text().toStdString();
    Params->TurnSpeed = RadioGroupTurnSpeed->ItemIndex();
}

void TFormEnvConf::ShowPendingColor() {
    QPalette palette = PanelBoardColor->palette();
    palette.setColor(QPalette::Window, UnpackColour(PendingColor));
    PanelBoardColor->setPalette(palette);
}
