#pragma once

#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace pellumar {

enum class MessageIcon { None, Information };

/// A message as the box shows it: "\n" line breaks and a title always present.
struct Message {
  QString text;
  QString title;
  MessageIcon icon = MessageIcon::None;
  QString details{};  ///< shown behind the box's "Show Details..." button
  bool operator==(const Message&) const = default;
};

/// The program's messages break lines with CR LF and may leave the title
/// out; the box wants "\n" and shows the application's title instead.
Message displayedMessage(const std::string& text, MessageIcon icon,
                         const std::optional<std::string>& title, const std::string& details = {});

/// A unified diff as HTML: file names bold, removed lines red, added lines
/// green, hunk headers blue.
QString diffAsHtml(const QString& diff);

/// Puts a message in front of the user. Tests swap the modal box for a
/// recorder, since a real one would wait for a click that never comes.
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;

  /// Returns when the user has closed the message.
  virtual void show(const Message& message) = 0;
};

/// A modal QMessageBox with a single OK button.
class MessageBoxPresenter : public MessagePresenter {
 public:
  explicit MessageBoxPresenter(QWidget* parent = nullptr) : parent_(parent) {}

  void show(const Message& message) override;

 private:
  QWidget* parent_;
};

}  // namespace pellumar
