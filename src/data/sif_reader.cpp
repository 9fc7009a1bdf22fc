#include "data/sif_reader.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string_view>
#include <vector>

#include "wire/display_text.h"
#include "wire/number_text.h"

namespace {

constexpr std::size_t kScopeLine = 7;
constexpr std::size_t kHeaderLine = 1;
constexpr std::size_t kRegionBlockLines = 7;
constexpr std::size_t kSatelliteBlockLines = 6;
constexpr int kHighestScope = 12;
constexpr int kHighestSatelliteNumber = static_cast<int>(kSatelliteTableSize);

// The C library's integer reading: a value too large for an int is held at the int's limit.
int toInteger(std::string_view field) {
    return static_cast<int>(std::clamp<std::int64_t>(
        textToInteger(field), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A number field as the file should write it: blanks or tabs around an optional sign and at
// least one digit. An empty field (two blanks in a row, or a short line) still reads 0.
bool isNumberField(std::string_view field) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t i = 0;
    while (i < field.size() && blank(field[i])) ++i;
    if (i == field.size()) return true;
    if (field[i] == '+' || field[i] == '-') ++i;
    const std::size_t digits = i;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
    if (i == digits) return false;
    while (i < field.size() && blank(field[i])) ++i;
    return i == field.size();
}

// One line cut into fields. The reader appends CR LF to every line and each blank, CR or LF
// ends a field, so two blanks in a row make an empty field and every line ends with one
// more, empty field.
class SifLine {
public:
    explicit SifLine(std::string_view text, std::size_t* notNumber = nullptr)
        : m_NotNumber(notNumber) {
        std::size_t start = 0;
        const auto endField = [&](std::size_t end) {
            m_Fields.push_back(text.substr(start, end - start));
            start = end + 1;
        };
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ' || text[i] == '\r' || text[i] == '\n') endField(i);
        }
        endField(text.size());    // the appended CR
        m_Fields.emplace_back();  // the appended LF
        m_Written = 0;
        for (std::size_t i = 0; i < m_Fields.size(); ++i) {
            if (!m_Fields[i].empty()) m_Written = i + 1;
        }
    }

    // Fields past the line's end leave their destinations alone.
    bool has(std::size_t i) const { return i < m_Fields.size(); }
    std::string_view text(std::size_t i) const { return m_Fields[i]; }
    int integer(std::size_t i) const {
        if (m_NotNumber != nullptr && *m_NotNumber == 0 && !isNumberField(m_Fields[i])) {
            *m_NotNumber = i + 1;
        }
        return toInteger(m_Fields[i]);
    }
    // Fields up to the last one that holds something: what the file really wrote.
    std::size_t written() const { return m_Written; }

    void store(std::size_t i, std::uint8_t& byte) const {
        if (has(i)) byte = static_cast<std::uint8_t>(integer(i));
    }
    void store(std::size_t i, std::uint32_t& value) const {
        if (has(i)) value = static_cast<std::uint32_t>(integer(i));
    }
    void storeHundredths(std::size_t i, double& value) const {
        if (has(i)) value = integer(i) / 100.0;
    }
    void storeTenths(std::size_t i, double& value) const {
        if (has(i)) value = integer(i) / 10.0;
    }
    void storeChar(std::size_t i, char& value) const {
        if (has(i)) value = m_Fields[i].empty() ? '\0' : m_Fields[i][0];
    }
    // Blank-padded to the field's width; a longer name is cut to it.
    template <std::size_t N>
    void storeName(std::size_t i, std::array<std::uint8_t, N>& name) const {
        if (!has(i)) return;
        const std::string_view field = m_Fields[i];
        for (std::size_t k = 0; k < N; ++k) {
            name[k] = k < field.size() ? static_cast<std::uint8_t>(field[k]) : ' ';
        }
    }

private:
    std::vector<std::string_view> m_Fields;
    std::size_t m_Written = 0;
    // Where the first field read as a number that is none goes (counted from 1), if anywhere.
    std::size_t* m_NotNumber = nullptr;
};

// Lines end with LF, CR LF or a lone CR (as an old Mac editor leaves them); a last line
// without its end still counts.
std::vector<std::string_view> splitLines(std::string_view text, std::size_t limit) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() <= limit) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t next = end + 1;
        if (end < text.size() && text[end] == '\r' && next < text.size() && text[next] == '\n') {
            ++next;
        }
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

// Bytes below the blank (and DEL) other than tab, CR and LF: no text editor writes them, so
// the file is not a satellite file, or is damaged.
bool isControlByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F;
}

