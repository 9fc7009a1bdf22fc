#include "app/about_dialog.h"

#include <QPushButton>
#include <array>

#include "skyrelay_version.h"
#include "widgets/dialog_layout.h"

namespace {

using K = ControlKind;

constexpr std::array kLayout = {
    ControlSpec{K::Label, 10, 10, 0, 8, kSkyrelayVersionCaption, "program_name"},
    ControlSpec{K::Label, 10, 24, 0, 8,
                "Service tool for the control unit of a stabilised satellite TV antenna",
                "description"},
    ControlSpec{K::Button, 190, 42, 50, 14, "OK", "ok"},
};

constexpr int kWidth = 250;
constexpr int kHeight = 64;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Skyrelay"));
    paintWhite(this);
    setFixedSize(dialogSize(kWidth, kHeight));
    buildControls(this, kLayout);
    auto* ok = findChild<QPushButton*>(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
