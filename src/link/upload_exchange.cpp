#include "link/upload_exchange.h"

#include "data/region_selectors.h"
#include "data/sif_reader.h"
#include "link/controller_view.h"
#include "link/link_context.h"
#include "link/link_state.h"
#include "link/outcome.h"
#include "wire/display_text.h"
#include "wire/protocol.h"

namespace {

std::uint32_t regionCountOf(const SatelliteTables& tables, std::uint32_t continent) {
    return continent < kContinentCount ? tables.RegionCount[continent] : 0;
}

}  // namespace

void placeUploadCursorAtScopeStart(const SatelliteTables& tables, UploadCursor& cursor) {
    const std::uint8_t mode = tables.RegionMode;
    if (mode == 6 || mode == 12) {
        cursor.UploadContinent = 0;
        cursor.UploadRegion = 0;
    } else if (mode >= 7 && mode <= 11) {
        cursor.UploadContinent = mode - 6u;
        cursor.UploadRegion = 0;
    } else {
        cursor.UploadContinent = mode;
        cursor.UploadRegion = tables.RegionSelector;
    }
}

std::uint32_t regionRecordsInScope(const SatelliteTables& tables) {
    const std::uint8_t mode = tables.RegionMode;
    if (mode == 12) {
        std::uint32_t total = 0;
        for (std::uint8_t count : tables.RegionCount) total += count;
        return total;
    }
    if (mode >= 6 && mode <= 11) return tables.RegionCount[mode - 6];
    return 1;
}

void UploadExchange::start(std::uint32_t continentSelection, std::uint32_t regionSelection) {
    LinkState& state = m_Link.linkState();
    restoreLoadedFile(state.data);
    state.ProgressCount = 0;
    state.ProgressTotal = regionRecordsInScope(state.data) + state.data.SatelliteCount;
    m_Link.setBusy(true);
    m_Link.view().OpenProgress(ProgressPopup::Update, state.ProgressTotal);
    m_Running = true;
    // Kept as read: an empty selection is -1 here and 0xFF on the line.
    state.upload.UploadContinent = continentSelection;
    state.upload.UploadRegion = regionSelection;
    m_Link.sendStep(cmd::UploadStart, kCommandPeriod);
}

bool UploadExchange::onTimeout(int id) {
    m_Link.stopTimer(id);
    if (!m_Running || id < cmd::UploadStart || id > cmd::UploadEnd) return false;
    abandon();
    m_Link.view().MessageBox(uploadStallText(id, m_Link.linkState()), MessageIcon::Exclamation);
    return true;
}

std::string uploadStallText(int id, const LinkState& state) {
    const UploadCursor& cursor = state.upload;
    std::string step;
    if (id == cmd::UploadStart) {
        step = "the start of the update (command 10)";
    } else if (id == cmd::UploadRegion) {
        std::string continent = continentListName(cursor.UploadContinent);
        continent.erase(continent.find_last_not_of(' ') + 1);
        step =
            "region " + std::to_string(cursor.UploadRegion) + " of " + continent + " (command 11)";
    } else if (id == cmd::UploadSatellite) {
        step = "satellite " + std::to_string(cursor.UploadSatIndex + 1) + " of " +
               std::to_string(state.data.SatelliteCount) + " (command 12)";
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
    LinkState& state = m_Link.linkState();
    switch (code) {
        case cmd::RegionCountAnnouncement:
        case cmd::UploadStart:
            m_Link.stopTimer(code);
            placeUploadCursorAtScopeStart(state.data, state.upload);
            m_Link.sendStep(code + 1, kChainPeriod);
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
            state.ConnectRetryCount = 0;
            m_Link.setBusy(true);
            return true;
        case cmd::UploadEnd:
            m_Link.stopTimer(code);
            m_Running = false;
            m_Link.setBusy(false);
            m_Link.view().CloseProgress(ProgressPopup::Update);
            m_Link.outcomes().done(Operation::Upload, code, state.ProgressCount);
            return true;
        default:
            return false;
    }
}

void UploadExchange::progressStep() {
    LinkState& state = m_Link.linkState();
    state.ProgressCount += 1;
    m_Link.view().StepProgress(ProgressPopup::Update, state.ProgressCount,
                               progressPercentText(state.ProgressCount, state.ProgressTotal));
}

void UploadExchange::regionStep(std::uint8_t regionCode) {
    const SatelliteTables& tables = m_Link.linkState().data;
    UploadCursor& cursor = m_Link.linkState().upload;
    const std::uint8_t satelliteCode = regionCode + 1;
    if (tables.RegionMode >= 6 && tables.RegionMode <= 11) {
        cursor.UploadRegion += 1;
        if (cursor.UploadRegion < regionCountOf(tables, cursor.UploadContinent)) {
            m_Link.sendStep(regionCode, kChainPeriod);
            return;
        }
    } else if (tables.RegionMode == 12) {
        if (cursor.UploadContinent >= kContinentCount) return;
        cursor.UploadRegion += 1;
        // ">=": a continent without regions still has its region 0 sent, and must move on.
        if (cursor.UploadRegion >= regionCountOf(tables, cursor.UploadContinent)) {
            cursor.UploadRegion = 0;
            cursor.UploadContinent += 1;
        }
        if (cursor.UploadContinent < kContinentCount) {
            m_Link.sendStep(regionCode, kChainPeriod);
            return;
        }
    }
    cursor.UploadSatIndex = 0;
    m_Link.sendStep(satelliteCode, kChainPeriod);
}

void UploadExchange::satelliteStep(std::uint8_t satelliteCode) {
    UploadCursor& cursor = m_Link.linkState().upload;
    cursor.UploadSatIndex += 1;
    if (cursor.UploadSatIndex < m_Link.linkState().data.SatelliteCount) {
        m_Link.sendStep(satelliteCode, kChainPeriod);
    } else {
        m_Link.sendStep(satelliteCode + 1, kChainPeriod);
    }
}
