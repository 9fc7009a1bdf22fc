#pragma once

#include "app/progress_popup.h"

// The popup "Load:" shown while the ACU carries out a factory default setting and reports its
// own progress.
class Load_Progress : public ProgressPopupWindow {
    Q_OBJECT

public:
    explicit Load_Progress(QWidget* parent);
};
