// The grpconv program itself, run as the installer runs it: SETUP.INI in the
// prefix's Windows directory, "grpconv -o", and the menu files it leaves in the
// XDG folders, checked with desktop-file-validate and xmllint.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "run_program.h"
#include "support/temp_home.h"
#include "win32/codepage.h"
#include "win32/kernel.h"
#include "win32/paths.h"
#include "win32/prefix.h"

namespace grpconv_test {
namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::WriteFile;

// "ﾀｳﾞｫﾘﾝ\ｹﾞｰﾑ" as the installer writes it: single-byte katakana of CP932.
const std::string kGroupName = "\xC0\xB3\xDE\xAB\xD8\xDD\\\xB9\xDE\xB0\xD1";

// The file the installer writes, byte for byte.
std::string SetupIni(const std::string& itemName, const std::string& program,
                     const std::string& folder, const std::string& group = kGroupName) {
  return "[progman.groups]\r\ngroupX=" + group + "\r\n[groupX]\r\n\"" + itemName + "\",\"" +
         program + "\",,,,\"" + folder + "\"\r\n";
}

using Entry = std::map<std::string, std::string>;

// The keys of the [Desktop Entry] group, with their raw values.
Entry ReadEntry(const std::string& path) {
  Entry entry;
  bool inGroup = false;
  for (const std::string& line : Lines(ReadFile(path))) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (inGroup && equals != std::string::npos) entry[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return entry;
}

// A string value as a reader sees it.
std::string Unescape(const std::string& value) {
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text += value[i];
      continue;
    }
    const char next = value[++i];
    text += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
  }
  return text;
}

// The arguments of an Exec value, unquoted as a launcher does it.
std::vector<std::string> ExecArguments(const std::string& value) {
  const std::string line = Unescape(value);
  std::vector<std::string> arguments;
  std::string current;
  bool inQuotes = false;
  bool started = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '%' && i + 1 < line.size() && line[i + 1] == '%') {
      current += '%';
      ++i;
      started = true;
    } else if (inQuotes) {
      if (c == '\\' && i + 1 < line.size() && std::string("\"`$\\").find(line[i + 1]) != std::string::npos) {
        current += line[++i];
      } else if (c == '"') {
        inQuotes = false;
      } else {
        current += c;
      }
    } else if (c == ' ') {
      if (started) arguments.push_back(current);
      current.clear();
      started = false;
    } else if (c == '"') {
      inQuotes = started = true;
    } else {
      current += c;
      started = true;
    }
  }
  if (started) arguments.push_back(current);
  return arguments;
}

std::string Tool(const std::string& name) {
  const std::string path = FindInPath(name);
  if (path.empty()) ADD_FAILURE() << name << " is not installed";
  return path;
}

// desktop-file-validate's verdict: empty when the file has no error and no
// warning. Hints are not faults: the one it always gives (our category is no
// registered main category) is what keeps the entries out of the desktop's own
// menus.
std::string ValidationFaults(const std::string& path) {
  const ProgramResult result = RunProgram(Tool("desktop-file-validate"), {path});
  std::string faults;
  for (const std::string& line : Lines(result.out + result.err)) {
    if (line.find("hint:") == std::string::npos) faults += line + "\n";
  }
  if (result.exitStatus != 0) faults += "exit status " + std::to_string(result.exitStatus);
  return faults;
}

std::string XPath(const std::string& menu, const std::string& expression) {
  const ProgramResult result =
      RunProgram(Tool("xmllint"), {"--nonet", "--xpath", "string(" + expression + ")", menu});
  EXPECT_EQ(result.exitStatus, 0) << expression << "\n" << result.err;
  std::string value = result.out;
  if (!value.empty() && value.back() == '\n') value.pop_back();
  return value;
}

