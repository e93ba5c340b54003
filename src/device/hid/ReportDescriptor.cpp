#include "device/hid/ReportDescriptor.h"

#include <algorithm>
#include <vector>

namespace zr::hid {

namespace {

// Item types and tags of the short items the parser cares about.
enum ItemType : uint8_t { Main = 0, Global = 1, Local = 2 };
enum MainTag : uint8_t {
    Input = 0x8,
    Output = 0x9,
    Collection = 0xA,
    Feature = 0xB,
    EndCollection = 0xC
};
enum GlobalTag : uint8_t {
    UsagePage = 0x0,
    ReportSize = 0x7,
    ReportId = 0x8,
    ReportCount = 0x9,
    Push = 0xA,
    Pop = 0xB
};
enum LocalTag : uint8_t { Usage = 0x0 };

struct Globals {
    uint32_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

} // namespace

namespace {
constexpr uint64_t kMaxReportBits = (uint64_t{kMaxReportBytes} - 1) * 8;
} // namespace

uint16_t ReportDescriptorInfo::byteLength(const std::map<uint8_t, uint64_t>& bits) {
    uint64_t largest = 0;
    bool any = false;
    for (const auto& [id, size] : bits) {
        if (size > 0) {
            any = true;
            largest = std::max(largest, size);
        }
    }
    if (!any) {
        return 0;
    }
    // The parser refuses larger reports, so this fits.
    const uint64_t bytes = (std::min(largest, kMaxReportBits) + 7) / 8 + 1;
    return static_cast<uint16_t>(bytes);
}

HidCaps ReportDescriptorInfo::caps() const {
    HidCaps caps;
    caps.usage = usage;
    caps.usagePage = usagePage;
    caps.inputReportByteLength = byteLength(inputBits);
    caps.outputReportByteLength = byteLength(outputBits);
    caps.featureReportByteLength = byteLength(featureBits);
    caps.numberedReports = numberedReports;
    return caps;
}

std::optional<ReportDescriptorInfo> parseReportDescriptor(const uint8_t* data, std::size_t length) {
    if (data == nullptr && length > 0) {
        return std::nullopt;
    }
    ReportDescriptorInfo info;
    Globals globals;
    std::vector<Globals> stack;
    std::vector<uint32_t> usages; // local usages since the last main item
    int depth = 0;
    bool topLevelSeen = false;

    std::size_t pos = 0;
    while (pos < length) {
        const uint8_t prefix = data[pos];
        if (prefix == 0xFE) { // long item: prefix, size, tag, data
            if (pos + 2 >= length) {
                return std::nullopt;
            }
            const std::size_t size = data[pos + 1];
            if (pos + 3 + size > length) {
                return std::nullopt;
            }
            pos += 3 + size;
            continue;
        }
        const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        const auto type = static_cast<uint8_t>((prefix >> 2) & 0x3);
        const auto tag = static_cast<uint8_t>(prefix >> 4);
        if (pos + 1 + size > length) {
            return std::nullopt;
        }
        uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= static_cast<uint32_t>(data[pos + 1 + i]) << (8 * i);
        }
        pos += 1 + size;

        switch (type) {
        case Main: {
            // 64-bit: size x count of two 32-bit values cannot wrap; the sum stops just past
            // the limit, so that it cannot wrap either and the report is refused below.
            auto addBits = [&](std::map<uint8_t, uint64_t>& bits) {
                uint64_t& sum = bits[globals.reportId];
                const uint64_t add = uint64_t{globals.reportSize} * globals.reportCount;
                sum = add > kMaxReportBits - std::min(sum, kMaxReportBits) ? kMaxReportBits + 1
                                                                           : sum + add;
            };
            switch (tag) {
            case Input:
                addBits(info.inputBits);
                break;
            case Output:
                addBits(info.outputBits);
                break;
            case Feature:
                addBits(info.featureBits);
                break;
            case Collection:
                if (depth == 0 && !topLevelSeen) {
                    topLevelSeen = true;
                    const uint32_t usage = usages.empty() ? 0 : usages.front();
                    // A four-byte usage carries its own page in the high half.
                    info.usagePage = static_cast<uint16_t>((usage >> 16) != 0 ? (usage >> 16)
                                                                              : globals.usagePage);
                    info.usage = static_cast<uint16_t>(usage & 0xFFFF);
                }
                ++depth;
                break;
            case EndCollection:
                if (depth == 0) {
                    return std::nullopt;
                }
                --depth;
                break;
            default:
                break;
            }
            usages.clear(); // local items end with every main item
            break;
        }
        case Global:
            switch (tag) {
            case UsagePage:
                globals.usagePage = value;
                break;
            case ReportSize:
                globals.reportSize = value;
                break;
            case ReportCount:
                globals.reportCount = value;
                break;
            case ReportId:
                if (value == 0 || value > 0xFF) {
                    return std::nullopt;
                }
                globals.reportId = static_cast<uint8_t>(value);
                info.numberedReports = true;
                break;
            case Push:
                stack.push_back(globals);
                break;
            case Pop:
                if (stack.empty()) {
                    return std::nullopt;
                }
                globals = stack.back();
                stack.pop_back();
                break;
            default:
                break;
            }
            break;
        case Local:
            if (tag == Usage) {
                usages.push_back(size == 4 ? value
                                           : (globals.usagePage << 16 | value) & 0xFFFFFFFFu);
            }
            break;
        default: // reserved item type
            break;
        }
    }
    // A descriptor whose reports carry IDs never has reports under ID 0 that count.
    if (info.numberedReports) {
        info.inputBits.erase(0);
        info.outputBits.erase(0);
        info.featureBits.erase(0);
    }
    // A report hidraw could not deliver whole: the descriptor is not one a device can have.
    for (const auto* bits : {&info.inputBits, &info.outputBits, &info.featureBits}) {
        for (const auto& [id, size] : *bits) {
            if (size > kMaxReportBits) {
                return std::nullopt;
            }
        }
    }
    return info;
}

} // namespace zr::hid
