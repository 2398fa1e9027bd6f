#pragma once

namespace pellumar {

// The window's design names its parts after the form they were first drawn
// on. Users' scripts and accessibility tools find them by these Qt object
// names; the C++ code calls them by what they are.

/// The main window.
inline constexpr const char* kWindowObjectName = "Form1";
/// The open button.
inline constexpr const char* kOpenButtonObjectName = "Command1";
/// The open-file dialog component.
inline constexpr const char* kOpenDialogObjectName = "CommonDialog1";

/// The program's title, on the window and its messages.
inline constexpr const char* kAppTitle = "Pellumar";

/// The mailbox the farewell message asks users to thank.
inline constexpr const char* kContactAddress = "thanks@pellumar.example.org";

}  // namespace pellumar
