#include "app/load_progress.h"

namespace {

constexpr auto kLayout = progressLayout("Load:");

}  // namespace

Load_Progress::Load_Progress(QWidget* parent) : ProgressPopupWindow(kLayout, parent) {}
