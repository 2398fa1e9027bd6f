#pragma once

// Runs the real pellumar-cli in a temporary working folder.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace pellumar::cli {

inline std::string readAs(const std::string& file, const std::string& encoding = "UTF-8") {
  return "pellumar-cli: " + file + ": read as " + encoding + "\n";
}

class CliEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::writeBytes(file("lexmend.ini"), "[RSTRINGS]\r\nteh=the\r\n"); }

  // The exit status, a space, what went to stdout and then what went to
  // stderr; with `oneStream` both go to one file, as on a terminal.
  std::string run(const std::vector<std::string>& args, bool oneStream = false) {
    std::string command = "cd '" + dir_.path().string() + "' && '" PELLUMAR_CLI_PROGRAM "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    // Captured outside the working folder, so its listing shows only what the program made.
    command += " >'" + capture_.file("out") + "' 2>" +
               (oneStream ? "&1" : "'" + capture_.file("err") + "'");
    const int status = std::system(command.c_str());
    return std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + " " +
           testing::readBytes(capture_.file("out")) +
           (oneStream ? "" : testing::readBytes(capture_.file("err")));
  }
  std::string file(const std::string& name) const { return dir_.file(name); }
  std::string listing() const { return testing::listFolder(dir_.path()); }

  testing::TempDir dir_, capture_;
};

}  // namespace pellumar::cli
