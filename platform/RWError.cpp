#include "platform/RWError.h"

RWError::RWError(int32_t number, QString description, QString source, QString file)
    : number_(number), description_(std::move(description)), source_(std::move(source)), file_(std::move(file)) {
  what_ = Text().toStdString();
}

QString RWError::Text() const { return QString::number(number_) + QStringLiteral(": ") + description_; }
