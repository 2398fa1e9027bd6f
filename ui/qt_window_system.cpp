#include "ui/qt_window_system.h"

#include <QCheckBox>
#include <QPushButton>

#include "ui/file_chooser.h"
#include "ui/message_presenter.h"
#include "ui/option_boxes.h"

namespace pellumar {

QtWindowSystem::QtWindowSystem(const OptionBoxes& boxes, QPushButton& openButton,
                               MessagePresenter& messages, FileChooser& files)
    : boxes_(boxes), openButton_(openButton), messages_(messages), files_(files) {}

void QtWindowSystem::showMessage(const std::string& text, MessageIcon icon,
                                 const std::optional<std::string>& title) {
  messages_.show(displayedMessage(text, icon, title));
}

std::string QtWindowSystem::chooseFile(const std::string& title, const std::string& filter) {
  files_.setDialogTitle(title);
  files_.setFilter(filter);
  files_.showOpen();
  return files_.fileName();
}

bool QtWindowSystem::isTicked(Option option) { return boxes_.box(option)->isChecked(); }

void QtWindowSystem::setOpenButtonEnabled(bool enabled) {
  openButton_.setEnabled(enabled);
  // The passes run inside the click without returning to the event loop, so
  // paint now to show the button greyed while they work. No event loop here:
  // queued input then meets the modal message that ends the run, not a window
  // that could start a second one.
  openButton_.repaint();
}

}  // namespace pellumar