class Reader {
public:
    Reader(std::string_view text, SatelliteTables& tables)
        : m_Lines(splitLines(text, kSifMaxLines)), m_Out(tables) {}

    bool read() {
        if (m_Lines.size() > kSifMaxLines) {
            return refuse(kSifMaxLines, "the file has more than 2000 lines");
        }
        for (std::size_t i = 0; i < m_Lines.size(); ++i) {
            if (!checkControlBytes(i)) return false;
        }
        if (!need(kScopeLine, "the scope line")) return false;
        // A header of fewer than four fields names no number.
        // The header's number is the file's own label, not a setting: a maker's word there is
        // read as 0, as always.
        const SifLine header(m_Lines[kHeaderLine]);
        m_Out.SifHeaderNumber = header.has(3) ? static_cast<std::uint32_t>(header.integer(3)) : 0;
        std::size_t blocks = 0;
        if (!readScope(blocks)) return false;
        for (std::size_t i = 0; i < blocks; ++i) {
            if (!readRegionBlock(9 + kRegionBlockLines * i, i)) return false;
        }
        const std::size_t countLine = 9 + kRegionBlockLines * blocks;
        if (!need(countLine, "the satellite count line")) return false;
        const int count = line(countLine).integer(0);
        if (count < 0 || count > kHighestSatelliteNumber) {
            return refuse(countLine, "satellite count " + numberText(count) + " is not 0 to 200");
        }
        m_Out.SatelliteCount = static_cast<std::uint8_t>(count);
        for (std::size_t k = 0; k < m_Out.SatelliteCount; ++k) {
            if (!readSatellite(countLine + 2 + kSatelliteBlockLines * k, k)) return false;
        }
        return !notNumberSeen();
    }

    SifRefusal refusal() const { return m_Refusal; }

private:
    // Each line read notes its first field that should be a number and is not: a word where
    // a frequency belongs would otherwise read 0 and reach the ACU.
    SifLine line(std::size_t index) {
        if (m_NotNumberField == 0) m_NotNumberLine = index;
        return SifLine(m_Lines[index], &m_NotNumberField);
    }

    bool notNumberSeen() {
        if (m_NotNumberField == 0) return false;
        m_Refusal = SifRefusal{m_NotNumberLine + 1,
                               "field " + numberText(static_cast<long long>(m_NotNumberField)) +
                                   " is not a whole number"};
        return true;
    }

    // A refusal found later never hides a field already found not to be a number.
    bool refuse(std::size_t index, std::string reason) {
        if (!notNumberSeen()) m_Refusal = SifRefusal{index + 1, std::move(reason)};
        return false;
    }

