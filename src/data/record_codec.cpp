#include "data/record_codec.h"

#include <algorithm>
#include <span>

namespace {

// A record's layout is written down once, as the list of its fields in wire order (the
// templates below). Walked with a FieldWriter it sends a record, walked with a FieldReader it
// fills one, so the two directions cannot drift apart.

class FieldWriter {
public:
    explicit FieldWriter(PayloadWriter& out) : m_Out(out) {}

    template <class T>
    void u8(T value) {
        m_Out.U8(static_cast<std::uint8_t>(value));
    }
    void be16(std::uint32_t value) { m_Out.BE16(value); }
    void x10(double value) { m_Out.X10(value); }
    void x100(double value) { m_Out.X100(value); }
    void sgn100(double value) { m_Out.SGN100(value); }
    void chars(std::span<const std::uint8_t> bytes) { m_Out.CHARS(bytes); }
    // A count above the list's capacity would make the receiver read the tail as list bytes;
    // only the entries that exist are announced.
    void count(std::uint8_t value, std::size_t capacity) {
        m_Out.U8(static_cast<std::uint32_t>(std::min<std::size_t>(value, capacity)));
    }

private:
    PayloadWriter& m_Out;
};

class FieldReader {
public:
    explicit FieldReader(PayloadReader& in) : m_In(in) {}

    template <class T>
    void u8(T& value) {
        value = static_cast<T>(m_In.U8());
    }
    void be16(std::uint32_t& value) { value = m_In.BE16(); }
    void x10(double& value) { value = m_In.X10(); }
    void x100(double& value) { value = m_In.X100(); }
    void sgn100(double& value) { value = m_In.SGN100(); }
    void chars(std::span<std::uint8_t> bytes) { m_In.CHARS(bytes); }
    // Kept as read, so a record that claims more entries than the list holds can be told.
    void count(std::uint8_t& value, std::size_t) { value = m_In.U8(); }

private:
    PayloadReader& m_In;
};

// Satellite is SatelliteRecord, const when it is written.
template <class Fields, class Satellite>
void satelliteFields(Fields& f, Satellite& sat) {
    f.u8(sat.number);
    f.chars(sat.name);
    f.x10(sat.longitude);
    f.u8(sat.eastWest);
    for (auto* value : {&sat.vLowFreq, &sat.vLowSymbolRate, &sat.vLowNid, &sat.vHighFreq,
                        &sat.vHighSymbolRate, &sat.vHighNid, &sat.hLowFreq, &sat.hLowSymbolRate,
                        &sat.hLowNid, &sat.hHighFreq, &sat.hHighSymbolRate, &sat.hHighNid}) {
        f.be16(*value);
    }
    f.u8(sat.verification);
    f.u8(sat.polarization);
    f.u8(sat.tone);
}

// Region is RegionRecord, const when it is written.
template <class Fields, class Region>
void regionFields(Fields& f, Region& region) {
    f.chars(region.name);
    f.count(region.satelliteCount, kMaxRegionSatellites);
    f.u8(region.defaultSatellite);
    for (std::size_t k = 0; k < region.listedSatellites(); ++k) f.u8(region.satelliteList[k]);
    f.u8(region.lnbType);
    f.be16(region.singleLocalFreq);
    f.be16(region.universalLowLocalFreq);
    f.be16(region.universalHighLocalFreq);
    f.u8(region.diseqcMode);
    for (auto& params : region.modelParams) {
        f.x100(params.trackingScale);
        f.be16(params.detectLevel);
        f.be16(params.trackingLevel);
    }
    f.sgn100(region.elAdjust);
    f.sgn100(region.skewAdjust);
    f.be16(region.signalLostTime);
    f.be16(region.breakTime);
    f.x100(region.gpsLongitude);
    f.u8(region.gpsEastWest);
    f.x100(region.gpsLatitude);
    f.u8(region.gpsNorthSouth);
}

}  // namespace

void writeSatelliteRecord(PayloadWriter& out, const SatelliteRecord& sat) {
    FieldWriter writer(out);
    satelliteFields(writer, sat);
}

SatelliteRecord readSatelliteRecord(PayloadReader& in) {
    SatelliteRecord sat;
    FieldReader reader(in);
    satelliteFields(reader, sat);
    return sat;
}

void writeRegionBody(PayloadWriter& out, const RegionRecord& region) {
    FieldWriter writer(out);
    regionFields(writer, region);
}

RegionRecord readRegionBody(PayloadReader& in) {
    RegionRecord region;
    FieldReader reader(in);
    regionFields(reader, region);
    return region;
}
