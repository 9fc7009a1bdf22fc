#include <gtest/gtest.h>

#include "data/antenna_info.h"
#include "link/process_state.h"
#include "wire/fixed_text.h"

namespace {

class AntennaInfo : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }
};

}  // namespace

// The page test shows a known type and the formatted versions and voltages; these are the
// texts it does not reach.
TEST_F(AntennaInfo, NamesShowEveryByteAndCodesOutsideTheListsShowNothing) {
    g_AntennaType = 3;
    g_ModelName = {'T', 'V', '5', 0xC5};  // the rest zero bytes; a byte is one character
    storeFixedText(g_SerialNumber, u"SR-0001");
    const ProductInformationTexts texts = productInformationTexts();
    EXPECT_EQ(texts.antennaType, "");
    EXPECT_EQ(texts.antennaModel, u" TV5\u00C5");
    EXPECT_EQ(texts.serialNumber, u" SR-0001     ");  // blank padding is part of the number
    EXPECT_EQ(continentName(6), "");
}
