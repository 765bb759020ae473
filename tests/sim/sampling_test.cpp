// The harness's steps as pictures, listeners and the live window see them: the sampling grid,
// frame sinks offered only changed screens, listeners not re-entered, and a stop that holds.
#include "sim/harness/harness.hpp"
#include "sim/output/progress_meter.hpp"
#include "sim/output/readable_time.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace velorin::sim {
namespace {

struct Offers : FrameSink {
    std::vector<DeviceTime> times;
    void offer(DeviceTime at, const gdi::Surface&) override { times.push_back(at); }
    const std::optional<std::string>& error() const override { return none; }
    std::optional<std::string> none;
};

TEST(Sampling, MovesOfTimeStopOnTheGridAndCallListenersAtEachStop)
{
    HarnessOptions options;
    options.sampleEvery = 100;
    Harness harness(options);
    std::vector<DeviceTime> steps;
    harness.addStepListener([&] { steps.push_back(harness.now()); });
    harness.runUntil(250);
    harness.runFor(120);
    harness.settle();
    EXPECT_EQ(steps, (std::vector<DeviceTime>{100, 200, 250, 300, 370, 370}));
}

TEST(Sampling, SinksGetTheScreenWhenItMayHaveChangedAndAListenerMayDriveTheDevice)
{
    HarnessOptions options;
    options.sampleEvery = 50;
    Harness harness(options);
    Offers offers;
    harness.addFrameSink(offers);
    int calls = 0;
    harness.addStepListener([&] {
        ++calls;
        if (harness.now() == 100)
            harness.power(std::nullopt, 50);  // settles: the listener is not called again inside
    });
    harness.runUntil(200);
    EXPECT_EQ(calls, 4);
    // A screen of the window manager is offered when it first shows and when anything changes.
    ASSERT_FALSE(offers.times.empty());
    EXPECT_EQ(offers.times.front(), 50);
    EXPECT_LT(offers.times.size(), 4u);

    // Any other screen source is offered at every step.
    auto screen = std::make_shared<gdi::Surface>(2, 2);
    harness.screenSource = [screen] { return *screen; };
    offers.times.clear();
    harness.runUntil(300);
    EXPECT_EQ(offers.times, (std::vector<DeviceTime>{250, 300}));
}

TEST(Sampling, AStopEndsTheMoveOfTimeAndHolds)
{
    HarnessOptions options;
    options.sampleEvery = 10;
    Harness harness(options);
    harness.addStepListener([&] {
        if (harness.now() >= 40)
            harness.requestStop();
    });
    harness.runUntil(1000);
    EXPECT_EQ(harness.now(), 40);
    harness.runFor(500);
    EXPECT_EQ(harness.now(), 40);
    EXPECT_TRUE(harness.stopRequested());
}

TEST(ReadableTime, ShortTimesToTheHundredthLongOnesInWholeSeconds)
{
    EXPECT_EQ(readableTime(0), "0");
    EXPECT_EQ(readableTime(250), "0.25s");
    EXPECT_EQ(readableTime(3500), "3.5s");
    EXPECT_EQ(readableTime(4970), "4.97s");
    EXPECT_EQ(readableTime(59'999), "60s");
    EXPECT_EQ(readableTime(750'400), "12m 30s");
    EXPECT_EQ(readableTime(3'725'000), "1h 02m 05s");
}

TEST(ProgressMeter, QuietAtFirstThenOneLineRewrittenInPlaceAndWipedAtTheEnd)
{
    std::ostringstream out;
    double host = 100.0;
    ProgressMeter meter(out, 0, [&host] { return host; });
    host = 102.0;
    meter.update(60'000);
    EXPECT_EQ(out.str(), "");  // a short run says nothing
    host = 104.0;
    meter.update(750'000);
    EXPECT_EQ(out.str(), "\rdevice time 12m 30s, 188x real time");
    host = 104.1;
    meter.update(760'000);  // too soon after the last
    EXPECT_TRUE(meter.shown());
    host = 105.0;
    meter.update(7'500);
    EXPECT_EQ(out.str(), "\rdevice time 12m 30s, 188x real time"
                         "\rdevice time 7.5s, 1.5x real time   ");
    meter.finish();
    EXPECT_EQ(out.str().substr(out.str().size() - 34), "\r" + std::string(32, ' ') + "\r");
    EXPECT_FALSE(meter.shown());
}

TEST(ProgressMeter, WithItsEndKnownTellsTheShareDoneAndTheTimeLeft)
{
    std::ostringstream out;
    double host = 100.0;
    ProgressMeter meter(out, 0, [&host] { return host; });
    meter.endsAt(3'600'000);
    host = 104.0;
    meter.update(900'000);
    EXPECT_EQ(out.str(), "\rdevice time 15m 00s of 1h 00m 00s (25%, 45m 00s left), 225x real time");
}

}  // namespace
}  // namespace velorin::sim
