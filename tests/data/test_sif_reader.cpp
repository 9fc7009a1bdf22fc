#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "data/region_selectors.h"
#include "data/satellite_tables.h"
#include "data/sif_reader.h"
#include "sif_text.h"

namespace {

std::string name(std::span<const std::uint8_t> field) {
    return std::string(field.begin(), field.end());
}

Bytes sampleFile(const char* file) {
    std::ifstream in(std::string(SKYRELAY_DATA_DIR) + "/" + file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class SifReader : public ::testing::Test {
protected:
    // Reads lines over base; the test fails if the file is refused.
    std::unique_ptr<SatelliteTables> read(const std::vector<std::string>& lines,
                                          const SatelliteTables& base = SatelliteTables{}) {
        SifReadResult result = readSatelliteInformation(sifBytes(lines), base);
        EXPECT_TRUE(result.tables) << result.refusal.line << ": " << result.refusal.reason;
        return std::move(result.tables);
    }
    SatelliteData data;

    template <class Tables>
    static auto& tasman(Tables& t) {
        return t.RegionTable[2 * 100 + 7];
    }
};

}  // namespace

// A sample that fills every table to its limit.
TEST_F(SifReader, TheLimitsSampleReadsWhole) {
    ASSERT_EQ(loadSatelliteInformation(data, sampleFile("limits_six_continents.sif")),
              std::nullopt);
    EXPECT_EQ(data.SatelliteCount, 200);
    EXPECT_EQ(data.RegionCount, (std::array<std::uint8_t, 6>{19, 19, 19, 19, 18, 18}));
    EXPECT_EQ(regionRecord(data, 5, 17).satelliteCount, 20);
    EXPECT_EQ(name(data.SatelliteTable[199].name), "LIMSAT-200");
}

TEST_F(SifReader, TheScopeLineDecidesWhatItsBlocksFill) {
    // One continent: its count is stored, the others' kept; the block names (2, 7) all the same.
    SatelliteTables base;
    base.RegionCount = {5, 5, 5, 5, 5, 5};
    std::vector<std::string> lines = oneRegionLines();
    lines[7] = "9 1";
    const auto t = read(lines, base);
    EXPECT_EQ(t->RegionCount, (std::array<std::uint8_t, 6>{5, 5, 5, 1, 5, 5}));
    EXPECT_EQ(t->RegionSelector, 1);
    EXPECT_EQ(name(tasman(*t).name), "TASMAN      ");

    // One region: the scope line's region is selected, whatever the block names.
    lines = oneRegionLines();
    lines[9] = "2 3";
    ASSERT_EQ(loadSatelliteInformation(data, sifBytes(lines)), std::nullopt);
    EXPECT_EQ(name(regionRecord(data, 2, 3).name), "TASMAN      ");
    const AdminSelectors s = selectorsForLoadedScope(data);
    EXPECT_EQ(s.continents.entries, std::vector<std::string>{"Oceania  "});
    EXPECT_EQ(s.regions.entries, std::vector<std::string>{std::string(12, '\0')});
    EXPECT_FALSE(s.regions.enabled);
    EXPECT_EQ(s.continent, 2);
    EXPECT_EQ(s.region, 7);

    // One continent's selectors: the continent fixed, its regions to choose from.
    lines = oneRegionLines();
    lines[7] = "9 1";
    lines[9] = "3 0";
    ASSERT_EQ(loadSatelliteInformation(data, sifBytes(lines)), std::nullopt);
    const AdminSelectors continent = selectorsForLoadedScope(data);
    EXPECT_EQ(continent.continents.entries, std::vector<std::string>{"N.America"});
    EXPECT_FALSE(continent.continents.enabled);
    EXPECT_EQ(continent.regions.entries, std::vector<std::string>{"TASMAN      "});
    EXPECT_TRUE(continent.regions.enabled);
    EXPECT_EQ(continent.continent, 3);
}

TEST_F(SifReader, NumberFieldsReadAsWholeNumbers) {
    std::vector<std::string> lines = oneRegionLines();
    lines[18] = "42";  // satellite k is number k + 1 whatever its number line says
    auto t = read(lines);
    EXPECT_EQ(t->SifHeaderNumber, 1203u);
    EXPECT_EQ(t->SatelliteTable[0].number, 42);  // the other fields: the upload's record bytes

    const std::pair<const char*, std::uint32_t> frequencies[] = {
        {"\t42", 42}, {"+7", 7}, {"99999999999", 0x7FFFFFFF}};
    for (const auto& [field, frequency] : frequencies) {
        lines = oneRegionLines();
        lines[12] = std::string("1 ") + field + " 9750 10600 2";
        EXPECT_EQ(tasman(*read(lines)).singleLocalFreq, frequency) << field;
    }
    SatelliteTables base;
    base.SifHeaderNumber = 77;
    lines = oneRegionLines();
    lines[1] = "SIF 2026-11-30";  // no fourth field: number 0
    EXPECT_EQ(read(lines, base)->SifHeaderNumber, 0u);
}

TEST_F(SifReader, NamesAndShortLinesFollowTheLayout) {
    SatelliteTables base;
    tasman(base).satelliteList = {9, 9, 9, 9};
    tasman(base).defaultSatellite = 5;
    base.SatelliteTable[0].eastWest = 'E';
    std::vector<std::string> lines = oneRegionLines();
    lines[10] = "ABCDEFGHIJKLMNOP 4 1";
    lines[11] = "3 1";         // two entries for a count of four
    lines[19] = "ALPHA 1300";  // no hemisphere: the empty field at the line's end
    lines[25] = "AB  480 W";   // two blanks: longitude field is empty, the rest shift
    auto t = read(lines, base);
    EXPECT_EQ(name(tasman(*t).name), "ABCDEFGHIJKL");
    EXPECT_EQ(tasman(*t).satelliteList, (std::array<std::uint32_t, 20>{3, 1, 0, 9}));
    EXPECT_EQ(t->SatelliteTable[0].eastWest, '\0');
    EXPECT_EQ(t->SatelliteTable[1].longitude, 0.0);
    EXPECT_EQ(t->SatelliteTable[1].eastWest, '4');

    // A line with fewer fields than its destinations leaves the ones past its end alone.
    lines = oneRegionLines();
    lines[10] = "TASMAN";
    t = read(lines, base);
    EXPECT_EQ(tasman(*t).defaultSatellite, 5);

    // A last line without its line end reads as if it had one.
    Bytes unended = sifBytes(oneRegionLines());
    unended.resize(unended.size() - 5);  // line 29 and the line end of line 28
    EXPECT_TRUE(readSatelliteInformation(unended, SatelliteTables{}).tables);
}

TEST_F(SifReader, RefusesAFileThatCannotBeReadWholeAndNamesTheLine) {
    struct Case {
        std::size_t changedLine;  // from 0; past the end: keep only that many lines
        const char* text;
        std::size_t refusedLine;  // from 1, as an editor shows it
        const char* reason;
    };
    const Case cases[] = {
        {7, "13 7", 8, "scope 13 is not 0 to 12"},
        {7, "2 100", 8, "region 100 is not 0 to 99"},
        {7, "8 101", 8, "region count 101 of Oceania is not 0 to 100"},
        {9, "2 100", 10, "region 100 is not 0 to 99"},
        {9, "-1 7", 10, "continent -1 is not 0 to 5"},
        {10, "TASMAN 21 1", 11, "satellite count 21 is not 0 to 20"},
        {11, "201 1", 12, "list entry 201 is not a satellite number 1 to 200"},
        {11, "1  2", 12, "list entry 0 is not a satellite number 1 to 200"},  // an empty field
        {16, "201", 17, "satellite count 201 is not 0 to 200"},
        {28, nullptr, 29, "the file ends after line 28, before the end of satellite 2"},
        {16, nullptr, 17, "the file ends after line 16, before the satellite count line"},
        {12, nullptr, 15, "the file ends after line 12, before the end of region block 1"},
        {7, nullptr, 8, "the file ends after line 7, before the scope line"},
        {2000, "#", 2001, "the file has more than 2000 lines"},
        // What is no number, or no text, is refused by line and field rather than read as 0.
        {12, "1 12.5 9750 10600 2", 13, "field 2 is not a whole number"},
        {12, "1 ABC 9750 10600 2", 13, "field 2 is not a whole number"},
        {13, "150 60 40 175 65 45 200 70 50 -250 120 10 +7x", 14, "field 13 is not a whole number"},
        {26, "1 2 3 4 5 Z", 27, "field 6 is not a whole number"},
        {7, "2 Q", 8, "field 2 is not a whole number"},  // before the region it names is checked
        {19, "ALP\x01HA 1300 E", 20, "field 1 holds the control byte 0x01"},
        {21, "11390 27500 101\x02 12200 27500 101", 22, "field 3 holds the control byte 0x02"},
        {3, "#\x7F", 4, "field 1 holds the control byte 0x7F"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = oneRegionLines();
        if (c.changedLine >= lines.size()) lines.resize(c.changedLine + 1, "#");
        if (c.text != nullptr) {
            lines[c.changedLine] = c.text;
        } else {
            lines.resize(c.changedLine);
        }
        const SifReadResult result = readSatelliteInformation(sifBytes(lines), SatelliteTables{});
        EXPECT_FALSE(result.tables) << c.reason;
        EXPECT_EQ(result.refusal.line, c.refusedLine) << c.reason;
        EXPECT_EQ(result.refusal.reason, c.reason);
    }
    std::vector<std::string> longest = oneRegionLines();
    longest.resize(2000, "#");
    EXPECT_TRUE(read(longest));
}

TEST_F(SifReader, ReadsCrLfAndCrOnlyLineEndsAlike) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const SifReadResult result = readSatelliteInformation(sifBytes(oneRegionLines(), end), {});
        ASSERT_TRUE(result.tables) << result.refusal.line << ": " << result.refusal.reason;
        EXPECT_EQ(result.tables->SatelliteCount, 2);
        EXPECT_EQ(name(result.tables->SatelliteTable[1].name), "BETA      ");
    }
}

TEST_F(SifReader, ARefusedFileLeavesTheTablesAndTheLoadedFlagAlone) {
    ASSERT_EQ(loadSatelliteInformation(data, sifBytes(oneRegionLines())), std::nullopt);
    data.DefaultDataLoaded = 0;  // as after Get Antenna Information
    std::vector<std::string> lines = oneRegionLines();
    lines[10] = "CHANGED 2 1";
    lines[16] = "201";
    const auto refusal = loadSatelliteInformation(data, sifBytes(lines));
    ASSERT_TRUE(refusal);
    EXPECT_EQ(sifRefusalText("bad.sif", *refusal),
              " bad.sif was not loaded !!! \r\n Line 17: satellite count 201 is not 0 to 200. ");
    EXPECT_EQ(name(regionRecord(data, 2, 7).name), "TASMAN      ");
    EXPECT_EQ(data.DefaultDataLoaded, 0);
    EXPECT_EQ(sifOpenFailureText("gone.sif"),
              " gone.sif cannot be opened !!! \r\n Nothing was loaded. ");
}
