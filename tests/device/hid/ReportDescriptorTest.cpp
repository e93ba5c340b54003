// The report-descriptor parser on descriptors of real devices.

#include "device/hid/ReportDescriptor.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zr::hid;

namespace {

std::optional<ReportDescriptorInfo> parse(const std::vector<uint8_t>& d) {
    return parseReportDescriptor(d.data(), d.size());
}

// Microchip's "Generic HID" firmware (MCHPFSUSB custom HID demo), the shape of the meter's
// interface: vendor-defined page 0xFF00, 64 input and 64 output bytes, no report IDs.
const std::vector<uint8_t> kVendor64 = {
    0x06, 0x00, 0xFF, // Usage Page (Vendor Defined 0xFF00)
    0x09, 0x01,       // Usage (0x01)
    0xA1, 0x01,       // Collection (Application)
    0x19, 0x01,       //   Usage Minimum (0x01)
    0x29, 0x40,       //   Usage Maximum (0x40)
    0x15, 0x01,       //   Logical Minimum (1)
    0x25, 0x40,       //   Logical Maximum (64)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x40,       //   Report Count (64)
    0x81, 0x00,       //   Input (Data, Array, Abs)
    0x19, 0x01,       //   Usage Minimum (0x01)
    0x29, 0x40,       //   Usage Maximum (0x40)
    0x91, 0x00,       //   Output (Data, Array, Abs)
    0xC0,             // End Collection
};

// A boot keyboard (HID 1.11 appendix E.6, as real boot keyboards report it): 8 input bytes
// (modifiers, reserved, six keys) and one output byte (five LEDs, three padding bits).
const std::vector<uint8_t> kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0,
};

// The mouse interface of a Logitech Unifying receiver (046d:c52b, interface 1), with numbered
// reports: 2 mouse (16 buttons, 12-bit X/Y, wheel, AC pan), 3 consumer control, 4 system
// control, 8 vendor.
const std::vector<uint8_t> kUnifyingMouse = {
    // Report 2: 16 + 2*12 + 8 + 8 = 56 bits
    0x05,
    0x01,
    0x09,
    0x02,
    0xA1,
    0x01,
    0x85,
    0x02,
    0x09,
    0x01,
    0xA1,
    0x00,
    0x05,
    0x09,
    0x19,
    0x01,
    0x29,
    0x10,
    0x15,
    0x00,
    0x25,
    0x01,
    0x95,
    0x10,
    0x75,
    0x01,
    0x81,
    0x02,
    0x05,
    0x01,
    0x16,
    0x01,
    0xF8,
    0x26,
    0xFF,
    0x07,
    0x75,
    0x0C,
    0x95,
    0x02,
    0x09,
    0x30,
    0x09,
    0x31,
    0x81,
    0x06,
    0x15,
    0x81,
    0x25,
    0x7F,
    0x75,
    0x08,
    0x95,
    0x01,
    0x09,
    0x38,
    0x81,
    0x06,
    0x05,
    0x0C,
    0x0A,
    0x38,
    0x02,
    0x95,
    0x01,
    0x81,
    0x06,
    0xC0,
    0xC0,
    // Report 3: 2*16 bits
    0x05,
    0x0C,
    0x09,
    0x01,
    0xA1,
    0x01,
    0x85,
    0x03,
    0x75,
    0x10,
    0x95,
    0x02,
    0x15,
    0x01,
    0x26,
    0x8C,
    0x02,
    0x19,
    0x01,
    0x2A,
    0x8C,
    0x02,
    0x81,
    0x00,
    0xC0,
    // Report 4: 2 + 6 bits
    0x05,
    0x01,
    0x09,
    0x80,
    0xA1,
    0x01,
    0x85,
    0x04,
    0x75,
    0x02,
    0x95,
    0x01,
    0x15,
    0x01,
    0x25,
    0x03,
    0x09,
    0x82,
    0x09,
    0x81,
    0x09,
    0x83,
    0x81,
    0x60,
    0x75,
    0x06,
    0x81,
    0x03,
    0xC0,
    // Report 8: 8 bits
    0x06,
    0xBC,
    0xFF,
    0x09,
    0x88,
    0xA1,
    0x01,
    0x85,
    0x08,
    0x19,
    0x01,
    0x29,
    0xFF,
    0x15,
    0x01,
    0x26,
    0xFF,
    0x00,
    0x75,
    0x08,
    0x95,
    0x01,
    0x81,
    0x00,
    0xC0,
};

} // namespace

TEST(ReportDescriptor, VendorDefined64ByteDeviceLikeTheMeter) {
    const auto info = parse(kVendor64);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->numberedReports);
    EXPECT_EQ(info->inputBits.at(0), 512u);
    EXPECT_EQ(info->outputBits.at(0), 512u);
    const HidCaps caps = info->caps();
    EXPECT_EQ(caps.inputReportByteLength, 65) << "64 bytes plus the report-ID byte";
    EXPECT_EQ(caps.outputReportByteLength, 65);
    EXPECT_EQ(caps.featureReportByteLength, 0);
    EXPECT_EQ(caps.usagePage, 0xFF00);
    EXPECT_EQ(caps.usage, 0x01);
}

