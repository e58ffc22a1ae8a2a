#include "band_check.h"

#include <QColor>

namespace forms_testing {

int BandOfRow(int y, int h) {
  for (int i = 0; i < 200; ++i) {
    if (h * i / 200 <= y && y < h * (i + 1) / 200) return i;
  }
  return -1;
}

std::string CheckBands(const QImage& image) {
  const int h = image.height();
  const int w = image.width();
  for (int y = 0; y < h; ++y) {
    const int i = BandOfRow(y, h);
    const QColor expected(i, i, 255);
    for (int x : {0, w / 2, w - 1}) {
      if (image.pixelColor(x, y) != expected) {
        return "row " + std::to_string(y) + " column " + std::to_string(x) + " is " +
               image.pixelColor(x, y).name().toStdString() + ", band " + std::to_string(i) +
               " wants " + expected.name().toStdString();
      }
    }
  }
  return {};
}

}  // namespace forms_testing
