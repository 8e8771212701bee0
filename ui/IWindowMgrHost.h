#pragma once
// What the window manager needs of the main window it manages beyond the
// window itself: the control-box pictures, the caption strip's height, the
// playing video's size, and where the tray icon's mouse messages go. The main
// window's hosts implement it. Without a host (a null pointer) there is no
// control box, no caption strip, no video (0 x 0) and no one to tell of the
// tray icon's clicks.
#include <QSize>
#include <QString>

#include <cstdint>

class IWindowMgrHost {
 public:
  virtual ~IWindowMgrHost() = default;

  // Shows the picture `image` on the control-box button `key` ("RESTORE",
  // "MODE"); the images say what a click on the button does next.
  virtual void SetControlBoxImage(const QString& key, const QString& image) = 0;
  // Height of the caption strip picCaption, pixels.
  virtual double CaptionHeight() = 0;
  // The player's video size, pixels; 0 x 0 while it has none or it is unknown.
  virtual QSize VideoSize() = 0;
  // The tray icon's mouse messages, as the title bar's header receives them:
  // X is the message (513 click, 515 double click, 516 context click, 519
  // middle click).
  virtual void picWindowHeader_MouseMove(int32_t X) = 0;
};