TEST(ReportDescriptor, BootKeyboard) {
    const auto info = parse(kBootKeyboard);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->numberedReports);
    const HidCaps caps = info->caps();
    EXPECT_EQ(caps.inputReportByteLength, 9);
    EXPECT_EQ(caps.outputReportByteLength, 2);
    EXPECT_EQ(caps.featureReportByteLength, 0);
    EXPECT_EQ(caps.usagePage, 0x01);
    EXPECT_EQ(caps.usage, 0x06);
}

TEST(ReportDescriptor, MouseWithNumberedReports) {
    const auto info = parse(kUnifyingMouse);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->numberedReports);
    EXPECT_EQ(info->inputBits, (std::map<uint8_t, uint64_t>{{2, 56}, {3, 32}, {4, 8}, {8, 8}}));
    EXPECT_TRUE(info->outputBits.empty());
    const HidCaps caps = info->caps();
    EXPECT_EQ(caps.inputReportByteLength, 8) << "the largest report: 7 bytes plus its ID";
    EXPECT_EQ(caps.outputReportByteLength, 0);
    EXPECT_TRUE(caps.numberedReports);
    EXPECT_EQ(caps.usagePage, 0x01);
    EXPECT_EQ(caps.usage, 0x02);
}

TEST(ReportDescriptor, PushPopAndLongItemsAndFourByteUsages) {
    const std::vector<uint8_t> d = {
        0x0B, 0x01, 0x00, 0x0C, 0x00, // Usage (Consumer: 0x000C0001), four bytes
        0xA1, 0x01,                   // Collection (Application)
        0x75, 0x08, 0x95, 0x02,       //   Report Size 8, Count 2
        0xA4,                         //   Push
        0x75, 0x10, 0x95, 0x03,       //   Report Size 16, Count 3
        0x81, 0x02,                   //   Input: 48 bits
        0xB4,                         //   Pop
        0xFE, 0x02, 0x10, 0xAA, 0xBB, //   a long item, skipped
        0xB1, 0x02,                   //   Feature: 16 bits
        0xC0,
    };
    const auto info = parse(d);
    ASSERT_TRUE(info);
    const HidCaps caps = info->caps();
    EXPECT_EQ(caps.usagePage, 0x0C);
    EXPECT_EQ(caps.usage, 0x01);
    EXPECT_EQ(caps.inputReportByteLength, 7);
    EXPECT_EQ(caps.featureReportByteLength, 3);
}

TEST(ReportDescriptor, MalformedDescriptorsAreRefused) {
    EXPECT_FALSE(parse({0x05}));                   // item data past the end
    EXPECT_FALSE(parse({0x27, 0xFF, 0xFF}));       // four-byte item cut short
    EXPECT_FALSE(parse({0xC0}));                   // End Collection without Collection
    EXPECT_FALSE(parse({0xB4}));                   // Pop without Push
    EXPECT_FALSE(parse({0x85, 0x00}));             // Report ID 0
    EXPECT_FALSE(parse({0xFE, 0x05, 0x10, 0x00})); // long item past the end
    const auto empty = parse({});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->caps(), HidCaps{});
}

TEST(ReportDescriptor, SizesAddUpWithoutWrappingAndReportsHidrawCannotDeliverAreRefused) {
    // 32-bit arithmetic made these 1 and 0 bytes long.
    EXPECT_FALSE(parse({0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x95, 0x01, 0x81, 0x02}));
    EXPECT_FALSE(parse({0x77, 0x00, 0x00, 0x00, 0x20, 0x95, 0x08, 0x81, 0x02}));
    // Many items whose sum passes 2^64 still count as too long.
    std::vector<uint8_t> many = {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < 8; ++i) {
        many.insert(many.end(), {0x91, 0x02});
    }
    EXPECT_FALSE(parse(many));

    // The largest report hidraw delivers: 16383 bytes after the ID byte; one bit more is too long.
    const auto largest = parse({0x75, 0x08, 0x96, 0xFF, 0x3F, 0x81, 0x02});
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->caps().inputReportByteLength, kMaxReportBytes);
    EXPECT_FALSE(parse({0x75, 0x08, 0x96, 0xFF, 0x3F, 0x81, 0x02, 0x75, 0x01, 0x95, 0x01, 0xB1,
                        0x02, 0x81, 0x02}));
    // Two reports that are each within the limit but share one ID add up past it.
    EXPECT_FALSE(parse({0x75, 0x08, 0x96, 0x00, 0x20, 0x91, 0x02, 0x91, 0x02}));
}
