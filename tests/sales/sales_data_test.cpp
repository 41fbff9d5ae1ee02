// The data of the receipt commands, byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sales/decimal_text.h"
#include "sales/receipt_commands.h"

namespace ptk::sales {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes toBytes(const std::array<std::uint8_t, N>& data) {
    return Bytes(data.begin(), data.end());
}

Bytes priceField(const std::string& price) {
    const auto data = buildSaleData(price, "1", "2");
    if (!data) return {};
    return Bytes(data->begin() + 1, data->begin() + 6);
}

struct PriceCase {
    const char* text;
    Bytes kopecks;
};

class AcceptedPrice : public ::testing::TestWithParam<PriceCase> {};

TEST_P(AcceptedPrice, IsSentAsExactKopecks) {
    EXPECT_EQ(priceField(GetParam().text), GetParam().kopecks) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Prices, AcceptedPrice,
                         ::testing::Values(PriceCase{"1,11", {0x00, 0x00, 0x00, 0x01, 0x11}},
                                           PriceCase{"1.11", {0x00, 0x00, 0x00, 0x01, 0x11}},
                                           PriceCase{"12,5", {0x00, 0x00, 0x00, 0x12, 0x50}},
                                           PriceCase{"12.5", {0x00, 0x00, 0x00, 0x12, 0x50}},
                                           PriceCase{"7", {0x00, 0x00, 0x00, 0x07, 0x00}},
                                           PriceCase{"0", {0x00, 0x00, 0x00, 0x00, 0x00}},
                                           // Values a binary fraction cannot hold exactly.
                                           PriceCase{"0,29", {0x00, 0x00, 0x00, 0x00, 0x29}},
                                           PriceCase{"1234567,89", {0x01, 0x23, 0x45, 0x67, 0x89}},
                                           PriceCase{"99999999,99", {0x99, 0x99, 0x99, 0x99, 0x99}},
                                           PriceCase{"00000012,34", {0x00, 0x00, 0x00, 0x12, 0x34}},
                                           PriceCase{",5", {0x00, 0x00, 0x00, 0x00, 0x50}},
                                           PriceCase{"5.", {0x00, 0x00, 0x00, 0x05, 0x00}}));

class RefusedPrice : public ::testing::TestWithParam<const char*> {};

TEST_P(RefusedPrice, DoesNotConvert) {
    EXPECT_FALSE(buildSaleData(GetParam(), "1", "2").has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Prices, RefusedPrice,
                         ::testing::Values("", ",", ".", "1,111", "0.001", "100000000",
                                           "100000000,00", "1,1,1", "1.1,1", "1 000", "-5", "+5",
                                           "1e3", "12a", "99999999999999999999999"));

TEST(SaleData, QuantityIsSentInThousandths) {
    const struct {
        const char* text;
        Bytes thousandths;
    } cases[] = {{"1", {0x00, 0x00, 0x00, 0x10, 0x00}},
                 {"0,5", {0x00, 0x00, 0x00, 0x05, 0x00}},
                 {"2.125", {0x00, 0x00, 0x00, 0x21, 0x25}},
                 {"9999999,999", {0x99, 0x99, 0x99, 0x99, 0x99}}};
    for (const auto& c : cases) {
        const auto data = buildSaleData("1", c.text, "2");
        ASSERT_TRUE(data.has_value()) << c.text;
        EXPECT_EQ(Bytes(data->begin() + 6, data->begin() + 11), c.thousandths) << c.text;
    }
    for (const char* refused : {"", "1,0001", "10000000", "x"}) {
        EXPECT_FALSE(buildSaleData("1", refused, "2").has_value()) << refused;
    }
}

TEST(SaleData, SectionIsOnePackedByte) {
    const struct {
        const char* text;
        std::uint8_t packed;
    } cases[] = {{"5", 0x05}, {"12", 0x12}, {"", 0x00}, {"1", 0x01}, {"99", 0x99}, {"07", 0x07}};
    for (const auto& c : cases) {
        const auto data = buildSaleData("1", "1", c.text);
        ASSERT_TRUE(data.has_value()) << c.text;
        EXPECT_EQ((*data)[11], c.packed) << c.text;
    }
    for (const char* refused : {"123", "a", "1,"}) {
        EXPECT_FALSE(buildSaleData("1", "1", refused).has_value()) << refused;
    }
}

TEST(SaleData, WholeItemOfTheDialog) {
    const auto data = buildSaleData("1,11", "1", "2");
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(toBytes(*data),
              (Bytes{0x00, 0x00, 0x00, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0x10, 0x00, 0x02}));
}

TEST(CloseData, PaymentTypeAndUnscaledSum) {
    const auto zero = buildCloseData("01", "0,00");
    ASSERT_TRUE(zero.has_value());
    EXPECT_EQ(toBytes(*zero), (Bytes{0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));

    const auto paid = buildCloseData("2", "15.75");
    ASSERT_TRUE(paid.has_value());
    EXPECT_EQ(toBytes(*paid), (Bytes{0x00, 0x02, 0x00, 0x00, 0x00, 0x15, 0x75}));

    const auto empty = buildCloseData("", "");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(toBytes(*empty), (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));

    EXPECT_FALSE(buildCloseData("001", "0").has_value());
    EXPECT_FALSE(buildCloseData("01", "12345678901").has_value());
    EXPECT_FALSE(buildCloseData("01", "1-0").has_value());
}

TEST(DecimalText, ScaledValueStaysWithinItsDigits) {
    EXPECT_EQ(parseScaledDecimal("9999", 0, 4), std::optional<std::uint64_t>(9999));
    EXPECT_EQ(parseScaledDecimal("10000", 0, 4), std::nullopt);
    EXPECT_EQ(parseScaledDecimal("99,9", 1, 3), std::optional<std::uint64_t>(999));
    EXPECT_EQ(parseScaledDecimal("100", 1, 3), std::nullopt);
}

}  // namespace
}  // namespace ptk::sales
