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

// OK and Cancel buttons with their usual glyphs.
QPushButton* MakeOkButton(QWidget* parent, const QRect& place);
QPushButton* MakeCancelButton(QWidget* parent, const QRect& place);

// A captioned group of exclusive radio buttons, spread over columns the way the classic radio
// group control does (equal column widths, rows sharing the height below the caption).
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
