// The platform calls of the form library: TRegistry on the hives, bitmaps and
// palettes, the screen's metrics, and the Win32 layer's reports as message boxes.
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <gtest/gtest.h>

#include "qt_driver.h"
#include "support/temp_home.h"
#include "vcl/application.h"
#include "vcl/exception.h"
#include "vcl/graphics.h"
#include "vcl/registry.h"
#include "vcl/windows.h"
#include "win32/codepage.h"
#include "win32/prefix.h"
#include "win32/registry.h"
#include "win32/report.h"

namespace {

class Registry : public testing::Test {
 protected:
  void SetUp() override {
    testing_support::UseFreshPrefix();
    win32::ResetPrefixForTesting();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Korvane\\Tavolin", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    Set(key, "MyPath", REG_SZ, "C:\\Games");
    Set(key, "Expand", REG_EXPAND_SZ, "%ProgramFiles%\\X");
    Set(key, "Empty", REG_SZ, "");
    const DWORD ten = 10;
    RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&ten), 4);
    RegCloseKey(key);
  }
  static void Set(HKEY key, const char* name, DWORD type, const std::string& text) {
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
  }
};

TEST_F(Registry, ReadsStringsAndGivesEmptyForWhatIsMissing) {
  vcl::TRegistry registry;
  EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
  EXPECT_EQ(registry.ReadString("MyPath"), vcl::AnsiString());  // no key open
  ASSERT_TRUE(registry.OpenKey("Software\\Korvane\\Tavolin", false));
  EXPECT_EQ(registry.ReadString("MyPath"), vcl::AnsiString("C:\\Games"));
  EXPECT_EQ(registry.ReadString("mypath"), vcl::AnsiString("C:\\Games"));
  EXPECT_EQ(registry.ReadString("Expand"), vcl::AnsiString("%ProgramFiles%\\X"));
  EXPECT_EQ(registry.ReadString("Empty"), vcl::AnsiString());
  EXPECT_EQ(registry.ReadString("Missing"), vcl::AnsiString());
  registry.SetRootKey(HKEY_LOCAL_MACHINE);  // closes the key
  EXPECT_EQ(registry.CurrentKey(), nullptr);
  EXPECT_EQ(registry.ReadString("MyPath"), vcl::AnsiString());
}

TEST_F(Registry, AValueOfAnotherTypeRaisesTheRegistryError) {
  vcl::TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("Software\\Korvane\\Tavolin", false));
  try {
    registry.ReadString("Count");
    FAIL() << "no error";
  } catch (const vcl::ERegistryException& error) {
    EXPECT_EQ(error.Message(), vcl::AnsiString(win32::Ansi("'Count' のﾃﾞｰﾀ型が不正です")));
  }
}

TEST_F(Registry, OpenKeyCreatesOnlyWhenAsked) {
  vcl::TRegistry registry;
  EXPECT_FALSE(registry.OpenKey("Software\\New\\Key", false));
  EXPECT_TRUE(registry.OpenKey("Software\\New\\Key", true));
  vcl::TRegistry again;
  EXPECT_TRUE(again.OpenKey("Software\\New\\Key", false));
}

TEST(Bitmap, ReadsTheColourTableAsPalette) {
  std::string bmp = "BM" + std::string(12, '\0');
  std::string info(40, '\0');
  info[0] = 40;
  info[4] = 2;   // width
  info[8] = 2;   // height
  info[12] = 1;  // planes
  info[14] = 8;  // bits
  info[32] = 2;  // colours used
  bmp += info;
  bmp += std::string("\x03\x02\x01\x00\xff\xfe\xfd\x00", 8);  // (1,2,3), (253,254,255)
  bmp += std::string(8, '\0');
  vcl::TBitmap bitmap;
  bitmap.LoadFromBytes(bmp, "test");
  ASSERT_NE(bitmap.Palette(), nullptr);
  vcl::PALETTEENTRY entries[3] = {};
  EXPECT_EQ(vcl::GetPaletteEntries(bitmap.Palette(), 0, 3, entries), 2u);
  EXPECT_EQ(entries[0].peRed, 1);
  EXPECT_EQ(entries[0].peBlue, 3);
  EXPECT_EQ(entries[1].peGreen, 254);
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.BitCount(), 8);

  vcl::TBitmap broken;
  EXPECT_THROW(broken.LoadFromBytes("BM", "short"), vcl::EResNotFound);
  EXPECT_THROW(broken.LoadFromResourceName(vcl::HInstance, "NOSUCH"), vcl::EResNotFound);
  EXPECT_EQ(broken.Palette(), nullptr);
}

TEST(Palette, SelectAndRealizeAreRecordedPerDeviceContext) {
  vcl::LogicalPalette palette{{{1, 2, 3, 0}, {4, 5, 6, 0}}};
  vcl::DeviceContext dc;
  EXPECT_EQ(vcl::RealizePalette(&dc), 0u);
  EXPECT_EQ(vcl::SelectPalette(&dc, &palette, FALSE), nullptr);
  EXPECT_FALSE(dc.realized);
  EXPECT_EQ(vcl::RealizePalette(&dc), 2u);
  EXPECT_TRUE(dc.realized);
  EXPECT_EQ(vcl::SelectPalette(&dc, nullptr, FALSE), &palette);
}

TEST(Screen, MetricsAreThePrimaryScreensSize) {
  const int width = vcl::GetSystemMetrics(vcl::SM_CXSCREEN);
  const int height = vcl::GetSystemMetrics(vcl::SM_CYSCREEN);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(width, screen.width());
  EXPECT_EQ(height, screen.height());
  EXPECT_GT(width, 0);
  EXPECT_EQ(vcl::GetSystemMetrics(42), 0);
  EXPECT_EQ(vcl::SetForegroundWindow(nullptr), FALSE);
}

TEST(Title, IsTheProgramFileNameWithLaterLettersInLowerCase) {
  // This program's file is vcl_platform_test, whose first letter is already small;
  // the installer's SETUP gives Setup (the entry test sees it in its message).
  EXPECT_EQ(vcl::Application->Title().bytes(), "vcl_platform_test");
}

TEST(Reports, TheWin32LayersReportsBecomeMessageBoxes) {
  vcl::Application->Initialize();
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  vcl_testing::WhenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    vcl_testing::PressKey(w, Qt::Key_Return);
  });
  win32::Report(nullptr, "コピー", "D:\\x: Read-only file system");
  EXPECT_EQ(title, QString::fromUtf8("コピー"));
  EXPECT_EQ(text, QString("D:\\x: Read-only file system"));
  EXPECT_EQ(icon, QMessageBox::Critical);
}

}  // namespace
