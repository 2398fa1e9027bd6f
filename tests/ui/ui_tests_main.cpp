#include <QApplication>
#include <QTest>
#include <cstring>
#include <iostream>
#include <vector>

#include "tests/ui/test_registry.h"

namespace pellumar::testing {

std::vector<UiTest>& uiTests() {
  static std::vector<UiTest> tests;
  return tests;
}

}  // namespace pellumar::testing

// ui_tests [TestClass] [Qt Test options]: every class, or the one named.
int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const char* only = nullptr;
  std::vector<char*> args(argv, argv + argc);
  if (args.size() > 1 && args[1][0] != '-') {
    only = args[1];
    args.erase(args.begin() + 1);
  }
  int failures = 0;
  bool found = false;
  for (const auto& test : pellumar::testing::uiTests()) {
    if (only != nullptr && std::strcmp(only, test.name) != 0) continue;
    found = true;
    const std::unique_ptr<QObject> object = test.make();
    failures += QTest::qExec(object.get(), static_cast<int>(args.size()), args.data());
  }
  if (!found) {
    std::cerr << "No ui test named " << (only ? only : "") << "\n";
    return 1;
  }
  return failures == 0 ? 0 : 1;
}
