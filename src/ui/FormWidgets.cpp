#include "FormWidgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <numeric>

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

void KeepClearOf(QLabel* label, const QWidget* field) {
    constexpr int kGap = 4;  // between a label's text and its field
    const int overlap = label->geometry().right() + 1 + kGap - field->x();
    if (overlap > 0) label->move(label->x() - overlap, label->y());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

PanelLabel::PanelLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

void PanelLabel::SetRoom(int width) {
    room_ = width;
    update();
}

int PanelLabel::Room() const {
    const int own = contentsRect().width();
    return room_ > 0 ? std::min(room_, own) : own;
}

bool PanelLabel::Outlined() const {
    // The minimum contrast the guidelines ask of large text and of graphics.
    constexpr double kReadable = 3.0;
    return ContrastRatio(palette().color(QPalette::WindowText), palette().color(QPalette::Window)) <
           kReadable;
}

QFont PanelLabel::FittedFont() const {
    constexpr int kSmallestPixels = 8;
    // The outline reaches a pixel beyond the text on either side.
    const int room = Room() - (Outlined() ? 2 : 0);
    QFont font = this->font();
    int pixels = QFontInfo(font).pixelSize();
    // Outlined letters with smoothed edges blur into the outline (into blots at the small
    // size); drawn sharp, every stroke keeps its own colour between the outline's.
    if (Outlined()) font.setStyleStrategy(QFont::NoAntialias);
    while (pixels > kSmallestPixels && QFontMetrics(font).horizontalAdvance(text()) > room) {
        font.setPixelSize(--pixels);
    }
    return font;
}

void PanelLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(FittedFont());
    const QRect area = contentsRect();
    const QString shown =
        painter.fontMetrics().elidedText(text(), Qt::ElideRight, Room() - (Outlined() ? 2 : 0));
    if (Outlined()) {
        painter.setPen(Qt::black);
        for (const QPoint offset : {QPoint(-1, -1), QPoint(0, -1), QPoint(1, -1), QPoint(-1, 0),
                                    QPoint(1, 0), QPoint(-1, 1), QPoint(0, 1), QPoint(1, 1)}) {
            painter.drawText(area.translated(offset), alignment(), shown);
        }
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, alignment(), shown);
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
    std::vector<int> widths(static_cast<std::size_t>(columns_), 0);
    for (int i = 0; i < Count(); ++i) {
        int& need = widths[static_cast<std::size_t>(i / perColumn)];
        need = std::max(need, items_[i]->sizeHint().width());
    }
    // The spare width shared equally, or a shortage shared in proportion to the needs.
    const int inner = width() - 10;
    const int needed = std::accumulate(widths.begin(), widths.end(), 0);
    for (int& w : widths)
        w = needed <= inner ? w + (inner - needed) / columns_ : w * inner / std::max(needed, 1);
    int left = 8;
    for (int c = 0; c < columns_; ++c) {
        for (int i = c * perColumn; i < std::min(Count(), (c + 1) * perColumn); ++i) {
            items_[i]->setGeometry(left, (i % perColumn) * rowHeight + top,
                                   widths[static_cast<std::size_t>(c)], rowHeight);
        }
        left += widths[static_cast<std::size_t>(c)];
    }
}
