#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <utility>

namespace rwtest {

ScriptedMessageBoxes::ScriptedMessageBoxes() {
  previous_ = SetMessageBoxResponder([this](const MessageBoxRequest& request) { return Respond(request); });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() { SetMessageBoxResponder(std::move(previous_)); }

ScriptedMessageBoxes& ScriptedMessageBoxes::Answer(int code) {
  answers_.push_back(code);
  return *this;
}

ScriptedMessageBoxes& ScriptedMessageBoxes::AnswerAll(std::function<int(const MessageBoxRequest&)> answer) {
  fallback_ = std::move(answer);
  return *this;
}

const MessageBoxRequest& ScriptedMessageBoxes::Last() const {
  static const MessageBoxRequest none;
  if (!shown_.empty()) return shown_.back();
  ADD_FAILURE() << "No message box was shown";
  return none;
}

int ScriptedMessageBoxes::Respond(const MessageBoxRequest& request) {
  shown_.push_back(request);
  if (!answers_.empty()) {
    const int code = answers_.front();
    answers_.pop_front();
    return code;
  }
  if (fallback_) return fallback_(request);
  ADD_FAILURE() << "Unexpected message box \"" << request.title.toStdString() << "\": "
                << request.prompt.toStdString();
  return 0;
}

ScriptedFileDialogs::ScriptedFileDialogs() {
  previous_ = SetFileDialogResponder([this](const FileDialogRequest& request) { return Respond(request); });
}

ScriptedFileDialogs::~ScriptedFileDialogs() { SetFileDialogResponder(std::move(previous_)); }

const FileDialogRequest& ScriptedFileDialogs::Last() const {
  static const FileDialogRequest none;
  if (!shown_.empty()) return shown_.back();
  ADD_FAILURE() << "No file dialog was shown";
  return none;
}

ScriptedFileDialogs& ScriptedFileDialogs::Push(FileDialogResult result, bool ownCustomColours) {
  answers_.push_back({std::move(result), ownCustomColours});
  return *this;
}

ScriptedFileDialogs& ScriptedFileDialogs::Choose(const QStringList& files, int filterIndex) {
  FileDialogResult result;
  result.accepted = true;
  result.files = files;
  result.filterIndex = filterIndex;
  return Push(result);
}

ScriptedFileDialogs& ScriptedFileDialogs::ChooseColour(COLORREF colour) {
  FileDialogResult result;
  result.accepted = true;
  result.colour = colour;
  return Push(result);
}

ScriptedFileDialogs& ScriptedFileDialogs::ChooseColour(COLORREF colour, const CustomColours& customColours) {
  FileDialogResult result;
  result.accepted = true;
  result.colour = colour;
  result.customColours = customColours;
  return Push(result, true);
}

ScriptedFileDialogs& ScriptedFileDialogs::ChooseFont(const QFont& font) {
  FileDialogResult result;
  result.accepted = true;
  result.font = font;
  return Push(result);
}

ScriptedFileDialogs& ScriptedFileDialogs::Cancel() { return Push(FileDialogResult{}); }

ScriptedFileDialogs& ScriptedFileDialogs::Fail(int32_t extendedError) {
  FileDialogResult result;
  result.extendedError = extendedError;
  return Push(result);
}

FileDialogResult ScriptedFileDialogs::Respond(const FileDialogRequest& request) {
  shown_.push_back(request);
  if (answers_.empty()) {
    ADD_FAILURE() << "Unexpected dialog \"" << request.title.toStdString() << "\"";
    return FileDialogResult{};
  }
  Scripted answer = answers_.front();
  answers_.pop_front();
  // What the script leaves open comes back as the dialog was given it.
  FileDialogResult& result = answer.result;
  if (request.kind == FileDialogKind::Colour && !result.accepted) result.colour = request.colour;
  if (!answer.ownCustomColours) result.customColours = request.customColours;
  if (result.filterIndex == 0) result.filterIndex = request.filterIndex;
  return result;
}

}  // namespace rwtest
