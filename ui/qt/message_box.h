// Modal message boxes: the logic's ShowMessage and the run-time error report.
// Tests answer the boxes through a hook instead of a user.
#pragma once

#include <QMessageBox>
#include <functional>
#include <string>

namespace zelkor {

using Text = std::string;

// Answers a fully built message box in place of the user; returns the button
// that closed it.
using MessageBoxHook = std::function<QMessageBox::StandardButton(QMessageBox& box)>;

// Routes every message box of the program to `hook` (an empty hook shows them
// again). Returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// Shows `box` modally, or hands it to the hook when one is set.
QMessageBox::StandardButton RunMessageBox(QMessageBox& box);

// A modal, ownerless box for GBK `message` and `caption`; `style` combines the
// button set, icon, default button and modality flags of message_style.
// Returns the ButtonCode of the closing button.
int ShowStyledMessageBox(const Text& message, int style, const Text& caption);

// The run-time error report: `report` (GBK) under the caption "错误", with the
// error icon and a single OK button. Returns once it was closed.
void ShowRuntimeErrorBox(const Text& report);

}  // namespace zelkor
