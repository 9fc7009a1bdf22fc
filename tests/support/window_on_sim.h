#pragma once

// The simulator's headers come before Qt's, whose "emit" keyword is a macro.
#include "acu_simulator.h"
#include "pty_server.h"

#include <QListWidget>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/timer_bank_qt.h"
#include "link/controller.h"
#include "ui/controls.h"

// The real main window on the simulated ACU's pseudo-terminal, for the end-to-end window
// tests: the test class holds one and calls openOnSim() from init() and close() from
// cleanup(). A test that wants a tuned unit or a frame observer makes m_Acu first.
struct WindowOnSim {
    std::unique_ptr<AcuSimulator> m_Acu;
    std::unique_ptr<PtyServer> m_Server;
    std::unique_ptr<MainWindow> m_Window;
    QStringList m_Messages;  // every message box the window raised, in order

    // Starts the simulator (a default one unless m_Acu is set) on a new pseudo-terminal.
    // Failures are recorded; the caller checks QTest::currentTestFailed().
    void startSim() {
        if (!m_Acu) m_Acu = std::make_unique<AcuSimulator>();
        m_Server = std::make_unique<PtyServer>(*m_Acu);
        std::string error;
        QVERIFY2(m_Server->open(error), error.c_str());
        QVERIFY(m_Server->start());
    }
    QString simPort() const { return QString::fromStdString(m_Server->slavePath()); }

    // A window on ports whose message boxes are collected and whose questions are answered
    // yes. Not shown yet, so that a test can add its own hooks first.
    void makeWindow(const QStringList& ports) {
        m_Window = std::make_unique<MainWindow>(ports, nullptr, PortListing::OnlyGiven);
        m_Window->setMessageBoxHook(
            [this](const QString& text, MessageIcon) { m_Messages << text; });
        m_Window->setConfirmHook([](const QString&) { return true; });
    }

    // The simulator started and a window shown on its port, scanning it.
    void openOnSim() {
        startSim();
        if (QTest::currentTestFailed()) return;
        makeWindow({simPort()});
        m_Window->show();
    }

    // Window first, so that nothing writes to a port whose other end is gone.
    void close() {
        m_Window.reset();
        if (m_Server) m_Server->stop();
        m_Server.reset();
        m_Acu.reset();
        m_Messages.clear();
    }

    const LinkState& state() const { return m_Window->controller().state(); }

    // Identification is over once the status poll runs.
    bool polling() const { return m_Window->timers().running(14); }
    void waitForPoll() { QTRY_VERIFY_WITH_TIMEOUT(polling(), 8000); }
    void enterSetupMode() {
        click(m_Window.get(), "setup_button");
        QTRY_COMPARE_WITH_TIMEOUT(state().SetupMode, std::uint8_t{1}, 3000);
    }

    std::uint32_t framesAtAcu() {
        return m_Server->withSimulator([](AcuSimulator& acu) { return acu.framesReceived(); });
    }
    QWidget* showPage(int entry) {
        m_Window->pageList()->setCurrentRow(entry);
        return m_Window->page(entry);
    }
    // Saves what the window shows, for a person to look at; the test does not depend on it.
    void screenshot(const QString& path) const { m_Window->grab().save(path); }
};
