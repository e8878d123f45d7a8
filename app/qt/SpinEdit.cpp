#include "SpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(0, 100);
    setContextMenuPolicy(Qt::NoContextMenu); // no cut or paste from a menu
    setAcceptDrops(false);
    lineEdit()->setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Read-only text: no paste of any kind reaches it, the X11 selection's
    // middle-click paste included. The value still changes by stepping.
    lineEdit()->setReadOnly(true);
}

void TSpinEdit::setGeometry(int x, int y, int w, int h) {
    // Never narrower than the widest value (100) needs beside the buttons.
    QSpinBox::setGeometry(x, y, std::max(w, sizeHint().width()), h);
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        QSpinBox::keyPressEvent(event);
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste) ||
        event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        event->accept(); // ignored without a sound
        return;
    }
    if (!event->text().isEmpty() || event->key() == Qt::Key_Backspace ||
        event->key() == Qt::Key_Delete) {
        QApplication::beep();
    }
    event->accept();
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent* event) {
    event->accept();
}

void TSpinEdit::dropEvent(QDropEvent* event) {
    event->ignore();
}

void TSpinEdit::dragEnterEvent(QDragEnterEvent* event) {
    event->ignore();
}
