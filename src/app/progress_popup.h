#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <span>

#include "widgets/dialog_layout.h"
#include "widgets/quiet_dialog.h"

class QLabel;
class QProgressBar;

// A popup without caption that shows the progress of a long exchange with the ACU: a caption,
// the percentage as a number with "%", and a bar. It has no buttons and ignores Enter and
// Escape; only the exchange opens and closes it. Load_Progress and Update_Progress differ
// only in their caption.
class ProgressPopupWindow : public QuietDialog {
    Q_OBJECT

public:
    // Range 0..total (cut to the bar's 16 bits), position 0, shown in front, centred over the
    // parent, the number field at "0".
    void openProgress(std::uint32_t total);
    // Bar at count (held inside the range), number field set to percent.
    void stepProgress(std::uint32_t count, const QString& percent);
    void closeProgress();

protected:
    ProgressPopupWindow(std::span<const ControlSpec> layout, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;

private:
    void centreOverParent();
    void keepLookWhenDisabled();

    QProgressBar* m_Progress = nullptr;
    QLabel* m_Percent = nullptr;
};

// The popup's table with its caption ("Load:" or "Update:"); kept here so that both popups
// share every row but the first.
constexpr std::array<ControlSpec, 4> progressLayout(const char* caption) {
    return {{
        {ControlKind::Label, 9, 7, 0, 8, caption, "progress_caption"},
        {ControlKind::RightLabel, 38, 7, 15, 8, "", "progress_percent"},
        {ControlKind::Label, 54, 7, 9, 8, "%", "progress_percent_sign"},
        {ControlKind::ProgressBar, 7, 20, 219, 14, "", "progress_bar"},
    }};
}
