// Typing speed of the regular-expression engine: compiles the numeric mask
// the editors use and types 10,000 characters into it, restarting after each
// complete number, as an editor does for each new value. Reports characters
// per second and the mean cost of one typed character.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "editors/cxRegExpr.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int TypedChars = 10000;
constexpr int Rounds = 20;
const String Mask = u"\\d+([.])?(\\d)?(\\d)?(\\d)?(\\d)?";
const String Value = u"12345.6789";  // one number as typed

// Compiles the mask and types TypedChars characters; answers the seconds
// spent and the characters refused (0 expected).
double TypeOnce(int& ARefused) {
  const auto Start = Clock::now();
  TcxRegExpr R;
  R.Compile(Mask);
  ARefused = 0;
  for (int I = 0; I < TypedChars; ++I) {
    const size_t Pos = static_cast<size_t>(I) % Value.size();
    if (Pos == 0) R.Restart();
    Char c = Value[Pos];
    if (!R.Advance(c)) ++ARefused;
  }
  if (!R.IsComplete()) ++ARefused;
  return std::chrono::duration<double>(Clock::now() - Start).count();
}

}  // namespace

int main() {
  double Best = 1e9;
  int Refused = 0;
  for (int Round = 0; Round < Rounds; ++Round) Best = std::min(Best, TypeOnce(Refused));
  const double PerChar = Best / TypedChars;
  std::printf("mask %s, %d typed characters (best of %d runs, compile included)\n",
              "\\d+([.])?(\\d)?(\\d)?(\\d)?(\\d)?", TypedChars, Rounds);
  std::printf("%.0f characters per second, %.1f ns per character\n", 1.0 / PerChar, PerChar * 1e9);
  if (Refused) {
    std::printf("error: %d characters were refused\n", Refused);
    return 1;
  }
  return 0;
}
