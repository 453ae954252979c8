#include "ui/qt/wrap_mode.h"

#include <QTextBoundaryFinder>

namespace zelkor {

bool HoldsOverlongWord(QStringView text) {
  if (text.size() <= kLongestWordWrappedAtBoundaries) return false;
  QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text.data(), text.size());
  qsizetype previous = 0;
  for (qsizetype next = breaks.toNextBoundary(); next >= 0; next = breaks.toNextBoundary()) {
    if (next - previous > kLongestWordWrappedAtBoundaries) return true;
    previous = next;
  }
  return false;
}

QTextOption::WrapMode WrapModeFor(QStringView text) {
  return HoldsOverlongWord(text) ? QTextOption::WrapAnywhere
                                 : QTextOption::WrapAtWordBoundaryOrAnywhere;
}

}  // namespace zelkor
