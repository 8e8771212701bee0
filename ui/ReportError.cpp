#include "ui/ReportError.h"

#include "platform/MessageBoxSeam.h"
#include "platform/RWError.h"

#include <exception>

namespace {
constexpr int32_t kErrInternal = 51;
}

void ReportUnexpectedError(const RWError& error) {
  MessageBoxRequest request;
  request.prompt = error.Text();
  request.style = vbExclamation;
  request.fit = true;
  request.width = -1;
  request.fontName = QStringLiteral("Tahoma");
  ShowMessageBox(request);
}

void GuardEventHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const RWError& error) {
    ReportUnexpectedError(error);
  } catch (const std::exception& error) {
    ReportUnexpectedError(RWError(kErrInternal, QString::fromLocal8Bit(error.what())));
  }
}
