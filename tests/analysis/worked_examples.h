// Histories and full page outputs shared by the core and control-layer tests,
// with the window's initial box texts.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "runtime/gbk.h"
#include "ui/page_texts.h"

namespace zelkor::testing {

// Newest first, as the list holds them.
inline std::vector<HistoryRow> KillDigitHistory() {
  return {{"2024003", "789"}, {"2024002", "456"}, {"2024001", "123"}};
}
inline std::vector<HistoryRow> BankerHistory() {
  return {{"2023125", "458"}, {"2023124", "907"}, {"2023123", "123"}};
}

// 单选框_百 checked.
inline Text KillDigitExpected() {
  return Gbk("┊2024002期:Zelkor3D杀码┊【4】┊456错Ｘ\r\n"
             "┊2024003期:Zelkor3D杀码┊【6】┊789准√\r\n"
             "┊2024004期:Zelkor3D杀码┊【8】┊未开\r\n") +
         InitialPageTexts().footer;
}
inline Text BankerExpected() {
  return Gbk("┊2023124期:Zelkor3D杀码┊【469】┊907准√\r\n"
             "┊2023125期:Zelkor3D杀码┊【273】┊458错Ｘ\r\n"
             "┊2023126期:Zelkor3D杀码┊【158】┊未开\r\n") +
         InitialPageTexts().footer;
}
inline Text KillSpanExpected() {
  return Gbk("┊2023124期:Zelkor3D杀码┊【36】┊907准√\r\n"
             "┊2023125期:Zelkor3D杀码┊【03】┊458准√\r\n"
             "┊2023126期:Zelkor3D杀码┊【12】┊未开\r\n") +
         InitialPageTexts().footer;
}

}  // namespace zelkor::testing
