#include "device/connection/LiveStatus.h"

#include <gtest/gtest.h>

namespace zr::connection {
namespace {

DeviceStatus status(std::uint8_t method, std::uint16_t frequency, float value) {
    DeviceStatus s{};
    s.method = method;
    s.frequency = frequency;
    s.measuredValue = value;
    return s;
}

// The captions after each status of a run, in order: what the results block shows and the
// measurement table copies.
TEST(ShownCaptions, FollowTheStatusesAndKeepTheLastNamedMethod) {
    const QLocale english(QLocale::English);
    ShownCaptions captions;
    EXPECT_EQ(captions.method(), QStringLiteral(" "));
    EXPECT_EQ(ShownCaptions::value(DeviceStatus{}, english), QStringLiteral("0"));

    const struct {
        DeviceStatus shown;
        const char* method;
        const char* value;
    } run[] = {
        {status(2, 4500, 85.04F), "Моторный метод", "85"},
        {status(7, 4500, 90.26F), "Моторный метод", "90.3"},
        {status(0, 4500, 91.0F), "Моторный метод", "91"},
        {status(1, 3999, 92.0F), "Исследовательский метод", "0"},
        {status(4, 5100, 88.44F), "AKI", "88.4"},
    };
    for (const auto& step : run) {
        captions.follow(step.shown);
        EXPECT_EQ(captions.method(), QString::fromUtf8(step.method)) << step.value;
        EXPECT_EQ(ShownCaptions::value(step.shown, english), QString::fromUtf8(step.value));
    }
}

} // namespace
} // namespace zr::connection
