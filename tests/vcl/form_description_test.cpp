// The reader of stored form descriptions, on literal descriptions.
#include <gtest/gtest.h>

#include "vcl/exception.h"
#include "vcl/form_description.h"
#include "win32/codepage.h"

namespace {

using vcl::FormValue;

TEST(FormDescription, ReadsObjectsPropertiesAndNesting) {
  const vcl::FormObject root = vcl::ParseFormDescription(
      "object Form2: TForm2\n"
      "  Left = -5\n"
      "  BorderIcons = [biSystemMenu, biMinimize]\n"
      "  BorderStyle = bsDialog\n"
      "  Font.Name = 'ＭＳ Ｐゴシック'\n"
      "  OnShow = FormShow\n"
      "  object GroupBox1: TGroupBox\n"
      "    object Edit1: TEdit\n"
      "      Text = 'Edit1'\n"
      "    end\n"
      "  end\n"
      "  object Button2: TButton\n"
      "  end\n"
      "end\n",
      "T");
  EXPECT_EQ(root.name, "Form2");
  EXPECT_EQ(root.className, "TForm2");
  ASSERT_EQ(root.properties.size(), 5u);
  EXPECT_EQ(root.properties[0].name, "Left");
  EXPECT_EQ(root.properties[0].value.integer, -5);
  EXPECT_EQ(root.properties[1].value.kind, FormValue::Kind::Set);
  EXPECT_EQ(root.properties[1].value.items, (std::vector<std::string>{"biSystemMenu", "biMinimize"}));
  EXPECT_EQ(root.properties[2].value.kind, FormValue::Kind::Identifier);
  EXPECT_EQ(root.properties[2].value.text, "bsDialog");
  EXPECT_EQ(root.properties[3].name, "Font.Name");
  EXPECT_EQ(root.properties[3].value.text, win32::Ansi("ＭＳ Ｐゴシック"));
  EXPECT_EQ(root.properties[4].value.text, "FormShow");
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_EQ(root.children[0].children.at(0).name, "Edit1");
  EXPECT_EQ(root.children[1].className, "TButton");
  EXPECT_EQ(root.children[1].line, 12);
}

struct StringCase {
  const char* source;  // the value as written
  const char* utf8;    // what it stands for
};

TEST(FormDescription, StringsGiveTheirCp932Bytes) {
  const StringCase cases[] = {
      {"''", ""},
      {"'it''s'", "it's"},
      {"'セットアップ'", "セットアップ"},
      {"'ｷｬﾝｾﾙ'", "ｷｬﾝｾﾙ"},
      {"#12475#12483#12488#12450#12483#12503", "セットアップ"},
      {"'a'#13#10'b'", "a\r\nb"},
      {"'one ' +\n    'two'", "one two"},
      {"'x' + #65", "xA"},
      {"'参照(&R)...'", "参照(&R)..."},
  };
  for (const StringCase& c : cases) {
    const vcl::FormObject root = vcl::ParseFormDescription(
        std::string("object A: TA\n  Caption = ") + c.source + "\nend\n", "T");
    ASSERT_EQ(root.properties.size(), 1u) << c.source;
    EXPECT_EQ(root.properties[0].value.kind, FormValue::Kind::String) << c.source;
    EXPECT_EQ(root.properties[0].value.text, win32::Ansi(c.utf8)) << c.source;
  }
  // The half-width katakana are single bytes, the full-width ones double.
  EXPECT_EQ(win32::Ansi("ｷｬﾝｾﾙ").size(), 5u);
}

TEST(FormDescription, MalformedTextIsRefusedWithItsLine) {
  const char* cases[] = {
      "",
      "objekt A: TA\nend\n",
      "object A: TA\n  Caption = 'open\nend\n",
      "object A: TA\n  Left = \nend\n",
      "object A: TA\n  Left = 1\n",
      "object A: TA\nend\nend\n",
      "object A: TA\n  Caption = 'a' +\nend\n",
      "object A: TA\n  Caption = #0\nend\n",
      "object A: TA\n  Caption = '€'\nend\n",  // no CP932 character
      "object A: TA\n  Width = 99999999999\nend\n",
      "object A TA\nend\n",
  };
  for (const char* text : cases) {
    try {
      vcl::ParseFormDescription(text, "TBROKEN");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const vcl::EResNotFound& error) {
      EXPECT_NE(error.Message().bytes().find("TBROKEN, line "), std::string::npos) << text;
    }
  }
}

TEST(FormDescription, CommentsAndBlankLinesAreSkipped) {
  const vcl::FormObject root = vcl::ParseFormDescription(
      "// a comment\n\nobject A: TA\r\n  Width = 3 // three\r\n\r\nend\r\n", "T");
  ASSERT_EQ(root.properties.size(), 1u);
  EXPECT_EQ(root.properties[0].value.integer, 3);
}

}  // namespace
