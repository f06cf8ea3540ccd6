// The timer component on a real message loop: when it runs, how it is read from a layout, its
// errors, and that its windows go with it.
#include "framework/win32/timer.h"

// The platform header's macros for its RegisterClassW and UnregisterClassW would otherwise
// rename the class registry's functions.
#undef RegisterClass
#undef UnregisterClass

#include "framework/rtl/class_registry.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/win32/application.h"
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace zaprelay::win32 {
namespace {

using test::PumpUntil;

// The message-only windows that timers made, still there.
int TimerWindows() {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExW(HWND_MESSAGE, window, L"ZaprelayTimerWindow", nullptr)) != nullptr) {
        ++count;
    }
    return count;
}

class TimerTest : public ::testing::Test {
protected:
    TimerTest() {
        app.OnException = [this](TObject* sender, const std::exception& error) {
            errors.push_back({sender, error.what()});
        };
        // A second timer marks the passing of time in ticks: "five of its ticks went by".
        clock.SetInterval(10);
        clock.SetOnTimer([this](TObject*) { ++clockTicks; });
    }

    // Pumps until the clock has ticked count more times.
    bool WaitClockTicks(int count) {
        int until = clockTicks + count;
        return PumpUntil([&] { return clockTicks >= until; });
    }

    struct Error {
        TObject* Sender;
        std::string Message;
    };
    TApplication app;
    TTimer clock{nullptr};
    int clockTicks = 0;
    std::vector<Error> errors;
};

TEST_F(TimerTest, FiresRepeatedlyUntilDisabledThenStaysQuiet) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        if (++ticks == 3) {
            timer.SetEnabled(false);
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    EXPECT_FALSE(timer.Running());
    ASSERT_TRUE(WaitClockTicks(5));
    EXPECT_EQ(ticks, 3);

    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 4; }));
}

TEST_F(TimerTest, RunsOnlyWithIntervalHandlerAndEnabledTogether) {
    TTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_FALSE(timer.Running()) << "no handler yet";
    timer.SetOnTimer([](TObject*) {});
    EXPECT_TRUE(timer.Running());
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    timer.SetInterval(5);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    timer.SetEnabled(true);
    timer.SetOnTimer(nullptr);
    EXPECT_FALSE(timer.Running());

    EXPECT_THROW(timer.SetInterval(-1), EInvalidOperation);
    EXPECT_EQ(timer.Interval(), 5);
}

TEST_F(TimerTest, IntervalChangeRestartsWithTheNewInterval) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(60 * 60 * 1000);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    ASSERT_TRUE(WaitClockTicks(5));
    EXPECT_EQ(ticks, 0) << "an hour has not passed";

    timer.SetInterval(10);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
}

TEST_F(TimerTest, NothingRunsWhileLoadingUntilAfterRead) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.IncludeState(csLoading);
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject*) { ++ticks; });
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Running());
    ASSERT_TRUE(WaitClockTicks(5));
    EXPECT_EQ(ticks, 0);

    timer.ExcludeState(csLoading);
    timer.AfterRead();
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }));
}

// A form-like root whose layout holds a timer bound to one of its methods.
class TTimerHost : public TComponent {
public:
    using TComponent::TComponent;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = [] {
            TClassInfo i = NewClassInfo<TTimerHost, TComponent>("TTimerHost");
            TClassBuilder<TTimerHost>(i).Method<void(TObject*)>("PollTimer", &TTimerHost::PollTimer);
            return i;
        }();
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void PollTimer(TObject*) { ++Ticks; }
    int Ticks = 0;
};