    bool checkControlBytes(std::size_t index) {
        const std::string_view text = m_Lines[index];
        std::size_t field = 1;
        for (const char c : text) {
            if (c == ' ') ++field;
            if (!isControlByte(c)) continue;
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(c)));
            return refuse(index, "field " + numberText(static_cast<long long>(field)) +
                                     " holds the control byte " + hex);
        }
        return true;
    }

    // Every line up to last must be in the file.
    bool need(std::size_t last, const std::string& what) {
        if (last < m_Lines.size()) return true;
        return refuse(last, "the file ends after line " +
                                numberText(static_cast<long long>(m_Lines.size())) + ", before " +
                                what);
    }

    bool checkRegionCount(const SifLine& scope, std::size_t field, std::size_t continent) {
        if (!scope.has(field)) return true;
        const int count = scope.integer(field);
        if (count >= 0 && count <= static_cast<int>(kRegionsPerContinent)) return true;
        return refuse(kScopeLine, std::string("region count ") + numberText(count) + " of " +
                                      std::string(kContinentNames[continent].listed) +
                                      " is not 0 to 100");
    }

    bool readScope(std::size_t& blocks) {
        const SifLine scope = line(kScopeLine);
        const int value = scope.integer(0);
        if (value < 0 || value > kHighestScope) {
            return refuse(kScopeLine, "scope " + numberText(value) + " is not 0 to 12");
        }
        m_Out.RegionMode = static_cast<std::uint8_t>(value);
        if (value == 12) {
            for (std::size_t c = 0; c < kContinentCount; ++c) {
                if (!checkRegionCount(scope, 1 + c, c)) return false;
                scope.store(1 + c, m_Out.RegionCount[c]);
            }
            m_Out.RegionSelector = m_Out.RegionCount[0];
            blocks = 0;
            for (std::uint8_t count : m_Out.RegionCount) blocks += count;
        } else if (value >= 6) {
            const std::size_t continent = static_cast<std::size_t>(value) - 6;
            if (!checkRegionCount(scope, 1, continent)) return false;
            scope.store(1, m_Out.RegionCount[continent]);
            m_Out.RegionSelector = m_Out.RegionCount[continent];
            blocks = m_Out.RegionSelector;
        } else {
            const int region = scope.integer(1);
            if (region < 0 || region >= static_cast<int>(kRegionsPerContinent)) {
                return refuse(kScopeLine, "region " + numberText(region) + " is not 0 to 99");
            }
            m_Out.RegionSelector = static_cast<std::uint8_t>(region);
            blocks = 1;
        }
        return true;
    }

    bool readRegionBlock(std::size_t first, std::size_t block) {
        if (!need(first + 5, "the end of region block " + numberText(block + 1))) return false;
        const SifLine index = line(first);
        const int continent = index.integer(0);
        const int region = index.integer(1);
        if (continent < 0 || continent >= static_cast<int>(kContinentCount)) {
            return refuse(first, "continent " + numberText(continent) + " is not 0 to 5");
        }
        if (region < 0 || region >= static_cast<int>(kRegionsPerContinent)) {
            return refuse(first, "region " + numberText(region) + " is not 0 to 99");
        }
        RegionRecord& record =
            m_Out.RegionTable[static_cast<std::size_t>(continent) * kRegionsPerContinent +
                              static_cast<std::size_t>(region)];

        const SifLine name = line(first + 1);
        name.storeName(0, record.name);
        if (name.has(1)) {
            const int count = name.integer(1);
            if (count < 0 || count > static_cast<int>(kMaxRegionSatellites)) {
                return refuse(first + 1,
                              "satellite count " + numberText(count) + " is not 0 to 20");
            }
            record.satelliteCount = static_cast<std::uint8_t>(count);
        }
        name.store(2, record.defaultSatellite);

        const SifLine list = line(first + 2);
        for (std::size_t k = 0; k < record.satelliteCount && list.has(k); ++k) {
            const int number = list.integer(k);
            // The empty field at the line's end is no entry the file wrote: it reads 0.
            if (k < list.written() && (number < 1 || number > kHighestSatelliteNumber)) {
                return refuse(first + 2, "list entry " + numberText(number) +
                                             " is not a satellite number 1 to 200");
            }
            record.satelliteList[k] = static_cast<std::uint32_t>(number);
        }

        const SifLine lnb = line(first + 3);
        lnb.store(0, record.lnbType);
        lnb.store(1, record.singleLocalFreq);
        lnb.store(2, record.universalLowLocalFreq);
        lnb.store(3, record.universalHighLocalFreq);
        lnb.store(4, record.diseqcMode);

        const SifLine parameters = line(first + 4);
        for (std::size_t m = 0; m < kModelParamSets; ++m) {
            parameters.storeHundredths(3 * m, record.modelParams[m].trackingScale);
            parameters.store(3 * m + 1, record.modelParams[m].detectLevel);
            parameters.store(3 * m + 2, record.modelParams[m].trackingLevel);
        }
        parameters.storeHundredths(9, record.elAdjust);
        parameters.storeHundredths(10, record.skewAdjust);
        parameters.store(11, record.signalLostTime);
        parameters.store(12, record.breakTime);

        const SifLine gps = line(first + 5);
        gps.storeHundredths(0, record.gpsLongitude);
        gps.storeChar(1, record.gpsEastWest);
        gps.storeHundredths(2, record.gpsLatitude);
        gps.storeChar(3, record.gpsNorthSouth);
        return true;
    }

    bool readSatellite(std::size_t first, std::size_t k) {
        if (!need(first + 4, "the end of satellite " + numberText(k + 1))) return false;
        SatelliteRecord& sat = m_Out.SatelliteTable[k];
        line(first).store(0, sat.number);

        const SifLine name = line(first + 1);
        name.storeName(0, sat.name);
        name.storeTenths(1, sat.longitude);
        name.storeChar(2, sat.eastWest);

        const SifLine vertical = line(first + 2);
        vertical.store(0, sat.vLowFreq);
        vertical.store(1, sat.vLowSymbolRate);
        vertical.store(2, sat.vLowNid);
        vertical.store(3, sat.vHighFreq);
        vertical.store(4, sat.vHighSymbolRate);
        vertical.store(5, sat.vHighNid);

        const SifLine horizontal = line(first + 3);
        horizontal.store(0, sat.hLowFreq);
        horizontal.store(1, sat.hLowSymbolRate);
        horizontal.store(2, sat.hLowNid);
        horizontal.store(3, sat.hHighFreq);
        horizontal.store(4, sat.hHighSymbolRate);
        horizontal.store(5, sat.hHighNid);

        const SifLine mode = line(first + 4);
        mode.store(0, sat.verification);
        mode.store(1, sat.polarization);
        mode.store(2, sat.tone);
        return true;
    }

    std::vector<std::string_view> m_Lines;
    SatelliteTables& m_Out;
    SifRefusal m_Refusal;
    std::size_t m_NotNumberLine = 0;
    std::size_t m_NotNumberField = 0;
};

}  // namespace

