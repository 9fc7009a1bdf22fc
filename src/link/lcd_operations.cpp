// The main window's LCD operations: the preview's "Write" and the editor's "Read".

#include "link/controller.h"

void AcuController::OnLcdWrite() {
    if (!setupGate(Operation::LcdWrite)) return;
    m_Outcomes.begin(Operation::LcdWrite);
    m_Lcd.startWrite();
}

void AcuController::OnLcdRead() {
    if (!setupGate(Operation::LcdRead)) return;
    m_Outcomes.begin(Operation::LcdRead);
    m_Lcd.startRead();
}

void AcuController::setLcdData(const LcdDataBlock& block) {
    m_State.LcdData = block;
}