TEST_F(TimerTest, LayoutCreatesTheTimerBindsOnTimerByNameAndStartsItAfterTheRead) {
    RegisterClass(TTimer::StaticClassInfo());
    std::vector<uint8_t> layout = TextToBinary(
        "object Host: TTimerHost\r\n"
        "  object Poll: TTimer\r\n"
        "    Interval = 10\r\n"
        "    OnTimer = PollTimer\r\n"
        "  end\r\n"
        "  object Idle: TTimer\r\n"
        "    Enabled = False\r\n"
        "    OnTimer = PollTimer\r\n"
        "  end\r\n"
        "end\r\n");
    TTimerHost host(nullptr);
    TBytesStream stream(layout);
    ReadObjectStream(stream, host);

    auto* poll = dynamic_cast<TTimer*>(host.FindComponent("Poll"));
    auto* idle = dynamic_cast<TTimer*>(host.FindComponent("Idle"));
    ASSERT_NE(poll, nullptr);
    ASSERT_NE(idle, nullptr);
    EXPECT_TRUE(poll->Running());
    EXPECT_EQ(poll->OnTimer().HandlerName(), "PollTimer");
    EXPECT_FALSE(idle->Running());
    EXPECT_EQ(idle->Interval(), 1000);
    EXPECT_TRUE(PumpUntil([&] { return host.Ticks >= 2; }));

    // Written back, only what differs from the defaults appears.
    TMemoryStream written;
    WriteObjectStream(written, *poll);
    std::string text = BinaryToText(written.Bytes());
    EXPECT_NE(text.find("Interval = 10"), std::string::npos) << text;
    EXPECT_EQ(text.find("Enabled"), std::string::npos) << text;
    UnregisterClass(TTimer::StaticClassInfo());
}

TEST_F(TimerTest, ExceptionInOnTimerReachesTheApplicationAndTicksDoNotNest) {
    TTimer timer(nullptr);
    int entered = 0;
    bool handling = false;
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject*) {
        ++entered;
        if (!handling) {  // a nested run is counted, not thrown, so it cannot end in an error box
            throw std::runtime_error("timer failed");
        }
    });
    // The handler pumps messages as the standard error box would; the timer's ticks meanwhile
    // must not run the failing handler again inside it.
    app.OnException = [&](TObject* sender, const std::exception& error) {
        errors.push_back({sender, error.what()});
        timer.SetEnabled(errors.size() < 2);
        handling = true;
        WaitClockTicks(5);
        handling = false;
    };
    ASSERT_TRUE(PumpUntil([&] { return errors.size() >= 2; }));
    EXPECT_EQ(entered, 2);
    EXPECT_EQ(errors[0].Sender, &timer);
    EXPECT_EQ(errors[0].Message, "timer failed");
}

TEST_F(TimerTest, HandlerMayDestroyItsOwnTimer) {
    auto* timer = new TTimer(nullptr);
    int ticks = 0;
    timer->SetInterval(10);
    timer->SetOnTimer([&](TObject* sender) {
        ++ticks;
        delete sender;
        throw std::runtime_error("after the timer went");
    });
    ASSERT_TRUE(PumpUntil([&] { return ticks == 1 && !errors.empty(); }));
    ASSERT_TRUE(WaitClockTicks(5));
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(errors[0].Sender, nullptr) << "the sender is gone";
}

TEST_F(TimerTest, ThousandTimersLeaveNoWindowsOrGdiObjectsBehind) {
    { TTimer warmUp(nullptr); }
    const DWORD users = test::CountGuiObjects(GR_USEROBJECTS);
    const DWORD gdis = test::CountGuiObjects(GR_GDIOBJECTS);
    for (int i = 0; i < 1000; ++i) {
        TTimer timer(nullptr);
        timer.SetInterval(1);
        timer.SetOnTimer([](TObject*) {});
        ASSERT_TRUE(timer.Running());
    }
    EXPECT_EQ(test::CountGuiObjects(GR_USEROBJECTS), users);
    EXPECT_EQ(test::CountGuiObjects(GR_GDIOBJECTS), gdis);
    EXPECT_EQ(TimerWindows(), 1) << "the clock's only";
}

}  // namespace
}  // namespace zaprelay::win32