std::optional<SifRefusal> readSatelliteInformationInto(std::span<const std::uint8_t> bytes,
                                                       SatelliteTables& staged) {
    if (bytes.size() > kSifMaxBytes) return SifRefusal{0, "the file is larger than 1 MiB"};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    Reader reader(text, staged);
    if (reader.read()) return std::nullopt;
    return reader.refusal();
}

SifReadResult readSatelliteInformation(std::span<const std::uint8_t> bytes,
                                       const SatelliteTables& base) {
    SifReadResult result;
    auto staged = std::make_unique<SatelliteTables>(base);
    if (std::optional<SifRefusal> refusal = readSatelliteInformationInto(bytes, *staged)) {
        result.refusal = std::move(*refusal);
    } else {
        result.tables = std::move(staged);
    }
    return result;
}

std::optional<SifRefusal> loadSatelliteInformation(SatelliteData& data,
                                                   std::span<const std::uint8_t> bytes) {
    SifReadResult result = readSatelliteInformation(bytes, data);
    if (!result.tables) return result.refusal;
    static_cast<SatelliteTables&>(data) = *result.tables;
    data.LoadedFile = std::move(result.tables);
    // Only now: Update Default Data must never send older tables as if they were this file.
    data.DefaultDataLoaded = 1;
    return std::nullopt;
}

void restoreLoadedFile(SatelliteData& data) {
    if (data.LoadedFile) static_cast<SatelliteTables&>(data) = *data.LoadedFile;
}

std::string sifRefusalText(const std::string& fileName, const SifRefusal& refusal) {
    std::string text = " " + fileName + " was not loaded !!! \r\n ";
    if (refusal.line != 0)
        text += "Line " + numberText(static_cast<long long>(refusal.line)) + ": ";
    return text + refusal.reason + ". ";
}

std::string sifOpenFailureText(const std::string& fileName) {
    return " " + fileName + " cannot be opened !!! \r\n Nothing was loaded. ";
}
