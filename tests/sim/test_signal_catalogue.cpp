// The simulator's live registers read through the signal catalogue: every signal's register is
// served, and the signalTable whose range is their own (not a full-scale figure) stay inside it over a
// whole start-run-stop cycle.
#include "param/Signals.h"
#include "sim/SimulatedStarter.h"

#include <gtest/gtest.h>

using namespace rv8::sim;
namespace param = rv8::param;

TEST(SignalCatalogue, LiveRegistersStayInsideTheSignalRanges)
{
    param::PrmTable signalTable(param::kMaxSignals);
    ASSERT_EQ(param::BuildSignalCatalogue(signalTable, true), "");
    ASSERT_GE(signalTable.Count(), 21);

    auto clock = std::make_shared<ManualClock>();
    QString error;
    auto layout = CatalogueLayout(150, 401, &error);
    ASSERT_TRUE(layout) << error.toStdString();
    StarterNode::Options options;
    StarterNode node(1, std::make_shared<const ParameterLayout>(*layout), clock, options);
    const int64_t cycle = CycleLengthMs(MotorSettings{}, options.cycle);

    for (int64_t t = 0; t <= cycle; t += 250, clock->Advance(250)) {
        for (int n = 2; n <= signalTable.Count(); ++n) {  // 1 is the "NOT USED" placeholder
            const param::PRM_REC& s = signalTable[n];
            const auto word = node.Register(s.PRMADDR);
            ASSERT_TRUE(word) << s.Title << " at " << s.PRMADDR;
            if (s.EDIT_TYPE != param::skList && s.EDIT_TYPE != param::skPlain)
                continue;  // currents and voltages are scaled by the starter's full-scale figures
            uint16_t w = *word;
            if (s.Mask != 0)
                w = static_cast<uint16_t>(w & s.Mask);
            w = static_cast<uint16_t>(w >> s.Shift);
            const param::Fixed value = param::Fixed::FromInt(w) / s.Range_Step.Divisor;
            const auto& range = s.Range_Step.Ranges.at(0);
            EXPECT_GE(value, range.Minimum) << s.Title << " at t=" << t;
            EXPECT_LE(value, range.Maximum) << s.Title << " at t=" << t << " word " << *word;
        }
    }
}
