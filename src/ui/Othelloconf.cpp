#include "Othelloconf.h"

#include <QButtonGroup>
#include <QShowEvent>
#include <algorithm>

namespace {

// Drop-down lists get the height the classic control has at this font.
constexpr int kComboHeight = 21;

void SelectClamped(QComboBox* box, int index) {
    box->setCurrentIndex(std::clamp(index, 0, box->count() - 1));
}

}  // namespace

TFormConf::TFormConf(QWidget* parent) : QDialog(parent) {
    SetUpFixedDialog(this, QStringLiteral("対局設定"), 249, 339);

    RadioGroupPlayerColor =
        new RadioGroup(QStringLiteral("あなたの手番"),
                       {QStringLiteral("黒（先手）"), QStringLiteral("白（後手）")}, 2, this);
    RadioGroupPlayerColor->setGeometry(8, 8, 233, 49);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 80, 233, 217);
    // The caption sits on the frame's top edge, so it is made after the frame to lie above it.
    Label6 = MakeLabel(this, QStringLiteral("モルヴァンの強さ"), 16, 72);
    Label6->setAutoFillBackground(true);

    RadioButtonNum = new QRadioButton(QStringLiteral("探索局面数固定"), this);
    RadioButtonNum->setGeometry(24, 96, 113, 17);
    LabelNum = MakeLabel(this, QStringLiteral("探索レベル"), 56, 120);
    ComboBoxLevel = new QComboBox(this);
    ComboBoxLevel->setGeometry(120, 120, 81, kComboHeight);
    ComboBoxLevel->setMaxVisibleItems(static_cast<int>(kLevelTable.size()));

    RadioButtonTime = new QRadioButton(QStringLiteral("持ち時間制"), this);
    RadioButtonTime->setGeometry(24, 160, 89, 17);
    // One group of two; without it the side's radio buttons would take part too.
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(RadioButtonNum);
    modeGroup->addButton(RadioButtonTime);
    LabelPlayerTime = MakeLabel(this, QStringLiteral("あなたの持ち時間"), 56, 184);
    ComboBoxPlayerTime = new QComboBox(this);
    ComboBoxPlayerTime->setGeometry(168, 184, 65, kComboHeight);
    ComboBoxPlayerTime->setMaxVisibleItems(static_cast<int>(kPlayerTimeList.size()));
    LabelCpuTime = MakeLabel(this, QStringLiteral("モルヴァンの持ち時間"), 56, 224);
    ComboBoxCpuTime = new QComboBox(this);
    ComboBoxCpuTime->setGeometry(168, 224, 65, kComboHeight);
    ComboBoxCpuTime->setMaxVisibleItems(static_cast<int>(kCpuTimeList.size()));
    KeepClearOf(LabelNum, ComboBoxLevel);
    KeepClearOf(LabelPlayerTime, ComboBoxPlayerTime);
    KeepClearOf(LabelCpuTime, ComboBoxCpuTime);

    // Kept for the settings file only; the option is never offered.
    CheckBoxDoAfterTimeUp = new QCheckBox(QStringLiteral("時間切れ後も対局を続ける"), this);
    CheckBoxDoAfterTimeUp->setGeometry(56, 264, 169, 17);
    CheckBoxDoAfterTimeUp->setVisible(false);

    BitBtn1 = MakeOkButton(this, QRect(72, 304, 81, 25));
    BitBtn2 = MakeCancelButton(this, QRect(160, 304, 81, 25));

    connect(RadioButtonNum, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButtonNumClick();
    });
    connect(RadioButtonTime, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButtonTimeClick();
    });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TFormConf::FormCreate() {
    for (const LevelEntry& level : kLevelTable) {
        ComboBoxLevel->addItem(QString::fromUtf8(level.Name));
    }
    for (const TimeListEntry& entry : kPlayerTimeList) {
        ComboBoxPlayerTime->addItem(QString::fromUtf8(entry.Name));
    }
    for (const TimeListEntry& entry : kCpuTimeList) {
        ComboBoxCpuTime->addItem(QString::fromUtf8(entry.Name));
    }
}

void TFormConf::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void TFormConf::FormShow() {
    if (Params == nullptr) return;
    RadioGroupPlayerColor->SetItemIndex(Params->PlayerColor == 1 ? 0 : 1);
    if (Params->TimeControl()) {
        RadioButtonTime->setChecked(true);
    } else {
        RadioButtonNum->setChecked(true);
    }
    SelectClamped(ComboBoxLevel, Params->CpuLevel);
    SelectClamped(ComboBoxPlayerTime, Params->PlayerTime);
    SelectClamped(ComboBoxCpuTime, Params->CpuTime);
    CheckBoxDoAfterTimeUp->setChecked(Params->DoAfterTimeUp);

    RadioGroupPlayerColor->setEnabled(!GameRunning);
    RadioButtonTime->setEnabled(!GameRunning);
    RadioButtonNum->setEnabled(!GameRunning);
    ApplyEnablingRule();
}

void TFormConf::RadioButtonNumClick() {
    ApplyEnablingRule();
}

void TFormConf::RadioButtonTimeClick() {
    ApplyEnablingRule();
}

void TFormConf::ApplyEnablingRule() {
    const bool byAmount = RadioButtonNum->isChecked();
    LabelNum->setEnabled(byAmount);
    ComboBoxLevel->setEnabled(byAmount);
    LabelPlayerTime->setEnabled(!byAmount);
    ComboBoxPlayerTime->setEnabled(!byAmount);
    LabelCpuTime->setEnabled(!byAmount);
    ComboBoxCpuTime->setEnabled(!byAmount);
    CheckBoxDoAfterTimeUp->setEnabled(!byAmount);
}

void TFormConf::BitBtn1Click() {
    if (Params == nullptr) return;
    Params->PlayerColor = RadioGroupPlayerColor->ItemIndex() == 1 ? -1 : 1;
    Params->CpuMode =
        RadioButtonNum->isChecked() ? OthelloParams::kCpuModeAmount : OthelloParams::kCpuModeTime;
    Params->CpuLevel = ComboBoxLevel->currentIndex();
    Params->PlayerTime = ComboBoxPlayerTime->currentIndex();
    Params->CpuTime = ComboBoxCpuTime->currentIndex();
    Params->DoAfterTimeUp = CheckBoxDoAfterTimeUp->isChecked();
}
