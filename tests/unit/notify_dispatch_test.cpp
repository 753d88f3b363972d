#include "tray/notify_dispatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "fakes.h"
#include "tray/frm_corvane.h"

namespace kobex {
namespace {

using testing::FakeHost;
using testing::FakeWebControl;
using testing::Journal;

enum class Reaction { Nothing, Show, Menu, Error };

struct DispatchCase {
  const char* what;
  float x;
  float factor;
  Reaction reaction;
  const char* error;  // the description of the error raised, or ""
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

const DispatchCase kCases[] = {
    {"double-click at 15", 515 * 15.0f, 15, Reaction::Show, ""},
    {"right press at 15", 516 * 15.0f, 15, Reaction::Menu, ""},
    {"left press at 15", 513 * 15.0f, 15, Reaction::Nothing, ""},
    {"left release at 15", 514 * 15.0f, 15, Reaction::Nothing, ""},
    {"right release at 15", 517 * 15.0f, 15, Reaction::Nothing, ""},
    {"right double-click at 15", 518 * 15.0f, 15, Reaction::Menu, ""},
    {"middle press at 15", 519 * 15.0f, 15, Reaction::Nothing, ""},
    {"middle double-click at 15", 521 * 15.0f, 15, Reaction::Nothing, ""},
    {"move at 15", 512 * 15.0f, 15, Reaction::Nothing, ""},
    {"double-click at 12", 515 * 12.0f, 12, Reaction::Show, ""},
    {"right press at 12", 516 * 12.0f, 12, Reaction::Menu, ""},
    {"left press at 12", 513 * 12.0f, 12, Reaction::Nothing, ""},
    {"left release at 12", 514 * 12.0f, 12, Reaction::Nothing, ""},
    {"right release at 12", 517 * 12.0f, 12, Reaction::Nothing, ""},
    {"right double-click at 12", 518 * 12.0f, 12, Reaction::Menu, ""},
    {"quotient 515.4", 515.4f * 10, 10, Reaction::Show, ""},
    {"quotient 515.5 rounds to even 516", 5155, 10, Reaction::Menu, ""},
    {"quotient 516.5 rounds to even 516", 5165, 10, Reaction::Menu, ""},
    {"quotient 514.5 rounds to even 514", 5145, 10, Reaction::Nothing, ""},
    {"quotient 516.6", 5166, 10, Reaction::Nothing, ""},
    {"quotient 517.5 rounds to even 518", 5175, 10, Reaction::Menu, ""},
    {"quotient 518.5 rounds to even 518", 5185, 10, Reaction::Menu, ""},
    {"quotient 518.6", 5186, 10, Reaction::Nothing, ""},
    {"quotient a hair above 514.5", 514.5001f, 1, Reaction::Show, ""},
    {"factor 0", 515 * 15.0f, 0, Reaction::Error, "Division by zero"},
    {"zero over zero", 0, 0, Reaction::Error, "Overflow"},
    {"quotient past 32 bits", 3e10f, 1, Reaction::Error, "Overflow"},
    {"quotient below 32 bits", -3e10f, 1, Reaction::Error, "Overflow"},
    {"not a number", kNaN, 15, Reaction::Error, "Overflow"},
    {"infinite X", kInf, 15, Reaction::Error, "Overflow"},
    {"infinite over infinite", kInf, kInf, Reaction::Error, "Overflow"},
    {"negative factor", -515 * 15.0f, -15, Reaction::Show, ""},
};

class DispatchTest : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchTest, ReactsOnlyToLeftDoubleClickAndRightPresses) {
  const DispatchCase& c = GetParam();
  Journal journal;
  FakeHost host(journal);
  FakeWebControl web(journal);
  frmCorvane form(host, host, web);
  host.twipsPerPixelX = c.factor;
  // Y is another pixel's worth of twips: only X carries the code.
  form.RaiseEvent([&] { form.Form_MouseMove(0, 0, c.x, 7740.0f); });

