#include "platform/RWError.h"

RWError::RWError(int32_t number, QString description, QString source)
    : number_(number), description_(std::move(description)), source_(std::move(source)) {
  what_ = Text().toStdString();
}

QString RWError::Text() const { return QString::number(number_) + QStringLiteral(": ") + description_; }
