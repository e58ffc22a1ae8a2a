// The backdrop: geometry from the screen, the 200-band gradient as grabbed from the
// real window, repaints, the palette bitmap, and the description read at creation.
#include <QImage>
#include <QProcess>
#include <QWidget>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "band_check.h"
#include "forms/Unit1.h"
#include "qt_driver.h"
#include "support/temp_home.h"
#include "vcl/application.h"
#include "vcl/windows.h"

namespace {

using forms_testing::BandOfRow;
using forms_testing::CheckBands;

// Runs the probe on an offscreen screen of the given size, in a folder with a
// "Setup.dat"; returns its report and the grabbed image.
struct ProbeResult {
  std::string output;
  QImage image;
  int status = -1;
};

ProbeResult RunProbe(int width, int height) {
  const std::string dir = testing_support::MakeTempDir("probe");
  testing_support::WriteFile(dir + "/Setup.dat", "Foo\r\n3\r\n");
  const std::string config = dir + "/screen.json";
  testing_support::WriteFile(config, "{\"screens\":[{\"name\":\"S\",\"x\":0,\"y\":0,\"width\":" +
                                         std::to_string(width) + ",\"height\":" +
                                         std::to_string(height) + "}]}");
  QProcess probe;
  probe.setWorkingDirectory(QString::fromStdString(dir));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", QString::fromStdString("offscreen:configfile=" + config));
  probe.setProcessEnvironment(env);
  const std::string png = dir + "/grab.png";
  probe.start(QString::fromStdString(testing_support::BinaryDir() + "/tests/forms/backdrop_probe"),
              {QString::fromStdString(png)});
  probe.waitForFinished(60000);
  ProbeResult result;
  result.status = probe.exitCode();
  result.output = probe.readAllStandardOutput().toStdString();
  result.image.load(QString::fromStdString(png));
  return result;
}

TEST(Backdrop, CoversTheScreenAndPaintsTheBandsAtEverySize) {
  const std::pair<int, int> sizes[] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
  for (const auto& [width, height] : sizes) {
    const ProbeResult probe = RunProbe(width, height);
    ASSERT_EQ(probe.status, 0) << probe.output;
    const std::string size = std::to_string(width) + " " + std::to_string(height);
    EXPECT_NE(probe.output.find("screen " + size + "\n"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("form 0 0 " + size + " client " + size), std::string::npos)
        << probe.output;
    EXPECT_NE(probe.output.find("package Foo count 3"), std::string::npos) << probe.output;
    ASSERT_EQ(probe.image.size(), QSize(width, height));
    EXPECT_EQ(CheckBands(probe.image), "") << size;
  }
}

TEST(Backdrop, BandRowsAt480) {
  // First band rows 0-1, third rows 4-6, last 477-479; 120 bands of 2, 80 of 3.
  EXPECT_EQ(BandOfRow(0, 480), 0);
  EXPECT_EQ(BandOfRow(1, 480), 0);
  EXPECT_EQ(BandOfRow(2, 480), 1);
  EXPECT_EQ(BandOfRow(4, 480), 2);
  EXPECT_EQ(BandOfRow(6, 480), 2);
  EXPECT_EQ(BandOfRow(7, 480), 3);
  EXPECT_EQ(BandOfRow(476, 480), 198);
  EXPECT_EQ(BandOfRow(477, 480), 199);
  EXPECT_EQ(BandOfRow(479, 480), 199);
  int two = 0, three = 0;
  for (int i = 0; i < 200; ++i) {
    const int rows = 480 * (i + 1) / 200 - 480 * i / 200;
    two += rows == 2;
    three += rows == 3;
  }
  EXPECT_EQ(two, 120);
  EXPECT_EQ(three, 80);
}

class BackdropInProcess : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing_support::MakeTempDir("backdrop");
    testing_support::WriteFile(dir_ + "/Setup.dat", "Paket\n0\n");
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    form_ = new TForm1(nullptr);
  }
  void TearDown() override {
    vcl::Free(form_);
    std::filesystem::current_path(old_);
  }
  std::string dir_;
  std::filesystem::path old_;
  TForm1* form_ = nullptr;
};

