// The main window's LCD operations: the preview's "Write" and the editor's "Read".

#include "link/controller.h"
#include "link/link_state.h"

void AcuController::OnLcdWrite() {
    if (g_Connected != 1 || !setupGate()) return;
    m_Lcd.startWrite();
}

void AcuController::OnLcdRead() {
    if (g_Connected != 1 || !setupGate()) return;
    m_Lcd.startRead();
}
