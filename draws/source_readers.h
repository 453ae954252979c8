// Readers for the answers of the public draw sources, one per format. Each
// turns one answer into the draws it holds, or refuses the whole answer: a
// source that sends one row it cannot stand behind is not trusted for the
// others either.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelkor {

/// One draw as a public source reports it: seven-digit issue, YYYY-MM-DD
/// date, three digits hundreds first.
struct SourceDraw {
  std::string issue;
  std::string date;
  std::string digits;
  friend bool operator==(const SourceDraw&, const SourceDraw&) = default;
};

/// What a reader made of one answer: the draws it holds (in the answer's
/// order), or why the whole answer is refused (a non-empty `refusal`, a few
/// ASCII words fit for a log line, e.g. "not a draw list: an HTML page");
/// `draws` is empty then.
struct SourceReading {
  std::vector<SourceDraw> draws;
  std::string refusal;
};

/// The XML row format the window reads (`<row expect=... opencode="D,D,D"
/// opentime="YYYY-MM-DD HH:MM:SS" .../>`), the date taken from `opentime`.
/// A row begun but not finished (a body cut short) refuses the answer.
[[nodiscard]] SourceReading ReadDrawListXml(std::string_view body);

/// The 17500 text file, one draw a line ("2026155 2026-06-14 4 0 9 ..."),
/// newest first. Reads no further than the first `most` draws, so that a
/// file holding the whole history costs only the lines wanted.
[[nodiscard]] SourceReading Read17500Text(std::string_view body, size_t most);

/// The welfare-lottery centre's JSON: {"state":0,"result":[{"name":"3D",
/// "code":"2025324","date":"2025-12-04(四)","red":"6,6,1",...}]}.
[[nodiscard]] SourceReading ReadCwlJson(std::string_view body);

/// China Lottery Online's JSONP, under any callback name or none:
/// CB({"resCode":"000000","data":[{"issue":"2026224","openTime":
/// "2026-08-22","frontWinningNum":"8 6 2",...}]}). A resCode other than
/// "000000" (e.g. "9998") is the source refusing.
[[nodiscard]] SourceReading ReadZhcwJsonp(std::string_view body);

// Whether `date` is YYYY-MM-DD and a day of the calendar (2026-02-29 is not).
[[nodiscard]] bool IsCalendarDate(std::string_view date);

}  // namespace zelkor
