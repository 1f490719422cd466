#include "FormWidgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

namespace {
const QString kFallbackFace = QStringLiteral("Noto Sans CJK JP");
}

QFont DesignFont(const QString& face, double pointSize, bool bold) {
    QFont font;
    font.setFamilies({face, kFallbackFace});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont DesignPixelFont(const QString& face, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({face, kFallbackFace});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void SetUpFixedDialog(QDialog* dialog, const QString& caption, int width, int height) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->setWindowTitle(caption);
    dialog->setFont(DesignFont(QStringLiteral("Tahoma"), 8));
    dialog->setFixedSize(width, height);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeOkButton(QWidget* parent, const QRect& place) {
    auto* button = new QPushButton(parent->style()->standardIcon(QStyle::SP_DialogOkButton),
                                   QStringLiteral("OK"), parent);
    button->setGeometry(place);
    button->setDefault(true);
    return button;
}

QPushButton* MakeCancelButton(QWidget* parent, const QRect& place) {
    auto* button = new QPushButton(parent->style()->standardIcon(QStyle::SP_DialogCancelButton),
                                   QStringLiteral("キャンセル"), parent);
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), columns_(std::max(columns, 1)) {
    for (const QString& text : items)
        items_.push_back(new QRadioButton(text, this));
    Arrange();
}

int RadioGroup::ItemIndex() const {
    for (int i = 0; i < Count(); ++i) {
        if (items_[i]->isChecked()) return i;
    }
    return -1;
}

void RadioGroup::SetItemIndex(int index) {
    if (items_.empty()) return;
    items_[std::clamp(index, 0, Count() - 1)]->setChecked(true);
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    Arrange();
}

void RadioGroup::Arrange() {
    if (items_.empty()) return;
    const int perColumn = (Count() + columns_ - 1) / columns_;
    const int textHeight = QFontMetrics(font()).height();
    const int rowSpace = height() - textHeight - 5;
    const int rowHeight = std::max(rowSpace / perColumn, 1);
    const int top = textHeight + 1 + (rowSpace % perColumn) / 2;
    const int columnWidth = (width() - 10) / columns_;
    for (int i = 0; i < Count(); ++i) {
        items_[i]->setGeometry((i / perColumn) * columnWidth + 8, (i % perColumn) * rowHeight + top,
                               columnWidth, rowHeight);
    }
}
