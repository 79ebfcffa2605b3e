// The tessera command as a user meets it: exit status and messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Outcome {
  int status;
  std::string output;  // standard output and standard error together
};

Outcome RunTessera(const std::string& arguments) {
  std::string command = std::string(TZX_PLUGIN_DIR) + "/tessera " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Outcome o{-1, ""};
  if (!pipe) return o;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) o.output.append(buffer, n);
  int raw = pclose(pipe);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return o;
}

Outcome RunScript(const std::string& name, const std::string& code) {
  std::filesystem::create_directories(TZX_TEST_TMP);
  std::string path = std::string(TZX_TEST_TMP) + "/" + name + ".lua";
  std::ofstream(path) << code;
  return RunTessera("--headless --check-leaks " + path + " one two");
}

TEST(TesseraCli, ListsTheFiveLibrariesWithVersionsAndCounts) {
  Outcome o = RunTessera("--libraries");
  EXPECT_EQ(o.status, 0) << o.output;
  for (const char* line : {"$VER: graphics.tzx 11.0 (10.01.26) [Windows] [x86]: ",
                           "$VER: dos.tzx 11.0 (10.01.26) [Windows] [x86]: ",
                           "$VER: brush.tzx 11.0 (10.01.26) [Windows] [x86]: ",
                           "$VER: text.tzx 11.0 (10.01.26) [Windows] [x86]: ",
                           "$VER: display.tzx 11.0 (10.01.26) [Windows] [x86]: "}) {
    EXPECT_NE(o.output.find(line), std::string::npos) << line << "\n" << o.output;
  }
  for (const char* counts :
       {"70 constants", "63 constants", "19 constants", "105 constants", "123 constants"}) {
    EXPECT_NE(o.output.find(counts), std::string::npos) << counts;
  }
}

TEST(TesseraCli, ANormalScriptEndsWithStatusZeroAndSeesItsArguments) {
  // print is the text library's Print in scripts; the terminal is io.write's.
  Outcome o = RunScript("ok", "assert(arg[1] == 'one' and arg[2] == 'two') io.write('done\\n')");
  EXPECT_EQ(o.status, 0) << o.output;
  EXPECT_EQ(o.output, "done\n");
}

TEST(TesseraCli, ErrorsEndWithStatusOneAndAClearMessage) {
  Outcome o = RunScript("count", "GetAttribute(44)");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.output.find("count.lua:1:"), std::string::npos) << o.output;
  EXPECT_NE(o.output.find("Not enough arguments to GetAttribute (at least 3 expected)! "
                          "(error 1901)"),
            std::string::npos)
      << o.output;

  o = RunScript("unknown", "NoSuchCommand(1)");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.output.find("NoSuchCommand"), std::string::npos) << o.output;

  o = RunScript("failing", "GetAttribute(FILE, 12, 1)");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.output.find("12"), std::string::npos) << o.output;
  EXPECT_NE(o.output.find("(error 1179)"), std::string::npos) << o.output;

  o = RunScript("syntax", "this is not lua");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.output.find("syntax.lua:1:"), std::string::npos) << o.output;

  o = RunScript("thrown", "error({})");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.output.find("error object is not a string"), std::string::npos) << o.output;
}

TEST(TesseraCli, DataThatCannotBeWrittenAtTheCloseFailsTheRun) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Outcome o = RunScript("full", "OpenFile(2, '/dev/full', MODE_WRITE) WriteLine(2, 'x')");
  EXPECT_EQ(o.status, 1) << o.output;
  EXPECT_NE(o.output.find("data could not be written to \"/dev/full\""), std::string::npos)
      << o.output;
  // Written and closed by the script: nothing is left to report.
  o = RunScript("closed", "OpenFile(2, 'closed.txt', MODE_WRITE) WriteLine(2, 'x') CloseFile(2)");
  EXPECT_EQ(o.status, 0) << o.output;
}

TEST(TesseraCli, FinalizersRunAfterTheLibrariesClosedCallNothing) {
  // Run at the interpreter's close: the commands are refused, nothing leaks.
  Outcome o = RunScript("hook",
                        "HOOK = newproxy(true) getmetatable(HOOK).__gc = function() "
                        "CreateDisplay(2) CreateBrush(nil, 4, 4) end "
                        "BRUSH_HOOK = newproxy(true) getmetatable(BRUSH_HOOK).__gc = function() "
                        "CreateBrush(nil, 4, 4) end "
                        "FILE_HOOK = newproxy(true) getmetatable(FILE_HOOK).__gc = function() "
                        "OpenFile(nil, 'hook.txt', MODE_WRITE) end");
  EXPECT_EQ(o.status, 0) << o.output;
  EXPECT_EQ(o.output, "");
}

TEST(TesseraCli, ArgumentErrorsNameTheCommand) {
  // Called through pcall the interpreter cannot tell the name; the host can.
  Outcome o = RunScript("argname", "io.write(select(2, pcall(OpenFile, {}, 'x')))");
  EXPECT_EQ(o.status, 0) << o.output;
  EXPECT_NE(o.output.find("bad argument #1 to 'OpenFile' (number or nil expected, got table)"),
            std::string::npos)
      << o.output;
  o = RunScript("argname2", "openfile(1, {})");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.output.find("argname2.lua:1: bad argument #2 to 'OpenFile' (string expected, got "
                          "table)"),
            std::string::npos)
      << o.output;
}

TEST(TesseraCli, MissingScriptAndBadFlagsAreUsageErrors) {
  EXPECT_EQ(RunTessera("--no-such-flag x.lua").status, 2);
  EXPECT_EQ(RunTessera("").status, 2);
  Outcome o = RunTessera("--headless /nonexistent/script.lua");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.output.find("/nonexistent/script.lua"), std::string::npos) << o.output;
}

}  // namespace
