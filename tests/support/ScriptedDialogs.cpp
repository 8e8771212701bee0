#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

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

ScriptedFileDialogs& ScriptedFileDialogs::Choose(const QStringList& files) {
  FileDialogResult result;
  result.accepted = true;
  result.files = files;
  answers_.push_back(result);
  return *this;
}

ScriptedFileDialogs& ScriptedFileDialogs::ChooseColour(COLORREF colour) {
  FileDialogResult result;
  result.accepted = true;
  result.colour = colour;
  answers_.push_back(result);
  return *this;
}

ScriptedFileDialogs& ScriptedFileDialogs::ChooseFont(const QFont& font) {
  FileDialogResult result;
  result.accepted = true;
  result.font = font;
  answers_.push_back(result);
  return *this;
}

ScriptedFileDialogs& ScriptedFileDialogs::Cancel() {
  answers_.push_back(FileDialogResult{});
  return *this;
}

FileDialogResult ScriptedFileDialogs::Respond(const FileDialogRequest& request) {
  shown_.push_back(request);
  if (answers_.empty()) {
    ADD_FAILURE() << "Unexpected dialog \"" << request.title.toStdString() << "\"";
    return FileDialogResult{};
  }
  FileDialogResult result = answers_.front();
  answers_.pop_front();
  if (request.kind == FileDialogKind::Colour && !result.accepted) result.colour = request.colour;
  return result;
}

}  // namespace rwtest