// Members are public so that the table of failures below can arrange them.
class GrpconvTest : public testing::Test {
 public:
  void SetUp() override {
    prefix_ = testing_support::UseFreshPrefix();
    win32::ResetPrefixForTesting();
    ASSERT_TRUE(win32::EnsurePrefix());
    xdg_ = testing_support::MakeTempDir("xdg");
    setenv("XDG_CONFIG_HOME", (xdg_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (xdg_ + "/data").c_str(), 1);
  }

  static std::string HostPath(const std::string& windowsPath) {
    auto host = win32::ToHostPath(windowsPath);
    EXPECT_TRUE(host) << host.error().reason;
    return host ? *host : std::string();
  }

  // What the archive leaves in the destination: TAVOEXEC.EXE. Returns the short
  // form of its path, as the installer puts it into SETUP.INI.
  static std::string Install(const std::string& targetDir) {
    const std::string folder = HostPath(targetDir);
    fs::create_directories(folder);
    WriteFile(folder + "/TAVOEXEC.EXE", "MZ");
    win32::ForgetCachedListings();
    const std::string program = targetDir + "\\TAVOEXEC.EXE";
    char shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(program.c_str(), shortPath, sizeof shortPath);
    EXPECT_GT(length, 0u) << program;
    EXPECT_LT(length, sizeof shortPath);
    return shortPath;
  }

  std::string SetupIniHostPath() const { return HostPath("C:\\WINDOWS\\SETUP.INI"); }
  void WriteSetupIni(const std::string& bytes) const { WriteFile(SetupIniHostPath(), bytes); }

  static ProgramResult Grpconv(const std::vector<std::string>& arguments = {"-o"}) {
    return RunProgram(testing_support::BinaryDir() + "/grpconv", arguments);
  }

  // The files below the XDG folders, relative to them.
  std::vector<std::string> OutputFiles() const {
    std::vector<std::string> files;
    if (!fs::exists(xdg_)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(xdg_)) {
      if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), xdg_).string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  std::map<std::string, std::string> OutputContents() const {
    std::map<std::string, std::string> contents;
    for (const std::string& file : OutputFiles()) contents[file] = ReadFile(xdg_ + "/" + file);
    return contents;
  }

  std::vector<std::string> FilesIn(const std::string& folder, const std::string& extension) const {
    std::vector<std::string> files;
    for (const std::string& file : OutputFiles()) {
      if (file.rfind(folder + "/", 0) == 0 && fs::path(file).extension() == extension) {
        files.push_back(xdg_ + "/" + file);
      }
    }
    return files;
  }
  std::vector<std::string> Launchers() const { return FilesIn("data/applications", ".desktop"); }
  std::vector<std::string> Menus() const {
    return FilesIn("config/menus/applications-merged", ".menu");
  }

  std::string Directory(const std::string& id) const {
    return xdg_ + "/data/desktop-directories/" + id + ".directory";
  }

  std::string prefix_;
  std::string xdg_;
};

void ExpectSuccess(const ProgramResult& result) {
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
}

struct InstallCase {
  const char* title;
  std::string installBase;  // the folder chosen in the destination dialog
  std::string packageName;  // line 1 of Setup.dat
  bool expectShortForm;     // the program's path changes in its 8.3 form
};

class InstalledPackageTest : public GrpconvTest, public testing::WithParamInterface<InstallCase> {};

TEST_P(InstalledPackageTest, GivesAValidMenuWhoseLauncherStartsTheInstalledProgram) {
  const InstallCase& c = GetParam();
  const std::string targetDir = c.installBase + "\\" + c.packageName;
  const std::string shortPath = Install(targetDir);
  if (c.expectShortForm) {
    EXPECT_NE(shortPath, targetDir + "\\TAVOEXEC.EXE");
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
  }
  const std::string setupIni = SetupIni(c.packageName, shortPath, targetDir);
  WriteSetupIni(setupIni);

  ExpectSuccess(Grpconv());

  // One launcher, one menu, a folder entry per level; nothing else.
  const std::vector<std::string> launchers = Launchers();
  const std::vector<std::string> menus = Menus();
  ASSERT_EQ(launchers.size(), 1u);
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(OutputFiles().size(), 4u);
  for (const std::string& file : OutputFiles()) {
    EXPECT_EQ(fs::path(file).filename().string().rfind("setup-korvane-", 0), 0u) << file;
    if (fs::path(file).extension() != ".menu") {
      EXPECT_EQ(ValidationFaults(xdg_ + "/" + file), "") << file << "\n" << ReadFile(xdg_ + "/" + file);
    }
  }

  // The launcher: its name, the program's real host file through the launcher,
  // the destination as its working folder, and our own categories only.
  const Entry entry = ReadEntry(launchers[0]);
  EXPECT_EQ(entry.at("Type"), "Application");
  EXPECT_EQ(Unescape(entry.at("Name")), *win32::Cp932ToUtf8(c.packageName));
  const std::vector<std::string> exec = ExecArguments(entry.at("Exec"));
  ASSERT_EQ(exec.size(), 2u) << entry.at("Exec");
  EXPECT_EQ(exec[0], "wine");
  const std::string installed = HostPath(targetDir + "\\TAVOEXEC.EXE");
  EXPECT_TRUE(fs::equivalent(exec[1], installed)) << exec[1];
  EXPECT_EQ(exec[1], fs::canonical(installed).string());
  EXPECT_EQ(Unescape(entry.at("Path")), fs::canonical(HostPath(targetDir)).string());
  const std::string categories = entry.at("Categories");
  EXPECT_EQ(categories.rfind("X-Setup-Korvane;X-Setup-Korvane-", 0), 0u) << categories;
  EXPECT_EQ(categories.back(), ';');
  const std::string groupCategory = categories.substr(16, categories.size() - 17);

  // The menu: well formed, of the menu DTD, nesting "ﾀｳﾞｫﾘﾝ" then "ｹﾞｰﾑ", with
  // the launcher's category in the inner level.
  const std::string menu = menus[0];
  EXPECT_EQ(ReadFile(menu).rfind("<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                                 " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n",
                                 0),
            0u);
  const ProgramResult wellFormed = RunProgram(Tool("xmllint"), {"--noout", "--nonet", menu});
  EXPECT_EQ(wellFormed.exitStatus, 0) << wellFormed.err;
  EXPECT_EQ(XPath(menu, "/Menu/Name"), "Applications");
  EXPECT_EQ(XPath(menu, "count(/Menu/Menu)"), "1");
  EXPECT_EQ(XPath(menu, "count(/Menu/Menu/Menu)"), "1");
  EXPECT_EQ(XPath(menu, "count(/Menu/Menu/Menu/Menu)"), "0");
  EXPECT_EQ(XPath(menu, "count(/Menu/Menu/Include)"), "0");
  EXPECT_EQ(XPath(menu, "/Menu/Menu/Menu/Include/Category"), groupCategory);
  const std::string outer = XPath(menu, "/Menu/Menu/Name");
  const std::string inner = XPath(menu, "/Menu/Menu/Menu/Name");
  EXPECT_EQ(XPath(menu, "/Menu/Menu/Directory"), outer + ".directory");
  EXPECT_EQ(XPath(menu, "/Menu/Menu/Menu/Directory"), inner + ".directory");
  const Entry outerEntry = ReadEntry(Directory(outer));
  const Entry innerEntry = ReadEntry(Directory(inner));
  EXPECT_EQ(outerEntry.at("Type"), "Directory");
  EXPECT_EQ(outerEntry.at("Name"), "ﾀｳﾞｫﾘﾝ");
  EXPECT_EQ(innerEntry.at("Type"), "Directory");
  EXPECT_EQ(innerEntry.at("Name"), "ｹﾞｰﾑ");

  // The converter keeps SETUP.INI as it was.
  EXPECT_EQ(ReadFile(SetupIniHostPath()), setupIni);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstalledPackageTest,
    testing::Values(
        InstallCase{"BlanksInTheDestination", "C:\\Program Files\\Korvane\\Tavolin", "Tavolin Demo", true},
        InstallCase{"LongNames", "C:\\Games\\KorvaneCollection", "TavolinDeluxeEdition", true},
        // "表" and "ソ" end with the byte 0x5C, which is no separator there.
        InstallCase{"JapaneseNames", "C:\\Program Files\\" + win32::Ansi("表示ソフト"),
                    win32::Ansi("タヴォリン体験版"), true},
        InstallCase{"ShortNamesOnly", "C:\\KORVANE", "TAVO", false},
        // Characters that the Exec and value escaping must carry.
        InstallCase{"ReservedCharacters", "C:\\Games\\100% $pure `fun`", "It's Tavolin $2",
                    true}),
    [](const testing::TestParamInfo<InstallCase>& info) { return std::string(info.param.title); });

TEST_F(GrpconvTest, ConvertingAgainKeepsOneEntry) {
  const std::string targetDir = "C:\\Program Files\\Korvane\\Tavolin\\Tavolin Demo";
  WriteSetupIni(SetupIni("Tavolin Demo", Install(targetDir), targetDir));
  ExpectSuccess(Grpconv());
  const auto first = OutputContents();
  ExpectSuccess(Grpconv());
  EXPECT_EQ(OutputContents(), first);
  EXPECT_EQ(Launchers().size(), 1u);
  EXPECT_EQ(Menus().size(), 1u);

  // The same package installed elsewhere replaces its launcher.
  const std::string elsewhere = "C:\\Games\\Tavolin Demo";
  WriteSetupIni(SetupIni("Tavolin Demo", Install(elsewhere), elsewhere));
  ExpectSuccess(Grpconv());
  ASSERT_EQ(Launchers().size(), 1u);
  EXPECT_EQ(ExecArguments(ReadEntry(Launchers()[0]).at("Exec"))[1],
            fs::canonical(HostPath(elsewhere + "\\TAVOEXEC.EXE")).string());
  EXPECT_EQ(OutputFiles().size(), first.size());
}

TEST_F(GrpconvTest, ASecondPackageInTheGroupJoinsTheSameMenu) {
  const std::string one = "C:\\Games\\Tavolin One";
  const std::string two = "C:\\Games\\Tavolin Two";
  WriteSetupIni(SetupIni("Tavolin One", Install(one), one));
  ExpectSuccess(Grpconv());
  const auto first = OutputContents();
  WriteSetupIni(SetupIni("Tavolin Two", Install(two), two));
  ExpectSuccess(Grpconv());
  ASSERT_EQ(Launchers().size(), 2u);
  ASSERT_EQ(Menus().size(), 1u);
  EXPECT_EQ(OutputFiles().size(), 5u);
  // The menu and folders are those of the first conversion; both launchers carry
  // the category its menu takes in.
  for (const auto& [file, content] : first) {
    if (fs::path(file).extension() != ".desktop") {
      EXPECT_EQ(ReadFile(xdg_ + "/" + file), content);
    }
  }
  const std::string category = XPath(Menus()[0], "/Menu/Menu/Menu/Include/Category");
  for (const std::string& launcher : Launchers()) {
    EXPECT_NE(ReadEntry(launcher).at("Categories").find(";" + category + ";"), std::string::npos);
  }
}

TEST_F(GrpconvTest, AnotherGroupSharingTheOuterLevelSharesItsFolder) {
  const std::string one = "C:\\Games\\Tavolin";
  const std::string tools = "\xC0\xB3\xDE\xAB\xD8\xDD\\Tools";  // "ﾀｳﾞｫﾘﾝ\Tools"
  const std::string shortPath = Install(one);
  WriteSetupIni(SetupIni("Tavolin", shortPath, one) + "[progman.groups]\r\ngroupY=" + tools +
                "\r\n[groupY]\r\n\"Editor\",\"" + shortPath + "\"\r\n");
  ExpectSuccess(Grpconv());
  ASSERT_EQ(Menus().size(), 2u);
  ASSERT_EQ(Launchers().size(), 2u);
  EXPECT_EQ(FilesIn("data/desktop-directories", ".directory").size(), 3u);
  EXPECT_EQ(XPath(Menus()[0], "/Menu/Menu/Name"), XPath(Menus()[1], "/Menu/Menu/Name"));
  EXPECT_NE(XPath(Menus()[0], "/Menu/Menu/Menu/Include/Category"),
            XPath(Menus()[1], "/Menu/Menu/Menu/Include/Category"));
  for (const std::string& launcher : Launchers()) {
    const Entry entry = ReadEntry(launcher);
    EXPECT_EQ(ValidationFaults(launcher), "");
    if (entry.at("Name") == "Editor") {
      EXPECT_EQ(entry.count("Path"), 0u);
    }
  }
}

// The applications menu as a real menu reader (pyxdg) builds it, one line per
// launcher, sorted; below a root menu with a Games menu that holds a system game,
// and a catch-all menu for what no other menu takes.
std::vector<std::string> MenuTree() {
  const std::string python = "/usr/bin/python3";
  if (RunProgram(python, {"-c", "import xdg.Menu"}).exitStatus != 0) return {"no pyxdg"};
  const std::string system = testing_support::MakeTempDir("system");
  WriteFile(system + "/etc/menus/applications.menu",
            "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
            "<Menu><Name>Applications</Name><DefaultAppDirs/><DefaultDirectoryDirs/>"
            "<DefaultMergeDirs/>"
            "<Menu><Name>Games</Name><Include><Category>Game</Category></Include></Menu>"
            "<Menu><Name>Other</Name><OnlyUnallocated/><Include><All/></Include></Menu>"
            "</Menu>\n");
  WriteFile(system + "/share/applications/chess.desktop",
            "[Desktop Entry]\nType=Application\nName=Chess\nExec=chess\nCategories=Game;\n");
  setenv("XDG_CONFIG_DIRS", (system + "/etc").c_str(), 1);
  setenv("XDG_DATA_DIRS", (system + "/share").c_str(), 1);
  const ProgramResult result =
      RunProgram(python, {testing_support::SourceDir() + "/tests/grpconv/menu_tree.py"});
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  std::vector<std::string> lines = Lines(result.out);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST_F(GrpconvTest, AMenuReaderShowsEachItemOnceInItsGroupOnly) {
  if (MenuTree() == std::vector<std::string>{"no pyxdg"}) {
    GTEST_SKIP() << "python3-xdg is not installed";
  }
  const std::string one = "C:\\Games\\Tavolin One";
  const std::string two = "C:\\Games\\Tavolin Two";
  const std::string tools = "\xC0\xB3\xDE\xAB\xD8\xDD\\Tools";  // "ﾀｳﾞｫﾘﾝ\Tools"
  WriteSetupIni(SetupIni("Tavolin One", Install(one), one));
  ExpectSuccess(Grpconv());
  ExpectSuccess(Grpconv());
  const std::string idOne = fs::path(Launchers()[0]).filename().string();
  EXPECT_EQ(MenuTree(), (std::vector<std::string>{"/Games: Chess chess.desktop",
                                                  "/ﾀｳﾞｫﾘﾝ/ｹﾞｰﾑ: Tavolin One " + idOne}));

  // A second package of the group, and one of another group that shares the
  // outer level, which appears once.
  const std::string shortTwo = Install(two);
  WriteSetupIni(SetupIni("Tavolin Two", shortTwo, two) + "[progman.groups]\r\ngroupY=" + tools +
                "\r\n[groupY]\r\n\"Editor\",\"" + shortTwo + "\"\r\n");
  ExpectSuccess(Grpconv());
  const std::vector<std::string> tree = MenuTree();
  ASSERT_EQ(tree.size(), 4u) << testing::PrintToString(tree);
  EXPECT_EQ(tree[0], "/Games: Chess chess.desktop");
  EXPECT_EQ(tree[1].rfind("/ﾀｳﾞｫﾘﾝ/Tools: Editor setup-korvane-", 0), 0u) << tree[1];
  EXPECT_EQ(tree[2], "/ﾀｳﾞｫﾘﾝ/ｹﾞｰﾑ: Tavolin One " + idOne);
  EXPECT_EQ(tree[3].rfind("/ﾀｳﾞｫﾘﾝ/ｹﾞｰﾑ: Tavolin Two setup-korvane-", 0), 0u) << tree[3];
}

TEST_F(GrpconvTest, TheLauncherOfThePrefixStartsThePrograms) {
  const std::string targetDir = "C:\\Games\\Tavolin";
  WriteSetupIni(SetupIni("Tavolin", Install(targetDir), targetDir));
  WriteFile(prefix_ + "/launcher", "\"/opt/wine 9/bin/wine64\"  --debug=50%\nignored second line\n");
  ExpectSuccess(Grpconv());
  ASSERT_EQ(Launchers().size(), 1u);
  const std::vector<std::string> exec = ExecArguments(ReadEntry(Launchers()[0]).at("Exec"));
  EXPECT_EQ(exec, (std::vector<std::string>{"/opt/wine 9/bin/wine64", "--debug=50%",
                                            fs::canonical(HostPath(targetDir + "\\TAVOEXEC.EXE")).string()}));
  EXPECT_EQ(ValidationFaults(Launchers()[0]), "");
}

TEST_F(GrpconvTest, ReadsTheXdgDefaultsBelowHome) {
  const std::string targetDir = "C:\\Games\\Tavolin";
  WriteSetupIni(SetupIni("Tavolin", Install(targetDir), targetDir));
  const std::string home = testing_support::MakeTempDir("home");
  const std::string savedHome = std::getenv("HOME");
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DATA_HOME");
  const ProgramResult result = Grpconv();
  setenv("HOME", savedHome.c_str(), 1);
  ExpectSuccess(result);
  std::size_t count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(home)) count += entry.is_regular_file();
  EXPECT_EQ(count, 4u);
  EXPECT_FALSE(fs::is_empty(home + "/.local/share/applications"));
  EXPECT_FALSE(fs::is_empty(home + "/.local/share/desktop-directories"));
  EXPECT_FALSE(fs::is_empty(home + "/.config/menus/applications-merged"));
}

TEST_F(GrpconvTest, WrongUseShowsTheUsage) {
  const std::vector<std::vector<std::string>> uses = {{}, {"-x"}, {"-o", "-o"}, {"o"}, {"--help"}};
  const std::string targetDir = "C:\\Games\\Tavolin";
  WriteSetupIni(SetupIni("Tavolin", Install(targetDir), targetDir));
  for (const auto& use : uses) {
    const ProgramResult result = Grpconv(use);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("usage: grpconv -o\n", 0), 0u) << result.err;
  }
  EXPECT_EQ(OutputFiles(), std::vector<std::string>{});
  ExpectSuccess(Grpconv({"/o"}));
}

