#include "widgets/quiet_dialog.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

#include "widgets/dialog_layout.h"

namespace {

bool swallowed(const QKeyEvent* event) {
    const int key = event->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

QuietDialog::QuietDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {
    paintWhite(this);
}

void QuietDialog::keyPressEvent(QKeyEvent* event) {
    if (swallowed(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void QuietDialog::keyReleaseEvent(QKeyEvent* event) {
    if (swallowed(event)) {
        event->accept();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void QuietDialog::contextMenuEvent(QContextMenuEvent* event) {
    // Ignored, the event goes on to the parent; a window has no parent to pass it to.
    event->ignore();
}
