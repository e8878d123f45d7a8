#pragma once

#include <QSpinBox>

// A whole-number spin edit of 0 to 100 that changes only by its buttons, the
// arrow keys, Page Up and Page Down and the mouse wheel. Typing and deleting
// are refused with a beep; cutting and pasting are ignored.
class TSpinEdit final : public QSpinBox {
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    // Places the edit, widened where the font needs more room to show 100 whole.
    void setGeometry(int x, int y, int w, int h);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
};
