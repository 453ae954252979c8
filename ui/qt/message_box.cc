#include "ui/qt/message_box.h"

#include <QApplication>
#include <array>
#include <cstdio>
#include <utility>

#include "runtime/gbk.h"
#include "ui/qt/fonts.h"
#include "ui/qt/qt_text.h"
#include "ui/ui_operations.h"

namespace zelkor {
namespace {

MessageBoxHook& Hook() {
  static MessageBoxHook hook;
  return hook;
}

using StandardButtons = QMessageBox::StandardButtons;

// The buttons of each button set, left to right as the platform orders them.
QList<QMessageBox::StandardButton> ButtonSet(int style) {
  switch (style & message_style::kButtonMask) {
    case message_style::kOkCancel:
      return {QMessageBox::Ok, QMessageBox::Cancel};
    case message_style::kAbortRetryIgnore:
      return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case message_style::kYesNoCancel:
      return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case message_style::kYesNo:
      return {QMessageBox::Yes, QMessageBox::No};
    case message_style::kRetryCancel:
      return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
      return {QMessageBox::Ok};
  }
}

QMessageBox::Icon IconOf(int style) {
  switch (style & message_style::kIconMask) {
    case message_style::kIconError:
      return QMessageBox::Critical;
    case message_style::kIconQuestion:
      return QMessageBox::Question;
    case message_style::kIconWarning:
      return QMessageBox::Warning;
    case message_style::kIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// Bits 8 and 9 of the style pick the default button (first to fourth).
constexpr int kDefaultButtonShift = 8;
constexpr int kDefaultButtonMask = 0x300;

ButtonCode CodeOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Cancel:
      return ButtonCode::kCancel;
    case QMessageBox::Abort:
      return ButtonCode::kAbort;
    case QMessageBox::Retry:
      return ButtonCode::kRetry;
    case QMessageBox::Ignore:
      return ButtonCode::kIgnore;
    case QMessageBox::Yes:
      return ButtonCode::kYes;
    case QMessageBox::No:
      return ButtonCode::kNo;
    default:
      return ButtonCode::kOk;
  }
}

void PrepareBox(QMessageBox& box, int style) {
  box.setTextFormat(Qt::PlainText);
  box.setFont(DefaultUiFont());
  // Task-modal: the program's own windows take no input while it is shown.
  box.setWindowModality(Qt::ApplicationModal);
  if (style & message_style::kSystemModal) {
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
  }
  if (!QApplication::windowIcon().isNull()) box.setWindowIcon(QApplication::windowIcon());
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  return std::exchange(Hook(), std::move(hook));
}

QMessageBox::StandardButton RunMessageBox(QMessageBox& box) {
  if (Hook()) return Hook()(box);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

int ShowStyledMessageBox(const Text& message, int style, const Text& caption) {
  const QList<QMessageBox::StandardButton> buttons = ButtonSet(style);
  StandardButtons set;
  for (QMessageBox::StandardButton button : buttons) set |= button;
  QMessageBox box(IconOf(style), ToDisplayLines(caption), ToDisplayLines(message), set, nullptr);
  PrepareBox(box, style);
  const auto default_index =
      static_cast<qsizetype>((style & kDefaultButtonMask) >> kDefaultButtonShift);
  box.setDefaultButton(buttons.value(default_index, buttons.front()));
  return static_cast<int>(CodeOf(RunMessageBox(box)));
}

void ShowRuntimeErrorBox(const Text& report) {
  if (QApplication::instance() == nullptr) {
    // No window system yet: the report still has to reach someone.
    const std::string utf8 = GbkToUtf8(report);
    std::fputs(utf8.c_str(), stderr);
    std::fputc('\n', stderr);
    return;
  }
  QMessageBox box(QMessageBox::Critical, Caption("错误"), ToDisplayLines(report), QMessageBox::Ok,
                  nullptr);
  PrepareBox(box, message_style::kOk);
  RunMessageBox(box);
}

}  // namespace zelkor
