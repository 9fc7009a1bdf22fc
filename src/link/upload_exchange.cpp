#include "link/upload_exchange.h"

#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "data/sif_reader.h"
#include "data/upload_state.h"
#include "link/controller_view.h"
#include "link/link_context.h"
#include "link/link_state.h"
#include "wire/display_text.h"
#include "wire/protocol.h"

namespace {

std::uint32_t regionCountOf(std::uint32_t continent) {
    return continent < kContinentCount ? g_RegionCount[continent] : 0;
}

}  // namespace

void placeUploadCursorAtScopeStart() {
    if (g_RegionMode == 6 || g_RegionMode == 12) {
        g_UploadContinent = 0;
        g_UploadRegion = 0;
    } else if (g_RegionMode >= 7 && g_RegionMode <= 11) {
        g_UploadContinent = g_RegionMode - 6u;
        g_UploadRegion = 0;
    } else {
        g_UploadContinent = g_RegionMode;
        g_UploadRegion = g_RegionSelector;
    }
}

std::uint32_t regionRecordsInScope() {
    if (g_RegionMode == 12) {
        std::uint32_t total = 0;
        for (std::uint8_t count : g_RegionCount) total += count;
        return total;
    }
    if (g_RegionMode >= 6 && g_RegionMode <= 11) return g_RegionCount[g_RegionMode - 6];
    return 1;
}

void UploadExchange::start() {
    restoreLoadedFile();
    g_ProgressCount = 0;
    g_ProgressTotal = regionRecordsInScope() + g_SatelliteCount;
    m_Link.setBusy(true);
    m_Link.view().OpenProgress(ProgressPopup::Update, g_ProgressTotal);
    m_Running = true;
    m_Link.sendAndStart(cmd::UploadStart, kCommandPeriod);
}

void UploadExchange::onTimeout(int id) {
    m_Link.stopTimer(id);
    if (!m_Running || id < cmd::UploadStart || id > cmd::UploadEnd) return;
    abandon();
    m_Link.view().MessageBox(uploadStallText(id), MessageIcon::Exclamation);
}

std::string uploadStallText(int id) {
    std::string step;
    if (id == cmd::UploadStart) {
        step = "the start of the update (command 10)";
    } else if (id == cmd::UploadRegion) {
        std::string continent = continentListName(g_UploadContinent);
        continent.erase(continent.find_last_not_of(' ') + 1);
        step = "region " + std::to_string(g_UploadRegion) + " of " + continent + " (command 11)";
    } else if (id == cmd::UploadSatellite) {
        step = "satellite " + std::to_string(g_UploadSatIndex + 1) + " of " +
               std::to_string(g_SatelliteCount) + " (command 12)";
    } else {
        step = "the end of the update (command 13)";
    }
    return " Update Default Data stopped !!! \r\n The ACU did not answer " + step + ". ";
}

void UploadExchange::abandon() {
    if (!m_Running) return;
    m_Running = false;
    m_Link.setBusy(false);
    m_Link.view().CloseProgress(ProgressPopup::Update);
}

bool UploadExchange::onReply(std::uint8_t code) {
    // An upload given up (or never started) ignores late answers: carrying on unseen would
    // let a second upload share its cursors.
    if (code >= cmd::UploadStart && code <= cmd::UploadEnd && !m_Running) {
        m_Link.stopTimer(code);
        return true;
    }
    switch (code) {
        case cmd::RegionCountAnnouncement:
        case cmd::UploadStart:
            m_Link.stopTimer(code);
            placeUploadCursorAtScopeStart();
            m_Link.sendAndStart(code + 1, kChainPeriod);
            return true;
        case cmd::RegionRecord:
        case cmd::UploadRegion:
            m_Link.stopTimer(code);
            progressStep();
            regionStep(code);
            return true;
        case cmd::SatelliteRecord:
        case cmd::UploadSatellite:
            m_Link.stopTimer(code);
            progressStep();
            satelliteStep(code);
            return true;
        case cmd::ChainEnd:
            // The ACU took new default data: identify it again from the link check on.
            m_Link.stopTimer(code);
            m_Link.setBusy(false);
            m_Link.view().CloseProgress(ProgressPopup::Update);
            m_Link.startTimer(cmd::LinkCheck, kCommandPeriod);
            g_ConnectRetryCount = 0;
            m_Link.setBusy(true);
            return true;
        case cmd::UploadEnd:
            m_Link.stopTimer(code);
            m_Running = false;
            m_Link.setBusy(false);
            m_Link.view().CloseProgress(ProgressPopup::Update);
            return true;
        default:
            return false;
    }
}

void UploadExchange::progressStep() {
    g_ProgressCount += 1;
    m_Link.view().StepProgress(ProgressPopup::Update, g_ProgressCount,
                               progressPercentText(g_ProgressCount, g_ProgressTotal));
}

void UploadExchange::regionStep(std::uint8_t regionCode) {
    const std::uint8_t satelliteCode = regionCode + 1;
    if (g_RegionMode >= 6 && g_RegionMode <= 11) {
        g_UploadRegion += 1;
        if (g_UploadRegion < regionCountOf(g_UploadContinent)) {
            m_Link.sendAndStart(regionCode, kChainPeriod);
            return;
        }
    } else if (g_RegionMode == 12) {
        if (g_UploadContinent >= kContinentCount) return;
        g_UploadRegion += 1;
        // ">=": a continent without regions still has its region 0 sent, and must move on.
        if (g_UploadRegion >= regionCountOf(g_UploadContinent)) {
            g_UploadRegion = 0;
            g_UploadContinent += 1;
        }
        if (g_UploadContinent < kContinentCount) {
            m_Link.sendAndStart(regionCode, kChainPeriod);
            return;
        }
    }
    g_UploadSatIndex = 0;
    m_Link.sendAndStart(satelliteCode, kChainPeriod);
}

void UploadExchange::satelliteStep(std::uint8_t satelliteCode) {
    g_UploadSatIndex += 1;
    if (g_UploadSatIndex < g_SatelliteCount) {
        m_Link.sendAndStart(satelliteCode, kChainPeriod);
    } else {
        m_Link.sendAndStart(satelliteCode + 1, kChainPeriod);
    }
}
