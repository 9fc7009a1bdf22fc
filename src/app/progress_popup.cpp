#include "app/progress_popup.h"

#include <qdrawutil.h>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <algorithm>

namespace {

constexpr int kWidth = 233;
constexpr int kHeight = 41;
// The bar's range is 16 bits wide; the totals the ACU announces fit, and a larger one is held
// at the top rather than wrapped round.
constexpr std::uint32_t kMaxRange = 0xFFFF;
// The range the bars have before their first run.
constexpr int kInitialRange = 13;

}  // namespace

ProgressPopupWindow::ProgressPopupWindow(std::span<const ControlSpec> layout, QWidget* parent)
    // Without a caption the window manager draws no frame either, so the popup draws its own
    // dialog frame (paintEvent) and stays a popup of its owner.
    : QuietDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(dialogSize(kWidth, kHeight));
    buildControls(this, layout);
    m_Progress = findChild<QProgressBar*>(QStringLiteral("progress_bar"));
    m_Percent = findChild<QLabel*>(QStringLiteral("progress_percent"));
    m_Progress->setTextVisible(false);
    m_Progress->setRange(0, kInitialRange);
    m_Progress->setValue(0);
    keepLookWhenDisabled();
}

void ProgressPopupWindow::openProgress(std::uint32_t total) {
    // A range of 0..0 would turn the bar into a busy indicator; with nothing announced the
    // bar stays empty until a step fills it.
    const int top = static_cast<int>(std::clamp<std::uint32_t>(total, 1, kMaxRange));
    m_Progress->setRange(0, top);
    m_Progress->setValue(0);
    // The figure starts again with the bar: the last run's "100" over an empty bar would
    // claim the new run had finished before it began.
    m_Percent->setText(QStringLiteral("0"));
    centreOverParent();
    show();
    raise();
    activateWindow();
}

void ProgressPopupWindow::stepProgress(std::uint32_t count, const QString& percent) {
    const auto top = static_cast<std::uint32_t>(m_Progress->maximum());
    m_Progress->setValue(static_cast<int>(std::min(count, top)));
    m_Percent->setText(percent);
}

void ProgressPopupWindow::closeProgress() {
    hide();
}

void ProgressPopupWindow::paintEvent(QPaintEvent* event) {
    QuietDialog::paintEvent(event);
    // A dark outline so the popup stands out from any window under it, and a raised edge
    // inside it like a dialog's frame.
    QPainter painter(this);
    qDrawPlainRect(&painter, rect(), palette().color(QPalette::Shadow), 1);
    qDrawWinPanel(&painter, rect().adjusted(1, 1, -1, -1), palette(), false);
}

void ProgressPopupWindow::keepLookWhenDisabled() {
    // The owner disables itself while the popup is open, and Qt passes that on to the popup as
    // its child; the popup takes no input anyway, so it keeps its live colours when disabled.
    QPalette live = palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto colourRole = static_cast<QPalette::ColorRole>(role);
        live.setColor(QPalette::Disabled, colourRole, live.color(QPalette::Active, colourRole));
    }
    setPalette(live);
}

void ProgressPopupWindow::centreOverParent() {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner) return;
    const QPoint centre = owner->mapToGlobal(owner->rect().center());
    move(centre - rect().center());
}
