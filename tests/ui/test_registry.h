#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace pellumar::testing {

/// One Qt Test class of the ui_tests executable.
struct UiTest {
  const char* name;
  std::function<std::unique_ptr<QObject>()> make;
};

std::vector<UiTest>& uiTests();

/// Registers `Class` under its own name, so ctest can run it alone.
#define PELLUMAR_UI_TEST(Class)                                                        \
  static const bool registered##Class = [] {                                           \
    ::pellumar::testing::uiTests().push_back(                                          \
        {#Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); }}); \
    return true;                                                                       \
  }()

}  // namespace pellumar::testing
