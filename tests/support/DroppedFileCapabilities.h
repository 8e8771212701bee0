#pragma once
// For the life of the object, the calling thread works without the two
// capabilities that let root read any file and folder (CAP_DAC_OVERRIDE and
// CAP_DAC_READ_SEARCH), so that a test run as root meets file permissions as
// a user does. Only the effective set is changed; the permitted set keeps
// them, and the effective set is put back as it was afterwards.
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace rwtest {

class DroppedFileCapabilities {
 public:
  DroppedFileCapabilities() {
    if (!Exchange(SYS_capget, saved_)) return;
    __user_cap_data_struct dropped[kWords] = {saved_[0], saved_[1]};
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
      dropped[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
    }
    dropped_ = Exchange(SYS_capset, dropped);
  }
  ~DroppedFileCapabilities() {
    if (dropped_) Exchange(SYS_capset, saved_);
  }
  DroppedFileCapabilities(const DroppedFileCapabilities&) = delete;
  DroppedFileCapabilities& operator=(const DroppedFileCapabilities&) = delete;

  // False when the capabilities could not be read or changed.
  bool Dropped() const { return dropped_; }

 private:
  static constexpr int kWords = 2;  // version 3 keeps 64 capabilities in two words

  // capget or capset for this thread.
  static bool Exchange(long call, __user_cap_data_struct (&data)[kWords]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(call, &header, data) == 0;
  }

  __user_cap_data_struct saved_[kWords]{};
  bool dropped_ = false;
};

}  // namespace rwtest
