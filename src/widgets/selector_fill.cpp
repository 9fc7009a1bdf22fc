#include "widgets/selector_fill.h"

#include <QComboBox>
#include <QSignalBlocker>

void fillSelector(QComboBox* selector, const QStringList& entries, int position) {
    const QSignalBlocker quiet(selector);
    selector->clear();
    selector->addItems(entries);
    selector->setCurrentIndex(position < selector->count() ? position : -1);
}
