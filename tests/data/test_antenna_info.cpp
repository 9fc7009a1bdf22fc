#include <gtest/gtest.h>

#include "data/antenna_info.h"
#include "data/fixed_text.h"
#include "data/satellite_tables.h"
#include "link/process_state.h"

namespace {

class AntennaInfo : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }
};

}  // namespace

TEST_F(AntennaInfo, ProductInformationTexts) {
    g_AntennaType = 3;
    g_ModelName = {'T', 'V', '5'};  // the rest zero bytes
    storeFixedText(g_SerialNumber, u"SR-0001");
    g_AntSwVersion = 1.32;
    g_AcuSwVersion = 2.07;
    g_LibraryVersion = 1.15;
    g_AntennaPowerV = 24.1;
    g_AcuPowerV = 5.0;
    g_ReceiverV = 10.0;
    ProductInformationTexts texts = productInformationTexts();
    EXPECT_EQ(texts.antennaType, "");
    EXPECT_EQ(texts.antennaModel, u" TV5");
    EXPECT_EQ(texts.serialNumber, u" SR-0001     ");  // blank padding is part of the number
    EXPECT_EQ(texts.antSwVersion, "1.32");
    EXPECT_EQ(texts.acuSwVersion, "2.07");
    EXPECT_EQ(texts.libraryVersion, "1.15");
    EXPECT_EQ(texts.antennaPower, "24.10");
    EXPECT_EQ(texts.acuPower, "5.00");
    EXPECT_EQ(texts.receiver, "Not");  // the same voltage text as the target panel's

    g_ModelName[3] = 0xC5;  // a byte is one character, whatever its value
    g_AntennaType = 1;
    texts = productInformationTexts();
    EXPECT_EQ(texts.antennaType, " Sub-Reflector Type");
    EXPECT_EQ(texts.antennaModel, u" TV5\u00C5");
    g_AntennaType = 2;
    EXPECT_EQ(productInformationTexts().antennaType, " Gyro Sensor Type");
}

TEST_F(AntennaInfo, ContinentNames) {
    const char* names[] = {"EUROPE", "ASIA", "OCEANIA", "N. AMERICA", "S. AMERICA", "AFRICA", ""};
    for (std::uint32_t c = 0; c < 7; ++c) EXPECT_EQ(continentName(c), names[c]) << c;
    EXPECT_EQ(continentName(255), "");
}
