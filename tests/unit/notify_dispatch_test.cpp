#include "tray/notify_dispatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "fakes.h"
#include "tray/frm_corvane.h"

namespace kobex {
namespace {

using namespace testing;  // NOLINT(google-build-using-namespace): the fakes' steps

const Steps kShow{Get("/show?")};
const Steps kMenu{Op::PopupMenu};
const Steps kNothing{};
Steps Fails(const char* error) { return {Box(error), Ended(kExitError)}; }

struct DispatchCase {
  std::string name;
  float x, factor;
  Steps reaction;
};

void PrintTo(const DispatchCase& c, std::ostream* os) { *os << c.name; }

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// Every mouse message at three factors, a negative one included: only the left double-click and right presses act.
std::vector<DispatchCase> Cases() {
  std::vector<DispatchCase> cases;
  for (const int factor : {15, 12, -15}) {
    const std::string at = "_at" + std::string(factor < 0 ? "m" : "") + std::to_string(std::abs(factor));
    for (const int code : {512, 513, 514, 515, 516, 517, 518, 519, 521}) {
      cases.push_back({"code" + std::to_string(code) + at,
                       static_cast<float>(code * factor), static_cast<float>(factor),
                       code == 515 ? kShow : code == 516 || code == 518 ? kMenu : kNothing});
    }
  }
  const DispatchCase more[] = {
      {"quotient515_4", 515.4f * 10, 10, kShow},           {"quotient515_5_to_even516", 5155, 10, kMenu},
      {"quotient516_5_to_even516", 5165, 10, kMenu},       {"quotient514_5_to_even514", 5145, 10, kNothing},
      {"quotient516_6", 5166, 10, kNothing},               {"quotient517_5_to_even518", 5175, 10, kMenu},
      {"quotient518_5_to_even518", 5185, 10, kMenu},       {"quotient518_6", 5186, 10, kNothing},
      {"quotient_a_hair_above514_5", 514.5001f, 1, kShow}, {"factor0", 515 * 15.0f, 0, Fails("Division by zero")},
      {"zero_over_zero", 0, 0, Fails("Overflow")},         {"quotient_past32_bits", 3e10f, 1, Fails("Overflow")},
      {"quotient_below32_bits", -3e10f, 1, Fails("Overflow")}, {"not_a_number", kNaN, 15, Fails("Overflow")},
      {"infinite_x", kInf, 15, Fails("Overflow")},         {"infinite_over_infinite", kInf, kInf, Fails("Overflow")},
  };
  cases.insert(cases.end(), std::begin(more), std::end(more));
  return cases;
}

class DispatchTest : public ::testing::TestWithParam<DispatchCase>, public Rig {};

TEST_P(DispatchTest, Reacts) {
  host.twipsPerPixelX = GetParam().factor;
  // Y is another pixel's worth of twips: only X carries the code.
  form.RaiseEvent([&] { form.Form_MouseMove(0, 0, GetParam().x, 7740.0f); });
  EXPECT_EQ(journal, GetParam().reaction);
}

INSTANTIATE_TEST_SUITE_P(Dispatch, DispatchTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<DispatchCase>& info) { return info.param.name; });

TEST(NotificationCode, KeepsTheQuotientInDoublePrecision) {
  // As floats X and the factor are exact; only a double quotient keeps the .5 that decides the rounding.
  EXPECT_EQ(NotificationCode(16777215.0f, 2.0f), 8388608);  // 8388607.5 to even
  EXPECT_EQ(NotificationCode(16777213.0f, 2.0f), 8388606);  // 8388606.5 to even
  EXPECT_EQ(NotificationCode(std::numeric_limits<float>::denorm_min(), 15.0f), 0);
  EXPECT_EQ(NotificationCode(-2147483648.0f, 1.0f), std::numeric_limits<std::int32_t>::min());
}

// Arbitrary float bits for X and the factor (NaNs, infinities, zeros...): one of four outcomes, as the arithmetic says.
TEST(FormMouseMoveProperty, ArbitraryFloatsEndInOneOfFourOutcomes) {
  std::mt19937 next(0x9E3779B9);  // fixed seed: the same cases every run
  const auto asFloat = [](std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  };
  std::vector<std::pair<float, float>> cases;
  const float specials[] = {0.0f, -0.0f, 15.0f, 12.0f, -15.0f, 1e-45f, 3.4e38f, -3.4e38f, kNaN, kInf, -kInf,
                            515 * 15.0f, 516 * 15.0f, 7732.5f, 2147483520.0f, -2147483648.0f};
  for (float x : specials) {
    for (float f : specials) cases.emplace_back(x, f);
  }
  for (int i = 0; i < 20000; ++i) cases.emplace_back(asFloat(next()), asFloat(next()));
  // Quotients near the three codes that matter.
  for (int i = 0; i < 20000; ++i) {
    const float factor = 1.0f + static_cast<float>(next() % 4000) / 100.0f;
    cases.emplace_back((514.0f + static_cast<float>(next() % 5000) / 1000.0f) * factor, factor);
  }

  int shows = 0, menus = 0, errors = 0;
  for (const auto& [x, factor] : cases) {
    Rig rig;
    rig.host.twipsPerPixelX = factor;
    rig.form.RaiseEvent([&] { rig.form.Form_MouseMove(0, 0, x, 0); });
    const Steps& steps = rig.journal;
    const double q = static_cast<double>(x) / static_cast<double>(factor);
    const bool valid = std::isfinite(q) && factor != 0 && std::fabs(q) < 2e9;
    const std::string trace = ::testing::PrintToString(x) + " / " + ::testing::PrintToString(factor);
    // A right press (516) or a right double-click (518), after rounding.
    const bool opensMenu = (q >= 515.5 && q <= 516.5) || (q >= 517.5 && q <= 518.5);
    if (steps == kShow) {
      ++shows;
      ASSERT_TRUE(q >= 514.5 && q <= 515.5) << trace;
    } else if (steps == kMenu) {
      ++menus;
      ASSERT_TRUE(opensMenu) << trace;
    } else if (steps.empty()) {
      ASSERT_FALSE((q > 514.5 && q < 515.5) || opensMenu) << trace;
    } else {
      ++errors;
      ASSERT_FALSE(valid) << trace;
      ASSERT_TRUE(steps == Fails("Overflow") || steps == Fails("Division by zero")) << trace;
    }
  }
  EXPECT_GT(shows, 100);
  EXPECT_GT(menus, 100);
  EXPECT_GT(errors, 100);
}

}  // namespace
}  // namespace kobex
