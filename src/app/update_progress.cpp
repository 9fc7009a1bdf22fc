#include "app/update_progress.h"

namespace {

constexpr auto kLayout = progressLayout("Update:");

}  // namespace

Update_Progress::Update_Progress(QWidget* parent) : ProgressPopupWindow(kLayout, parent) {}
