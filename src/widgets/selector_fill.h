#pragma once

#include <QStringList>

class QComboBox;

// The list filled anew and position selected (nothing when it is past the list), quietly: a
// refill is never a choice of the user's, so only the choices the user makes are heard.
void fillSelector(QComboBox* selector, const QStringList& entries, int position);