struct ErrorCase {
  const char* title;
  // Prepares the failure, given the fixture; the installed program and a valid
  // SETUP.INI for it are there before.
  std::function<void(GrpconvTest&, const std::string& shortPath)> arrange;
  std::string message;  // a part of the one line on standard error
};

class GrpconvErrorTest : public GrpconvTest, public testing::WithParamInterface<ErrorCase> {};

const std::string kTarget = "C:\\Games\\Tavolin";

TEST_P(GrpconvErrorTest, FailsWithOneClearLineAndWritesNothing) {
  const std::string shortPath = Install(kTarget);
  WriteSetupIni(SetupIni("Tavolin", shortPath, kTarget));
  const std::string setupIniPath = SetupIniHostPath();
  GetParam().arrange(*this, shortPath);
  const bool hadSetupIni = fs::is_regular_file(setupIniPath);
  const std::string setupIni = ReadFile(setupIniPath);

  const ProgramResult result = Grpconv();
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, "");
  const std::vector<std::string> lines = Lines(result.err);
  ASSERT_EQ(lines.size(), 1u) << result.err;
  EXPECT_EQ(result.err.back(), '\n');
  EXPECT_EQ(lines[0].rfind("grpconv: ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(GetParam().message), std::string::npos) << lines[0];
  EXPECT_EQ(OutputFiles(), std::vector<std::string>{});
  if (hadSetupIni) {
    EXPECT_EQ(ReadFile(setupIniPath), setupIni);
  }
}

void Remove(const std::string& path) { fs::remove_all(path); }

INSTANTIATE_TEST_SUITE_P(
    Cases, GrpconvErrorTest,
    testing::Values(
        ErrorCase{"NoSetupIni", [](GrpconvTest& t, const std::string&) { Remove(t.SetupIniHostPath()); },
                  "cannot read SETUP.INI (C:\\WINDOWS\\SETUP.INI at "},
        ErrorCase{"SetupIniIsAFolder",
                  [](GrpconvTest& t, const std::string&) {
                    Remove(t.SetupIniHostPath());
                    fs::create_directories(t.SetupIniHostPath());
                  },
                  "): not a file"},
        ErrorCase{"ItemWithoutProgram",
                  [](GrpconvTest& t, const std::string&) {
                    t.WriteSetupIni(SetupIni("Tavolin", "", kTarget));
                  },
                  "SETUP.INI line 4: an item without a program"},
        ErrorCase{"UnclosedQuote",
                  [](GrpconvTest& t, const std::string& shortPath) {
                    t.WriteSetupIni(
                        "[progman.groups]\r\ngroupX=G\r\n[groupX]\r\n\"Tavolin,\"" + shortPath + "\r\n");
                  },
                  "SETUP.INI line 4: text after the closing quote of field 1"},
        ErrorCase{"NoGroup",
                  [](GrpconvTest& t, const std::string&) {
                    t.WriteSetupIni("[groupX]\r\n\"A\",\"C:\\A.EXE\"\r\n");
                  },
                  "SETUP.INI names no group"},
        ErrorCase{"InvalidCp932InTheItemName",
                  [](GrpconvTest& t, const std::string& shortPath) {
                    t.WriteSetupIni(SetupIni("Tavo\x81 lin", shortPath, kTarget));
                  },
                  "SETUP.INI line 4: the item name: "},
        ErrorCase{"AControlCharacterInTheItemName",
                  [](GrpconvTest& t, const std::string& shortPath) {
                    t.WriteSetupIni(SetupIni("Tavo\tlin", shortPath, kTarget));
                  },
                  "SETUP.INI line 4: the item name contains a control character"},
        ErrorCase{"InvalidCp932InTheProgramPath",
                  [](GrpconvTest& t, const std::string&) {
                    t.WriteSetupIni(SetupIni("Tavolin", kTarget + "\\TAVO\x81 .EXE", kTarget));
                  },
                  "SETUP.INI line 4: the program \"C:\\Games\\Tavolin\\TAVO\\x81 .EXE\" cannot be mapped: "},
        ErrorCase{"InvalidCp932InTheGroupName",
                  [](GrpconvTest& t, const std::string& shortPath) {
                    t.WriteSetupIni(SetupIni("Tavolin", shortPath, kTarget, "G\x81 \\H"));
                  },
                  "the group name \"G"},
        ErrorCase{"AnEmptyGroupLevel",
                  [](GrpconvTest& t, const std::string& shortPath) {
                    t.WriteSetupIni(SetupIni("Tavolin", shortPath, kTarget, "A\\\\B"));
                  },
                  "has an empty level"},
        ErrorCase{"ProgramNotInstalled",
                  [](GrpconvTest& t, const std::string&) {
                    Remove(t.HostPath(kTarget + "\\TAVOEXEC.EXE"));
                    win32::ForgetCachedListings();
                  },
                  "SETUP.INI line 4: the program \""},
        ErrorCase{"ProgramOnAnUnknownDrive",
                  [](GrpconvTest& t, const std::string&) {
                    t.WriteSetupIni(SetupIni("Tavolin", "Q:\\TAVOEXEC.EXE", kTarget));
                  },
                  "SETUP.INI line 4: the program \"Q:\\TAVOEXEC.EXE\" cannot be mapped: "},
        ErrorCase{"ProgramIsAFolder",
                  [](GrpconvTest& t, const std::string&) {
                    t.WriteSetupIni(SetupIni("Tavolin", kTarget, kTarget));
                  },
                  ") is not a file"},
        ErrorCase{"WorkingFolderMissing",
                  [](GrpconvTest& t, const std::string& shortPath) {
                    t.WriteSetupIni(SetupIni("Tavolin", shortPath, "C:\\Nowhere"));
                  },
                  "SETUP.INI line 4: the working folder \"C:\\Nowhere\""},
        ErrorCase{"WorkingFolderIsAFile",
                  [](GrpconvTest& t, const std::string& shortPath) {
                    t.WriteSetupIni(SetupIni("Tavolin", shortPath, shortPath));
                  },
                  ") is not a folder"},
        ErrorCase{"UnwritableDataFolder",
                  [](GrpconvTest&, const std::string&) {
                    const std::string file = testing_support::MakeTempDir("xdg") + "/not-a-folder";
                    WriteFile(file, "");
                    setenv("XDG_DATA_HOME", file.c_str(), 1);
                  },
                  "cannot create the folder "},
        ErrorCase{"UnwritableConfigFolder",
                  [](GrpconvTest&, const std::string&) {
                    const std::string file = testing_support::MakeTempDir("xdg") + "/not-a-folder";
                    WriteFile(file, "");
                    setenv("XDG_CONFIG_HOME", file.c_str(), 1);
                  },
                  "cannot create the folder "},
        ErrorCase{"NoPrefix",
                  [](GrpconvTest&, const std::string&) {
                    setenv("SETUP_PREFIX", (testing_support::MakeTempDir("none") + "/prefix").c_str(), 1);
                  },
                  "there is no Windows prefix at "}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.title); });

TEST_F(GrpconvTest, AFailedConversionKeepsTheEntriesOfAnEarlierOne) {
  const std::string targetDir = "C:\\Games\\Tavolin";
  const std::string shortPath = Install(targetDir);
  WriteSetupIni(SetupIni("Tavolin", shortPath, targetDir));
  ExpectSuccess(Grpconv());
  const auto before = OutputContents();
  WriteSetupIni(SetupIni("Tavolin", shortPath, targetDir) + "[progman.groups]\r\nbroken\r\n");
  EXPECT_EQ(Grpconv().exitStatus, 1);
  EXPECT_EQ(OutputContents(), before);
}

}  // namespace
}  // namespace grpconv_test
