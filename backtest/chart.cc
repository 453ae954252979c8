#include "backtest/chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>

#include "backtest/wording.h"
#include "runtime/markup.h"

namespace zelkor {
namespace {

constexpr double kWidth = 960.0;
constexpr double kPanelHeight = 250.0;
constexpr double kLeft = 70.0;
constexpr double kRight = 20.0;
constexpr double kTop = 60.0;
constexpr double kPlotHeight = 170.0;
constexpr double kBandZ = 1.96;

std::string Fixed(double value) {
  std::array<char, 32> buffer;
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.1f", value);
  return std::string(buffer.data(), static_cast<size_t>(std::max(length, 0)));
}

struct Point {
  double rate;
  double chance;
  double band;  // half-width of the 95% band
};

// The rolling figures at every judged line.
std::vector<Point> Rolling(const std::vector<LineOutcome>& lines, size_t window) {
  std::vector<Point> points;
  points.reserve(lines.size());
  double held = 0.0;
  double chance = 0.0;
  double variance = 0.0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto add = [&](const LineOutcome& line, double sign) {
      held += sign * (line.held ? 1.0 : 0.0);
      chance += sign * line.chance;
      variance += sign * line.chance * (1.0 - line.chance);
    };
    add(lines[i], 1.0);
    if (i >= window) add(lines[i - window], -1.0);
    const double count = static_cast<double>(std::min(i + 1, window));
    points.push_back(
        {held / count, chance / count, kBandZ * std::sqrt(std::max(variance, 0.0)) / count});
  }
  return points;
}

// The points of a curve worth drawing: in each pixel column (by `column_of`,
// in pixels from the plot's left edge), the first and last point and those
// where `value_of` is lowest and highest, in order. A column shows no more.
// A column whose values stay within `flat` of each other shows its first
// point only (and the curve its very last): the line drawn then strays from
// every point by less than `flat`.
template <typename ColumnOf, typename ValueOf>
std::vector<size_t> Envelope(size_t count, const ColumnOf& column_of, const ValueOf& value_of,
                             double flat = 0.0) {
  std::vector<size_t> kept;
  size_t start = 0;
  while (start < count) {
    const auto column = static_cast<long>(std::floor(column_of(start)));
    size_t end = start + 1;
    size_t low = start;
    size_t high = start;
    while (end < count && static_cast<long>(std::floor(column_of(end))) == column) {
      if (value_of(end) < value_of(low)) low = end;
      if (value_of(end) > value_of(high)) high = end;
      ++end;
    }
    std::array<size_t, 4> picked{start, low, high, end - 1};
    if (value_of(high) - value_of(low) < flat) picked = {start, start, start, start};
    std::sort(picked.begin(), picked.end());
    for (const size_t i : picked) {
      if (kept.empty() || kept.back() != i) kept.push_back(i);
    }
    start = end;
  }
  if (count > 0 && kept.back() != count - 1) kept.push_back(count - 1);
  return kept;
}

// A history shorter than the window is drawn with the window it has, and
// the title says so.
std::string Title(const std::vector<ChartSeries>& series, int32_t window, HelpLanguage language) {
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  size_t judged = 0;
  for (const ChartSeries& one : series) judged = std::max(judged, one.lines.size());
  if (judged >= static_cast<size_t>(std::max(window, 1))) {
    return say("Rolling hit rate over the last ", "滚动命中率:每点为截至该期的前 ") +
           std::to_string(window) + say(" judged lines", " 期的命中率");
  }
  return say("Running hit rate over all ", "累计命中率:每点为截至该期的全部已检验期的命中率(共 ") +
         std::to_string(judged) + say(" judged lines (fewer than the ", " 期,不足 ") +
         std::to_string(window) + say(" asked for)", " 期)");
}

}  // namespace

