#pragma once

#include <random>
#include <string>

// A report of random groups (some holding groups of their own) whose times
// start near 0 or just below it (2^32 as the unsigned comparisons read
// them), so that alignment moves the merged tree across the wrap-around.
inline std::string random_report(std::mt19937* random, int tester) {
  auto pick = [random](uint32_t n) { return static_cast<uint32_t>((*random)() % n); };
  uint32_t time = pick(2) ? 0xFFFFFFFFu - pick(3000) : pick(3000);
  auto at = [&]() { return "\"" + std::to_string(static_cast<int32_t>(time += pick(40))) + "\""; };
  std::string text = "MIRVA ProbeSuite \"v\" \"PLAN\" \"ROD file\" \"date\"\nRE \"run\" \"1\"\n";
  if (pick(3)) {
    text += "SY \"" + std::string(pick(2) ? "A" : "B") + "\" \"" + std::to_string(pick(5)) + "\" \"" +
            std::to_string(pick(1000)) + "\" \"1000\" \"" + (pick(2) ? "1" : "1000") + "\" \"ms\"\n";
  }
  text += "IE \"0\" \"N\" \"tester " + std::to_string(tester) + "\"\n";
  for (uint32_t group = 0, groups = 2 + pick(4); group < groups; ++group) {
    const std::string name = "\"G" + std::to_string(pick(4)) + "\"";
    const bool ds = pick(2);
    text += "XI " + at() + " \"0\" \"0\"\n";
    if (ds) text += "YI \"0\"\nDS " + name + " \"t\" \"STEP\" \"ID\" " + at() + " \"2\" \"" + std::to_string(pick(50)) + "\"\n";
    for (uint32_t item = 0, items = pick(5); item < items; ++item) {
      switch (pick(ds ? 5 : 4)) {
        case 0: text += "RD \"R" + std::to_string(pick(3)) + "\" \"sync\" \"2\" " + at() + " " + at() + "\n"; break;
        case 1: text += "EV \"E\" \"signal\" \"7\" \"info\" " + at() + "\nCH \"V\" \"1\" \"ok\"\n"; break;
        case 2: text += "DW \"W\" \"write\" " + at() + " \"8\" " + at() + "\nDX \"P\" \"data\" \"2\"\n"; break;
        case 3: text += "XX \"A\" \"check\" \"done\"\n"; break;
        default:  // a nested group
          text += "XI " + at() + " \"0\" \"0\"\nYI \"0\"\nDS \"N" + std::to_string(pick(2)) + "\" \"t\" \"STEP\" \"ID\" " +
                  at() + " \"2\" \"1\"\nXX \"C\" \"check\" \"done\"\nFS \"N\" " + at() + " \"1\" \"0\" \"0\"\n";
          break;
      }
    }
    text += ds ? "FS " + name + " " + at() + " \"" + std::to_string(pick(3)) + "\" \"0\" \"0\"\n" : "YI \"0\"\n";
    if (ds && pick(2)) text += "DT " + at() + " \"PASS\" \"v\"\nXX \"B\" \"check\" \"done\"\nYT \"0\" \"0\"\n";
  }
  return text + "DB \"Summary\" \"end\"\nBF \"Summary\" \"end\"\n";
}

