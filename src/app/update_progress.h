#pragma once

#include "app/progress_popup.h"

// The popup "Update:" shown while the default data are sent to the ACU.
class Update_Progress : public ProgressPopupWindow {
    Q_OBJECT

public:
    explicit Update_Progress(QWidget* parent);
};