TEST_F(BackdropInProcess, StateAndLookFromTheDescription) {
  EXPECT_STREQ(form_->PackageName, "Paket");
  EXPECT_EQ(form_->VolumeCount, 0);
  EXPECT_STREQ(form_->SourceDir, "");
  EXPECT_STREQ(form_->TargetDir, "");
  EXPECT_STREQ(form_->ArchivePath, "");
  EXPECT_EQ(form_->Caption(), vcl::Ansi("セットアップ"));
  EXPECT_EQ(form_->BorderStyle(), vcl::bsNone);
  EXPECT_EQ(form_->BorderIcons(), vcl::biSystemMenu);
  EXPECT_TRUE(form_->Widget()->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(form_->Left(), 0);
  EXPECT_EQ(form_->Top(), 0);
  EXPECT_EQ(form_->ClientWidth(), vcl::GetSystemMetrics(vcl::SM_CXSCREEN));
  EXPECT_EQ(form_->ClientHeight(), vcl::GetSystemMetrics(vcl::SM_CYSCREEN));
  EXPECT_FALSE(form_->Visible());
}

TEST_F(BackdropInProcess, ThePaletteBitmapHoldsTheTable) {
  ASSERT_NE(form_->PaletteBitmap, nullptr);
  EXPECT_EQ(form_->PaletteBitmap->Width(), 8);
  EXPECT_EQ(form_->PaletteBitmap->Height(), 8);
  EXPECT_EQ(form_->PaletteBitmap->BitCount(), 8);
  vcl::HPALETTE palette = form_->PaletteBitmap->Palette();
  ASSERT_NE(palette, nullptr);
  ASSERT_EQ(palette->entries.size(), 256u);
  const auto rgb = [&](int i) {
    const vcl::PALETTEENTRY& e = palette->entries[static_cast<std::size_t>(i)];
    return std::tuple<int, int, int>(e.peRed, e.peGreen, e.peBlue);
  };
  EXPECT_EQ(rgb(0), std::make_tuple(0, 0, 0));
  EXPECT_EQ(rgb(9), std::make_tuple(166, 202, 240));
  for (int k = 0; k < 200; ++k) {
    const int v = 200 * k / 199;
    EXPECT_EQ(rgb(10 + k), std::make_tuple(v, v, 255)) << k;
    EXPECT_NE(v, 199);
  }
  EXPECT_EQ(rgb(208), std::make_tuple(198, 198, 255));
  EXPECT_EQ(rgb(209), std::make_tuple(200, 200, 255));
  EXPECT_EQ(rgb(210), std::make_tuple(255, 10, 0));
  EXPECT_EQ(rgb(245), std::make_tuple(255, 244, 255));
  EXPECT_EQ(rgb(246), std::make_tuple(255, 251, 240));
  EXPECT_EQ(rgb(255), std::make_tuple(255, 255, 255));
}

TEST_F(BackdropInProcess, EveryPaintSelectsAndRealizesThePalette) {
  const int before = form_->Canvas()->Handle()->realizeCount;
  form_->Widget()->grab();
  form_->Widget()->grab();
  vcl::HDC dc = form_->Canvas()->Handle();
  EXPECT_EQ(dc->realizeCount, before + 2);
  EXPECT_EQ(dc->palette, form_->PaletteBitmap->Palette());
}

TEST_F(BackdropInProcess, APartialRepaintGivesTheSameColours) {
  form_->SetWidth(640);
  form_->SetHeight(480);
  const QImage full = form_->Widget()->grab().toImage();
  ASSERT_EQ(CheckBands(full), "");
  QImage part(640, 480, QImage::Format_RGB32);
  part.fill(Qt::magenta);
  const QRect dirty(100, 150, 200, 97);  // as a dialog moving away leaves it
  form_->Widget()->render(&part, dirty.topLeft(), QRegion(dirty));
  for (int y = 0; y < 480; ++y) {
    for (int x : {0, 100, 299, 300, 639}) {
      const QColor expected = dirty.contains(x, y) ? full.pixelColor(x, y) : QColor(Qt::magenta);
      ASSERT_EQ(part.pixelColor(x, y), expected) << x << "," << y;
    }
  }
  EXPECT_EQ(full.pixelColor(0, 0), QColor(0, 0, 255));
  EXPECT_EQ(full.pixelColor(5, 100 * 480 / 200), QColor(100, 100, 255));
}

TEST(BackdropDescription, MissingSetupDatGivesEmptyState) {
  const std::string dir = testing_support::MakeTempDir("nodat");
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  auto* form = new TForm1(nullptr);
  EXPECT_STREQ(form->PackageName, "");
  EXPECT_EQ(form->VolumeCount, 0);
  vcl::Free(form);
  std::filesystem::current_path(old);
}

}  // namespace
