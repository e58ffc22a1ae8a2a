// The backdrop's gradient as it must look: 200 bands, band i from row H*i/200 to
// row H*(i+1)/200 (exclusive), in the colour (i, i, 255).
#pragma once

#include <QImage>

#include <string>

namespace forms_testing {

// The band that row y of a client area of height h belongs to.
int BandOfRow(int y, int h);
// Empty when every row of image (all of its width) has its band's colour;
// otherwise the first row that does not, and why.
std::string CheckBands(const QImage& image);

}  // namespace forms_testing
