#include "cli/record_compare.h"

#include <array>
#include <functional>

#include "cli/output.h"
#include "data/record_codec.h"
#include "wire/display_text.h"

namespace {

template <class Record>
using FieldText = std::function<std::string(const Record&)>;

template <class Record>
struct Field {
    const char* name;
    FieldText<Record> text;
};

std::string bytesText(std::span<const std::uint8_t> bytes) {
    return latin1ToUtf8(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string hemisphere(char c) {
    return c == 0 ? "" : std::string(1, c);
}

SatelliteRecord asSent(const SatelliteRecord& record) {
    std::array<std::uint8_t, kSatelliteRecordBytes + 8> buffer{};
    PayloadWriter out(buffer);
    writeSatelliteRecord(out, record);
    PayloadReader in(std::span<const std::uint8_t>(buffer).first(out.size()));
    return readSatelliteRecord(in);
}

RegionRecord asSent(const RegionRecord& record) {
    std::array<std::uint8_t, 256> buffer{};
    PayloadWriter out(buffer);
    writeRegionBody(out, record);
    PayloadReader in(std::span<const std::uint8_t>(buffer).first(out.size()));
    return readRegionBody(in);
}

template <class Record>
void compareFields(const std::vector<Field<Record>>& fields, const std::string& name,
                   const Record& file, const Record& acu, std::vector<FieldDifference>& out) {
    for (const Field<Record>& field : fields) {
        const std::string a = field.text(file);
        const std::string b = field.text(acu);
        if (a != b) out.push_back({name, field.name, a, b});
    }
}

const std::vector<Field<SatelliteRecord>>& satelliteFields() {
    using S = SatelliteRecord;
    static const std::vector<Field<S>> kFields = {
        {"number", [](const S& s) { return numberText(s.number); }},
        {"name", [](const S& s) { return bytesText(s.name); }},
        {"longitude", [](const S& s) { return formatText("%.1f", s.longitude); }},
        {"east/west", [](const S& s) { return hemisphere(s.eastWest); }},
        {"V low frequency", [](const S& s) { return numberText(s.vLowFreq); }},
        {"V low symbol rate", [](const S& s) { return numberText(s.vLowSymbolRate); }},
        {"V low NID", [](const S& s) { return numberText(s.vLowNid); }},
        {"V high frequency", [](const S& s) { return numberText(s.vHighFreq); }},
        {"V high symbol rate", [](const S& s) { return numberText(s.vHighSymbolRate); }},
        {"V high NID", [](const S& s) { return numberText(s.vHighNid); }},
        {"H low frequency", [](const S& s) { return numberText(s.hLowFreq); }},
        {"H low symbol rate", [](const S& s) { return numberText(s.hLowSymbolRate); }},
        {"H low NID", [](const S& s) { return numberText(s.hLowNid); }},
        {"H high frequency", [](const S& s) { return numberText(s.hHighFreq); }},
        {"H high symbol rate", [](const S& s) { return numberText(s.hHighSymbolRate); }},
        {"H high NID", [](const S& s) { return numberText(s.hHighNid); }},
        {"verification", [](const S& s) { return numberText(s.verification); }},
        {"polarization", [](const S& s) { return numberText(s.polarization); }},
        {"tone", [](const S& s) { return numberText(s.tone); }},
    };
    return kFields;
}

const std::vector<Field<RegionRecord>>& regionFields() {
    using R = RegionRecord;
    static const std::vector<Field<R>> kFields = {
        {"name", [](const R& r) { return bytesText(r.name); }},
        {"satellite count", [](const R& r) { return numberText(r.satelliteCount); }},
        {"default satellite", [](const R& r) { return numberText(r.defaultSatellite); }},
        {"LNB type", [](const R& r) { return numberText(r.lnbType); }},
        {"single local frequency", [](const R& r) { return numberText(r.singleLocalFreq); }},
        {"universal low local frequency",
         [](const R& r) { return numberText(r.universalLowLocalFreq); }},
        {"universal high local frequency",
         [](const R& r) { return numberText(r.universalHighLocalFreq); }},
        {"DiSEqC", [](const R& r) { return numberText(r.diseqcMode); }},
        {"model parameters",
         [](const R& r) {
             std::string text;
             for (const ModelParams& p : r.modelParams) {
                 text += formatText("%.2f/%u/%u ", p.trackingScale, p.detectLevel, p.trackingLevel);
             }
             return text;
         }},
        {"EL adjust", [](const R& r) { return formatText("%.2f", r.elAdjust); }},
        {"skew adjust", [](const R& r) { return formatText("%.2f", r.skewAdjust); }},
        {"signal lost time", [](const R& r) { return numberText(r.signalLostTime); }},
        {"break time", [](const R& r) { return numberText(r.breakTime); }},
    };
    return kFields;
}

}  // namespace

std::vector<FieldDifference> compareRegion(const RegionRecord& file, const RegionRecord& acu) {
    std::vector<FieldDifference> out;
    compareFields(regionFields(), "region " + trimmed(bytesText(file.name)), asSent(file), acu,
                  out);
    return out;
}

std::vector<FieldDifference> compareSatellite(std::size_t position, const SatelliteRecord& file,
                                              const SatelliteRecord& acu) {
    std::vector<FieldDifference> out;
    compareFields(satelliteFields(),
                  "satellite " + std::to_string(position) + " " + trimmed(bytesText(file.name)),
                  asSent(file), acu, out);
    return out;
}

std::vector<FieldDifference> compareLcd(const LcdDataBlock& file, const LcdDataBlock& acu) {
    std::vector<FieldDifference> out;
    for (std::size_t line = 0; line < kLcdLineCount; ++line) {
        const auto a =
            std::span<const std::uint8_t>(file).subspan(lcdLineOffset(line), lcdLineSize(line));
        const auto b =
            std::span<const std::uint8_t>(acu).subspan(lcdLineOffset(line), lcdLineSize(line));
        if (!std::equal(a.begin(), a.end(), b.begin())) {
            out.push_back(
                {"LCD line " + std::to_string(line + 1), "text", bytesText(a), bytesText(b)});
        }
    }
    return out;
}

std::string differenceText(const FieldDifference& d) {
    return d.record + " " + d.field + ": file '" + d.file + "', ACU '" + d.acu + "'";
}
