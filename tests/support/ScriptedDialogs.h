#pragma once
// Scripted answers for the message-box and file-dialog roads, installed for the
// life of the object. Every box or dialog the program shows is recorded; an
// unexpected one fails the test and is answered 0 / cancelled, never shown.
#include "platform/FileDialogSeam.h"
#include "platform/MessageBoxSeam.h"

#include <deque>
#include <functional>
#include <vector>

namespace rwtest {

class ScriptedMessageBoxes {
 public:
  ScriptedMessageBoxes();
  ~ScriptedMessageBoxes();
  ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
  ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

  // The next box is answered with this code.
  ScriptedMessageBoxes& Answer(int code);
  // Every box from now on is answered by this function (queued answers first).
  ScriptedMessageBoxes& AnswerAll(std::function<int(const MessageBoxRequest&)> answer);

  const std::vector<MessageBoxRequest>& Shown() const { return shown_; }
  int Count() const { return static_cast<int>(shown_.size()); }
  // The last box shown; with none, the test fails and an empty request
  // stands in, so that a check after a failed count does not end the binary.
  const MessageBoxRequest& Last() const;
  // Forgets the boxes shown so far.
  void Clear() { shown_.clear(); }

 private:
  int Respond(const MessageBoxRequest& request);

  std::deque<int> answers_;
  std::function<int(const MessageBoxRequest&)> fallback_;
  std::vector<MessageBoxRequest> shown_;
  MessageBoxHandler previous_;
};

class ScriptedFileDialogs {
 public:
  ScriptedFileDialogs();
  ~ScriptedFileDialogs();
  ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
  ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

  // The next dialog chooses these files (or the one folder), leaving the
  // 1-based filter index selected (0: the one it opened with).
  ScriptedFileDialogs& Choose(const QStringList& files, int filterIndex = 0);
  // The next colour dialog chooses this colour; the custom colours come back
  // as given, or unchanged.
  ScriptedFileDialogs& ChooseColour(COLORREF colour);
  ScriptedFileDialogs& ChooseColour(COLORREF colour, const CustomColours& customColours);
  // The next font dialog chooses this font, with its weight, italic,
  // underline and strike-out.
  ScriptedFileDialogs& ChooseFont(const QFont& font);
  // The next dialog is cancelled.
  ScriptedFileDialogs& Cancel();
  // The next dialog fails with this error instead of showing.
  ScriptedFileDialogs& Fail(int32_t extendedError = kFileDialogFailure);
  // Forgets the answers not yet given.
  void ClearAnswers() { answers_.clear(); }

  const std::vector<FileDialogRequest>& Shown() const { return shown_; }
  int Count() const { return static_cast<int>(shown_.size()); }
  // As ScriptedMessageBoxes::Last.
  const FileDialogRequest& Last() const;

 private:
  struct Scripted {
    FileDialogResult result;
    bool ownCustomColours = false;
  };
  ScriptedFileDialogs& Push(FileDialogResult result, bool ownCustomColours = false);
  FileDialogResult Respond(const FileDialogRequest& request);

  std::deque<Scripted> answers_;
  std::vector<FileDialogRequest> shown_;
  FileDialogHandler previous_;
};

}  // namespace rwtest
