#pragma once

#include <QDialog>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <vector>

// Small pieces shared by the dialogs: the designed fonts with a Japanese fallback, a radio group
// laid out in columns, and the fixed-border dialog frame.

// The designed Windows face first; Debian systems fall back to Noto Sans CJK JP.
QFont DesignFont(const QString& face, double pointSize, bool bold = false);
// The same with a size in pixels.
QFont DesignPixelFont(const QString& face, int pixelSize, bool bold = false);

// Fixed client size, caption, close box only, base font "Tahoma" 8 points.
void SetUpFixedDialog(QDialog* dialog, const QString& caption, int width, int height);

// A label at (left, top) sized to its text.
QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top);
// Leaves a label at its place unless its text runs into the field to its right; then moves it
// left just enough to clear the field. The designed places assume narrower Windows fonts.
void KeepClearOf(QLabel* label, const QWidget* field);

// The contrast ratio of two colours as the Web Content Accessibility Guidelines define it, from
// 1 (alike) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// A centred label of the main window's panels. It draws its text in its own font, or in a smaller
// one where the text would not fit its room (a long player name, say), and gives a text colour
// that reads poorly on the panel (under 3:1, such as white on light blue) a thin dark outline
// round unsmoothed letters.
class PanelLabel : public QLabel {
    Q_OBJECT

public:
    explicit PanelLabel(QWidget* parent);

    // The width the text may take, centred on the label: the label's own width when not set or
    // wider.
    void SetRoom(int width);
    int Room() const;
    // The font the text is drawn in.
    QFont FittedFont() const;
    bool Outlined() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int room_ = 0;
};

// OK and Cancel buttons with their usual glyphs.
QPushButton* MakeOkButton(QWidget* parent, const QRect& place);
QPushButton* MakeCancelButton(QWidget* parent, const QRect& place);

// A captioned group of exclusive radio buttons, spread over columns the way the classic radio
// group control does (rows sharing the height below the caption), except that each column is as
// wide as its longest item needs before the rest of the width is shared out: equal columns cut
// "ゆっくり" short at this font.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    // -1 when no item is selected.
    int ItemIndex() const;
    // Values outside the items are brought to the nearest item.
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const { return items_[index]; }
    int Count() const { return static_cast<int>(items_.size()); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange();

    std::vector<QRadioButton*> items_;
    int columns_;
};
