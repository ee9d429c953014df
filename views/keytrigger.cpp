#include "views/keytrigger.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

bool isTextField(QObject *watched) {
    if (auto *line = qobject_cast<QLineEdit *>(watched)) {
        return !line->isReadOnly();
    }
    if (auto *text = qobject_cast<QTextEdit *>(watched)) {
        return !text->isReadOnly();
    }
    if (auto *plain = qobject_cast<QPlainTextEdit *>(watched)) {
        return !plain->isReadOnly();
    }
    return qobject_cast<QAbstractSpinBox *>(watched) != nullptr;
}

bool isArmingKey(int key) {
    return key == Qt::Key_Apostrophe || key == Qt::Key_Exclam;
}

bool isReturnKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

}  // namespace

// Installed on the application, because a focused child (a table, a field) would otherwise
// take the keys before the window sees them.
KeyTrigger::KeyTrigger(QWidget *window) : QObject(window), m_window(window) {
    qApp->installEventFilter(this);
}

bool KeyTrigger::belongsToWindow(QObject *watched) const {
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget != nullptr && widget->window() == m_window;
}

bool KeyTrigger::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !belongsToWindow(watched)) {
        return false;
    }
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (isModifierKey(key)) {
        return false;
    }
    const bool textField = isTextField(watched);
    if (isArmingKey(key)) {
        // A key that bubbles up from a child is seen again on each parent: arming is idempotent.
        m_armed = !textField;
        return false;
    }
    const bool fire = m_armed && isReturnKey(key) && !textField;
    m_armed = false;
    if (fire) {
        emit triggered();
    }
    return fire;
}