  const bool shown = web.paths == std::vector<std::string>{"/show?"};
  const bool menu = !host.menuShown.empty();
  switch (c.reaction) {
    case Reaction::Show:
      EXPECT_TRUE(shown && !menu);
      break;
    case Reaction::Menu:
      EXPECT_TRUE(menu && web.paths.empty());
      break;
    case Reaction::Nothing:
      EXPECT_TRUE(journal.entries.empty());
      break;
    case Reaction::Error:
      EXPECT_TRUE(web.paths.empty() && !menu);
      EXPECT_EQ(host.endedWith, kExitError);
      try {
        NotificationCode(c.x, c.factor);
        ADD_FAILURE() << "no error";
      } catch (const Error& e) {
        EXPECT_STREQ(e.what(), c.error);
      }
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Codes, DispatchTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DispatchCase>& info) {
                           std::string name;
                           for (const char* p = info.param.what; *p; ++p) {
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           }
                           return name;
                         });

TEST(NotificationCode, KeepsTheQuotientInDoublePrecision) {
  // 16777217 is not a float; as floats X and the factor are exact, and only a
  // double quotient keeps the .5 that decides the rounding.
  EXPECT_EQ(NotificationCode(16777215.0f, 2.0f), 8388608);  // 8388607.5 to even
  EXPECT_EQ(NotificationCode(16777213.0f, 2.0f), 8388606);  // 8388606.5 to even
  EXPECT_EQ(NotificationCode(std::numeric_limits<float>::denorm_min(), 15.0f), 0);
  EXPECT_EQ(NotificationCode(-2147483648.0f, 1.0f), std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace kobex

namespace kobex {
namespace {

// Arbitrary X and factor, as raw float bit patterns (NaNs, infinities,
// denormals, huge values, zero and negative factors among them): the event
// only ever does nothing, sends /show?, pops the menu, or raises the host's
// overflow or division-by-zero error, and agrees with the arithmetic.
TEST(FormMouseMoveProperty, ArbitraryFloatsEndInOneOfFourOutcomes) {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;  // fixed seed: the same cases every run
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::uint32_t>(state >> 16);
  };
  auto asFloat = [](std::uint32_t bits) {
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
    Journal journal;
    FakeHost host(journal);
    FakeWebControl web(journal);
    frmCorvane form(host, host, web);
    host.twipsPerPixelX = factor;
    form.RaiseEvent([&] { form.Form_MouseMove(0, 0, x, 0); });

    const double q = static_cast<double>(x) / static_cast<double>(factor);
    const bool valid = !std::isnan(q) && std::isfinite(q) && factor != 0 && std::fabs(q) < 2147483648.0;
    const std::string trace = ::testing::PrintToString(x) + " / " + ::testing::PrintToString(factor);
    // A right press (516) or a right double-click (518), after rounding.
    const bool opensMenu = (q >= 515.5 && q <= 516.5) || (q >= 517.5 && q <= 518.5);
    if (host.endedWith) {
      ++errors;
      ASSERT_FALSE(valid && std::fabs(q) < 2e9) << trace;
      ASSERT_EQ(host.messages.size(), 1u) << trace;
      ASSERT_TRUE(host.messages[0] == "Overflow" || host.messages[0] == "Division by zero") << trace;
      ASSERT_TRUE(web.paths.empty() && host.menuShown.empty()) << trace;
    } else if (!web.paths.empty()) {
      ++shows;
      ASSERT_EQ(web.paths, std::vector<std::string>{"/show?"}) << trace;
      ASSERT_TRUE(q >= 514.5 && q <= 515.5) << trace;
      ASSERT_TRUE(host.menuShown.empty()) << trace;
    } else if (!host.menuShown.empty()) {
      ++menus;
      ASSERT_TRUE(opensMenu) << trace;
    } else {
      ASSERT_TRUE(journal.entries.empty()) << trace;
      ASSERT_FALSE((q > 514.5 && q < 515.5) || opensMenu) << trace;
    }
  }
  EXPECT_GT(shows, 100);
  EXPECT_GT(menus, 100);
  EXPECT_GT(errors, 100);
}

}  // namespace
}  // namespace kobex
