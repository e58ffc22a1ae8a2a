// The embedded resources: the checked-in palette bitmap and icon are exactly what
// their generators make, the icon holds its four images, and every form
// description is there.
#include <QFile>
#include <QImageReader>

#include <cstdlib>

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace {

std::string Embedded(const char* name) {
  QFile file(QString(":/") + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

std::string Generated(const char* generator, const char* output) {
  const std::string path = testing_support::MakeTempDir("gen") + "/" + output;
  const std::string command = "python3 " + testing_support::SourceDir() + "/tools/" + generator +
                              " " + path;
  if (std::system(command.c_str()) != 0) return {};
  return testing_support::ReadFile(path);
}

unsigned Little(const std::string& bytes, std::size_t at, int size) {
  unsigned value = 0;
  for (int i = 0; i < size; ++i) value |= static_cast<unsigned char>(bytes[at + i]) << (8 * i);
  return value;
}

TEST(Resources, PaletteBitmapIsTheGeneratorsOutput) {
  const std::string pal = Embedded("PAL");
  ASSERT_EQ(pal.size(), 14u + 40u + 1024u + 64u);
  EXPECT_EQ(pal, Generated("gen_pal.py", "PAL.bmp"));
  EXPECT_EQ(pal, testing_support::ReadFile(testing_support::SourceDir() + "/resources/PAL.bmp"));
  EXPECT_EQ(Little(pal, 14, 4), 40u);   // info header size
  EXPECT_EQ(Little(pal, 18, 4), 8u);    // width
  EXPECT_EQ(Little(pal, 22, 4), 8u);    // height
  EXPECT_EQ(Little(pal, 28, 2), 8u);    // bits per pixel
  EXPECT_EQ(Little(pal, 30, 4), 0u);    // uncompressed
  EXPECT_EQ(pal.substr(1078), std::string(64, '\0'));
}

TEST(Resources, IconHoldsFourImagesInOrder) {
  const std::string ico = Embedded("MAINICON");
  ASSERT_FALSE(ico.empty());
  EXPECT_EQ(ico, Generated("gen_mainicon.py", "MAINICON.ico"));
  ASSERT_EQ(Little(ico, 0, 2), 0u);
  ASSERT_EQ(Little(ico, 2, 2), 1u);
  ASSERT_EQ(Little(ico, 4, 2), 4u);
  const unsigned expected[4][3] = {{32, 16, 4}, {32, 0, 8}, {16, 0, 8}, {16, 16, 4}};
  for (int i = 0; i < 4; ++i) {
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
    EXPECT_EQ(Little(ico, entry, 1), expected[i][0]) << i;      // width
    EXPECT_EQ(Little(ico, entry + 1, 1), expected[i][0]) << i;  // height
    EXPECT_EQ(Little(ico, entry + 2, 1), expected[i][1]) << i;  // colours
    EXPECT_EQ(Little(ico, entry + 6, 2), expected[i][2]) << i;  // bits per pixel
  }
  QFile file(":/MAINICON");
  QImageReader reader(&file, "ico");
  EXPECT_EQ(reader.imageCount(), 4);
}

TEST(Resources, EveryFormDescriptionIsEmbedded) {
  for (const char* name : {"TFORM1", "TFORM2", "TFORM3", "TFORM4", "TFORM5"}) {
    const std::string text = Embedded(name);
    EXPECT_EQ(text, testing_support::ReadFile(testing_support::SourceDir() + "/resources/" +
                                              name + ".dfm"))
        << name;
    EXPECT_EQ(text.rfind("object Form", 0), 0u) << name;
  }
}

}  // namespace
