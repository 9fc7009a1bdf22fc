#include <gtest/gtest.h>

#include "data/antenna_info.h"
#include "wire/fixed_text.h"

// The page test shows a known type and the formatted versions and voltages; these are the
// texts it does not reach.
TEST(AntennaInfo, NamesShowEveryByteAndCodesOutsideTheListsShowNothing) {
    ProductInformation product;
    product.AntennaType = 3;
    product.ModelName = {'T', 'V', '5', 0xC5};  // the rest zero bytes; a byte is one character
    storeFixedText(product.SerialNumber, u"SR-0001");
    const ProductInformationTexts texts = productInformationTexts(product);
    EXPECT_EQ(texts.antennaType, "");
    EXPECT_EQ(texts.antennaModel, u" TV5\u00C5");
    EXPECT_EQ(texts.serialNumber, u" SR-0001     ");  // blank padding is part of the number
    EXPECT_EQ(continentName(6), "");
}