std::string BuildChartSvg(const std::vector<ChartSeries>& series,
                          const std::function<std::string(size_t)>& issue_of, int32_t window,
                          HelpLanguage language) {
  const auto say = [language](std::string_view english, std::string_view chinese) {
    return std::string(InLanguage(language, english, chinese));
  };
  const double height = kTop + kPanelHeight * static_cast<double>(series.size()) + 10.0;
  const double plot_width = kWidth - kLeft - kRight;
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
      Fixed(kWidth) + "\" height=\"" + Fixed(height) + "\" viewBox=\"0 0 " + Fixed(kWidth) + " " +
      Fixed(height) +
      "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      "<text x=\"" +
      Fixed(kWidth / 2) +
      "\" y=\"24\" text-anchor=\"middle\" font-size=\"16\" font-weight=\"bold\">" +
      Title(series, window, language) +
      "</text>\n"
      "<text x=\"" +
      Fixed(kWidth / 2) + "\" y=\"44\" text-anchor=\"middle\" fill=\"#444\">" +
      say("blue: hit rate; grey dashed: chance baseline of the same picks; shaded: 95% band of "
          "chance",
          "蓝线:命中率;灰色虚线:同样预测的随机基线;阴影:随机的 95% 区间") +
      "</text>\n";
  const auto window_size = static_cast<size_t>(std::max(window, 1));
  for (size_t s = 0; s < series.size(); ++s) {
    const ChartSeries& one = series[s];
    const double top = kTop + kPanelHeight * static_cast<double>(s) + 20.0;
    const double bottom = top + kPlotHeight;
    // Points start where the window is first full; a shorter history is
    // drawn with the window it has.
    const std::vector<Point> all_points = Rolling(one.lines, window_size);
    const size_t first = all_points.size() >= window_size ? window_size - 1 : 0;
    const std::vector<Point> points(all_points.begin() + static_cast<std::ptrdiff_t>(first),
                                    all_points.end());
    // The rate axis spans what is drawn, in whole tens of percent.
    double low = 1.0;
    double high = 0.0;
    for (const Point& p : points) {
      low = std::min({low, p.rate, p.chance - p.band});
      high = std::max({high, p.rate, p.chance + p.band});
    }
    if (points.empty()) {
      low = 0.0;
      high = 1.0;
    }
    low = std::clamp(std::floor(low * 10.0) / 10.0, 0.0, 1.0);
    high = std::clamp(std::ceil(high * 10.0) / 10.0, 0.0, 1.0);
    if (high - low < 0.1) high = std::min(1.0, low + 0.1), low = high - 0.1;
    const size_t count = points.size();
    const auto x_of = [&](size_t i) {
      return kLeft + (count > 1
                          ? plot_width * static_cast<double>(i) / static_cast<double>(count - 1)
                          : plot_width / 2);
    };
    const auto y_of = [&](double rate) {
      return bottom - kPlotHeight * (std::clamp(rate, low, high) - low) / (high - low);
    };

    svg += "<g class=\"panel\">\n<text x=\"" + Fixed(kLeft) + "\" y=\"" + Fixed(top - 6) +
           "\" font-weight=\"bold\">" + MarkupEscaped(one.label) + "</text>\n";
    // Grid lines and rate labels every ten percent.
    for (int tenth = static_cast<int>(std::lround(low * 10));
         tenth <= static_cast<int>(std::lround(high * 10)); ++tenth) {
      const double y = y_of(tenth / 10.0);
      svg += "<line x1=\"" + Fixed(kLeft) + "\" y1=\"" + Fixed(y) + "\" x2=\"" +
             Fixed(kLeft + plot_width) + "\" y2=\"" + Fixed(y) +
             "\" stroke=\"#e4e4e4\"/>\n<text x=\"" + Fixed(kLeft - 6) + "\" y=\"" + Fixed(y + 4) +
             "\" text-anchor=\"end\">" + std::to_string(tenth * 10) + "%</text>\n";
    }
    svg += "<text transform=\"translate(16 " + Fixed((top + bottom) / 2) +
           ") rotate(-90)\" text-anchor=\"middle\">" + say("Hit rate", "命中率") + "</text>\n";
    // Issue labels at six places along the axis.
    if (count > 0) {
      constexpr size_t kTicks = 6;
      for (size_t t = 0; t < kTicks; ++t) {
        const size_t i = count > 1 ? (count - 1) * t / (kTicks - 1) : 0;
        const double x = x_of(i);
        // The end labels stay inside the picture.
        const char* anchor = count == 1        ? "middle"
                             : t == 0          ? "start"
                             : t + 1 == kTicks ? "end"
                                               : "middle";
        svg += "<line x1=\"" + Fixed(x) + "\" y1=\"" + Fixed(bottom) + "\" x2=\"" + Fixed(x) +
               "\" y2=\"" + Fixed(bottom + 5) + "\" stroke=\"#333\"/>\n<text x=\"" + Fixed(x) +
               "\" y=\"" + Fixed(bottom + 18) + "\" text-anchor=\"" + anchor + "\">" +
               MarkupEscaped(issue_of(first + i)) + "</text>\n";
        if (count == 1) break;
      }
    }
    svg += "<text x=\"" + Fixed(kLeft + plot_width / 2) + "\" y=\"" + Fixed(bottom + 34) +
           "\" text-anchor=\"middle\">" + say("Issue", "期号") + "</text>\n";
    svg += "<rect x=\"" + Fixed(kLeft) + "\" y=\"" + Fixed(top) + "\" width=\"" +
           Fixed(plot_width) + "\" height=\"" + Fixed(kPlotHeight) +
           "\" fill=\"none\" stroke=\"#333\"/>\n";
    if (count > 0) {
      // Within each pixel column, the points where a curve is lowest and
      // highest: as many points as the picture can show, and no extreme lost.
      // The chance baseline and its band move slowly: where a column holds
      // them within half a pixel, one point draws them.
      const double half_pixel = 0.5 * (high - low) / kPlotHeight;
      const auto envelope = [&](const auto& value_of, double flat) {
        return Envelope(
            count, [&](size_t i) { return x_of(i) - kLeft; }, value_of, flat);
      };
      const std::vector<size_t> band_top =
          envelope([&](size_t i) { return points[i].chance + points[i].band; }, half_pixel);
      const std::vector<size_t> band_bottom =
          envelope([&](size_t i) { return points[i].chance - points[i].band; }, half_pixel);
      const std::vector<size_t> chance_points =
          envelope([&](size_t i) { return points[i].chance; }, half_pixel);
      const std::vector<size_t> rate_points =
          envelope([&](size_t i) { return points[i].rate; }, 0.0);
      std::string band = "<polygon class=\"band\" fill=\"#9ab\" fill-opacity=\"0.3\" points=\"";
      for (const size_t i : band_top) {
        band += Fixed(x_of(i)) + "," + Fixed(y_of(points[i].chance + points[i].band)) + " ";
      }
      for (auto it = band_bottom.rbegin(); it != band_bottom.rend(); ++it) {
        band += Fixed(x_of(*it)) + "," + Fixed(y_of(points[*it].chance - points[*it].band)) + " ";
      }
      band.back() = '"';
      svg += band + "/>\n";
      std::string baseline =
          "<polyline class=\"baseline\" fill=\"none\" stroke=\"#777\" stroke-dasharray=\"5 3\" "
          "points=\"";
      std::string rate =
          "<polyline class=\"series\" fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"1.5\" "
          "data-page=\"" +
          MarkupEscaped(one.label) + "\" points=\"";
      for (const size_t i : chance_points) {
        baseline += Fixed(x_of(i)) + "," + Fixed(y_of(points[i].chance)) + " ";
      }
      for (const size_t i : rate_points) {
        rate += Fixed(x_of(i)) + "," + Fixed(y_of(points[i].rate)) + " ";
      }
      baseline.back() = '"';
      rate.back() = '"';
      svg += baseline + "/>\n" + rate + "/>\n";
    } else {
      svg += "<text x=\"" + Fixed(kLeft + plot_width / 2) + "\" y=\"" + Fixed((top + bottom) / 2) +
             "\" text-anchor=\"middle\">" + say("no judged lines", "没有判定行") + "</text>\n";
    }
    svg += "</g>\n";
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace zelkor
